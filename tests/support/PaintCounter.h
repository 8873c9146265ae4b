#pragma once

// Counts the paint events of the widget it filters, to tell whether a change repainted it.

#include <QEvent>
#include <QObject>

namespace quorvane {

class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override {
        paints += e->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    int paints = 0;
};

} // namespace quorvane
