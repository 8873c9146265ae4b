#pragma once

// Building a pane from lines and reading its lines back, for tests that state panes as lists.

#include "ui/TextPane.h"

#include <QStringList>

namespace quorvane {

inline TextPane paneOf(const QStringList& lines) {
    TextPane pane;
    for (const QString& line : lines)
        pane.addLine(line);
    return pane;
}

inline QStringList linesOf(const TextPane& pane) {
    QStringList lines;
    for (qsizetype j = 0; j < pane.lineCount(); ++j)
        lines << pane.line(j);
    return lines;
}

} // namespace quorvane
