#include "ui/ListModel.h"

#include "ui/Error.h"
#include "ui/TextSplit.h"

#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

namespace {

// The system's description of a failure, without trailing blanks and full stops, so that
// the error box can add its own full stop.
QString systemReason(int error) {
    QString reason = QString::fromLocal8Bit(std::strerror(error));
    while (!reason.isEmpty() && (reason.back() == u' ' || reason.back() == u'.'))
        reason.chop(1);
    return reason;
}

[[noreturn]] void raiseCannotOpen(const QString& path, const QString& reason) {
    throw Error(QStringLiteral("Cannot open file \"%1\". %2")
                    .arg(QFileInfo(path).absoluteFilePath(), reason));
}

// Closes a descriptor on every way out.
struct FileDescriptor {
    int fd;
    ~FileDescriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

// A buffer of many megabytes is written once from end to end; taking its memory in large
// pages costs far fewer page faults, which dominate the time of a big load.
void adviseHugePages(void* data, qsizetype bytes) {
    constexpr qsizetype Worthwhile = qsizetype(8) << 20;
    if (bytes < Worthwhile)
        return;
    const auto page = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    char* const first = static_cast<char*>(data);
    const std::uintptr_t skip = (page - reinterpret_cast<std::uintptr_t>(first) % page) % page;
    char* const begin = first + skip;
    char* end = first + bytes;
    end -= reinterpret_cast<std::uintptr_t>(end) % page;
    if (end > begin)
        ::madvise(begin, std::size_t(end - begin), MADV_HUGEPAGE);
}

quint64 nextRevision() {
    static std::atomic<quint64> revisions{0};
    return ++revisions;
}

} // namespace

// Splits text into the list's three stores as it arrives, piece by piece, so that a file is
// decoded straight into the items' buffer: CR LF, a lone CR and a lone LF each end an item
// (a CR LF split between two pieces too), a zero character ends the text, and a break at the
// very end adds no item.
class ListModel::Builder {
public:
    enum class Outcome { More, Ended, TooLarge };

    // What a file's size lets a load expect is reserved at once, so that a big list does not
    // grow step by step. The reservation is only a hint: a sparse file may claim terabytes
    // and hold a few lines before its first zero byte, so when the memory for the claim
    // cannot be had, the buffers grow as the items arrive instead.
    explicit Builder(qsizetype expectedCharacters) {
        try {
            chars_.reserve(std::min(expectedCharacters, MaxCharacters));
        } catch (const std::bad_alloc&) {
            chars_.reserve(std::min(expectedCharacters, qsizetype(1) << 16));
        }
        adviseHugePages(chars_.data(), chars_.capacity() * qsizetype(sizeof(char16_t)));
    }

    template <typename Char, typename Decode>
    Outcome append(const Char* data, qsizetype n, Decode decode) {
        if (n == 0)
            return Outcome::More;
        qsizetype i = 0;
        if (crPending_) {
            crPending_ = false;
            if (decode(data[0]) == u'\n')
                i = 1;
        }
        if (size_ + (n - i) > chars_.capacity()) {
            try {
                chars_.reserve(std::max(size_ + (n - i), 2 * chars_.capacity()));
            } catch (const std::bad_alloc&) {
                chars_.reserve(size_ + (n - i)); // the last room there is, or out of memory
            }
            adviseHugePages(chars_.data(), chars_.capacity() * qsizetype(sizeof(char16_t)));
        }
        chars_.resize(size_ + (n - i));
        char16_t* const base = reinterpret_cast<char16_t*>(chars_.data());
        char16_t* out = base + size_;
        Outcome outcome = Outcome::More;
        for (; i < n; ++i) {
            const char16_t c = decode(data[i]);
            if (c > u'\r') [[likely]] {
                *out++ = c;
                continue;
            }
            if (c == u'\0') {
                outcome = Outcome::Ended;
                break;
            }
            if (c == u'\r' || c == u'\n') {
                if (!endItem(base, out - base)) {
                    outcome = Outcome::TooLarge;
                    break;
                }
                if (c == u'\r') {
                    if (i + 1 == n)
                        crPending_ = true;
                    else if (decode(data[i + 1]) == u'\n')
                        ++i;
                }
                continue;
            }
            *out++ = c;
        }
        size_ = out - base;
        chars_.resize(size_);
        return outcome;
    }

    // Makes room for about this many items at once, so that a big list grows in one step.
    void expectItems(qsizetype items) {
        if (std::size_t(items) <= ends_.capacity())
            return;
        try {
            ends_.reserve(std::size_t(items));
            leads_.reserve(std::size_t(items));
        } catch (const std::bad_alloc&) {
            return;
        }
        adviseHugePages(ends_.data(), qsizetype(ends_.capacity()) * qsizetype(sizeof(quint32)));
        adviseHugePages(leads_.data(), qsizetype(leads_.capacity()));
    }
    qsizetype items() const { return qsizetype(ends_.size()); }

