#pragma once

// The models behind the window's controls, without any widget: the text pane (lines with
// per-character colour and bold, a selection, a case-insensitive Find) and the list (items
// and a selected row). The combo engine and the lookup work on these only; the widgets of
// the window draw them and forward events.

#include <QString>
#include <QStringView>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {

// A 24-bit colour written $BBGGRR.
struct Colour {
    std::uint32_t bgr = 0;
    friend bool operator==(Colour, Colour) = default;
};
inline constexpr Colour clBlue{0xFF0000};
inline constexpr Colour clRed{0x0000FF};

// What a character looks like: no colour means the pane's own font colour.
struct CharFormat {
    std::optional<Colour> colour;
    bool bold = false;
    friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

namespace detail {
extern const char16_t* const foldTable;
}

// Folds one UTF-16 unit for comparisons that ignore letter case (Unicode simple case
// folding, unit by unit). Every case-insensitive comparison in the program goes through it.
inline char16_t foldCase(char16_t c) {
    return detail::foldTable[c];
}

// Lines live back to back in one buffer, so that a pane of a hundred thousand lines is
// rebuilt on every keystroke without an allocation per line. Formats are kept only for the
// lines that have any.
class TextPane {
public:
    void clear();
    void addLine(QStringView line);
    // Appends one line made of several pieces, without building it first.
    void addLine(std::initializer_list<QStringView> pieces);

    // An empty last line is not counted; an empty pane has 0 lines.
    qsizetype lineCount() const { return qsizetype(lines_.size()); }
    QString line(qsizetype i) const { return lineView(i).toString(); }
    // Valid until the pane next changes.
    QStringView lineView(qsizetype i) const {
        const Line& l = lines_.at(std::size_t(i));
        return QStringView(buffer_.data() + l.offset, l.length);
    }
    // Replaces the text of one line, which takes the default appearance.
    void setLine(qsizetype i, QStringView text);
    // Puts the lines in a new order: line k becomes the old line order[k]. The lines take
    // the default appearance, as if each had been written.
    void reorderLines(const std::vector<qsizetype>& order);

    // Every line followed by CR LF.
    QString text() const;
    qsizetype textLength() const { return lineStart(lineCount()); }
    // Replaces the whole content, split into lines like list items. Equal text, letter case
    // included, changes nothing: the selection stays.
    void setText(QStringView text);

    // Position of the first occurrence of s lying within [p, p + n] of the text, letter case
    // ignored, or -1.
    qsizetype find(QStringView s, qsizetype p, qsizetype n) const;

    qsizetype lineStart(qsizetype i) const;
    // The line holding a text position and the column in it (a column past the line's end
    // is on its CR LF).
    std::pair<qsizetype, qsizetype> lineAt(qsizetype position) const;

    qsizetype selectionStart() const { return selStart_; }
    qsizetype selectionLength() const { return selLength_; }
    // An empty selection at p (kept inside the text).
    void setSelectionStart(qsizetype p);
    // Extends the selection to n characters from its start (kept inside the text).
    void setSelectionLength(qsizetype n);
    void setSelection(qsizetype start, qsizetype length);
    void setSelectionColour(Colour c);
    void setSelectionBold();

    // Direct formatting of a range of text positions; the characters of a CR LF carry none.
    void setColour(qsizetype start, qsizetype length, Colour c);
    void setBold(qsizetype start, qsizetype length);
    // Faster forms for the columns of one line.
    void setLineColour(qsizetype line, qsizetype column, qsizetype length, Colour c);
    void setLineBold(qsizetype line);

    CharFormat format(qsizetype line, qsizetype column) const;
    // False when every character of the line has the default appearance.
    bool lineHasFormat(qsizetype line) const { return lines_.at(std::size_t(line)).attrs >= 0; }

private:
    struct Line {
        qsizetype offset; // into buffer_
        qsizetype length;
        qsizetype attrs = -1; // into attrs_, one packed format per character, or -1
    };
    // A growable run of characters that keeps its memory when emptied, so that refilling a
    // pane on every keystroke does not allocate.
    class CharBuffer {
    public:
        const char16_t* data() const { return data_.get(); }
        char16_t* data() { return data_.get(); }
        std::size_t size() const { return size_; }
        void clear() { size_ = 0; }
        bool holds(const void* p) const {
            const auto* c = static_cast<const char16_t*>(p);
            return data_ && c >= data_.get() && c < data_.get() + size_;
        }
        // Makes room for n more characters and returns where they go.
        char16_t* grow(std::size_t n) {
            if (size_ + n > capacity_)
                reallocate(std::max(capacity_ * 2, size_ + n));
            char16_t* at = data_.get() + size_;
            size_ += n;
            return at;
        }

    private:
        void reallocate(std::size_t capacity);
        std::unique_ptr<char16_t[]> data_;
        std::size_t size_ = 0;
        std::size_t capacity_ = 0;
    };

    template <typename F> void forEachLineRange(qsizetype start, qsizetype length, F&& f);
    std::uint32_t* lineAttrs(qsizetype line);
    void appendToBuffer(QStringView text);
    void changed(qsizetype firstStaleLine);
    void compact();

    CharBuffer buffer_;
    qsizetype garbage_ = 0; // characters of the buffer that no line uses any more
    std::vector<Line> lines_;
    std::vector<Line> spareLines_; // kept for reordering without allocating
    std::vector<std::uint32_t> attrs_;
    mutable std::vector<qsizetype> starts_; // starts of the lines before the first stale one
    mutable QString textCache_;
    mutable bool textValid_ = true;
    qsizetype selStart_ = 0;
    qsizetype selLength_ = 0;
};

} // namespace quorvane
