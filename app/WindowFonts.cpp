#include "app/WindowFonts.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace quorvane::app {

namespace {

// Debian's Wine fonts package ships an outline Tahoma in a folder that fontconfig does not
// scan. Only its regular face is registered: the package's bold face draws almost exactly like
// the regular one, and bold marks the exact match in the combos pane, so Qt emboldens the
// regular face instead. The package's "MS Sans Serif" is a bitmap font with three sizes and no
// bold; the window's sans-serif text uses Tahoma too, which has its proportions at these sizes.
const QString WineTahoma = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");

void registerOnce() {
    // Asking the font database which families it has would make it read every installed font,
    // which costs more than the rest of the start-up; registering one file does not.
    const bool haveTahoma =
        QFile::exists(WineTahoma) && QFontDatabase::addApplicationFont(WineTahoma) >= 0;
    const QStringList fallbacks = {QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")};
    QStringList forSansSerif = fallbacks;
    if (haveTahoma)
        forSansSerif.prepend(QStringLiteral("Tahoma"));
    else
        QFont::insertSubstitutions(QStringLiteral("Tahoma"), fallbacks);
    // Used only where the desktop has no "MS Sans Serif" of its own.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), forSansSerif);
}

} // namespace

void registerWindowFonts() {
    static const bool registered = (registerOnce(), true);
    (void)registered;
}

} // namespace quorvane::app
