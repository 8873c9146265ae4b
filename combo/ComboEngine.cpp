#include "combo/ComboEngine.h"

#include "ui/Error.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace quorvane::combo {

namespace {

constexpr qsizetype MaxProgress = 6;

constexpr char16_t asciiUpper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

constexpr bool gestureMatches(char16_t move, char16_t gesture) {
    if (asciiUpper(move) == u'X' || move == u'?' || move == u'*')
        return asciiUpper(gesture) == gesture;
    return move == asciiUpper(gesture);
}

// ---------------------------------------------------------------------------------------
// Folded text and rolling hashes. Keys are compared with letter case ignored, so every
// hash is taken over folded characters; a hash hit is always confirmed character by
// character, so a collision costs time, never a wrong result.

constexpr std::uint64_t HashBase = 0x100000001B3ull * 2 + 1;

// A combo line "1: name [gestures]", read in its pieces and folded and hashed only as far
// as asked: the places worth looking at sit around its brackets, and a line may be tens of
// megabytes long.
class FoldedLine {
public:
    void assign(QStringView name, QStringView gestures) {
        pieces_ = {QStringView(u"1: "), name, QStringView(u" ["), gestures, QStringView(u"]")};
        size_ = std::size_t(name.size() + gestures.size() + 6);
        folded_.clear();
        prefix_.assign(1, 0);
        piece_ = 0;
        offset_ = 0;
    }

    std::size_t size() const { return size_; }

    // Folds and hashes the line's first k characters.
    void reach(std::size_t k) {
        while (folded_.size() < k) {
            const QStringView piece = pieces_[piece_];
            const qsizetype take = std::min(piece.size() - offset_, qsizetype(k - folded_.size()));
            for (qsizetype j = offset_; j < offset_ + take; ++j) {
                const char16_t c = foldCase(piece[j].unicode());
                folded_.push_back(c);
                prefix_.push_back(prefix_.back() * HashBase + c + 1);
            }
            offset_ += take;
            if (offset_ == piece.size()) {
                ++piece_;
                offset_ = 0;
            }
        }
    }

    // The folded characters and the hash of [0, k), as far as reached.
    std::u16string& folded() { return folded_; }
    std::uint64_t prefix(std::size_t k) const { return prefix_[k]; }

    // Calls f(b) for every b, in order, where the line holds " [" at b. Only the space and
    // the bracket fold to themselves, so the line is searched as it stands.
    template <typename F> void forEachBracket(F&& f) const {
        std::size_t base = 0;
        char16_t before = 0;
        for (const QStringView piece : pieces_) {
            for (qsizetype q = piece.indexOf(u'['); q >= 0; q = piece.indexOf(u'[', q + 1)) {
                const char16_t previous = q > 0 ? piece[q - 1].unicode() : before;
                if (previous == u' ' && base + std::size_t(q) > 0)
                    f(base + std::size_t(q) - 1);
            }
            if (!piece.isEmpty())
                before = piece.back().unicode();
            base += std::size_t(piece.size());
        }
    }

private:
    std::array<QStringView, 5> pieces_;
    std::size_t size_ = 0;
    std::u16string folded_;
    std::vector<std::uint64_t> prefix_{0};
    std::size_t piece_ = 0;
    qsizetype offset_ = 0;
};

class Powers {
public:
    std::uint64_t operator()(std::size_t n) {
        while (pow_.size() <= n)
            pow_.push_back(pow_.back() * HashBase);
        return pow_[n];
    }

private:
    std::vector<std::uint64_t> pow_{1};
};

std::uint64_t hashFolded(QStringView s) {
    std::uint64_t h = 0;
    for (QChar c : s)
        h = h * HashBase + foldCase(c.unicode()) + 1;
    return h;
}

std::uint64_t mix(std::uint64_t h, std::uint64_t a, std::uint64_t b = 0) {
    h ^= a * 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    h ^= b * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
    return h * 0xFF51AFD7ED558CCDull;
}

// Open addressing from a 64-bit key to int values; equal keys may hold several values, so
// a lookup visits them all and the caller confirms the one it wants. It grows as values
// arrive: a list of millions of rows may hold only a handful of names.
class FlatMultiMap {
public:
    FlatMultiMap() { resize(16); }
    void insert(std::uint64_t key, int value) {
        if (2 * (size_ + 1) > slots_.size())
            grow();
        place(key, value);
        ++size_;
    }
    template <typename F> void forEach(std::uint64_t key, F&& f) const {
        for (std::size_t i = home(key); slots_[i].value >= 0; i = (i + 1) & mask_)
            if (slots_[i].key == key && f(slots_[i].value))
                return;
    }

private:
    struct Slot {
        std::uint64_t key = 0;
        int value = -1;
    };
    void resize(std::size_t capacity) {
        slots_.assign(capacity, Slot{});
        mask_ = capacity - 1;
        shift_ = 64 - std::countr_zero(capacity);
    }
    void grow() {
        std::vector<Slot> old = std::move(slots_);
        resize(old.size() * 2);
        for (const Slot& slot : old)
            if (slot.value >= 0)
                place(slot.key, slot.value);
    }
    void place(std::uint64_t key, int value) {
        std::size_t i = home(key);
        while (slots_[i].value >= 0)
            i = (i + 1) & mask_;
        slots_[i] = {key, value};
    }
    // The keys come out of a multiplication, whose high bits are the well mixed ones.
    std::size_t home(std::uint64_t key) const {
        return std::size_t((key * 0x9E3779B97F4A7C15ull) >> shift_);
    }
    std::vector<Slot> slots_;
    std::size_t size_ = 0;
    std::size_t mask_ = 0;
    int shift_ = 60;
};

// ---------------------------------------------------------------------------------------
// Search

// Up to six characters packed four and two to a word, with the mask that covers them, so
// that the characters after a "[" are compared with the moves at once.
struct Packed {
    std::uint64_t low = 0, high = 0, lowMask = 0, highMask = 0;
};

template <typename Chars> Packed pack(const Chars& chars, int count) {
    Packed p;
    for (int i = 0; i < count; ++i) {
        const std::uint64_t c = std::uint64_t(chars[i]);
        if (i < 4) {
            p.low |= c << (16 * i);
            p.lowMask |= std::uint64_t(0xFFFF) << (16 * i);
        } else {
            p.high |= c << (16 * (i - 4));
            p.highMask |= std::uint64_t(0xFFFF) << (16 * (i - 4));
        }
    }
    return p;
}

// The largest N (1 to 6) at which the row's try succeeds, or 0. Only the gesture string's
// first six characters and its length matter.
int progressOf(QStringView history, const char16_t* gestures, qsizetype length) {
    const qsizetype L = history.size();
    for (qsizetype n = std::min(L, std::min(MaxProgress, length)); n >= 1; --n) {
        if (n == 1 && asciiUpper(history[L - 1].unicode()) == u'X')
            continue;
        qsizetype k = 0;
        while (k < n && gestureMatches(history[L - n + k].unicode(), gestures[k]))
            ++k;
        if (k == n)
            return int(n);
    }
    return 0;
}

int progressOf(QStringView history, QStringView gestures) {
    return progressOf(history, reinterpret_cast<const char16_t*>(gestures.data()), gestures.size());
}

} // namespace

