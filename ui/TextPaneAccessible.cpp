#include "ui/TextPaneAccessible.h"

#include "ui/TextPane.h"
#include "ui/TextPaneView.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QColor>
#include <QFontInfo>
#include <QPalette>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <climits>

namespace quorvane {

namespace {

int toInt(qsizetype v) {
    return int(std::clamp<qsizetype>(v, INT_MIN, INT_MAX));
}

// The offset of a line's first character: its text position less one for every CR LF before
// it, since each of those is one character here.
qsizetype lineOffset(const TextPane& pane, qsizetype line) {
    return pane.lineStart(line) - line;
}

// The line that holds an offset from 0 to the length; the offset after the last break is on
// the last line.
qsizetype lineOfOffset(const TextPane& pane, qsizetype offset) {
    qsizetype lo = 0;
    qsizetype hi = pane.lineCount(); // the line sought is in [lo, hi)
    while (hi - lo > 1) {
        const qsizetype mid = lo + (hi - lo) / 2;
        if (lineOffset(pane, mid) <= offset)
            lo = mid;
        else
            hi = mid;
    }
    return lo;
}

QColor toQColor(Colour c) {
    return QColor(int(c.bgr & 0xFF), int((c.bgr >> 8) & 0xFF), int((c.bgr >> 16) & 0xFF));
}

QString rgb(const QColor& c) {
    return QStringLiteral("rgb(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

// A stretch of accessible offsets, end excluded.
struct Span {
    qsizetype start = 0;
    qsizetype end = 0;
};

// The view of a TextPaneView for assistive technology: a read-only multi-line text whose
// characters carry the colour and weight the view draws them in. Attributes follow the
// names and value forms of a Qt rich-text widget (CSS-like "name:value;" pairs), which Qt's
// AT-SPI bridge turns into fg-color, weight, family-name and size. Weights are numeric, 400
// and 700: the bridge passes numbers through, while it drops the word "normal", and a regular
// character should say that it is regular.
class TextPaneAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TextPaneAccessible(TextPaneView* view)
        : QAccessibleWidget(view, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = false;
        s.readOnly = true;
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override { return QAccessibleWidget::text(t); }

    // ---- text -------------------------------------------------------------------------------

    int characterCount() const override { return toInt(length()); }

    QString text(int startOffset, int endOffset) const override {
        if (!pane())
            return {};
        // AT-SPI asks for "to the end" with -1.
        const qsizetype end = endOffset < 0 ? length() : endOffset;
        return accessibleText(*pane(), startOffset, end);
    }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                         int* endOffset) const override {
        *startOffset = *endOffset = -1;
        const qsizetype n = length();
        if (offset < 0 || offset > n)
            return {};
        if (offset == n) {
            // After the last character there is no character, but there is a last word or line.
            if (type == QAccessible::CharBoundary || n == 0) {
                *startOffset = *endOffset = toInt(n);
                return {};
            }
            return spanText(itemAt(n - 1, type), startOffset, endOffset);
        }
        return spanText(itemAt(offset, type), startOffset, endOffset);
    }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                             int* endOffset) const override {
        *startOffset = *endOffset = -1;
        const qsizetype n = length();
        if (offset < 0 || offset > n || n == 0)
            return {};
        // After the last character the character before is the previous one; every other
        // kind of item at the end is the last one.
        const qsizetype start = offset == n && type == QAccessible::CharBoundary
                                    ? n
                                    : itemAt(std::min<qsizetype>(offset, n - 1), type).start;
        if (start == 0)
            return {};
        return spanText(itemAt(start - 1, type), startOffset, endOffset);
    }

    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                            int* endOffset) const override {
        *startOffset = *endOffset = -1;
        const qsizetype n = length();
        if (offset < 0 || offset >= n)
            return {};
        const qsizetype end = itemAt(offset, type).end;
        if (end >= n)
            return {};
        return spanText(itemAt(end, type), startOffset, endOffset);
    }

    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = -1;
        const qsizetype n = length();
        if (offset < 0 || offset > n)
            return {};
        if (n == 0) {
            *startOffset = *endOffset = 0;
            return describe(CharFormat{});
        }
        // The end of the text reports what its last character has, as Qt's text widgets do.
        const qsizetype at = std::min<qsizetype>(offset, n - 1);
        const TextPane& p = *pane();
        const qsizetype line = lineOfOffset(p, at);
        const qsizetype start = lineOffset(p, line);
        const qsizetype length = p.lineView(line).size();
        const qsizetype column = at - start;
        // Formats are drawn only without wrapping; the line break never carries one.
        const bool drawn = view()->wrap() == TextPaneView::Wrap::None && p.lineHasFormat(line);
        const auto formatAt = [&](qsizetype c) {
            return drawn && c < length ? p.format(line, c) : CharFormat{};
        };
        const CharFormat format = formatAt(column);
        qsizetype from = column;
        qsizetype to = column + 1;
        while (from > 0 && formatAt(from - 1) == format)
            --from;
        while (to <= length && formatAt(to) == format)
            ++to;
        *startOffset = toInt(start + from);
        *endOffset = toInt(start + to);
        return describe(format);
    }

