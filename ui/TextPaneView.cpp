#include "ui/TextPaneView.h"

#include "ui/HoverFrame.h"
#include "ui/TextPaneAccessible.h"

#include <QAccessible>
#include <QClipboard>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QList>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextLayout>
#include <QTextOption>
#include <QTimerEvent>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <functional>

namespace quorvane {

namespace {

// Room between the viewport's edges and the text, so that the first character and a
// selection starting on it do not touch the edge.
constexpr int TextMargin = 2;
// How many of the longest lines (in characters) a refresh measures for the horizontal range.
constexpr int MeasuredLongestLines = 8;
// A drawn line's layout is kept while it may come back into view soon; past this many the
// cache starts again.
constexpr std::size_t RowLayoutCacheLimit = 512;
constexpr int AutoScrollIntervalMs = 50;
// How much of an unwrapped line is laid out and drawn; the rest is never shown.
constexpr qsizetype LaidOutCharacters = 20000;

QColor toQColor(Colour c) {
    return QColor(int(c.bgr & 0xFF), int((c.bgr >> 8) & 0xFF), int((c.bgr >> 16) & 0xFF));
}

QTextCharFormat toTextFormat(const CharFormat& f) {
    QTextCharFormat format;
    if (f.colour)
        format.setForeground(toQColor(*f.colour));
    if (f.bold)
        format.setFontWeight(QFont::Bold);
    return format;
}

int clampToInt(qint64 v) {
    return int(std::clamp<qint64>(v, 0, INT_MAX));
}

bool isWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

} // namespace

TextPaneView::TextPaneView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setFrameShadow(QFrame::Plain);
    setLineWidth(HoverFrameWidth);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setCursor(Qt::ArrowCursor);
    viewport()->setMouseTracking(true); // mouseMoved() also without a button held
    updateMetrics();
}

TextPaneView::~TextPaneView() = default;

void TextPaneView::setModel(TextPane* model) {
    model_ = model;
    anchor_ = 0;
    rowLayouts_.clear();
    wrapped_.clear();
    refresh();
}

void TextPaneView::setWrap(Wrap wrap) {
    if (wrap == wrap_)
        return;
    wrap_ = wrap;
    setHorizontalScrollBarPolicy(wrap == Wrap::None ? Qt::ScrollBarAsNeeded
                                                    : Qt::ScrollBarAlwaysOff);
    horizontalScrollBar()->setValue(0);
    rowLayouts_.clear();
    wrapped_.clear();
    refresh();
}

void TextPaneView::narrowFontToFitLines(int minimumStretch) {
    if (wrap_ != Wrap::AtWidth || lineCount() == 0)
        return;
    const int width = this->width() - 2 * HoverFrameWidth -
                      verticalScrollBar()->sizeHint().width() - 2 * TextMargin;
    if (width <= 0)
        return;
    // Every line's width is estimated from its letters' advances; only the widest few are
    // measured as laid out (with kerning), which keeps this cheap for a long text.
    const QFontMetricsF metrics(font(), viewport());
    std::array<double, 256> advance{};
    advance.fill(-1);
    const auto estimate = [&](QStringView line) {
        double x = 0;
        for (const QChar c : line) {
            if (c.unicode() >= advance.size())
                x += metrics.averageCharWidth();
            else {
                double& a = advance[c.unicode()];
                if (a < 0)
                    a = metrics.horizontalAdvance(c);
                x += a;
            }
        }
        return x;
    };
    const auto trimmed = [this](qsizetype line) {
        QStringView text = model_->lineView(line);
        while (!text.isEmpty() && text.back().isSpace()) // a space at a break may overhang
            text.chop(1);
        return text;
    };
    std::vector<std::pair<double, qsizetype>> lines;
    lines.reserve(std::size_t(lineCount()));
    for (qsizetype i = 0; i < lineCount(); ++i)
        lines.emplace_back(estimate(trimmed(i)), i);
    const auto widestFew = lines.begin() + std::min<qsizetype>(MeasuredLongestLines, lineCount());
    std::partial_sort(lines.begin(), widestFew, lines.end(), std::greater<>());
    const auto widestIn = [&](const QFont& f) {
        const QFontMetricsF m(f, viewport());
        double widest = 0;
        for (auto it = lines.begin(); it != widestFew; ++it)
            widest = std::max(widest, m.horizontalAdvance(trimmed(it->second).toString()));
        return widest;
    };
    QFont narrow = font();
    double widest = widestIn(narrow);
    // Hinted advances are rounded letter by letter, so a narrower font is not narrower in
    // exact proportion: measure again until the lines fit.
    int stretch = narrow.stretch() == QFont::AnyStretch ? 100 : narrow.stretch();
    for (int round = 0; round < 4 && widest > width && stretch > minimumStretch; ++round) {
        stretch = std::max(minimumStretch, std::min(stretch - 1, int(stretch * width / widest)));
        narrow.setStretch(stretch);
        widest = widestIn(narrow);
    }
    if (narrow != font())
        setFont(narrow);
}

