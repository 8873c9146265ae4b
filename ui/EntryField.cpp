#include "ui/EntryField.h"

#include "ui/HoverFrame.h"
#include "ui/TextSplit.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QValidator>

#include <limits>

namespace quorvane {

namespace {

// The line edit runs every change through its validator before it reports it, so turning the
// text into capitals here leaves one change with the final text instead of two.
class UpperCaseValidator : public QValidator {
public:
    explicit UpperCaseValidator(QObject* parent) : QValidator(parent) {}

    State validate(QString& input, int&) const override {
        fixup(input);
        return Acceptable;
    }

    void fixup(QString& input) const override {
        QString upper = fieldUpperCase(input);
        if (upper != input)
            input = std::move(upper);
    }
};

} // namespace

EntryField::EntryField(QWidget* parent) : QLineEdit(parent) {
    setValidator(new UpperCaseValidator(this));
    setMaxLength(std::numeric_limits<int>::max());
    // The hover frame, or nothing, is the field's only frame.
    setFrame(false);
    setMouseTracking(true);
    applyFrameMargins();
}

void EntryField::setHoverFrame(bool on) {
    if (on == hoverFrame_)
        return;
    hoverFrame_ = on;
    applyFrameMargins();
    update();
}

void EntryField::applyFrameMargins() {
    const int m = hoverFrame_ ? HoverFrameWidth : 0;
    setTextMargins(m, m, m, m);
}

void EntryField::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (hoverFrame_)
        paintHoverFrame(*this);
}

void EntryField::focusInEvent(QFocusEvent* event) {
    // A line edit selects all its text when the focus comes by Tab or a shortcut; this field
    // keeps the cursor and selection as they are, however the focus comes.
    QFocusEvent plain(event->type(), Qt::OtherFocusReason);
    QLineEdit::focusInEvent(&plain);
    event->setAccepted(plain.isAccepted());
}

void EntryField::mouseMoveEvent(QMouseEvent* event) {
    const int m = hoverFrame_ ? HoverFrameWidth : 0;
    if (rect().adjusted(m, m, -m, -m).contains(event->position().toPoint()))
        Q_EMIT mouseMoved();
    QLineEdit::mouseMoveEvent(event);
}

} // namespace quorvane