    // ---- selection and caret ----------------------------------------------------------------

    int selectionCount() const override { return pane() && pane()->selectionLength() > 0 ? 1 : 0; }

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        if (selectionIndex != 0 || selectionCount() == 0)
            return;
        const qsizetype start = pane()->selectionStart();
        *startOffset = toInt(accessibleOffset(*pane(), start));
        *endOffset = toInt(accessibleOffset(*pane(), start + pane()->selectionLength()));
    }

    // The pane has one selection: adding one replaces it.
    void addSelection(int startOffset, int endOffset) override {
        setSelection(0, startOffset, endOffset);
    }

    void setSelection(int selectionIndex, int startOffset, int endOffset) override {
        if (selectionIndex != 0 || !pane())
            return;
        const qsizetype n = length();
        const qsizetype a = std::clamp<qsizetype>(std::min(startOffset, endOffset), 0, n);
        const qsizetype b = std::clamp<qsizetype>(std::max(startOffset, endOffset), 0, n);
        const qsizetype from = panePosition(*pane(), a);
        select(from, panePosition(*pane(), b) - from);
    }

    void removeSelection(int selectionIndex) override {
        if (selectionIndex != 0 || selectionCount() == 0)
            return;
        select(pane()->selectionStart(), 0);
    }

    int cursorPosition() const override {
        return pane() ? toInt(accessibleOffset(*pane(), view()->cursorPosition())) : 0;
    }

    void setCursorPosition(int position) override {
        if (!pane())
            return;
        select(panePosition(*pane(), std::clamp<qsizetype>(position, 0, length())), 0);
        view()->scrollToSelection();
    }

    // ---- geometry ---------------------------------------------------------------------------

    QRect characterRect(int offset) const override {
        if (offset < 0 || offset >= length())
            return {};
        const QRect r = view()->characterRect(panePosition(*pane(), offset));
        return QRect(view()->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    int offsetAtPoint(const QPoint& point) const override {
        if (length() == 0)
            return -1;
        const QWidget* viewport = view()->viewport();
        const QPoint p = viewport->mapFromGlobal(point);
        if (!viewport->rect().contains(p))
            return -1;
        // The view maps a point to the gap nearest to it; the character under the point is
        // the one before that gap when the point lies on that character's right half.
        qsizetype position = view()->positionAt(p);
        const TextPane& pane = *this->pane();
        if (position > pane.lineStart(pane.lineAt(position).first) &&
            view()->characterRect(position - 1).contains(p))
            --position;
        return toInt(accessibleOffset(pane, position));
    }

    void scrollToSubstring(int startIndex, int endIndex) override {
        if (!pane())
            return;
        const qsizetype n = length();
        const qsizetype a = std::clamp<qsizetype>(std::min(startIndex, endIndex), 0, n);
        const qsizetype b = std::clamp<qsizetype>(std::max(startIndex, endIndex), 0, n);
        const qsizetype from = panePosition(*pane(), a);
        view()->scrollToRange(from, panePosition(*pane(), b) - from);
    }

private:
    TextPaneView* view() const { return static_cast<TextPaneView*>(widget()); }
    const TextPane* pane() const { return view()->model(); }
    qsizetype length() const { return pane() ? accessibleLength(*pane()) : 0; }

    // A selection made by assistive technology is the user's, like one made with the mouse;
    // the refresh shows it and reports it back.
    void select(qsizetype position, qsizetype count) {
        view()->model()->setSelection(position, count);
        view()->refresh();
    }

    QString spanText(Span span, int* startOffset, int* endOffset) const {
        *startOffset = toInt(span.start);
        *endOffset = toInt(span.end);
        return accessibleText(*pane(), span.start, span.end);
    }

    // The item of the given kind that holds an offset inside the text. The items of each kind
    // cover the text without gaps, so that stepping from item to item reads all of it: a
    // line's break is its own character and its own word, and ends its last sentence, its
    // paragraph and its last row.
    Span itemAt(qsizetype offset, QAccessible::TextBoundaryType type) const {
        const TextPane& p = *pane();
        const qsizetype line = lineOfOffset(p, offset);
        const qsizetype start = lineOffset(p, line);
        const QStringView text = p.lineView(line);
        const qsizetype length = text.size();
        const qsizetype column = offset - start;
        const Span paragraph{start, start + length + 1};
        switch (type) {
        case QAccessible::NoBoundary:
            return {0, accessibleLength(p)};
        case QAccessible::ParagraphBoundary:
            return paragraph;
        case QAccessible::LineBoundary:
            return rowAt(line, column);
        case QAccessible::CharBoundary:
        case QAccessible::WordBoundary:
        case QAccessible::SentenceBoundary:
            break;
        }
        const bool sentence = type == QAccessible::SentenceBoundary;
        if (column == length && !(sentence && length > 0))
            return {start + length, start + length + 1};
        const QTextBoundaryFinder::BoundaryType kind =
            type == QAccessible::CharBoundary   ? QTextBoundaryFinder::Grapheme
            : type == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                : QTextBoundaryFinder::Sentence;
        const qsizetype at = std::min(column, length - 1);
        QTextBoundaryFinder finder(kind, text);
        finder.setPosition(at);
        const qsizetype from =
            finder.isAtBoundary() ? at : std::max<qsizetype>(finder.toPreviousBoundary(), 0);
        finder.setPosition(at);
        qsizetype to = finder.toNextBoundary();
        if (to < 0)
            to = length;
        if (sentence && to == length)
            ++to; // the break ends the line's last sentence
        return {start + from, start + to};
    }

    // The row on screen that holds a column of a line: the whole line unless the view wraps.
    // Rows follow each other down the line, so the row's ends are found by halving.
    Span rowAt(qsizetype line, qsizetype column) const {
        const TextPane& p = *pane();
        const qsizetype start = lineOffset(p, line);
        const qsizetype length = p.lineView(line).size();
        if (view()->wrap() == TextPaneView::Wrap::None || length == 0)
            return {start, start + length + 1};
        const qsizetype position = p.lineStart(line);
        const auto top = [&](qsizetype c) { return view()->characterRect(position + c).top(); };
        const int y = top(column);
        qsizetype lo = 0;
        qsizetype hi = column;
        while (lo < hi) {
            const qsizetype mid = lo + (hi - lo) / 2;
            if (top(mid) < y)
                lo = mid + 1;
            else
                hi = mid;
        }
        const qsizetype first = lo;
        lo = column + 1;
        hi = length + 1; // past the break: the row is the line's last
        while (lo < hi) {
            const qsizetype mid = lo + (hi - lo) / 2;
            if (top(mid) > y)
                hi = mid;
            else
                lo = mid + 1;
        }
        return {start + first, start + std::min(lo, length + 1)};
    }

    QString describe(const CharFormat& format) const {
        const QFont font = view()->font();
        const QFontInfo info(font);
        QString family = info.family();
        family.remove(u'"').remove(u';'); // they would break the list apart
        const int weight = format.bold ? int(QFont::Bold) : int(font.weight());
        const QColor colour =
            format.colour ? toQColor(*format.colour) : view()->palette().color(QPalette::Text);
        const QWidget* viewport = view()->viewport();
        const QColor background = viewport->palette().color(viewport->backgroundRole());
        return QStringLiteral("font-family:\"%1\";font-size:%2pt;font-weight:%3;font-style:%4;"
                              "color:%5;background-color:%6;")
            .arg(family, QString::number(info.pointSizeF(), 'g', 4), QString::number(weight),
                 font.italic() ? QStringLiteral("italic") : QStringLiteral("normal"), rgb(colour),
                 rgb(background));
    }
};

QAccessibleInterface* textPaneFactory(const QString& key, QObject* object) {
    if (key == QLatin1StringView(TextPaneView::staticMetaObject.className()))
        if (auto* view = qobject_cast<TextPaneView*>(object))
            return new TextPaneAccessible(view); // owned by Qt's accessibility cache
    return nullptr;
}

} // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(textPaneFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