void TextPaneView::setHideSelection(bool hide) {
    if (hide == hideSelection_)
        return;
    hideSelection_ = hide;
    viewport()->update();
}

void TextPaneView::setHoverFrame(bool on) {
    if (on == hoverFrame_)
        return;
    hoverFrame_ = on;
    // The frame's width, unlike viewport margins, keeps the scroll bars inside the frame too;
    // its pixels are drawn over by paintHoverFrame. Setting the viewport margins again makes
    // the scroll area lay out its children at once.
    setFrameShape(on ? QFrame::Box : QFrame::NoFrame);
    setViewportMargins(viewportMargins());
    update();
}

qsizetype TextPaneView::lineCount() const {
    return model_ ? model_->lineCount() : 0;
}

void TextPaneView::updateMetrics() {
    QFont bold = font();
    bold.setBold(true);
    const QFontMetricsF regular(font(), viewport());
    const QFontMetricsF heavy(bold, viewport());
    rowHeight_ = std::max(1, int(std::ceil(std::max(regular.height(), heavy.height()))));
    breakWidth_ = std::max(1, int(std::ceil(regular.horizontalAdvance(u' '))));
}

// ---- layouts -------------------------------------------------------------------------------

std::unique_ptr<QTextLayout> TextPaneView::newLayout(qsizetype line) const {
    // Without wrapping, a line is laid out only as far as anyone scrolls: a spellbook of one
    // huge line would otherwise cost seconds per paint.
    const QStringView text = model_->lineView(line);
    auto layout = std::make_unique<QTextLayout>(
        (wrap_ == Wrap::None ? text.left(LaidOutCharacters) : text).toString(), font(), viewport());
    QTextOption option;
    option.setWrapMode(wrap_ == Wrap::None ? QTextOption::NoWrap
                                           : QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    if (wrap_ == Wrap::None && model_->lineHasFormat(line)) {
        QList<QTextLayout::FormatRange> ranges;
        const qsizetype length = model_->lineView(line).size();
        for (qsizetype from = 0; from < length;) {
            const CharFormat f = model_->format(line, from);
            qsizetype to = from + 1;
            while (to < length && model_->format(line, to) == f)
                ++to;
            if (f != CharFormat{})
                ranges.push_back({int(from), int(to - from), toTextFormat(f)});
            from = to;
        }
        layout->setFormats(ranges);
    }
    if (wrap_ == Wrap::None) {
        layout->beginLayout();
        layout->createLine();
        layout->endLayout();
    }
    return layout;
}

QTextLayout& TextPaneView::layoutOf(qsizetype line) const {
    if (wrap_ == Wrap::AtWidth) {
        wrapThrough(line);
        return *wrapped_[std::size_t(line)];
    }
    auto it = rowLayouts_.find(line);
    if (it == rowLayouts_.end()) {
        if (rowLayouts_.size() >= RowLayoutCacheLimit)
            rowLayouts_.clear();
        it = rowLayouts_.emplace(line, newLayout(line)).first;
    }
    return *it->second;
}

int TextPaneView::wrapWidth() const {
    return std::max(1, viewport()->width() - 2 * TextMargin);
}

// After a change of text or width every line's height is first estimated from its length; the
// lines are then laid out in order as far as they are asked about (those on screen, usually)
// and the rest after the next paint, so that a long text does not hold up the first paint.
void TextPaneView::startWrapping() const {
    const int width = wrapWidth();
    const qsizetype n = lineCount();
    if (!wrappedStale_ && width == wrappedWidth_ && qsizetype(wrapped_.size()) == n)
        return;
    wrapped_.resize(std::size_t(n));
    wrappedAt_.resize(std::size_t(n), 0);
    tops_.assign(std::size_t(n) + 1, 0);
    const double perCharacter = QFontMetricsF(font(), viewport()).averageCharWidth();
    qint64 y = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const double rows = std::ceil(double(model_->lineView(i).size()) * perCharacter / width);
        y += std::max<qint64>(1, qint64(rows)) * rowHeight_;
        tops_[std::size_t(i) + 1] = clampToInt(y);
    }
    exactLines_ = 0;
    wrappedWidth_ = width;
    wrappedStale_ = false;
}