// What the search needs to know of the spellbook beyond the history: the key of every row,
// told apart with letter case ignored, and for every row the other keys that occur in its
// combo line. A key "name [gestures" can only occur in a line with its " [" on a " [" of
// the line, the name ending right before it and the gestures right after it, so only those
// places are looked at; a name that reaches back to the line's first character depends on
// the progress digit there, so such an occurrence is kept with the digits it holds for.
class SpellbookIndex {
public:
    SpellbookIndex(const ListModel& gestureList, const ListModel& nameList)
        : rows_(std::min(gestureList.count(), nameList.count())) {
        rowKey_.reserve(std::size_t(rows_));
        shapes_.reserve(std::size_t(rows_));
        heads_.reserve(std::size_t(rows_));
        tailFrom_.reserve(std::size_t(rows_) + 1);
        tails_.reserve(
            std::size_t(nameList.characters(rows_) + gestureList.characters(rows_) + 5 * rows_));
        for (qsizetype row = 0; row < rows_; ++row) {
            const QStringView name = nameList.at(row), gestures = gestureList.at(row);
            rowKey_.push_back(keyOf(groupOf(name), gestures));
            shapes_.push_back(shapeOf(name, gestures));
            Head h{{}, gestures.size()};
            for (qsizetype k = 0; k < std::min(MaxProgress, h.length); ++k)
                h.gestures[k] = gestures[k].unicode();
            heads_.push_back(h);
            tailFrom_.push_back(tails_.size());
            for (QStringView piece :
                 {QStringView(u": "), name, QStringView(u" ["), gestures, QStringView(u"]")})
                tails_.append(reinterpret_cast<const char16_t*>(piece.data()),
                              std::size_t(piece.size()));
        }
        tailFrom_.push_back(tails_.size());
        // Rows of one key have one folded line, so the keys it contains are looked for once,
        // at the key's first row; keys are numbered in the order of their first rows.
        containedFrom_.reserve(std::size_t(keyCount_) + 1);
        for (qsizetype row = 0; row < rows_; ++row) {
            if (std::size_t(rowKey_[std::size_t(row)]) < containedFrom_.size())
                continue;
            containedFrom_.push_back(contained_.size());
            collectContained(row, nameList.at(row), gestureList.at(row));
        }
        containedFrom_.push_back(contained_.size());
        // Only the search's own reading of the lists is needed from here on.
        groups_.clear();
        keys_.clear();
    }