qsizetype accessibleLength(const TextPane& pane) {
    return pane.textLength() - pane.lineCount();
}

qsizetype accessibleOffset(const TextPane& pane, qsizetype position) {
    if (pane.lineCount() == 0 || position <= 0)
        return 0;
    if (position >= pane.textLength())
        return accessibleLength(pane);
    // The LF of a CR LF is one past the break's offset: the start of the next line's.
    const auto [line, column] = pane.lineAt(position);
    return lineOffset(pane, line) + column;
}

qsizetype panePosition(const TextPane& pane, qsizetype offset) {
    if (pane.lineCount() == 0 || offset <= 0)
        return 0;
    if (offset >= accessibleLength(pane))
        return pane.textLength();
    const qsizetype line = lineOfOffset(pane, offset);
    return pane.lineStart(line) + (offset - lineOffset(pane, line));
}

QString accessibleText(const TextPane& pane, qsizetype from, qsizetype to) {
    const qsizetype n = accessibleLength(pane);
    from = std::clamp<qsizetype>(from, 0, n);
    to = std::clamp<qsizetype>(to, from, n);
    QString out;
    if (from == to)
        return out;
    out.reserve(to - from);
    for (qsizetype line = lineOfOffset(pane, from);
         line < pane.lineCount() && lineOffset(pane, line) < to; ++line) {
        const qsizetype start = lineOffset(pane, line);
        const QStringView text = pane.lineView(line);
        const qsizetype a = std::max<qsizetype>(from - start, 0);
        const qsizetype b = std::min<qsizetype>(to - start, text.size() + 1);
        const qsizetype textEnd = std::min(b, text.size());
        if (a < textEnd)
            out += text.mid(a, textEnd - a);
        if (b > text.size())
            out += u'\n';
    }
    return out;
}

