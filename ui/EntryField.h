#pragma once

// EntryField is the move-history field: whatever enters it, typed, pasted or set by the
// program, is stored in capitals, character by character, so its length never changes and
// every change is reported by a single textChanged() with the final text. It has no length
// limit, gaining the focus selects nothing, and it starts with the hover frame.

#include <QLineEdit>

class QFocusEvent;
class QMouseEvent;
class QPaintEvent;

namespace quorvane {

class EntryField : public QLineEdit {
    Q_OBJECT

public:
    explicit EntryField(QWidget* parent = nullptr);

    // A flat two-pixel frame inside the bounds, which shrinks the content area by as much.
    void setHoverFrame(bool on);
    bool hoverFrame() const { return hoverFrame_; }

Q_SIGNALS:
    // The pointer moved over the content area, with or without buttons held.
    void mouseMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void applyFrameMargins();

    bool hoverFrame_ = true;
};

} // namespace quorvane
