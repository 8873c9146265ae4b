#pragma once

// What assistive technology (screen readers, magnifiers, the AT-SPI bus on Linux) sees of a
// text pane: a read-only multi-line text with its selection, its caret, the place of every
// character on screen and the colour and weight of every character, as a standard text
// widget offers them. The text is the pane's lines, each followed by one "\n": the CR LF that
// ends a line in the pane is one character here, as a screen reader expects a line break to
// be, so offsets here and text positions of the pane differ by one for every line before.

#include <QString>
#include <QStringView>

#include <optional>

namespace quorvane {

class TextPane;
class TextPaneView;

// Makes Qt ask this module for the accessible interface of every TextPaneView. Call at
// start-up, before the first window is shown; calling it again changes nothing.
void installAccessibility();

// Conversions between the pane's text positions and accessible offsets. A position on the
// LF of a CR LF, which only half a line break covers, maps to the offset after the break, so
// that a selection holding the CR holds the break.
qsizetype accessibleLength(const TextPane& pane);
qsizetype accessibleOffset(const TextPane& pane, qsizetype position);
qsizetype panePosition(const TextPane& pane, qsizetype offset);
// The accessible text from offset `from` up to `to`, both clamped to the text.
QString accessibleText(const TextPane& pane, qsizetype from, qsizetype to);

// One edit that turns `before` into `after`: the characters between their common start and
// their common end. None when the two are equal.
struct TextChange {
    qsizetype position = 0;
    QString removed;
    QString inserted;
    friend bool operator==(const TextChange&, const TextChange&) = default;
};
std::optional<TextChange> textChange(QStringView before, QStringView after);

// What assistive technology was last told about one view, so that a refresh reports only
// what changed: a text update for the changed stretch, then a selection or caret move.
class AccessibleTextReport {
public:
    // The first call after creation records the state and reports nothing: whoever starts
    // listening then reads the text afresh.
    void update(TextPaneView& view, bool textMayHaveChanged);

private:
    QString text_;
    int selectionStart_ = 0;
    int selectionEnd_ = 0;
    int cursor_ = 0;
    bool known_ = false;
};

} // namespace quorvane
