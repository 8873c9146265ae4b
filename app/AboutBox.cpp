#include "app/AboutBox.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

namespace quorvane::app {

AboutBox::AboutBox(const QString& caption, const QString& text, QWidget* parent)
    : QMessageBox(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent) {
    setDefaultButton(QMessageBox::Ok);
    setEscapeButton(QMessageBox::Ok);
}

QString AboutBox::clipboardText() const {
    const QString divider = QString(27, u'-') + QStringLiteral("\r\n");
    QString buttons;
    for (QAbstractButton* b : QMessageBox::buttons())
        buttons += b->text().remove(u'&') + QStringLiteral("   ");
    return divider + windowTitle() + QStringLiteral("\r\n") + divider + text() +
           QStringLiteral("\r\n") + divider + buttons + QStringLiteral("\r\n") + divider;
}

void AboutBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        QApplication::beep();
        QApplication::clipboard()->setText(clipboardText());
        return;
    }
    QMessageBox::keyPressEvent(event);
}

void AboutBox::showEvent(QShowEvent* event) {
    QMessageBox::showEvent(event);
    if (const QScreen* s = screen()) {
        const QRect area = s->geometry();
        move(area.x() + (area.width() - frameGeometry().width()) / 2,
             area.y() + (area.height() - frameGeometry().height()) / 2);
    }
}

} // namespace quorvane::app
