#pragma once

// The offscreen platform's notices that it cannot raise a window or grab the keyboard say
// nothing about the window under test; every other message goes on to Qt Test's own handler.
// Install with `testMessageHandler = qInstallMessageHandler(dropPlatformNotices)`.

#include <QString>
#include <QtGlobal>

namespace quorvane::testing {

inline QtMessageHandler testMessageHandler = nullptr;

inline void dropPlatformNotices(QtMsgType type, const QMessageLogContext& context,
                                const QString& message) {
    if (!message.startsWith(QStringLiteral("This plugin does not support")))
        testMessageHandler(type, context, message);
}

} // namespace quorvane::testing
