// combo-trace: prints what the combos pane holds for each move history read from standard
// input, one history a line, as the window would show it after typing that history.

#include "combo/ComboEngine.h"
#include "spellbook/DefaultSpellbook.h"
#include "ui/Error.h"
#include "ui/TextSplit.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

using namespace quorvane;

namespace {

[[noreturn]] void usage() {
    std::cerr << "usage: combo-trace [--gestures FILE] [--names FILE] [--lang en|it|es]\n";
    std::exit(2);
}

QString escaped(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\\')
            out += u"\\\\";
        else if (c == u'\t')
            out += u"\\t";
        else if (c.unicode() < 32)
            out += QStringLiteral("\\x%1")
                       .arg(c.unicode(), 2, 16, QChar(u'0'))
                       .toUpper()
                       .replace(u'X', u'x');
        else
            out += c;
    }
    return out;
}

char colourMark(const CharFormat& f) {
    if (!f.colour)
        return '.';
    if (*f.colour == clBlue)
        return 'b';
    if (*f.colour == clRed)
        return 'r';
    return '?';
}

void print(std::string& out, const QString& text) {
    out += text.toStdString();
}

} // namespace

int main(int argc, char* argv[]) {
    QString gesturesFile, namesFile;
    spellbook::Language language = spellbook::Language::English;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (i + 1 >= argc)
            usage();
        const QString value = QString::fromLocal8Bit(argv[++i]);
        if (arg == "--gestures")
            gesturesFile = value;
        else if (arg == "--names")
            namesFile = value;
        else if (arg == "--lang" && value == u"en")
            language = spellbook::Language::English;
        else if (arg == "--lang" && value == u"it")
            language = spellbook::Language::Italian;
        else if (arg == "--lang" && value == u"es")
            language = spellbook::Language::Spanish;
        else
            usage();
    }

    ListModel gestures(spellbook::defaultGesturesText());
    ListModel names(spellbook::defaultNamesText(language));
    try {
        if (!gesturesFile.isEmpty())
            gestures.loadFromFile(gesturesFile);
        if (!namesFile.isEmpty())
            names.loadFromFile(namesFile);
    } catch (const Error& e) {
        std::cerr << "combo-trace: " << e.what() << '\n';
        return 1;
    }

    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return 1;
    QList<QByteArray> inputs = in.readAll().split('\n');
    if (!inputs.isEmpty() && inputs.back().isEmpty())
        inputs.removeLast(); // the break after the last history ends it, it starts none

    std::string out;
    for (const QByteArray& input : inputs) {
        const QString history = fieldUpperCase(QString::fromUtf8(input));
        TextPane pane;
        QString error;
        try {
            combo::RecomputeCombos(history, gestures, names, pane);
        } catch (const Error& e) {
            error = e.message();
        }
        out += "history ";
        print(out, escaped(history));
        out += '\n';
        for (qsizetype i = 0; i < pane.lineCount(); ++i) {
            const QString& line = pane.line(i);
            std::string colours, bold;
            for (qsizetype c = 0; c < line.size(); ++c) {
                const CharFormat f = pane.format(i, c);
                colours += colourMark(f);
                bold += f.bold ? 'B' : '.';
            }
            out += "line\t";
            print(out, escaped(line));
            out += '\t';
            out += colours;
            out += '\t';
            out += bold;
            out += '\n';
        }
        out += "selection " + std::to_string(pane.selectionStart()) + ' ' +
               std::to_string(pane.selectionLength()) + '\n';
        if (!error.isNull()) {
            out += "error ";
            print(out, escaped(error));
            out += '\n';
        }
        out += "end\n";
        if (out.size() > (1 << 20)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