    qsizetype rows() const { return rows_; }
    int keyCount() const { return keyCount_; }
    int keyOf(qsizetype row) const { return rowKey_[std::size_t(row)]; }

    // How the row's combo line looks after its digit: where its "[" stands and what follows
    // it, when that "[" is the only one of the line.
    struct Shape {
        std::uint64_t low, high; // the following characters, folded and packed as Packed does
        std::int32_t bracket;    // column of the line's "["
        std::int16_t following;  // characters packed from the gestures and the closing "]"
        bool onlyBracket;        // neither name nor gestures hold a "["
        Packed head() const { return {low, high, 0, 0}; }
    };
    const Shape& shape(qsizetype row) const { return shapes_[std::size_t(row)]; }

    // The first six gestures of every row side by side, so that trying all rows against a
    // history reads memory in order.
    struct Head {
        char16_t gestures[MaxProgress];
        qsizetype length;
    };
    const Head& head(qsizetype row) const { return heads_[std::size_t(row)]; }

    // The row's combo line after its progress digit: ": name [gestures]".
    QStringView lineTail(qsizetype row) const {
        return QStringView(
            tails_.data() + tailFrom_[std::size_t(row)],
            qsizetype(tailFrom_[std::size_t(row) + 1] - tailFrom_[std::size_t(row)]));
    }

    // The keys other than its own that the row's line with this progress digit contains.
    template <typename F> void forEachContained(qsizetype row, int progress, F&& f) const {
        const unsigned bit = 1u << progress;
        const auto key = std::size_t(rowKey_[std::size_t(row)]);
        for (std::size_t i = containedFrom_[key]; i < containedFrom_[key + 1]; ++i)
            if (contained_[i].digits & bit)
                f(contained_[i].key);
    }

private:
    static constexpr unsigned AllDigits = 0x7E; // bits 1 to 6

    // The distinct lengths of a name's gesture strings.
    struct LengthSet {
        std::uint64_t small = 0; // lengths 0 to 63
        std::vector<qsizetype> large;
        void add(qsizetype n) {
            if (n < 64)
                small |= std::uint64_t(1) << n;
            else if (std::find(large.begin(), large.end(), n) == large.end())
                large.push_back(n);
        }
        template <typename F> void forEach(F&& f) const {
            for (std::uint64_t bits = small; bits != 0; bits &= bits - 1)
                f(qsizetype(std::countr_zero(bits)));
            for (qsizetype n : large)
                f(n);
        }
    };
    struct NameGroup {
        QStringView name; // the first spelling met; the others differ in letter case only
        LengthSet gestureLengths;
    };
    struct Key {
        int group;
        QStringView gestures;
    };
    // The lengths that names come in, each with a quick filter on the folded first and last
    // characters of the names of that length, which rules out most places without hashing.
    struct NameLength {
        qsizetype length;
        std::array<std::uint64_t, 64> edges{};
        bool mayMatch(char16_t first, char16_t last) const {
            return (edges[first & 63] >> (last & 63)) & 1;
        }
    };
    struct Contained {
        int key;
        unsigned digits; // bit N: the line with progress N contains the key
    };

    static bool equalFolded(QStringView a, QStringView b) {
        if (a.size() != b.size())
            return false;
        for (qsizetype k = 0; k < a.size(); ++k)
            if (foldCase(a[k].unicode()) != foldCase(b[k].unicode()))
                return false;
        return true;
    }
    static bool equalFolded(const char16_t* folded, QStringView b) {
        for (qsizetype k = 0; k < b.size(); ++k)
            if (folded[k] != foldCase(b[k].unicode()))
                return false;
        return true;
    }

    int groupOf(QStringView name) {
        const std::uint64_t h = mix(hashFolded(name), std::uint64_t(name.size()));
        int found = -1;
        groupByName_.forEach(h, [&](int g) {
            if (equalFolded(groups_[std::size_t(g)].name, name))
                found = g;
            return found >= 0;
        });
        if (found >= 0)
            return found;
        found = int(groups_.size());
        groups_.push_back({name, {}});
        groupByName_.insert(h, found);
        auto at = std::lower_bound(lengths_.begin(), lengths_.end(), name.size(),
                                   [](const NameLength& l, qsizetype n) { return l.length < n; });
        if (at == lengths_.end() || at->length != name.size())
            at = lengths_.insert(at, NameLength{name.size()});
        if (!name.isEmpty()) {
            const char16_t first = foldCase(name.front().unicode());
            const char16_t last = foldCase(name.back().unicode());
            at->edges[first & 63] |= std::uint64_t(1) << (last & 63);
        }
        return found;
    }

