#pragma once

// TextPaneView draws a TextPane that it does not own; whoever changes the model calls
// refresh(). The view keeps no copy of the text: it lays out, on demand, only the lines it
// is asked about. Without wrapping every line is one row of a fixed height, so the rows on
// screen follow from the scroll position alone and a pane of any length costs the same to
// draw; with wrapping the layouts of all lines are kept, laid out in order as far as they are
// needed and the rest once the first paint is done, which suits the short texts that such a
// pane holds. The selection it shows, and the one the mouse makes, is the model's.

#include "ui/TextPane.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPoint>
#include <QRect>
#include <QString>

#include <memory>
#include <unordered_map>
#include <vector>

class QTextLayout;

namespace quorvane {

class AccessibleTextReport;

class TextPaneView : public QAbstractScrollArea {
    Q_OBJECT

public:
    enum class Wrap { None, AtWidth };

    explicit TextPaneView(QWidget* parent = nullptr);
    ~TextPaneView() override;

    // The view only reads the model; it writes the selection when the user makes one.
    void setModel(TextPane* model);
    TextPane* model() const { return model_; }

    // Without wrapping both scroll bars come as needed; with wrapping at the viewport's
    // width only the vertical one does, and character formats are not shown.
    void setWrap(Wrap wrap);
    Wrap wrap() const { return wrap_; }

    // With wrapping: narrows the font, down to minimumStretch percent of its width, so that the
    // model's longest lines fit the width that wrapping leaves them with the vertical scroll
    // bar and the hover frame shown. Text broken into lines for a wider font then reads as it
    // was broken instead of every other line being wrapped again.
    void narrowFontToFitLines(int minimumStretch);

    // When on, the selection is drawn only while the view has the focus.
    void setHideSelection(bool hide);
    bool hideSelection() const { return hideSelection_; }

    // A flat two-pixel frame inside the bounds, which shrinks the content area by as much.
    void setHoverFrame(bool on);
    bool hoverFrame() const { return hoverFrame_; }

    // The model's lines, formats or selection changed.
    void refresh();
    // Scrolls as little as needed to show the selection (all of it when it fits).
    void scrollToSelection();
    // The same for any stretch of text positions.
    void scrollToRange(qsizetype start, qsizetype length);
    void scrollToTop();

    // The selected text with each line break as "\n".
    QString selectedText() const;
    void copy() const;

    // Mapping between text positions and viewport coordinates. A position on a line break
    // maps to the room just after the line's last character.
    qsizetype positionAt(QPoint viewportPoint) const;
    QRect characterRect(qsizetype position) const;

    // The end of the selection that the mouse moved last: its start when it was dragged
    // backwards, else its end.
    qsizetype cursorPosition() const;

Q_SIGNALS:
    // The pointer moved over the text, with or without a button held.
    void mouseMoved();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    qsizetype lineCount() const;
    QTextLayout& layoutOf(qsizetype line) const;
    std::unique_ptr<QTextLayout> newLayout(qsizetype line) const;
    void startWrapping() const;
    void wrapThrough(qsizetype last) const;
    bool wrappingComplete() const;
    int wrapWidth() const;
    int lineTop(qsizetype line) const;
    qsizetype lineAtY(int contentY) const;
    int contentHeight() const;
    int lineWidth(qsizetype line) const;
    void widenFor(qsizetype firstLine, qsizetype lastLine);
    void updateMetrics();
    void updateScrollBars();
    void ensureVisible(QRect contentRect);
    QRect contentCharacterRect(qsizetype position) const;
    void selectTo(qsizetype position);
    void selectWordAt(qsizetype position);
    bool selectionShown() const;
    void reportToAccessibility(bool textMayHaveChanged);

    TextPane* model_ = nullptr;
    Wrap wrap_ = Wrap::None;
    bool hideSelection_ = true;
    bool hoverFrame_ = false;

    int rowHeight_ = 1;
    int breakWidth_ = 1; // the room that a selected line break takes

    // Without wrapping: the layouts of recently drawn lines, and the width of the widest line
    // measured since the last refresh, which grows as wider lines come into view.
    mutable std::unordered_map<qsizetype, std::unique_ptr<QTextLayout>> rowLayouts_;
    int contentWidth_ = 0;

    // With wrapping: every line's layout and the width it was laid out at, and the top of every
    // line (plus the total height), exact for the first exactLines_ lines and estimated after.
    mutable std::vector<std::unique_ptr<QTextLayout>> wrapped_;
    mutable std::vector<int> wrappedAt_;
    mutable std::vector<int> tops_;
    mutable qsizetype exactLines_ = 0;
    QBasicTimer finishWrapping_;
    mutable int wrappedWidth_ = -1;
    mutable bool wrappedStale_ = true;

    qsizetype anchor_ = 0; // the fixed end of a selection made with the mouse
    bool selecting_ = false;
    QPoint lastMouse_;
    QBasicTimer autoScroll_;

    // Made while assistive technology listens, and dropped when it stops.
    std::unique_ptr<AccessibleTextReport> accessibleReport_;
};

} // namespace quorvane