void TextPaneView::wrapThrough(qsizetype last) const {
    startWrapping();
    last = std::min(last, lineCount() - 1);
    if (last < exactLines_)
        return;
    const int width = wrappedWidth_;
    const int estimatedEnd = tops_[std::size_t(last) + 1];
    qint64 y = tops_[std::size_t(exactLines_)];
    for (qsizetype i = exactLines_; i <= last; ++i) {
        auto& layout = wrapped_[std::size_t(i)];
        // A refresh that changed only the selection, the usual case, keeps every layout.
        const bool fresh = !layout || layout->text() != model_->lineView(i);
        if (fresh)
            layout = newLayout(i);
        if (fresh || wrappedAt_[std::size_t(i)] != width) {
            layout->beginLayout();
            int rows = 0;
            for (QTextLine row = layout->createLine(); row.isValid(); row = layout->createLine()) {
                row.setLineWidth(width);
                row.setPosition(QPointF(0, rows * rowHeight_));
                ++rows;
            }
            layout->endLayout();
            wrappedAt_[std::size_t(i)] = width;
        }
        y += std::max(1, layout->lineCount()) * qint64(rowHeight_);
        tops_[std::size_t(i) + 1] = clampToInt(y);
    }
    // The lines still estimated move by as much as the exact ones differed from their estimate.
    const qint64 shift = qint64(tops_[std::size_t(last) + 1]) - estimatedEnd;
    if (shift != 0)
        for (auto it = tops_.begin() + last + 2; it != tops_.end(); ++it)
            *it = clampToInt(*it + shift);
    exactLines_ = last + 1;
}

bool TextPaneView::wrappingComplete() const {
    return wrap_ != Wrap::AtWidth ||
           (!wrappedStale_ && wrappedWidth_ == wrapWidth() && exactLines_ == lineCount());
}

int TextPaneView::lineTop(qsizetype line) const {
    if (wrap_ == Wrap::AtWidth) {
        if (line > 0)
            wrapThrough(line - 1);
        else
            startWrapping();
        return tops_[std::size_t(line)];
    }
    return clampToInt(qint64(line) * rowHeight_);
}

qsizetype TextPaneView::lineAtY(int contentY) const {
    const qsizetype n = lineCount();
    if (n == 0)
        return 0;
    if (wrap_ == Wrap::AtWidth) {
        startWrapping();
        // The line found among estimated heights is laid out, with those before it, and the
        // search repeated until it lands among exact ones.
        for (;;) {
            const auto it = std::upper_bound(tops_.begin(), tops_.begin() + n, contentY);
            const qsizetype line =
                std::clamp<qsizetype>(qsizetype(it - tops_.begin()) - 1, 0, n - 1);
            if (line < exactLines_)
                return line;
            wrapThrough(line);
        }
    }
    const qsizetype line = contentY < 0 ? 0 : contentY / rowHeight_;
    return std::clamp<qsizetype>(line, 0, n - 1);
}

int TextPaneView::contentHeight() const {
    if (wrap_ == Wrap::AtWidth) {
        startWrapping();
        return tops_.back(); // estimated until the wrapping is complete
    }
    return clampToInt(qint64(lineCount()) * rowHeight_);
}

int TextPaneView::lineWidth(qsizetype line) const {
    const QTextLayout& layout = layoutOf(line);
    const QTextLine row = layout.lineAt(0);
    const int end = int(std::min(model_->lineView(line).size(), LaidOutCharacters));
    return int(std::ceil(row.cursorToX(end))) + breakWidth_;
}

// The exact width of every line would need a layout of every line; the widest lines in
// characters are measured at each refresh and any line that comes into view widens the range.
void TextPaneView::widenFor(qsizetype firstLine, qsizetype lastLine) {
    if (wrap_ != Wrap::None || lineCount() == 0)
        return;
    int widest = contentWidth_;
    for (qsizetype i = firstLine; i <= lastLine; ++i)
        widest = std::max(widest, lineWidth(i));
    if (widest != contentWidth_) {
        contentWidth_ = widest;
        updateScrollBars();
    }
}

// ---- scrolling -----------------------------------------------------------------------------

