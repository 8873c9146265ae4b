#pragma once

// What the fuzz targets share: reading an input as text sections, showing strings with their
// control characters visible, and ending the run when a check fails.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace quorvane::fuzz {

// Ends a section of an input: the unit separator, which no list item, name or move needs.
inline constexpr char16_t SectionSeparator = 0x1F;

// The input read as UTF-8, so that seeds can be written by hand and still reach any
// character (bytes that are not UTF-8 become U+FFFD), then cut at every separator.
inline QStringList sections(const std::uint8_t* data, std::size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size))
        .split(QChar(SectionSeparator));
}

// A string in double quotes with every character outside printable ASCII written \uXXXX,
// so that a report shows exactly which CR, LF, zero or look-alike letter was involved.
inline QString quoted(QStringView s) {
    QString out = QStringLiteral("\"");
    for (QChar c : s) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u'\\')
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(uint(c.unicode()), 4, 16, QChar(u'0'));
    }
    return out + u'"';
}

inline QString quoted(const QStringList& items) {
    QStringList parts;
    for (const QString& item : items)
        parts << quoted(item);
    return u'{' + parts.join(QStringLiteral(", ")) + u'}';
}

// A failed check: libFuzzer keeps the input of a run that aborts, so report and abort.
[[noreturn]] inline void fail(const QString& what) {
    std::fprintf(stderr, "\n==== check failed ====\n%s\n", qUtf8Printable(what));
    std::abort();
}

// For checks whose report needs no more than their own wording.
inline void require(bool ok, const char* what) {
    if (!ok)
        fail(QString::fromUtf8(what));
}

} // namespace quorvane::fuzz
