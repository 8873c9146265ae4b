#include "ui/TextPane.h"

#include "ui/ListModel.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <cstring>

namespace quorvane {

namespace {

constexpr std::uint32_t HasColour = 1u << 24;
constexpr std::uint32_t Bold = 1u << 25;
constexpr std::uint32_t ColourMask = 0xFFFFFFu;

const std::array<char16_t, 65536> foldTableData = [] {
    std::array<char16_t, 65536> t{};
    for (std::uint32_t c = 0; c < 65536; ++c) {
        const char32_t folded = QChar::toCaseFolded(char32_t(c));
        t[c] = folded < 0x10000 ? char16_t(folded) : char16_t(c);
    }
    return t;
}();

} // namespace

const char16_t* const detail::foldTable = foldTableData.data();

void TextPane::clear() {
    buffer_.clear(); // keeps the buffer's memory for the next fill
    garbage_ = 0;
    lines_.clear();
    attrs_.clear();
    changed(0);
    selStart_ = selLength_ = 0;
}

void TextPane::CharBuffer::reallocate(std::size_t capacity) {
    auto bigger = std::make_unique_for_overwrite<char16_t[]>(capacity);
    std::copy(data_.get(), data_.get() + size_, bigger.get());
    data_ = std::move(bigger);
    capacity_ = capacity;
}

void TextPane::appendToBuffer(QStringView text) {
    // The text may be a view of this very buffer, which growing can move.
    if (buffer_.holds(text.data())) {
        const QString copy = text.toString();
        appendToBuffer(copy);
        return;
    }
    const auto* from = reinterpret_cast<const char16_t*>(text.data());
    std::copy(from, from + text.size(), buffer_.grow(std::size_t(text.size())));
}

void TextPane::addLine(QStringView line) {
    lines_.push_back({qsizetype(buffer_.size()), line.size()});
    appendToBuffer(line);
    textValid_ = false; // the starts of the earlier lines stay right
}

void TextPane::addLine(std::initializer_list<QStringView> pieces) {
    const auto offset = qsizetype(buffer_.size());
    qsizetype length = 0;
    bool aliased = false;
    for (QStringView piece : pieces) {
        length += piece.size();
        aliased = aliased || buffer_.holds(piece.data());
    }
    if (aliased) {
        QString copy;
        for (QStringView piece : pieces)
            copy.append(piece);
        addLine(copy);
        return;
    }
    char16_t* out = buffer_.grow(std::size_t(length));
    for (QStringView piece : pieces) {
        std::memcpy(out, piece.data(), std::size_t(piece.size()) * sizeof(char16_t));
        out += piece.size();
    }
    lines_.push_back({offset, length});
    textValid_ = false;
}

void TextPane::setLine(qsizetype i, QStringView text) {
    Line& l = lines_.at(std::size_t(i));
    const bool sameLength = l.length == text.size();
    garbage_ += l.length;
    const auto offset = qsizetype(buffer_.size());
    appendToBuffer(text);
    l = {offset, text.size()};
    changed(sameLength ? lineCount() : i + 1);
    if (garbage_ > qsizetype(buffer_.size()) / 2 + 4096)
        compact();
}

void TextPane::reorderLines(const std::vector<qsizetype>& order) {
    spareLines_.clear();
    for (qsizetype from : order)
        spareLines_.push_back(
            {lines_.at(std::size_t(from)).offset, lines_[std::size_t(from)].length});
    lines_.swap(spareLines_);
    attrs_.clear();
    changed(0);
}

void TextPane::compact() {
    CharBuffer packed;
    for (Line& l : lines_) {
        const auto offset = qsizetype(packed.size());
        const char16_t* from = buffer_.data() + l.offset;
        std::copy(from, from + l.length, packed.grow(std::size_t(l.length)));
        l.offset = offset;
    }
    buffer_ = std::move(packed);
    garbage_ = 0;
}

void TextPane::changed(qsizetype firstStaleLine) {
    if (qsizetype(starts_.size()) > firstStaleLine)
        starts_.resize(std::size_t(firstStaleLine));
    textValid_ = false;
}

qsizetype TextPane::lineStart(qsizetype i) const {
    if (starts_.empty())
        starts_.push_back(0);
    while (qsizetype(starts_.size()) <= i) {
        const std::size_t k = starts_.size() - 1;
        starts_.push_back(starts_[k] + lines_[k].length + 2);
    }
    return starts_[std::size_t(i)];
}

std::pair<qsizetype, qsizetype> TextPane::lineAt(qsizetype position) const {
    lineStart(lineCount()); // brings every start up to date
    auto it = std::upper_bound(starts_.begin(), starts_.begin() + lineCount(), position);
    const qsizetype line = std::max<qsizetype>(qsizetype(it - starts_.begin()) - 1, 0);
    return {line, position - starts_[std::size_t(line)]};
}

QString TextPane::text() const {
    if (!textValid_) {
        textCache_.resize(0);
        textCache_.reserve(textLength());
        for (qsizetype i = 0; i < lineCount(); ++i) {
            textCache_.append(lineView(i));
            textCache_.append(QLatin1StringView("\r\n"));
        }
        textValid_ = true;
    }
    return textCache_;
}

void TextPane::setText(QStringView text) {
    if (text == QStringView(this->text()))
        return;
    const ListModel lines(text);
    clear();
    for (qsizetype i = 0; i < lines.count(); ++i)
        addLine(lines.at(i));
}

qsizetype TextPane::find(QStringView s, qsizetype p, qsizetype n) const {
    const QString whole = text();
    p = std::max<qsizetype>(p, 0);
    const qsizetype end =
        std::min(whole.size(), p + std::max<qsizetype>(n, 0)); // occurrences end by p + n
    const qsizetype m = s.size();
    const char16_t* t = reinterpret_cast<const char16_t*>(whole.constData());
    const char16_t* q = reinterpret_cast<const char16_t*>(s.data());
    for (qsizetype at = p; at + m <= end; ++at) {
        qsizetype k = 0;
        while (k < m && foldCase(t[at + k]) == foldCase(q[k]))
            ++k;
        if (k == m)
            return at;
    }
    return -1;
}

void TextPane::setSelectionStart(qsizetype p) {
    selStart_ = std::clamp<qsizetype>(p, 0, textLength());
    selLength_ = 0;
}

void TextPane::setSelectionLength(qsizetype n) {
    selLength_ = std::clamp<qsizetype>(n, 0, textLength() - selStart_);
}

void TextPane::setSelection(qsizetype start, qsizetype length) {
    setSelectionStart(start);
    setSelectionLength(length);
}

std::uint32_t* TextPane::lineAttrs(qsizetype line) {
    Line& l = lines_[std::size_t(line)];
    if (l.attrs < 0) {
        l.attrs = qsizetype(attrs_.size());
        attrs_.resize(attrs_.size() + std::size_t(l.length), 0);
    }
    return attrs_.data() + l.attrs;
}

template <typename F> void TextPane::forEachLineRange(qsizetype start, qsizetype length, F&& f) {
    if (length <= 0 || lines_.empty())
        return;
    const qsizetype end = start + length;
    auto [line, column] = lineAt(start);
    for (; line < lineCount() && lineStart(line) < end; ++line, column = 0) {
        const qsizetype lineEnd = std::min(end - lineStart(line), lines_[std::size_t(line)].length);
        if (column < lineEnd)
            f(line, column, lineEnd - column);
    }
}

void TextPane::setColour(qsizetype start, qsizetype length, Colour c) {
    forEachLineRange(start, length, [&](qsizetype line, qsizetype column, qsizetype n) {
        setLineColour(line, column, n, c);
    });
}

void TextPane::setBold(qsizetype start, qsizetype length) {
    forEachLineRange(start, length, [&](qsizetype line, qsizetype column, qsizetype n) {
        std::uint32_t* a = lineAttrs(line);
        for (qsizetype k = column; k < column + n; ++k)
            a[k] |= Bold;
    });
}

void TextPane::setLineColour(qsizetype line, qsizetype column, qsizetype length, Colour c) {
    std::uint32_t* a = lineAttrs(line);
    const std::uint32_t packed = HasColour | (c.bgr & ColourMask);
    for (qsizetype k = column; k < column + length; ++k)
        a[k] = (a[k] & Bold) | packed;
}

void TextPane::setLineBold(qsizetype line) {
    std::uint32_t* a = lineAttrs(line);
    for (qsizetype k = 0; k < lines_[std::size_t(line)].length; ++k)
        a[k] |= Bold;
}

void TextPane::setSelectionColour(Colour c) {
    setColour(selStart_, selLength_, c);
}

void TextPane::setSelectionBold() {
    setBold(selStart_, selLength_);
}

CharFormat TextPane::format(qsizetype line, qsizetype column) const {
    const Line& l = lines_.at(std::size_t(line));
    if (column < 0 || column >= l.length)
        return {};
    if (l.attrs < 0)
        return {};
    const std::uint32_t a = attrs_[std::size_t(l.attrs + column)];
    CharFormat f;
    if (a & HasColour)
        f.colour = Colour{a & ColourMask};
    f.bold = (a & Bold) != 0;
    return f;
}

} // namespace quorvane