    int keyOf(int group, QStringView gestures) {
        const std::uint64_t h =
            mix(hashFolded(gestures), std::uint64_t(gestures.size()), std::uint64_t(group));
        int found = -1;
        keyByParts_.forEach(h, [&](int k) {
            const Key& key = keys_[std::size_t(k)];
            if (key.group == group && equalFolded(key.gestures, gestures))
                found = k;
            return found >= 0;
        });
        if (found < 0) {
            found = keyCount_++;
            keys_.push_back({group, gestures});
            keyByParts_.insert(h, found);
            groups_[std::size_t(group)].gestureLengths.add(gestures.size());
        }
        return found;
    }

    static Shape shapeOf(QStringView name, QStringView gestures) {
        const int following = int(std::min<qsizetype>(MaxProgress, gestures.size() + 1));
        char16_t next[MaxProgress];
        for (int i = 0; i < following; ++i)
            next[i] = i < gestures.size() ? foldCase(gestures[i].unicode()) : u']';
        const Packed head = pack(next, following);
        // A line too long for these columns is left to the highlighting to read for itself.
        const bool fits = name.size() + 4 <= std::numeric_limits<std::int32_t>::max();
        return Shape{head.low, head.high, fits ? std::int32_t(name.size() + 4) : 0,
                     std::int16_t(following),
                     fits && !name.contains(u'[') && !gestures.contains(u'[')};
    }

    // The hash of the line's folded characters [from, to), which must have been reached.
    std::uint64_t hashOf(std::size_t from, std::size_t to) {
        return line_.prefix(to) - line_.prefix(from) * pow_(to - from);
    }

    // Looks at the row's line as written with progress 1 and notes every other key in it.
    void collectContained(qsizetype row, QStringView name, QStringView gestures) {
        line_.assign(name, gestures);
        const int own = rowKey_[std::size_t(row)];
        // The row's own key starts at its own bracket and is never noted; not reading what
        // follows there spares hashing the whole of a very long gesture string.
        const OwnPlace ownPlace{std::size_t(name.size()) + 3, keys_[std::size_t(own)].group,
                                gestures.size()};
        line_.forEachBracket([&](std::size_t b) {
            line_.reach(b);
            const std::u16string& f = line_.folded();
            for (const NameLength& nl : lengths_) {
                const std::size_t a = std::size_t(nl.length);
                if (a > b)
                    break;
                if (a < b) {
                    const std::size_t from = b - a;
                    if (a == 0 || nl.mayMatch(f[from], f[b - 1]))
                        noteNameAt(from, b, hashOf(from, b), AllDigits, own, ownPlace);
                    continue;
                }
                // The name would start with the progress digit: try each digit in its place.
                for (int digit = 1; digit <= MaxProgress; ++digit) {
                    const char16_t d = foldCase(char16_t(u'0' + digit));
                    if (!nl.mayMatch(d, line_.folded()[b - 1]))
                        continue;
                    const char16_t kept = line_.folded()[0];
                    const std::uint64_t h = hashOf(0, b) + (std::uint64_t(d) - kept) * pow_(b - 1);
                    line_.folded()[0] = d;
                    noteNameAt(0, b, h, 1u << digit, own, ownPlace);
                    line_.folded()[0] = kept;
                }
            }
        });
    }

    struct OwnPlace {
        std::size_t bracket;
        int group;
        qsizetype gestures;
    };

    // A name of some group may end at b: note the keys of that group whose gestures follow.
    void noteNameAt(std::size_t from, std::size_t b, std::uint64_t nameHash, unsigned digits,
                    int own, const OwnPlace& ownPlace) {
        const std::size_t a = b - from;
        groupByName_.forEach(mix(nameHash, a), [&](int g) {
            const NameGroup& group = groups_[std::size_t(g)];
            if (group.name.size() != qsizetype(a) ||
                !equalFolded(line_.folded().data() + from, group.name))
                return false;
            group.gestureLengths.forEach([&](qsizetype glen) {
                const std::size_t start = b + 2, end = start + std::size_t(glen);
                if (end > line_.size())
                    return;
                if (b == ownPlace.bracket && g == ownPlace.group && glen == ownPlace.gestures)
                    return; // the row's own gestures: its own key
                line_.reach(end);
                const char16_t* const folded = line_.folded().data();
                keyByParts_.forEach(mix(hashOf(start, end), std::size_t(glen), std::uint64_t(g)),
                                    [&](int k) {
                                        const Key& key = keys_[std::size_t(k)];
                                        if (key.group != g || key.gestures.size() != glen ||
                                            !equalFolded(folded + start, key.gestures))
                                            return false;
                                        if (k != own)
                                            note(k, digits);
                                        return true;
                                    });
            });
            return true;
        });
    }

    void note(int key, unsigned digits) {
        for (std::size_t i = containedFrom_.back(); i < contained_.size(); ++i)
            if (contained_[i].key == key) {
                contained_[i].digits |= digits;
                return;
            }
        contained_.push_back({key, digits});
    }