void TextPaneView::updateScrollBars() {
    const QSize size = viewport()->size();
    QScrollBar* v = verticalScrollBar();
    v->setSingleStep(rowHeight_);
    v->setPageStep(std::max(rowHeight_, size.height() - rowHeight_));
    v->setRange(0, std::max(0, contentHeight() - size.height()));
    QScrollBar* h = horizontalScrollBar();
    h->setSingleStep(std::max(1, rowHeight_));
    h->setPageStep(std::max(1, size.width() - breakWidth_));
    h->setRange(0, wrap_ == Wrap::None ? std::max(0, contentWidth_ + 2 * TextMargin - size.width())
                                       : 0);
}

void TextPaneView::refresh() {
    rowLayouts_.clear();
    wrappedStale_ = true;
    contentWidth_ = 0;
    const qsizetype n = lineCount();
    if (wrap_ == Wrap::None && n > 0) {
        qsizetype longest = 0;
        for (qsizetype i = 0; i < n; ++i)
            longest = std::max(longest, model_->lineView(i).size());
        int measured = 0;
        for (qsizetype i = 0; i < n && measured < MeasuredLongestLines; ++i)
            if (model_->lineView(i).size() == longest) {
                contentWidth_ = std::max(contentWidth_, lineWidth(i));
                ++measured;
            }
    }
    updateScrollBars();
    if (n > 0) {
        const int top = verticalScrollBar()->value();
        widenFor(lineAtY(top), lineAtY(top + viewport()->height()));
    }
    viewport()->update();
    reportToAccessibility(true);
}

void TextPaneView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void TextPaneView::scrollContentsBy(int, int dy) {
    if (dy != 0 && lineCount() > 0) {
        const int top = verticalScrollBar()->value();
        widenFor(lineAtY(top), lineAtY(top + viewport()->height()));
    }
    viewport()->update();
}

