// Start-up: the application title and icon, the window with its stores, FormCreate, the
// window shown centred with the focus in the move-history field, then the event loop.

#include "app/StartupRules.h"
#include "app/TForm1.h"
#include "ui/EntryField.h"
#include "ui/Images.h"
#include "ui/TextPaneAccessible.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QFrame>
#include <QIcon>
#include <QScreen>

namespace {

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(quorvane::images::programIcon(size)));
    return icon;
}

// Screen readers see the main window as a window, not as a filler, and the bevel line as a
// separator rather than an empty frame.
QAccessibleInterface* windowAccessible(const QString& className, QObject* object) {
    if (className == QLatin1StringView(quorvane::app::TForm1::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    if (className == QLatin1StringView("QFrame"))
        if (auto* line = qobject_cast<QFrame*>(object); line && line->frameShape() == QFrame::HLine)
            return new QAccessibleWidget(line, QAccessible::Separator);
    return nullptr;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Ties the window to the desktop entry, for the taskbar's icon and grouping.
    QGuiApplication::setDesktopFileName(QStringLiteral(QUORVANE_APP_ID));
    quorvane::installAccessibility();
    QAccessible::installFactory(windowAccessible);
    const QString title = quorvane::app::applicationTitle(QCoreApplication::applicationFilePath());
    QApplication::setWindowIcon(programIcon());

    quorvane::app::TForm1 form(title);
    form.guarded([&form] { form.FormCreate(); });

    if (const QScreen* screen = form.screen()) {
        const QRect area = screen->geometry();
        const QSize frame = form.frameGeometry().size();
        form.move(area.x() + (area.width() - frame.width()) / 2,
                  area.y() + (area.height() - frame.height()) / 2);
    }
    form.show();
    form.activateWindow();
    form.Edit1->setFocus(Qt::ActiveWindowFocusReason);
    return QApplication::exec();
}
