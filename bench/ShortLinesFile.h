#pragma once

#include <QByteArray>
#include <QString>

namespace quorvane::bench {

// A file of 100 MiB of short gesture lines, "DFPSW" and CR LF over and over (15 million
// rows), written once per run in a temporary folder that goes at the run's end.
inline constexpr qint64 ShortLinesFileSize = 100LL * 1024 * 1024;
const QString& shortLinesFile();

} // namespace quorvane::bench