    qsizetype rows_;
    int keyCount_ = 0;
    std::vector<int> rowKey_;
    std::vector<Shape> shapes_;
    std::vector<Head> heads_;
    std::u16string tails_;
    std::vector<std::size_t> tailFrom_;
    std::vector<std::size_t> containedFrom_; // by key
    std::vector<Contained> contained_;

    // Used while building only.
    std::vector<NameGroup> groups_;
    std::vector<Key> keys_;
    std::vector<NameLength> lengths_; // ascending
    FlatMultiMap groupByName_;        // mix(name hash, length) -> group
    FlatMultiMap keyByParts_;         // mix(gestures hash, length, group) -> key
    FoldedLine line_;
    Powers pow_;
};

namespace {

const char16_t Digits[] = u"0123456789";

// The search proper: rows in order, each listed at its largest matching progress unless its
// key already occurs in the pane; stops with the list error at a matching row without name.
// What the search leaves besides the pane: for every line, the row it lists and its progress.
struct Listed {
    std::vector<unsigned> progress;
    std::vector<SpellbookIndex::Shape> shapes;
};

// Tries rows one at a time. A row's try depends only on its first six gestures and on its
// length up to six, so a row that looks like the last one that failed fails too; a file
// of many similar rows is passed over without working each one out.
class RowTrier {
public:
    RowTrier(QStringView history, const ListModel& gestures)
        : history_(history), gestures_(gestures) {}

