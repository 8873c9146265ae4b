#include "oracle/ComboOracle.h"

#include "ui/Error.h"

using namespace Qt::StringLiterals;

namespace quorvane::oracle {

namespace {

// The upper-case form used by the combo rules: a to z become A to Z, nothing else changes.
QChar upperCase(QChar c) {
    if (c >= u'a' && c <= u'z')
        return QChar(char16_t(c.unicode() - u'a' + u'A'));
    return c;
}

// Character k of a string, counted from 1.
QChar at1(QStringView s, qsizetype k) {
    return s[k - 1];
}

// The colour of colour pass k.
Colour passColour(int k) {
    return k <= 2 ? clBlue : clRed;
}

} // namespace

bool GestureMatches(QChar move, QChar gesture) {
    const bool wildcard = upperCase(move) == u'X' || move == u'?' || move == u'*';
    if (wildcard)
        return gesture == upperCase(gesture);
    return move == upperCase(gesture);
}

void SearchCombos(QStringView history, const ListModel& gestures, const ListModel& names,
                  TextPane& pane) {
    const QStringView H = history;
    const qsizetype L = H.size();

    // 1. Clear the combos pane.
    pane.clear();
    // 2. The row count is the item count of the gesture list.
    const qsizetype rowCount = gestures.count();
    // 3. Every row in increasing order; within a row N = 6 down to 1, each try on its own.
    for (qsizetype i = 0; i <= rowCount - 1; ++i) {
        for (int N = 6; N >= 1; --N) {
            // 3.1
            if (L < N)
                continue;
            // 3.2
            if (N == 1 && upperCase(at1(H, L)) == u'X')
                continue;
            // 3.3
            const QString G = gestures.item(i);
            if (G.size() < N)
                continue;
            // 3.4
            bool allMatch = true;
            for (int k = 1; k <= N; ++k) {
                if (!GestureMatches(at1(H, L - N + k), at1(G, k))) {
                    allMatch = false;
                    break;
                }
            }
            if (!allMatch)
                continue;
            // 3.5: the name is read before the key is looked for.
            const QString name = names.item(i);
            const QString key = name + u" ["_s + G;
            if (pane.find(key, 0, pane.text().size()) != -1)
                continue;
            pane.addLine(QString::number(N) + u": "_s + name + u" ["_s + G + u"]"_s);
        }
    }
}

void OrderCombos(TextPane& pane) {
    const qsizetype n = pane.lineCount();
    // The first character's code; an empty line (never a combo line) counts as code 0.
    const auto firstCode = [](const QString& line) -> char16_t {
        return line.isEmpty() ? char16_t(0) : line.at(0).unicode();
    };
    for (qsizetype q = 0; q <= n - 1; ++q) {
        for (qsizetype j = 0; j <= n - 1; ++j) {
            const QString lineJ = pane.line(j);
            const QString lineQ = pane.line(q);
            if (firstCode(lineJ) < firstCode(lineQ)) {
                const QString kept = pane.line(q);
                pane.setLine(q, pane.line(j));
                pane.setLine(j, kept);
            }
        }
    }
}

void HighlightCombos(QStringView history, TextPane& pane) {
    const QStringView H = history;
    const qsizetype L = H.size();

    // Colour passes k = 1 to 6.
    for (int k = 1; k <= 6; ++k) {
        // 1.
        pane.setSelectionStart(0);
        // 2.
        if (L < k)
            continue;
        // 3.
        for (;;) {
            const qsizetype N = pane.text().size();
            QString S = QStringLiteral("[");
            for (qsizetype m = L - k + 1; m <= L; ++m)
                S += at1(H, m);
            const qsizetype P = pane.selectionStart() + 1;
            const qsizetype p = pane.find(S, P, N);
            pane.setSelectionStart(p + 1);
            pane.setSelectionLength(k);
            if (pane.selectionStart() != 0)
                pane.setSelectionColour(passColour(k));
            if (pane.selectionStart() == 0)
                break;
        }
    }

    // Bold pass.
    qsizetype s = 0;
    const qsizetype n = pane.lineCount();
    for (qsizetype j = 0; j <= n - 1; ++j) {
        const qsizetype m = pane.line(j).size();
        const QString bold = u"["_s + H.toString() + u"]"_s;
        if (pane.find(bold, s, m) != -1) {
            pane.setSelectionStart(s);
            pane.setSelectionLength(pane.line(j).size());
            pane.setSelectionBold();
        }
        s += pane.line(j).size() + 2;
    }
}

void RecomputeCombos(QStringView history, const ListModel& gestures, const ListModel& names,
                     TextPane& pane) {
    SearchCombos(history, gestures, names, pane);
    if (pane.lineCount() >= 2) {
        OrderCombos(pane);
        HighlightCombos(history, pane);
    }
}

namespace {

QString describeFormat(const CharFormat& f) {
    QString out = f.colour
                      ? QStringLiteral("colour $%1").arg(uint(f.colour->bgr), 6, 16, QChar(u'0'))
                      : QStringLiteral("default colour");
    out += f.bold ? QStringLiteral(", bold") : QStringLiteral(", not bold");
    return out;
}

QString quoted(const QString& s) {
    return u'"' + s + u'"';
}

} // namespace

QString paneDifference(const TextPane& expected, const TextPane& actual, bool compareSelection) {
    if (expected.lineCount() != actual.lineCount())
        return QStringLiteral("line count: expected %1, got %2")
            .arg(expected.lineCount())
            .arg(actual.lineCount());
    for (qsizetype j = 0; j < expected.lineCount(); ++j) {
        if (expected.line(j) != actual.line(j))
            return QStringLiteral("line %1: expected %2, got %3")
                .arg(j)
                .arg(quoted(expected.line(j)), quoted(actual.line(j)));
    }
    for (qsizetype j = 0; j < expected.lineCount(); ++j) {
        for (qsizetype c = 0; c < expected.line(j).size(); ++c) {
            const CharFormat e = expected.format(j, c);
            const CharFormat a = actual.format(j, c);
            if (!(e == a))
                return QStringLiteral("line %1 %2, column %3: expected %4, got %5")
                    .arg(j)
                    .arg(quoted(expected.line(j)))
                    .arg(c)
                    .arg(describeFormat(e), describeFormat(a));
        }
    }
    if (compareSelection && (expected.selectionStart() != actual.selectionStart() ||
                             expected.selectionLength() != actual.selectionLength()))
        return QStringLiteral("selection: expected (%1, %2), got (%3, %4)")
            .arg(expected.selectionStart())
            .arg(expected.selectionLength())
            .arg(actual.selectionStart())
            .arg(actual.selectionLength());
    return {};
}

QString describePane(const TextPane& pane) {
    QString out;
    for (qsizetype j = 0; j < pane.lineCount(); ++j) {
        const QString& line = pane.line(j);
        out += QStringLiteral("  %1: ").arg(j) + quoted(line);
        QString marks;
        for (qsizetype c = 0; c < line.size(); ++c) {
            const CharFormat f = pane.format(j, c);
            // Lower case for plain characters, upper case for bold ones.
            char16_t mark = u'd'; // the pane's own colour
            if (f.colour == clBlue)
                mark = u'b';
            else if (f.colour == clRed)
                mark = u'r';
            else if (f.colour)
                mark = u'o'; // any other colour
            marks += f.bold ? QChar(mark).toUpper() : QChar(mark);
        }
        out += u"  "_s + marks + u'\n';
    }
    out += QStringLiteral("  selection (%1, %2)\n")
               .arg(pane.selectionStart())
               .arg(pane.selectionLength());
    return out;
}

} // namespace quorvane::oracle
