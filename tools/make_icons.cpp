// make-icons <folder> <icon name>: writes the program icon as an icon theme expects it,
// <folder>/hicolor/<n>x<n>/apps/<icon name>.png at the usual sizes and
// <folder>/hicolor/scalable/apps/<icon name>.svg, all from the drawing the window uses.

#include "ui/Images.h"

#include <QDir>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-icons <folder> <icon name>\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hicolor/");
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = root + QStringLiteral("%1x%1/apps/").arg(size);
        if (!QDir().mkpath(folder) ||
            !quorvane::images::programIcon(size).save(folder + name + QStringLiteral(".png"))) {
            std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    const QString scalable = root + QStringLiteral("scalable/apps/");
    if (!QDir().mkpath(scalable))
        return 1;
    // Drawn on the 256-pixel grid, where no stroke is held at a one-pixel minimum.
    constexpr int Size = 256;
    QSvgGenerator svg;
    svg.setFileName(scalable + name + QStringLiteral(".svg"));
    svg.setSize(QSize(Size, Size));
    svg.setViewBox(QRect(0, 0, Size, Size));
    svg.setTitle(QStringLiteral("Quorvane"));
    svg.setDescription(QStringLiteral("An open hand in light strokes"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(scalable));
        return 1;
    }
    quorvane::images::paintProgramIcon(painter, Size);
    return painter.end() ? 0 : 1;
}