    bool succeeds(qsizetype row) {
        const QStringView g = gestures_.at(row);
        const qsizetype head = std::min(MaxProgress, g.size());
        if (head == failedLength_ &&
            std::equal(g.begin(), g.begin() + head, failed_.begin(),
                       [](QChar a, char16_t b) { return a.unicode() == b; }))
            return false;
        if (progressOf(history_, g) > 0)
            return true;
        failedLength_ = head;
        for (qsizetype k = 0; k < head; ++k)
            failed_[std::size_t(k)] = g[k].unicode();
        return false;
    }

private:
    QStringView history_;
    const ListModel& gestures_;
    std::array<char16_t, MaxProgress> failed_{};
    qsizetype failedLength_ = -1;
};

// The first row at or after `from` whose try succeeds, or -1. Every such row lacks a name,
// so only the first one counts. A row can only succeed when its first gesture matches one
// of the last six moves, and the list tells every row's first character in a byte, so most
// rows are passed over without reading their characters.
qsizetype firstMatchingRow(QStringView history, const ListModel& gestureList, qsizetype from) {
    const qsizetype L = history.size();
    const qsizetype deepest = std::min(L, MaxProgress);
    const bool lastIsX = L > 0 && asciiUpper(history[L - 1].unicode()) == u'X';
    const QByteArrayView leads = gestureList.leadBytes();
    const qsizetype end = leads.size();
    if (from >= end || deepest < (lastIsX ? 2 : 1))
        return -1;
    std::array<bool, 256> mayStart{};
    std::array<unsigned char, 256> starts{};
    std::size_t startCount = 0;
    for (unsigned b = 1; b < ListModel::OtherLead; ++b) {
        for (qsizetype n = lastIsX ? 2 : 1; n <= deepest && !mayStart[b]; ++n)
            mayStart[b] = gestureMatches(history[L - n].unicode(), char16_t(b));
        if (mayStart[b])
            starts[startCount++] = static_cast<unsigned char>(b);
    }
    mayStart[ListModel::OtherLead] = true;
    starts[startCount++] = ListModel::OtherLead;

    const auto* lead = reinterpret_cast<const unsigned char*>(leads.data());
    RowTrier trier(history, gestureList);

    // Moves without wildcards let few first characters through: look for each of them with
    // memchr, which passes over the other rows many bytes at a time.
    if (constexpr std::size_t FewStarts = 8; startCount <= FewStarts) {
        const auto find = [&](unsigned char b, qsizetype at) {
            const void* found =
                at < end ? std::memchr(lead + at, b, std::size_t(end - at)) : nullptr;
            return found ? qsizetype(static_cast<const unsigned char*>(found) - lead) : end;
        };
        std::array<qsizetype, FewStarts> next{};
        for (std::size_t i = 0; i < startCount; ++i)
            next[i] = find(starts[i], from);
        for (;;) {
            const auto nearest =
                std::min_element(next.begin(), next.begin() + std::ptrdiff_t(startCount));
            if (*nearest == end)
                return -1;
            if (trier.succeeds(*nearest))
                return *nearest;
            *nearest = find(starts[std::size_t(nearest - next.begin())], *nearest + 1);
        }
    }
    for (qsizetype row = from; row < end; ++row)
        if (mayStart[lead[row]] && trier.succeeds(row))
            return row;
    return -1;
}

// The names are read through the index, which covers the rows that have one.
std::optional<Error> searchInto(const SpellbookIndex& index, QStringView history,
                                const ListModel& gestureList, TextPane& pane,
                                std::vector<unsigned char>& occurs, Listed* listed = nullptr) {
    pane.clear();
    occurs.assign(std::size_t(index.keyCount()), 0);
    if (listed) {
        listed->progress.clear();
        listed->shapes.clear();
    }
    for (qsizetype row = 0; row < index.rows(); ++row) {
        const int progress = progressOf(history, index.head(row).gestures, index.head(row).length);
        if (progress == 0)
            continue;
        const int key = index.keyOf(row);
        if (occurs[std::size_t(key)])
            continue;
        pane.addLine({QStringView(Digits + progress, 1), index.lineTail(row)});
        occurs[std::size_t(key)] = 1;
        if (listed) {
            listed->progress.push_back(unsigned(u'0' + progress));
            listed->shapes.push_back(index.shape(row));
        }
        index.forEachContained(row, progress, [&](int k) { occurs[std::size_t(k)] = 1; });
    }
    if (const qsizetype row = firstMatchingRow(history, gestureList, index.rows()); row >= 0)
        return Error(QStringLiteral("List index out of bounds (%1)").arg(row));
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------
// Ordering

unsigned sortKey(QStringView line) {
    return line.isEmpty() ? 0u : line.front().unicode();
}

// The exchange procedure "for q, for j: if key[j] < key[q] swap" followed run by run. The
// pass q = 0 leaves the smallest key at position 0. From then on the lines before q stand in
// falling order, and pass q inserts line q among them: it joins the end of its own run,
// and every run of smaller keys turns by one (its first line goes to its end). The line left
// at q always carries the smallest key, so nothing after q ever moves again.
void exchangeOrder(const std::vector<unsigned>& keys, std::vector<qsizetype>& at,
                   std::vector<qsizetype>& order) {
    const std::size_t n = keys.size();
    at.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        at[i] = qsizetype(i);
    if (n < 2) {
        order = at;
        return;
    }
    for (std::size_t j = 1; j < n; ++j)
        if (keys[std::size_t(at[j])] < keys[std::size_t(at[0])])
            std::swap(at[0], at[j]);

    // A run's lines in a ring, so that turning it by one costs two writes.
    struct Ring {
        std::vector<qsizetype> cells = std::vector<qsizetype>(8);
        std::size_t head = 0, size = 0;
        void push_back(qsizetype v) {
            if (size == cells.size()) [[unlikely]]
                grow();
            cells[(head + size++) & (cells.size() - 1)] = v;
        }
        void grow() {
            std::vector<qsizetype> grown(cells.size() * 2);
            for (std::size_t i = 0; i < size; ++i)
                grown[i] = cells[(head + i) & (cells.size() - 1)];
            cells = std::move(grown);
            head = 0;
        }
        void turn() { // the first line goes to the end
            const qsizetype first = cells[head];
            head = (head + 1) & (cells.size() - 1);
            cells[(head + size - 1) & (cells.size() - 1)] = first;
        }
        qsizetype operator[](std::size_t i) const { return cells[(head + i) & (cells.size() - 1)]; }
    };
    struct Run {
        unsigned key;
        Ring lines;
    };
    std::vector<Run> runs(1, Run{keys[std::size_t(at[0])], {}}); // keys falling
    runs[0].lines.push_back(at[0]);
    for (std::size_t q = 1; q < n; ++q) {
        const qsizetype c = at[q];
        const unsigned key = keys[std::size_t(c)];
        std::size_t k = 0;
        while (k < runs.size() && runs[k].key >= key)
            ++k;
        for (std::size_t r = k; r < runs.size(); ++r)
            runs[r].lines.turn();
        if (k > 0 && runs[k - 1].key == key) {
            runs[k - 1].lines.push_back(c);
        } else {
            runs.insert(runs.begin() + std::ptrdiff_t(k), Run{key, {}});
            runs[k].lines.push_back(c);
        }
    }
    order.clear();
    for (const Run& run : runs)
        for (std::size_t i = 0; i < run.lines.size; ++i)
            order.push_back(run.lines[i]);
}

// ---------------------------------------------------------------------------------------
// Highlighting

struct Bracket {
    qsizetype line;
    qsizetype column;
    qsizetype position;
    QStringView rest; // the line from this "[" on
};

// Case-insensitive comparison of a folded pattern with the pane's text at a "[", crossing
// line ends (each line is followed by CR LF in the text) when the pattern is longer than
// what is left of the line.
bool matchesAt(const TextPane& pane, const Bracket& b, std::u16string_view folded) {
    const qsizetype inLine = std::min(b.rest.size(), qsizetype(folded.size()));
    for (qsizetype k = 0; k < inLine; ++k)
        if (foldCase(b.rest[k].unicode()) != folded[std::size_t(k)])
            return false;
    if (inLine == qsizetype(folded.size()))
        return true;
    qsizetype line = b.line;
    qsizetype column = b.column + inLine;
    for (char16_t want : folded.substr(std::size_t(inLine))) {
        if (line >= pane.lineCount())
            return false;
        const QStringView text = pane.lineView(line);
        const char16_t c = column < text.size()    ? text[column].unicode()
                           : column == text.size() ? u'\r'
                                                   : u'\n';
        if (foldCase(c) != want)
            return false;
        if (++column > text.size() + 1) {
            ++line;
            column = 0;
        }
    }
    return true;
}

// The next "[" at or after from, or -1.
qsizetype findBracket(const char16_t* chars, qsizetype from, qsizetype size) {
    // memchr is the fastest scan there is; a hit on a byte 5B hex is a "[" only as the low
    // byte of a unit whose high byte is zero.
    const auto* bytes = reinterpret_cast<const unsigned char*>(chars);
    for (qsizetype at = from * 2; at < size * 2;) {
        const void* hit = std::memchr(bytes + at, '[', std::size_t(size * 2 - at));
        if (!hit)
            return -1;
        const qsizetype byte = static_cast<const unsigned char*>(hit) - bytes;
        if (byte % 2 == 0 && chars[byte / 2] == u'[')
            return byte / 2;
        at = byte + 1;
    }
    return -1;
}

std::u16string foldedPattern(QStringView before, QStringView middle, QStringView after) {
    std::u16string p;
    p.reserve(std::size_t(before.size() + middle.size() + after.size()));
    for (QStringView part : {before, middle, after})
        for (QChar c : part)
            p.push_back(foldCase(c.unicode()));
    return p;
}

// The highlighting, told by lineShape which lines have a single "[" whose following
// characters are known already (nullptr: look at the line itself).
struct Place {
    qsizetype line, column, position;
};

// Work space of the highlighting, kept between keystrokes.
struct HighlightSpace {
    std::vector<Place> found[MaxProgress + 1];
    std::vector<qsizetype> boldLines;
};

template <typename ShapeOf>
void highlight(QStringView history, TextPane& pane, ShapeOf&& lineShape, HighlightSpace& space) {
    const qsizetype L = history.size();
    const int passes = int(std::min(L, MaxProgress));

    // Pass k looks for "[" followed by the last k moves. One walk over the text finds, for
    // every "[", which passes find it there and whether its line holds "[history]".
    std::u16string patterns[MaxProgress + 1];
    Packed packedMoves[MaxProgress + 1];
    for (int k = 1; k <= passes; ++k) {
        patterns[k] = foldedPattern(u"[", history.sliced(L - k), {});
        packedMoves[k] = pack(patterns[k].data() + 1, k);
    }
    const std::u16string bold = foldedPattern(u"[", history, u"]");
    const int boldHead = int(std::min<qsizetype>(MaxProgress, qsizetype(bold.size()) - 1));
    const Packed boldMoves = pack(bold.data() + 1, boldHead);
    const auto packedEqual = [](const Packed& at, const Packed& want) {
        return (((at.low ^ want.low) & want.lowMask) | ((at.high ^ want.high) & want.highMask)) ==
               0;
    };
    // The masks that cover the first n characters, for a line with fewer than k after its "[".
    static const auto masks = [] {
        std::array<Packed, MaxProgress + 1> m{};
        for (int n = 0; n <= MaxProgress; ++n)
            m[std::size_t(n)] = pack(std::array<char16_t, MaxProgress>{}, n);
        return m;
    }();

    auto& found = space.found;
    auto& boldLines = space.boldLines;
    for (auto& f : found)
        f.clear();
    boldLines.clear();
    for (qsizetype line = 0, start = 0; line < pane.lineCount(); ++line) {
        const QStringView text = pane.lineView(line);
        const char16_t* chars = reinterpret_cast<const char16_t*>(text.data());
        bool lineIsBold = false;
        const auto visit = [&](qsizetype col, int inLine, const Packed& here) {
            const Bracket b{line, col, start + col, text.sliced(col)};
            const Packed& lineMask = masks[inLine];
            for (int k = 1; k <= passes; ++k) {
                if (k <= inLine ? packedEqual(here, packedMoves[k])
                                : ((((here.low ^ packedMoves[k].low) & lineMask.lowMask) |
                                    ((here.high ^ packedMoves[k].high) & lineMask.highMask)) == 0 &&
                                   matchesAt(pane, b, patterns[k])))
                    found[k].push_back({line, col, start + col});
            }
            if (!lineIsBold && qsizetype(bold.size()) <= text.size() - col &&
                (boldHead > inLine || packedEqual(here, boldMoves)) && matchesAt(pane, b, bold))
                lineIsBold = true;
        };
        if (const auto* shape = lineShape(line)) {
            visit(shape->bracket, shape->following, shape->head());
        } else {
            for (qsizetype col = 0;; ++col) {
                col = findBracket(chars, col, text.size());
                if (col < 0)
                    break;
                const int inLine = int(std::min<qsizetype>(MaxProgress, text.size() - col - 1));
                char16_t next[MaxProgress];
                for (int i = 0; i < inLine; ++i)
                    next[i] = foldCase(chars[col + 1 + i]);
                visit(col, inLine, pack(next, inLine));
            }
        }
        if (lineIsBold)
            boldLines.push_back(line);
        start += text.size() + 2;
    }

    // Each search of a pass resumes one past the first character it coloured, so a place
    // that starts there is skipped, as a Find from that point skips it; the first search
    // starts at position 1. Later passes colour over earlier ones.
    for (int k = 1; k <= passes; ++k) {
        const Colour colour = k <= 2 ? clBlue : clRed;
        qsizetype resumeAt = 1;
        for (const Place& p : found[k]) {
            if (p.position < resumeAt)
                continue;
            if (p.column + 1 + k <= pane.lineView(p.line).size())
                pane.setLineColour(p.line, p.column + 1, k, colour);
            else
                pane.setColour(p.position + 1, k, colour);
            resumeAt = p.position + 2;
        }
    }
    for (qsizetype line : boldLines)
        pane.setLineBold(line);

    if (!boldLines.empty())
        pane.setSelection(pane.lineStart(boldLines.back()), pane.lineView(boldLines.back()).size());
    else
        pane.setSelection(0, L >= MaxProgress ? MaxProgress : 0);
}

} // namespace

bool GestureMatches(QChar move, QChar gesture) {
    return gestureMatches(move.unicode(), gesture.unicode());
}

void SearchCombos(QStringView history, const ListModel& gestures, const ListModel& names,
                  TextPane& pane) {
    ComboEngine().search(history, gestures, names, pane);
}

void OrderCombos(TextPane& pane) {
    std::vector<unsigned> keys(std::size_t(pane.lineCount()));
    for (qsizetype i = 0; i < pane.lineCount(); ++i)
        keys[std::size_t(i)] = sortKey(pane.lineView(i));
    std::vector<qsizetype> at, order;
    exchangeOrder(keys, at, order);
    pane.reorderLines(order);
}

void HighlightCombos(QStringView history, TextPane& pane) {
    HighlightSpace space;
    highlight(
        history, pane, [](qsizetype) -> const SpellbookIndex::Shape* { return nullptr; }, space);
}

void RecomputeCombos(QStringView history, const ListModel& gestures, const ListModel& names,
                     TextPane& pane) {
    ComboEngine().recompute(history, gestures, names, pane);
}

// What one keystroke needs besides the pane, kept so that a large spellbook does not
// allocate and fault in the same memory again on every keystroke.
struct ComboEngine::Scratch {
    std::vector<unsigned char> occurs;
    Listed listed;
    std::vector<qsizetype> at, order;
    HighlightSpace highlight;
};

ComboEngine::ComboEngine() : scratch_(std::make_unique<Scratch>()) {}
ComboEngine::~ComboEngine() = default;

const SpellbookIndex& ComboEngine::indexFor(const ListModel& gestures, const ListModel& names) {
    if (!index_ || gestures.revision() != gesturesRevision_ || names.revision() != namesRevision_) {
        index_ = std::make_unique<SpellbookIndex>(gestures, names);
        gesturesRevision_ = gestures.revision();
        namesRevision_ = names.revision();
    }
    return *index_;
}

void ComboEngine::search(QStringView history, const ListModel& gestures, const ListModel& names,
                         TextPane& pane) {
    if (std::optional<Error> error =
            searchInto(indexFor(gestures, names), history, gestures, pane, scratch_->occurs))
        throw *error;
}

void ComboEngine::recompute(QStringView history, const ListModel& gestures, const ListModel& names,
                            TextPane& pane) {
    // The same three steps as the free functions, but the ordering takes the progress counts
    // from the search, and the highlighting takes from the index what follows each line's
    // "[", so that neither reads the lines again.
    const SpellbookIndex& index = indexFor(gestures, names);
    Scratch& s = *scratch_;
    if (std::optional<Error> error =
            searchInto(index, history, gestures, pane, s.occurs, &s.listed))
        throw *error;
    if (pane.lineCount() < 2)
        return;
    exchangeOrder(s.listed.progress, s.at, s.order);
    pane.reorderLines(s.order);
    highlight(
        history, pane,
        [&](qsizetype line) -> const SpellbookIndex::Shape* {
            const SpellbookIndex::Shape& shape =
                s.listed.shapes[std::size_t(s.order[std::size_t(line)])];
            return shape.onlyBracket ? &shape : nullptr;
        },
        s.highlight);
}

} // namespace quorvane::combo