std::optional<TextChange> textChange(QStringView before, QStringView after) {
    if (before == after)
        return std::nullopt;
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before[head] == after[head])
        ++head;
    // A surrogate pair is one character: the change starts before its first half.
    if (head > 0 && before[head - 1].isHighSurrogate())
        --head;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    if (tail > 0 && before[before.size() - tail].isLowSurrogate())
        --tail;
    return TextChange{head, before.mid(head, before.size() - head - tail).toString(),
                      after.mid(head, after.size() - head - tail).toString()};
}

void AccessibleTextReport::update(TextPaneView& view, bool textMayHaveChanged) {
    // Without the interface above, nothing speaks for the view's text.
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&view);
    if (!iface || !iface->textInterface())
        return;
    const TextPane* pane = view.model();
    const int cursor = pane ? toInt(accessibleOffset(*pane, view.cursorPosition())) : 0;
    int selectionStart = cursor;
    int selectionEnd = cursor;
    if (pane && pane->selectionLength() > 0) {
        selectionStart = toInt(accessibleOffset(*pane, pane->selectionStart()));
        selectionEnd =
            toInt(accessibleOffset(*pane, pane->selectionStart() + pane->selectionLength()));
    }
    if (textMayHaveChanged || !known_) {
        QString now = pane ? accessibleText(*pane, 0, accessibleLength(*pane)) : QString();
        if (known_)
            if (const auto change = textChange(text_, now)) {
                QAccessibleTextUpdateEvent event(&view, toInt(change->position), change->removed,
                                                 change->inserted);
                event.setCursorPosition(cursor);
                QAccessible::updateAccessibility(&event);
            }
        text_ = std::move(now);
    }
    if (known_) {
        if (selectionStart != selectionStart_ || selectionEnd != selectionEnd_) {
            QAccessibleTextSelectionEvent event(&view, selectionStart, selectionEnd);
            event.setCursorPosition(cursor);
            QAccessible::updateAccessibility(&event);
        } else if (cursor != cursor_) {
            QAccessibleTextCursorEvent event(&view, cursor);
            QAccessible::updateAccessibility(&event);
        }
    }
    selectionStart_ = selectionStart;
    selectionEnd_ = selectionEnd;
    cursor_ = cursor;
    known_ = true;
}

} // namespace quorvane