void TextPaneView::scrollToTop() {
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

QRect TextPaneView::contentCharacterRect(qsizetype position) const {
    if (lineCount() == 0)
        return QRect(TextMargin, 0, breakWidth_, rowHeight_);
    auto [line, column] = model_->lineAt(position);
    const qsizetype length = model_->lineView(line).size();
    column = std::clamp<qsizetype>(column, 0, length);
    const QTextLayout& layout = layoutOf(line);
    QTextLine row = layout.lineForTextPosition(int(column));
    if (!row.isValid())
        row = layout.lineAt(layout.lineCount() - 1);
    const qreal x1 = row.cursorToX(int(column));
    const qreal x2 = column < length ? row.cursorToX(int(column + 1)) : x1 + breakWidth_;
    const int left = TextMargin + int(std::floor(std::min(x1, x2)));
    const int right = TextMargin + int(std::ceil(std::max(x1, x2)));
    return QRect(left, lineTop(line) + int(row.y()), std::max(1, right - left), rowHeight_);
}

QRect TextPaneView::characterRect(qsizetype position) const {
    return contentCharacterRect(position).translated(-horizontalScrollBar()->value(),
                                                     -verticalScrollBar()->value());
}

void TextPaneView::ensureVisible(QRect r) {
    const QSize size = viewport()->size();
    QScrollBar* v = verticalScrollBar();
    if (r.top() < v->value())
        v->setValue(r.top());
    else if (r.bottom() >= v->value() + size.height())
        v->setValue(std::min(r.top(), r.bottom() + 1 - size.height()));
    if (wrap_ == Wrap::None) {
        QScrollBar* h = horizontalScrollBar();
        const int left = r.left() - TextMargin;
        if (left < h->value())
            h->setValue(left);
        else if (r.right() + TextMargin >= h->value() + size.width())
            h->setValue(std::min(left, r.right() + TextMargin + 1 - size.width()));
    }
}

void TextPaneView::scrollToSelection() {
    if (model_)
        scrollToRange(model_->selectionStart(), model_->selectionLength());
}

void TextPaneView::scrollToRange(qsizetype start, qsizetype length) {
    if (lineCount() == 0)
        return;
    const QRect first = contentCharacterRect(start);
    QRect whole = first;
    if (length > 0) {
        whole |= contentCharacterRect(start + length - 1);
    }
    const QSize size = viewport()->size();
    const bool fits = whole.height() <= size.height() &&
                      (wrap_ == Wrap::AtWidth || whole.width() + 2 * TextMargin <= size.width());
    ensureVisible(fits ? whole : first);
}

qsizetype TextPaneView::positionAt(QPoint p) const {
    if (lineCount() == 0)
        return 0;
    const int y = p.y() + verticalScrollBar()->value();
    const qsizetype line = lineAtY(y);
    const QTextLayout& layout = layoutOf(line);
    const int rowIndex = std::clamp((y - lineTop(line)) / rowHeight_, 0, layout.lineCount() - 1);
    const QTextLine row = layout.lineAt(rowIndex);
    const int x = p.x() + horizontalScrollBar()->value() - TextMargin;
    int column = row.xToCursor(x, QTextLine::CursorBetweenCharacters);
    // A row broken at a blank ends after it, where the next row starts: a click past the end
    // of the row belongs to the row clicked, before its blank.
    const int rowEnd = row.textStart() + row.textLength();
    if (rowIndex + 1 < layout.lineCount() && column >= rowEnd && rowEnd > row.textStart() &&
        layout.text().at(rowEnd - 1).isSpace())
        column = rowEnd - 1;
    return model_->lineStart(line) + column;
}

// ---- painting ------------------------------------------------------------------------------

bool TextPaneView::selectionShown() const {
    return model_ && model_->selectionLength() > 0 && (!hideSelection_ || hasFocus());
}

void TextPaneView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const qsizetype n = lineCount();
    if (n == 0)
        return;
    if (!wrappingComplete()) // the lines below the screen, once this paint is on it
        finishWrapping_.start(0, this);
    const QRect area = event->rect();
    const int dx = horizontalScrollBar()->value();
    const int dy = verticalScrollBar()->value();
    painter.setPen(palette().color(QPalette::Text));

    const bool showSelection = selectionShown();
    const qsizetype selStart = model_->selectionStart();
    const qsizetype selEnd = selStart + model_->selectionLength();
    QTextCharFormat selected;
    selected.setBackground(palette().brush(QPalette::Highlight));
    selected.setForeground(palette().brush(QPalette::HighlightedText));

    const qsizetype first = lineAtY(area.top() + dy);
    const qsizetype last = lineAtY(area.bottom() + dy);
    for (qsizetype i = first; i <= last; ++i) {
        const QTextLayout& layout = layoutOf(i);
        const QPointF origin(TextMargin - dx, lineTop(i) - dy);
        QList<QTextLayout::FormatRange> selections;
        bool breakSelected = false;
        if (showSelection) {
            const qsizetype start = model_->lineStart(i);
            const qsizetype length = model_->lineView(i).size();
            const qsizetype from = std::max<qsizetype>(selStart - start, 0);
            const qsizetype to = std::min<qsizetype>(selEnd - start, length);
            if (from < to)
                selections.push_back({int(from), int(to - from), selected});
            breakSelected = selStart <= start + length && selEnd > start + length;
        }
        layout.draw(&painter, origin, selections);
        if (breakSelected) {
            const QTextLine row = layout.lineAt(layout.lineCount() - 1);
            const qreal x = row.cursorToX(row.textStart() + row.textLength());
            painter.fillRect(QRectF(origin.x() + x, origin.y() + row.y(), breakWidth_, rowHeight_),
                             palette().brush(QPalette::Highlight));
        }
    }
}

bool TextPaneView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // Copying belongs to the focused pane even when the window has a shortcut for the keys.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll)) {
            event->accept();
            return true;
        }
    }
    const bool handled = QAbstractScrollArea::event(event);
    if (event->type() == QEvent::Paint && hoverFrame_)
        quorvane::paintHoverFrame(*this);
    return handled;
}

void TextPaneView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateMetrics();
        rowLayouts_.clear();
        wrapped_.clear();
        refresh();
    } else if (event->type() == QEvent::PaletteChange) {
        viewport()->update();
    }
}

void TextPaneView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (hideSelection_)
        viewport()->update();
}

void TextPaneView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (hideSelection_)
        viewport()->update();
}

// ---- selection and input -------------------------------------------------------------------

QString TextPaneView::selectedText() const {
    QString out;
    if (!model_ || model_->selectionLength() == 0 || lineCount() == 0)
        return out;
    const qsizetype end = model_->selectionStart() + model_->selectionLength();
    auto [line, column] = model_->lineAt(model_->selectionStart());
    for (; line < lineCount(); ++line, column = 0) {
        const qsizetype start = model_->lineStart(line);
        if (start >= end)
            break;
        const QStringView text = model_->lineView(line);
        const qsizetype from = std::min(column, text.size());
        const qsizetype to = std::min(end - start, text.size());
        if (from < to)
            out += text.mid(from, to - from);
        // The break counts when the selection holds its CR; an LF alone is half a break.
        if (column <= text.size() && end > start + text.size())
            out += u'\n';
    }
    return out;
}

