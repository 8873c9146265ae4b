#pragma once

#include <QString>

#include <exception>

namespace quorvane {

// The one error type of the program. Operations raise it with the exact text that the
// error box shows; no handler catches it, the event loop's error reporting does.
class Error : public std::exception {
public:
    explicit Error(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString& message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

} // namespace quorvane
