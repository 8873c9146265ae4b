#pragma once

// Rules of start-up and error reporting that do not need a window: the application title
// derived from the program file's name, and the text that the error box shows.

#include <QString>
#include <QStringView>

namespace quorvane::app {

// The program file's name after its last folder separator ("/" here, "\" too), cut at its
// first full stop, with every letter after the first turned into lower case: the title of
// the taskbar entry and the caption of every error box.
QString applicationTitle(QStringView programPath);

// The error box's text: the message, with a full stop added when its last character comes
// after "." in character order.
QString errorBoxText(QStringView message);

} // namespace quorvane::app
