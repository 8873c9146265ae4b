#include "spellbook/ReferenceDocuments.h"

#include <QFile>

#include <algorithm>

namespace quorvane::spellbook {

namespace {

// The documents are UTF-8 with LF line ends; the pane's text ends every line with CR LF.
QString loadDocument(const QString& resource) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("The built-in reference %s is missing", qPrintable(resource));
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QChar(u'\n'), QStringLiteral("\r\n"));
    return text;
}

} // namespace

QString referenceText(Language language) {
    switch (language) {
    case Language::Italian:
        return loadDocument(QStringLiteral(":/reference/italian.txt"));
    case Language::Spanish:
        return loadDocument(QStringLiteral(":/reference/spanish.txt"));
    case Language::English:
        break;
    }
    return loadDocument(QStringLiteral(":/reference/english.txt"));
}

QStringList hardWrap(QStringView paragraph, qsizetype width) {
    QStringList lines;
    QStringView rest = paragraph;
    // Narrower than one character, no line could take anything and the rest never shrink.
    width = std::max<qsizetype>(width, 1);
    while (rest.size() > width) {
        const qsizetype space = rest.first(width).lastIndexOf(u' ');
        const qsizetype cut = space >= 0 ? space + 1 : width;
        lines.append(rest.first(cut).toString());
        rest = rest.sliced(cut);
    }
    lines.append(rest.toString());
    return lines;
}

QString startupReferenceText() {
    const QString english = referenceText(Language::English);
    QString wrapped;
    wrapped.reserve(english.size() + english.size() / 40);
    for (QStringView paragraph : QStringView(english).split(u"\r\n")) {
        if (paragraph.data() == english.constData() + english.size())
            break; // past the last line break
        for (const QString& line : hardWrap(paragraph)) {
            wrapped += line;
            wrapped += u"\r\n";
        }
    }
    return wrapped;
}

} // namespace quorvane::spellbook
