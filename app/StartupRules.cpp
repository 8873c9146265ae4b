#include "app/StartupRules.h"

namespace quorvane::app {

QString applicationTitle(QStringView programPath) {
    const qsizetype slash = std::max(programPath.lastIndexOf(u'/'), programPath.lastIndexOf(u'\\'));
    QStringView name = programPath.sliced(slash + 1);
    if (const qsizetype dot = name.indexOf(u'.'); dot >= 0)
        name = name.first(dot);
    if (name.isEmpty())
        return {};
    return name.first(1).toString() + name.sliced(1).toString().toLower();
}

QString errorBoxText(QStringView message) {
    QString text = message.toString();
    if (!text.isEmpty() && text.back().unicode() > u'.')
        text += u'.';
    return text;
}

} // namespace quorvane::app
