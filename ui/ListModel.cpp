#include "ui/ListModel.h"

#include "ui/Error.h"
#include "ui/TextSplit.h"

#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

QByteArray readWholeFile(const QString& path) {
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

    QByteArray bytes;
    bytes.reserve(qsizetype(info.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(file.fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            raiseCannotOpen(path, systemReason(errno));
        }
        bytes.append(buffer, qsizetype(got));
    }
    return bytes;
}

quint64 nextRevision() {
    static std::atomic<quint64> revisions{0};
    return ++revisions;
}

} // namespace

const QString& ListModel::item(qsizetype row) const {
    if (row < 0 || row >= items_.size())
        throw Error(QStringLiteral("List index out of bounds (%1)").arg(row));
    return items_[row];
}

void ListModel::setSelectedRow(qsizetype row) {
    selected_ = (row >= 0 && row < items_.size()) ? row : -1;
}

QString ListModel::text() const {
    return joinItems(items_);
}

ListModel::ListModel(ListModel&& other) noexcept
    : items_(std::move(other.items_)), selected_(other.selected_), revision_(other.revision_) {
    other.items_.clear();
    other.selected_ = -1;
    other.revision_ = nextRevision();
}

ListModel& ListModel::operator=(ListModel&& other) noexcept {
    if (this != &other) {
        items_ = std::move(other.items_);
        selected_ = other.selected_;
        revision_ = other.revision_;
        other.items_.clear();
        other.selected_ = -1;
        other.revision_ = nextRevision();
    }
    return *this;
}

void ListModel::setText(QStringView text) {
    items_ = splitItems(text);
    selected_ = -1;
    revision_ = nextRevision();
}

void ListModel::loadFromFile(const QString& path) {
    const QByteArray bytes = readWholeFile(path);
    // Stop at the first zero byte before decoding: the rest of the file is never shown.
    const qsizetype end = bytes.indexOf('\0');
    setText(decodeCodepage(QByteArrayView(bytes).first(end < 0 ? bytes.size() : end)));
}

} // namespace quorvane
