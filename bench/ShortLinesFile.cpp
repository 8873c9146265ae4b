#include "ShortLinesFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace quorvane::bench {

const QString& shortLinesFile() {
    static const std::unique_ptr<QTemporaryDir> dir = std::make_unique<QTemporaryDir>();
    static const QString path = [] {
        QString p = dir->filePath(QStringLiteral("short-lines.txt"));
        QFile file(p);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        const QByteArray line = QByteArrayLiteral("DFPSW\r\n");
        const QByteArray piece = line.repeated((1 << 20) / line.size());
        for (qint64 left = ShortLinesFileSize; left > 0;) {
            const qint64 n = std::min<qint64>(left, piece.size());
            if (file.write(piece.constData(), n) != n)
                std::abort();
            left -= n;
        }
        return p;
    }();
    return path;
}

} // namespace quorvane::bench