    // Takes the last item when no break ended it. False when the items are too large.
    bool finish(ListModel& list) {
        const qsizetype begin = ends_.empty() ? 0 : qsizetype(ends_.back());
        if (size_ > begin && !endItem(reinterpret_cast<const char16_t*>(chars_.constData()), size_))
            return false;
        chars_.squeeze();
        list.chars_ = std::move(chars_);
        list.ends_ = std::move(ends_);
        list.leads_ = std::move(leads_);
        return true;
    }

private:
    bool endItem(const char16_t* base, qsizetype end) {
        if (end > MaxCharacters)
            return false;
        const qsizetype begin = ends_.empty() ? 0 : qsizetype(ends_.back());
        ends_.push_back(quint32(end));
        const char16_t first = end > begin ? base[begin] : u'\0';
        leads_.push_back(first < OtherLead ? static_cast<unsigned char>(first) : OtherLead);
        return true;
    }

    QString chars_;
    qsizetype size_ = 0;
    std::vector<quint32> ends_;
    std::vector<unsigned char> leads_;
    bool crPending_ = false;
};

QString ListModel::item(qsizetype row) const {
    if (row < 0 || row >= count())
        throw Error(QStringLiteral("List index out of bounds (%1)").arg(row));
    return at(row).toString();
}

QStringList ListModel::items() const {
    QStringList items;
    items.reserve(count());
    for (qsizetype row = 0; row < count(); ++row)
        items.append(at(row).toString());
    return items;
}

void ListModel::setSelectedRow(qsizetype row) {
    selected_ = (row >= 0 && row < count()) ? row : -1;
}

QString ListModel::text() const {
    QString text;
    text.reserve(chars_.size() + 2 * count());
    for (qsizetype row = 0; row < count(); ++row) {
        text += at(row);
        text += u"\r\n";
    }
    return text;
}

ListModel::ListModel(ListModel&& other) noexcept
    : chars_(std::move(other.chars_)), ends_(std::move(other.ends_)),
      leads_(std::move(other.leads_)), selected_(other.selected_), revision_(other.revision_) {
    other.chars_.clear();
    other.ends_.clear();
    other.leads_.clear();
    other.selected_ = -1;
    other.revision_ = nextRevision();
}

ListModel& ListModel::operator=(ListModel&& other) noexcept {
    if (this != &other) {
        chars_ = std::move(other.chars_);
        ends_ = std::move(other.ends_);
        leads_ = std::move(other.leads_);
        selected_ = other.selected_;
        revision_ = other.revision_;
        other.chars_.clear();
        other.ends_.clear();
        other.leads_.clear();
        other.selected_ = -1;
        other.revision_ = nextRevision();
    }
    return *this;
}

void ListModel::setText(QStringView text) {
    Builder builder(text.size());
    const auto same = [](QChar c) { return c.unicode(); };
    if (builder.append(text.data(), text.size(), same) == Builder::Outcome::TooLarge ||
        !builder.finish(*this))
        throw Error(QStringLiteral("Out of memory"));
    selected_ = -1;
    revision_ = nextRevision();
}

void ListModel::loadFromFile(const QString& path) {
    // Non-blocking open: a named pipe without a writer or a device must not hang the program.
    FileDescriptor file{
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
    if (file.fd < 0)
        raiseCannotOpen(path, systemReason(errno));
    struct stat info {};
    if (::fstat(file.fd, &info) != 0)
        raiseCannotOpen(path, systemReason(errno));
    if (S_ISDIR(info.st_mode))
        raiseCannotOpen(path, systemReason(EISDIR));
    if (!S_ISREG(info.st_mode))
        raiseCannotOpen(path, QStringLiteral("Not a regular file"));

    // The bytes are decoded as they are read; the rest of the file after a zero byte is
    // never shown, so it is not read. A file too big for the memory there is gives the same
    // error as one that cannot be read, and the list stays as it was.
    try {
        Builder builder(qsizetype(info.st_size));
        const auto decode = [](char b) {
            return decodeCodepageByte(static_cast<unsigned char>(b));
        };
        char piece[1 << 16];
        qint64 read = 0;
        for (;;) {
            const ssize_t got = ::read(file.fd, piece, sizeof piece);
            if (got == 0)
                break;
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                raiseCannotOpen(path, systemReason(errno));
            }
            const auto outcome = builder.append(piece, qsizetype(got), decode);
            if (outcome == Builder::Outcome::TooLarge)
                raiseCannotOpen(path, systemReason(EFBIG));
            if (outcome == Builder::Outcome::Ended)
                break;
            // The first piece tells how long the lines are; the file's size, how many to expect.
            if (read == 0 && got < info.st_size)
                builder.expectItems(builder.items() * (info.st_size / got) * 9 / 8 + 16);
            read += got;
        }
        if (!builder.finish(*this))
            raiseCannotOpen(path, systemReason(EFBIG));
    } catch (const std::bad_alloc&) {
        raiseCannotOpen(path, systemReason(ENOMEM));
    }
    selected_ = -1;
    revision_ = nextRevision();
}

} // namespace quorvane
