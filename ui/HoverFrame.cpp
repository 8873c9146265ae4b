#include "ui/HoverFrame.h"

#include <QColor>
#include <QPainter>
#include <QPalette>
#include <QRect>
#include <QWidget>

namespace quorvane {

void paintHoverFrame(QWidget& widget) {
    QPainter painter(&widget);
    const QColor shadow = widget.palette().color(QPalette::Mid);
    const QColor light = widget.palette().color(QPalette::Light);
    const auto edge = [&painter](QRect box, const QColor& topLeft, const QColor& bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(box.topLeft(), box.topRight());
        painter.drawLine(box.topLeft(), box.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(box.bottomLeft(), box.bottomRight());
        painter.drawLine(box.topRight(), box.bottomRight());
    };
    const QRect bounds = widget.rect();
    edge(bounds, shadow, light);
    edge(bounds.adjusted(1, 1, -1, -1), light, shadow);
}

} // namespace quorvane