void TextPaneView::copy() const {
    const QString text = selectedText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void TextPaneView::selectTo(qsizetype position) {
    if (!model_)
        return;
    model_->setSelection(std::min(anchor_, position), std::abs(position - anchor_));
    viewport()->update();
    reportToAccessibility(false);
}

qsizetype TextPaneView::cursorPosition() const {
    if (!model_)
        return 0;
    const qsizetype start = model_->selectionStart();
    const qsizetype end = start + model_->selectionLength();
    return anchor_ == end && start != end ? start : end;
}

// Comparing the text costs a pass over it, paid only while assistive technology listens.
void TextPaneView::reportToAccessibility(bool textMayHaveChanged) {
    if (!QAccessible::isActive()) {
        accessibleReport_.reset();
        return;
    }
    if (!accessibleReport_)
        accessibleReport_ = std::make_unique<AccessibleTextReport>();
    accessibleReport_->update(*this, textMayHaveChanged);
}

void TextPaneView::selectWordAt(qsizetype position) {
    if (lineCount() == 0)
        return;
    const auto [line, column] = model_->lineAt(position);
    const QStringView text = model_->lineView(line);
    const qsizetype start = model_->lineStart(line);
    if (column >= text.size()) {
        anchor_ = start + text.size();
        selectTo(anchor_);
        return;
    }
    qsizetype from = column;
    qsizetype to = column + 1;
    if (isWordCharacter(text[column])) {
        while (from > 0 && isWordCharacter(text[from - 1]))
            --from;
        while (to < text.size() && isWordCharacter(text[to]))
            ++to;
    }
    anchor_ = start + from;
    selectTo(start + to);
}

void TextPaneView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        copy();
        return;
    }
    if (event == QKeySequence::SelectAll) {
        if (model_) {
            anchor_ = 0;
            selectTo(model_->textLength());
        }
        return;
    }
    if (event->modifiers() & Qt::ControlModifier) {
        if (event->key() == Qt::Key_Home) {
            scrollToTop();
            return;
        }
        if (event->key() == Qt::Key_End) {
            verticalScrollBar()->setValue(verticalScrollBar()->maximum());
            return;
        }
    }
    if (event->key() == Qt::Key_Home) {
        horizontalScrollBar()->setValue(0);
        return;
    }
    if (event->key() == Qt::Key_End) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->maximum());
        return;
    }
    // The arrows and the page keys scroll; everything else, typing included, goes unused.
    QAbstractScrollArea::keyPressEvent(event);
}

void TextPaneView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !model_) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const qsizetype position = positionAt(event->position().toPoint());
    if (event->modifiers() & Qt::ShiftModifier) {
        // The anchor of an earlier drag holds only while the selection still ends there.
        const qsizetype start = model_->selectionStart();
        if (anchor_ != start && anchor_ != start + model_->selectionLength())
            anchor_ = start;
    } else {
        anchor_ = position;
    }
    selectTo(position);
    selecting_ = true;
    lastMouse_ = event->position().toPoint();
}

void TextPaneView::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT mouseMoved();
    if (!selecting_ || !(event->buttons() & Qt::LeftButton)) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    lastMouse_ = event->position().toPoint();
    selectTo(positionAt(lastMouse_));
    if (viewport()->rect().contains(lastMouse_))
        autoScroll_.stop();
    else if (!autoScroll_.isActive())
        autoScroll_.start(AutoScrollIntervalMs, this);
}

void TextPaneView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        selecting_ = false;
        autoScroll_.stop();
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void TextPaneView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !model_) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    selectWordAt(positionAt(event->position().toPoint()));
}

// While a drag is held outside the viewport, the view keeps scrolling towards the pointer.
void TextPaneView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == finishWrapping_.timerId()) {
        finishWrapping_.stop();
        if (!wrappingComplete()) {
            wrapThrough(lineCount() - 1);
            updateScrollBars();
        }
        return;
    }
    if (event->timerId() != autoScroll_.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    if (!selecting_) {
        autoScroll_.stop();
        return;
    }
    const QRect r = viewport()->rect();
    if (lastMouse_.y() < r.top())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (lastMouse_.y() > r.bottom())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    if (lastMouse_.x() < r.left())
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (lastMouse_.x() > r.right())
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    selectTo(positionAt(lastMouse_));
}

} // namespace quorvane
