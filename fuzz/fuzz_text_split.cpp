// Fuzzed bytes through what a custom spellbook file goes through: the 8-bit decoding, the
// splitting into items, the list and pane writes, and the load from a file. The splitting is
// checked against a second, differently built reading of the rule (turn every break into LF,
// then cut at LF) and against the round trips that the rule guarantees.

#include "FuzzInput.h"

#include "ui/Error.h"
#include "ui/ListModel.h"
#include "ui/TextPane.h"
#include "ui/TextSplit.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

using namespace quorvane;
using fuzz::quoted;
using fuzz::require;

namespace {

// The items that the rule gives: the text ends at its first zero character; CR LF, then every
// remaining CR, become LF (so LF CR and CR CR LF are two breaks); every LF ends an item, and
// the LF that ends the text adds no empty item after it.
QStringList itemsByRule(QStringView text) {
    const qsizetype zero = text.indexOf(QChar(u'\0'));
    QString t = text.first(zero < 0 ? text.size() : zero).toString();
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    if (t.isEmpty())
        return {};
    QStringList items = t.split(u'\n');
    if (t.endsWith(u'\n'))
        items.removeLast();
    return items;
}

void checkSplitting(QStringView text, const char* origin) {
    const QStringList items = splitItems(text);
    const QStringList expected = itemsByRule(text);
    if (items != expected)
        fuzz::fail(
            QStringLiteral("%1 text %2\nsplit into %3\nexpected   %4")
                .arg(QString::fromUtf8(origin), quoted(text), quoted(items), quoted(expected)));

    // Items written back as a list text read back as the same items, and that text is stable.
    const QString joined = joinItems(items);
    require(splitItems(joined) == items, "split(join(items)) != items");
    require(joinItems(splitItems(joined)) == joined, "join(split(join(items))) != join(items)");

    // A list write empties the list, takes the same items and selects no row.
    ListModel list(u"old\r\nrows\r\n");
    list.setSelectedRow(1);
    list.setText(text);
    require(list.selectedRow() == -1, "a list write left a row selected");
    require(list.text() == joined, "list text differs from the joined items");

    // A pane splits its text the same way; writing the text it already has keeps the selection.
    TextPane pane;
    pane.addLine(u"old");
    pane.setText(text);
    require(pane.lineCount() == items.size(), "pane line count differs from the item count");
    for (qsizetype i = 0; i < items.size(); ++i)
        require(pane.line(i) == items[i], "pane line differs from the item");
    require(pane.text() == joined, "pane text differs from the joined items");
    require(pane.textLength() == joined.size(), "pane text length is wrong");
    pane.setSelection(joined.size() / 3, joined.size() / 2);
    const qsizetype start = pane.selectionStart(), length = pane.selectionLength();
    require(start >= 0 && length >= 0 && start + length <= pane.textLength(),
            "the selection left the text");
    pane.setText(joined);
    require(pane.selectionStart() == start && pane.selectionLength() == length,
            "writing a pane's own text moved its selection");
}

// The decoding of every byte value, worked out once and checked to be one to one: ASCII and
// A0 to FF keep their value, 80 to 9F become Windows-1252's characters or, for the five
// unassigned bytes, keep their value.
const std::array<char16_t, 256>& byteTable() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char, 256> all{};
        for (int b = 0; b < 256; ++b)
            all[std::size_t(b)] = char(b);
        const QString decoded = decodeCodepage(QByteArrayView(all.data(), 256));
        require(decoded.size() == 256, "decoding changed the length");
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char16_t c = decoded[b].unicode();
            const bool kept = c == char16_t(b);
            if (b < 0x80 || b >= 0xA0)
                require(kept, "a byte outside 80 to 9F changed its value");
            else
                require(kept || c >= 0x100, "a byte of 80 to 9F decoded into Latin-1");
            for (int earlier = 0; earlier < b; ++earlier)
                require(t[std::size_t(earlier)] != c, "two bytes decode to one character");
            t[std::size_t(b)] = c;
        }
        return t;
    }();
    return table;
}

// A file that lives in memory only, so that every run can load from a real file without
// touching the disk or leaving anything behind.
class MemoryFile {
public:
    MemoryFile() : fd_(::memfd_create("quorvane-fuzz-spells", MFD_CLOEXEC)) {
        require(fd_ >= 0, "memfd_create failed");
        path_ = QStringLiteral("/proc/self/fd/%1").arg(fd_);
    }
    ~MemoryFile() { ::close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    const QString& write(const std::uint8_t* data, std::size_t size) {
        require(::ftruncate(fd_, 0) == 0, "ftruncate failed");
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::pwrite(fd_, data + done, size - done, off_t(done));
            require(n > 0, "pwrite failed");
            done += std::size_t(n);
        }
        return path_;
    }

private:
    int fd_;
    QString path_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    const QString decoded = decodeCodepage(bytes);
    require(decoded.size() == bytes.size(), "decoding changed the length");
    const auto& table = byteTable();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        require(decoded[i].unicode() == table[static_cast<unsigned char>(bytes[i])],
                "a byte decoded differently in context");
    checkSplitting(decoded, "decoded");

    // The same bytes as UTF-16 units reach every character, not only those of the code page.
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, size / 2 * 2);
    checkSplitting(units, "UTF-16");

    // The whole road of a custom spellbook file.
    static MemoryFile file;
    ListModel list(u"old\r\nrows\r\n");
    list.setSelectedRow(0);
    try {
        list.loadFromFile(file.write(data, size));
    } catch (const Error& e) {
        fuzz::fail(QStringLiteral("loading a readable file failed: ") + e.message());
    }
    if (list.items() != splitItems(decoded))
        fuzz::fail(QStringLiteral("file loaded as %1\nexpected       %2")
                       .arg(quoted(list.items()), quoted(splitItems(decoded))));
    require(list.selectedRow() == -1, "a load left a row selected");
    return 0;
}
