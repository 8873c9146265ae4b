// The combo engine on the cases that pin its behaviour down: which rows the search lists and
// when it fails, where the exchange ordering leaves lines of equal progress, and which
// characters the highlighting colours and bolds and where it leaves the selection. Every
// case is also run through the step-by-step procedures of the oracle, and the two panes must
// agree character for character.

#include "combo/ComboEngine.h"
#include "oracle/ComboOracle.h"
#include "spellbook/DefaultSpellbook.h"
#include "support/PaneLines.h"
#include "ui/Error.h"
#include "ui/ListModel.h"
#include "ui/TextPane.h"
#include "ui/TextSplit.h"

#include <QChar>
#include <QStringList>
#include <QTest>

#include <algorithm>
#include <functional>
#include <optional>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

using spellbook::defaultGesturesText;
using spellbook::defaultNamesText;
using spellbook::Language;

QStringList defaultGestures() {
    return ListModel(defaultGesturesText()).items();
}
QStringList defaultNames() {
    return ListModel(defaultNamesText(Language::English)).items();
}

ListModel listOf(const QStringList& items) {
    return ListModel(joinItems(items));
}

// A pane left over from an earlier history, formatted and with a selection, so that a step
// which fails to start from a clear pane shows it.
TextPane stalePane() {
    TextPane pane = paneOf({u"3: Stale Spell [SDX]"_s, u"1: Old [D]"_s});
    pane.setColour(0, 6, clRed);
    pane.setBold(3, 10);
    pane.setSelection(4, 7);
    return pane;
}

// One line per pane line: its text with colour runs marked, {blue}, <red>, (other colour),
// and a leading "*" when the whole line is bold. A line that is only partly bold is marked
// "~" so that it can never equal an expected line.
QStringList render(const TextPane& pane) {
    QStringList out;
    const auto closing = [](const std::optional<Colour>& c) -> QString {
        if (!c)
            return {};
        return *c == clBlue ? u"}"_s : *c == clRed ? u">"_s : u")"_s;
    };
    for (qsizetype j = 0; j < pane.lineCount(); ++j) {
        const QString& line = pane.line(j);
        QString text;
        std::optional<Colour> current;
        qsizetype boldCount = 0;
        for (qsizetype c = 0; c < line.size(); ++c) {
            const CharFormat f = pane.format(j, c);
            boldCount += f.bold ? 1 : 0;
            if (f.colour != current) {
                text += closing(current);
                if (f.colour)
                    text += *f.colour == clBlue ? u"{"_s : *f.colour == clRed ? u"<"_s : u"("_s;
                current = f.colour;
            }
            text += line[c];
        }
        text += closing(current);
        if (boldCount == line.size() && !line.isEmpty())
            text.prepend(u'*');
        else if (boldCount > 0)
            text.prepend(u'~');
        out << text;
    }
    return out;
}

// True when no character of the pane is coloured or bold.
bool isPlain(const TextPane& pane) {
    for (qsizetype j = 0; j < pane.lineCount(); ++j) {
        for (qsizetype c = 0; c < pane.line(j).size(); ++c) {
            if (!(pane.format(j, c) == CharFormat{}))
                return false;
        }
    }
    return true;
}

// What a step left behind: the pane and the message of the error it raised, if any.
struct Outcome {
    TextPane pane;
    QString error;
};

Outcome run(TextPane pane, const std::function<void(TextPane&)>& step) {
    Outcome outcome{std::move(pane), {}};
    try {
        step(outcome.pane);
    } catch (const Error& e) {
        outcome.error = e.message();
    }
    return outcome;
}

// The engine and the oracle must leave the same pane and raise the same error.
void compareWithOracle(const Outcome& engine, const Outcome& oracle, bool compareSelection) {
    QCOMPARE(engine.error, oracle.error);
    const QString difference = oracle::paneDifference(oracle.pane, engine.pane, compareSelection);
    QVERIFY2(difference.isEmpty(),
             qPrintable(difference + u"\nengine:\n"_s + oracle::describePane(engine.pane) +
                        u"oracle:\n"_s + oracle::describePane(oracle.pane)));
}

Outcome searchWithEngine(const QString& history, const ListModel& g, const ListModel& n) {
    return run(stalePane(), [&](TextPane& p) { combo::SearchCombos(history, g, n, p); });
}
Outcome searchWithOracle(const QString& history, const ListModel& g, const ListModel& n) {
    return run(stalePane(), [&](TextPane& p) { oracle::SearchCombos(history, g, n, p); });
}
Outcome recomputeWithEngine(const QString& history, const ListModel& g, const ListModel& n) {
    return run(stalePane(), [&](TextPane& p) { combo::RecomputeCombos(history, g, n, p); });
}
Outcome recomputeWithOracle(const QString& history, const ListModel& g, const ListModel& n) {
    return run(stalePane(), [&](TextPane& p) { oracle::RecomputeCombos(history, g, n, p); });
}

// The lines "1: name [gestures]" of the default rows whose first gesture a lone wildcard
// matches, that is all rows but the four that begin with "c" and "p" (rows 0 to 3 and 18).
QStringList wildcardLines(int count) {
    const QStringList g = defaultGestures();
    const QStringList n = defaultNames();
    QStringList lines;
    for (int row = 0; row < g.size(); ++row) {
        if (row <= 3 || row == 18)
            continue;
        const int progress = std::min<int>(count, int(g[row].size()));
        lines << QString::number(progress) + u": "_s + n[row] + u" ["_s + g[row] + u"]"_s;
    }
    return lines;
}

const QStringList sdLines{u"1: Lightning Bolt [DFFDD]"_s,  u"1: Cure Heavy Wounds [DFPW]"_s,
                          u"1: Cure Light Wounds [DFW]"_s, u"1: Blindness [DFWFd]"_s,
                          u"1: Amnesia [DPP]"_s,           u"1: Confusion [DSF]"_s,
                          u"1: Disease [DSFFFc]"_s,        u"1: Blindness [DWFFd]"_s,
                          u"1: Delay Effect [DWSSSP]"_s,   u"1: Poison [DWWFWD]"_s,
                          u"2: Magic Missile [SD]"_s};

const QStringList wildcardWLines{u"2: Blindness [DWFFd]"_s,
                                 u"2: Delay Effect [DWSSSP]"_s,
                                 u"2: Poison [DWWFWD]"_s,
                                 u"2: Finger of Death [PWPFSSSD]"_s,
                                 u"2: Haste [PWPWWc]"_s,
                                 u"2: Fear [SWD]"_s,
                                 u"2: Fire Storm [SWWc]"_s,
                                 u"1: Clap of Lightning [WDDc]"_s,
                                 u"1: Cause Light Wounds [WFP]"_s,
                                 u"1: Summon Giant [WFPSFW]"_s,
                                 u"1: Cause Heavy Wounds [WPFD]"_s,
                                 u"1: Counter Spell [WPP]"_s,
                                 u"1: Ice Storm [WSSc]"_s,
                                 u"2: Resist Heat [WWFP]"_s,
                                 u"2: Protection [WWP]"_s,
                                 u"2: Counter Spell [WWS]"_s};

} // namespace

class ComboTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void gestureMatches_data();
    void gestureMatches();
    void search_data();
    void search();
    void searchVisitsEveryRow_data();
    void searchVisitsEveryRow();
    void order_data();
    void order();
    void highlight_data();
    void highlight();
    void lookupBoldsOnlyItsSpell_data();
    void lookupBoldsOnlyItsSpell();
    void engineFollowsListWrites();
};

void ComboTest::gestureMatches_data() {
    QTest::addColumn<QChar>("move");
    QTest::addColumn<QChar>("gesture");
    QTest::addColumn<bool>("matches");

    // Wildcards match everything but the lower-case letters a to z.
    QTest::newRow("X, D") << QChar(u'X') << QChar(u'D') << true;
    QTest::newRow("x, W") << QChar(u'x') << QChar(u'W') << true;
    QTest::newRow("?, F") << QChar(u'?') << QChar(u'F') << true;
    QTest::newRow("*, 7") << QChar(u'*') << QChar(u'7') << true;
    QTest::newRow("X, accented small e") << QChar(u'X') << QChar(u'é') << true;
    QTest::newRow("?, sharp s") << QChar(u'?') << QChar(u'ß') << true;
    QTest::newRow("*, [") << QChar(u'*') << QChar(u'[') << true;
    QTest::newRow("?, ?") << QChar(u'?') << QChar(u'?') << true;
    QTest::newRow("X, c") << QChar(u'X') << QChar(u'c') << false;
    QTest::newRow("?, w") << QChar(u'?') << QChar(u'w') << false;
    QTest::newRow("*, p") << QChar(u'*') << QChar(u'p') << false;
    QTest::newRow("x, x") << QChar(u'x') << QChar(u'x') << false;
    // A capital matches itself and its lower-case form; nothing else is case-folded.
    QTest::newRow("C, c") << QChar(u'C') << QChar(u'c') << true;
    QTest::newRow("W, W") << QChar(u'W') << QChar(u'W') << true;
    QTest::newRow("D, F") << QChar(u'D') << QChar(u'F') << false;
    QTest::newRow("D, ?") << QChar(u'D') << QChar(u'?') << false;
    QTest::newRow("w, w") << QChar(u'w') << QChar(u'w') << false;
    QTest::newRow("w, W") << QChar(u'w') << QChar(u'W') << false;
    QTest::newRow("capital E acute, small e acute") << QChar(u'É') << QChar(u'é') << false;
    QTest::newRow("small e acute, small e acute") << QChar(u'é') << QChar(u'é') << true;
    QTest::newRow("[, [") << QChar(u'[') << QChar(u'[') << true;
    QTest::newRow("1, 1") << QChar(u'1') << QChar(u'1') << true;
}

void ComboTest::gestureMatches() {
    QFETCH(QChar, move);
    QFETCH(QChar, gesture);
    QFETCH(bool, matches);
    QCOMPARE(combo::GestureMatches(move, gesture), matches);
    QCOMPARE(oracle::GestureMatches(move, gesture), matches);
}

void ComboTest::search_data() {
    QTest::addColumn<QStringList>("gestures");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("history");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("error");

    const QStringList g = defaultGestures();
    const QStringList n = defaultNames();

    QTest::newRow("empty history clears the pane")
        << g << n << QString() << QStringList() << QString();
    QTest::newRow("lone X tries nothing") << g << n << u"X"_s << QStringList() << QString();
    QTest::newRow("lone ?") << g << n << u"?"_s << wildcardLines(1) << QString();
    QTest::newRow("lone *") << g << n << u"*"_s << wildcardLines(1) << QString();
    QTest::newRow("?? lists Shield at 1 in its row's place")
        << g << n << u"??"_s << wildcardLines(2) << QString();
    QTest::newRow("SD") << g << n << u"SD"_s << sdLines << QString();
    QTest::newRow("DFFDD, its own match at 1 adds nothing")
        << g << n << u"DFFDD"_s
        << QStringList{u"5: Lightning Bolt [DFFDD]"_s,  u"1: Cure Heavy Wounds [DFPW]"_s,
                       u"1: Cure Light Wounds [DFW]"_s, u"1: Blindness [DFWFd]"_s,
                       u"1: Amnesia [DPP]"_s,           u"1: Confusion [DSF]"_s,
                       u"1: Disease [DSFFFc]"_s,        u"1: Blindness [DWFFd]"_s,
                       u"1: Delay Effect [DWSSSP]"_s,   u"1: Poison [DWWFWD]"_s}
        << QString();
    QTest::newRow("XXXC, capital C finds both-hands c")
        << g << n << u"XXXC"_s
        << QStringList{u"1: Dispel Magic [cDPW]"_s,
                       u"1: Summon Ice Elemental [cSWWS]"_s,
                       u"1: Summon Fire Elemental [cWSSW]"_s,
                       u"1: Magic Mirror [cw]"_s,
                       u"4: Time Stop [SPPc]"_s,
                       u"4: Fire Storm [SWWc]"_s,
                       u"4: Clap of Lightning [WDDc]"_s,
                       u"4: Ice Storm [WSSc]"_s}
        << QString();
    QTest::newRow("??WS")
        << g << n << u"??WS"_s
        << QStringList{u"3: Delay Effect [DWSSSP]"_s, u"4: Invisibility [PPws]"_s,
                       u"1: Magic Missile [SD]"_s,    u"1: Summon Goblin [SFW]"_s,
                       u"1: Anti Spell [SPFP]"_s,     u"1: Permanency [SPFPSDW]"_s,
                       u"1: Time Stop [SPPc]"_s,      u"1: Time Stop [SPPFD]"_s,
                       u"1: Resist Cold [SSFP]"_s,    u"1: Fear [SWD]"_s,
                       u"1: Fire Storm [SWWc]"_s,     u"2: Ice Storm [WSSc]"_s,
                       u"3: Counter Spell [WWS]"_s}
        << QString();
    QTest::newRow("CW lists Magic Mirror") << g << n << u"CW"_s
                                           << QStringList{u"2: Summon Fire Elemental [cWSSW]"_s,
                                                          u"2: Magic Mirror [cw]"_s,
                                                          u"1: Clap of Lightning [WDDc]"_s,
                                                          u"1: Cause Light Wounds [WFP]"_s,
                                                          u"1: Summon Giant [WFPSFW]"_s,
                                                          u"1: Cause Heavy Wounds [WPFD]"_s,
                                                          u"1: Counter Spell [WPP]"_s,
                                                          u"1: Ice Storm [WSSc]"_s,
                                                          u"1: Resist Heat [WWFP]"_s,
                                                          u"1: Protection [WWP]"_s,
                                                          u"1: Counter Spell [WWS]"_s}
                                           << QString();
    QTest::newRow("?W misses Magic Mirror") << g << n << u"?W"_s << wildcardWLines << QString();
    QTest::newRow("XW equals ?W") << g << n << u"XW"_s << wildcardWLines << QString();
    QTest::newRow("SDX has nothing at 1")
        << g << n << u"SDX"_s
        << QStringList{u"2: Lightning Bolt [DFFDD]"_s,  u"2: Cure Heavy Wounds [DFPW]"_s,
                       u"2: Cure Light Wounds [DFW]"_s, u"2: Blindness [DFWFd]"_s,
                       u"2: Amnesia [DPP]"_s,           u"2: Confusion [DSF]"_s,
                       u"2: Disease [DSFFFc]"_s,        u"2: Blindness [DWFFd]"_s,
                       u"2: Delay Effect [DWSSSP]"_s,   u"2: Poison [DWWFWD]"_s}
        << QString();
    QTest::newRow("WFPSFW stays in row order")
        << g << n << u"WFPSFW"_s
        << QStringList{u"5: Summon Troll [FPSFW]"_s,      u"4: Summon Ogre [PSFW]"_s,
                       u"3: Summon Goblin [SFW]"_s,       u"1: Clap of Lightning [WDDc]"_s,
                       u"1: Cause Light Wounds [WFP]"_s,  u"6: Summon Giant [WFPSFW]"_s,
                       u"1: Cause Heavy Wounds [WPFD]"_s, u"1: Counter Spell [WPP]"_s,
                       u"1: Ice Storm [WSSc]"_s,          u"1: Resist Heat [WWFP]"_s,
                       u"1: Protection [WWP]"_s,          u"1: Counter Spell [WWS]"_s}
        << QString();
    QTest::newRow("PWPFSS lists an eight-gesture spell at 6")
        << g << n << u"PWPFSS"_s
        << QStringList{u"3: Fireball [FSSDD]"_s,   u"6: Finger of Death [PWPFSSSD]"_s,
                       u"1: Magic Missile [SD]"_s, u"1: Summon Goblin [SFW]"_s,
                       u"1: Anti Spell [SPFP]"_s,  u"1: Permanency [SPFPSDW]"_s,
                       u"1: Time Stop [SPPc]"_s,   u"1: Time Stop [SPPFD]"_s,
                       u"2: Resist Cold [SSFP]"_s, u"1: Fear [SWD]"_s,
                       u"1: Fire Storm [SWWc]"_s}
        << QString();
    QTest::newRow("PWPFSSSD reads only the last six moves")
        << g << n << u"PWPFSSSD"_s << sdLines << QString();

    // Keys already in the pane, letter case ignored, anywhere in a line.
    QTest::newRow("same name, shorter gestures later")
        << QStringList{u"SWD"_s, u"SW"_s} << QStringList{u"Fear"_s, u"Fear"_s} << u"SW"_s
        << QStringList{u"2: Fear [SWD]"_s} << QString();
    QTest::newRow("same name, shorter gestures first")
        << QStringList{u"SW"_s, u"SWD"_s} << QStringList{u"Fear"_s, u"Fear"_s} << u"SW"_s
        << QStringList{u"2: Fear [SW]"_s, u"2: Fear [SWD]"_s} << QString();
    QTest::newRow("name ending an earlier name")
        << QStringList{u"SD"_s, u"SD"_s} << QStringList{u"Magic Missile"_s, u"Missile"_s} << u"SD"_s
        << QStringList{u"2: Magic Missile [SD]"_s} << QString();
    QTest::newRow("longer name later")
        << QStringList{u"SD"_s, u"SD"_s} << QStringList{u"Missile"_s, u"Magic Missile"_s} << u"SD"_s
        << QStringList{u"2: Missile [SD]"_s, u"2: Magic Missile [SD]"_s} << QString();
    QTest::newRow("keys equal but for letter case")
        << QStringList{u"P"_s, u"p"_s} << QStringList{u"Shield"_s, u"shield"_s} << u"P"_s
        << QStringList{u"1: Shield [P]"_s} << QString();
    QTest::newRow("keys equal but for accented letter case")
        << QStringList{u"é"_s, u"É"_s} << QStringList{u"Élan"_s, u"élan"_s} << u"?"_s
        << QStringList{u"1: Élan [é]"_s} << QString();

    // Characters that are not gestures.
    QTest::newRow("wildcard matches digits, accents and sharp s")
        << QStringList{u"é"_s, u"1"_s, u"ß"_s, u"d"_s, u"É"_s}
        << QStringList{u"small"_s, u"one"_s, u"sharp"_s, u"both"_s, u"capital"_s} << u"?"_s
        << QStringList{u"1: small [é]"_s, u"1: one [1]"_s, u"1: sharp [ß]"_s, u"1: capital [É]"_s}
        << QString();
    QTest::newRow("accented move is not case-folded")
        << QStringList{u"é"_s, u"É"_s} << QStringList{u"small"_s, u"capital"_s} << u"É"_s
        << QStringList{u"1: capital [É]"_s} << QString();

    // Lists that do not pair up.
    QTest::newRow("name list of ten stops at row 10")
        << g << n.mid(0, 10) << u"SD"_s << sdLines.mid(0, 6) << u"List index out of bounds (10)"_s;
    QTest::newRow("missing name fails even for a listed key")
        << QStringList{u"SD"_s, u"SD"_s} << QStringList{u"Magic Missile"_s} << u"SD"_s
        << QStringList{u"2: Magic Missile [SD]"_s} << u"List index out of bounds (1)"_s;
    QTest::newRow("missing name of a row that does not match")
        << QStringList{u"SD"_s, u"WW"_s} << QStringList{u"Magic Missile"_s} << u"SD"_s
        << QStringList{u"2: Magic Missile [SD]"_s} << QString();
    QTest::newRow("no names at all") << QStringList{u"D"_s} << QStringList() << u"D"_s
                                     << QStringList() << u"List index out of bounds (0)"_s;

    // Empty lists and empty gesture strings.
    QTest::newRow("empty lists, history SD")
        << QStringList() << QStringList() << u"SD"_s << QStringList() << QString();
    QTest::newRow("empty lists, history ??????")
        << QStringList() << QStringList() << u"??????"_s << QStringList() << QString();
    QTest::newRow("empty gesture strings never match")
        << QStringList{QString(), u"D"_s, QString()} << QStringList{u"Void"_s, u"Dee"_s, u"Null"_s}
        << u"?"_s << QStringList{u"1: Dee [D]"_s} << QString();
}

void ComboTest::search() {
    QFETCH(QStringList, gestures);
    QFETCH(QStringList, names);
    QFETCH(QString, history);
    QFETCH(QStringList, lines);
    QFETCH(QString, error);

    const ListModel g = listOf(gestures);
    const ListModel n = listOf(names);
    const Outcome engine = searchWithEngine(history, g, n);
    QCOMPARE(engine.error, error);
    QCOMPARE(linesOf(engine.pane), lines);
    QVERIFY2(isPlain(engine.pane), qPrintable(oracle::describePane(engine.pane)));
    compareWithOracle(engine, searchWithOracle(history, g, n), true);

    // With the ordering and highlighting behind it, a failed search is where the change
    // handling stops: the lines keep their row order and their default appearance.
    if (!error.isEmpty()) {
        const Outcome recomputed = recomputeWithEngine(history, g, n);
        QCOMPARE(recomputed.error, error);
        QVERIFY(oracle::paneDifference(engine.pane, recomputed.pane).isEmpty());
    }
}

void ComboTest::searchVisitsEveryRow_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("names");

    QTest::newRow("256 rows") << 256 << 256;
    QTest::newRow("300 rows") << 300 << 300;
    QTest::newRow("300 rows, 270 names") << 300 << 270;
}

// Every row holds "D" and a name of its own, except the last, which holds "SD"; the history
// SD lists every row, the last one at progress 2.
void ComboTest::searchVisitsEveryRow() {
    QFETCH(int, rows);
    QFETCH(int, names);

    QStringList gestures, nameItems, expected;
    for (int i = 0; i < rows; ++i) {
        const bool last = i == rows - 1;
        gestures << (last ? u"SD"_s : u"D"_s);
        const QString name = last ? u"Final Row"_s : u"Row %1"_s.arg(i);
        if (i < names)
            nameItems << name;
        expected << (last ? u"2: "_s : u"1: "_s) + name + (last ? u" [SD]"_s : u" [D]"_s);
    }
    const ListModel g = listOf(gestures);
    const ListModel n = listOf(nameItems);

    const Outcome engine = searchWithEngine(u"SD"_s, g, n);
    if (names < rows) {
        QCOMPARE(engine.error, u"List index out of bounds (%1)"_s.arg(names));
        QCOMPARE(linesOf(engine.pane), expected.mid(0, names));
    } else {
        QCOMPARE(engine.error, QString());
        QCOMPARE(linesOf(engine.pane), expected);
    }
    compareWithOracle(engine, searchWithOracle(u"SD"_s, g, n), true);

    // The whole change handling on the same lists: the last row's line moves to the top and
    // is the only bold one.
    const Outcome recomputed = recomputeWithEngine(u"SD"_s, g, n);
    if (names == rows) {
        const QStringList rendered = render(recomputed.pane);
        QCOMPARE(rendered.first(), u"*2: Final Row [{SD}]"_s);
        QCOMPARE(rendered.at(1), u"1: Row 1 [{D}]"_s);
        QCOMPARE(rendered.last(), u"1: Row 0 [{D}]"_s);
    }
    compareWithOracle(recomputed, recomputeWithOracle(u"SD"_s, g, n), true);
}

void ComboTest::order_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");

    const QStringList p{u"1: Shield [P]"_s,
                        u"1: Surrender [p]"_s,
                        u"1: Remove Enchantment [PDWP]"_s,
                        u"1: Invisibility [PPws]"_s,
                        u"1: Charm Monster [PSDD]"_s,
                        u"1: Charm Person [PSDF]"_s,
                        u"1: Summon Ogre [PSFW]"_s,
                        u"1: Finger of Death [PWPFSSSD]"_s,
                        u"1: Haste [PWPWWc]"_s};
    QTest::newRow("all count 1 stay") << p << p;

    QTest::newRow("SD") << sdLines
                        << QStringList{
                               u"2: Magic Missile [SD]"_s,      u"1: Cure Heavy Wounds [DFPW]"_s,
                               u"1: Cure Light Wounds [DFW]"_s, u"1: Blindness [DFWFd]"_s,
                               u"1: Amnesia [DPP]"_s,           u"1: Confusion [DSF]"_s,
                               u"1: Disease [DSFFFc]"_s,        u"1: Blindness [DWFFd]"_s,
                               u"1: Delay Effect [DWSSSP]"_s,   u"1: Poison [DWWFWD]"_s,
                               u"1: Lightning Bolt [DFFDD]"_s};
    QTest::newRow("SPP")
        << QStringList{u"1: Shield [P]"_s,
                       u"1: Surrender [p]"_s,
                       u"1: Remove Enchantment [PDWP]"_s,
                       u"2: Invisibility [PPws]"_s,
                       u"1: Charm Monster [PSDD]"_s,
                       u"1: Charm Person [PSDF]"_s,
                       u"1: Summon Ogre [PSFW]"_s,
                       u"1: Finger of Death [PWPFSSSD]"_s,
                       u"1: Haste [PWPWWc]"_s,
                       u"3: Time Stop [SPPc]"_s,
                       u"3: Time Stop [SPPFD]"_s}
        << QStringList{u"3: Time Stop [SPPc]"_s,         u"3: Time Stop [SPPFD]"_s,
                       u"2: Invisibility [PPws]"_s,      u"1: Shield [P]"_s,
                       u"1: Charm Monster [PSDD]"_s,     u"1: Charm Person [PSDF]"_s,
                       u"1: Summon Ogre [PSFW]"_s,       u"1: Finger of Death [PWPFSSSD]"_s,
                       u"1: Haste [PWPWWc]"_s,           u"1: Surrender [p]"_s,
                       u"1: Remove Enchantment [PDWP]"_s};
    QTest::newRow("WWP") << QStringList{u"1: Shield [P]"_s,
                                        u"1: Surrender [p]"_s,
                                        u"1: Remove Enchantment [PDWP]"_s,
                                        u"1: Invisibility [PPws]"_s,
                                        u"1: Charm Monster [PSDD]"_s,
                                        u"1: Charm Person [PSDF]"_s,
                                        u"1: Summon Ogre [PSFW]"_s,
                                        u"1: Finger of Death [PWPFSSSD]"_s,
                                        u"1: Haste [PWPWWc]"_s,
                                        u"2: Cause Heavy Wounds [WPFD]"_s,
                                        u"2: Counter Spell [WPP]"_s,
                                        u"3: Protection [WWP]"_s}
                         << QStringList{u"3: Protection [WWP]"_s,
                                        u"2: Counter Spell [WPP]"_s,
                                        u"2: Cause Heavy Wounds [WPFD]"_s,
                                        u"1: Invisibility [PPws]"_s,
                                        u"1: Charm Monster [PSDD]"_s,
                                        u"1: Charm Person [PSDF]"_s,
                                        u"1: Summon Ogre [PSFW]"_s,
                                        u"1: Finger of Death [PWPFSSSD]"_s,
                                        u"1: Haste [PWPWWc]"_s,
                                        u"1: Shield [P]"_s,
                                        u"1: Surrender [p]"_s,
                                        u"1: Remove Enchantment [PDWP]"_s};
    QTest::newRow("counts 1, 2") << QStringList{u"1: A [D]"_s, u"2: B [SD]"_s}
                                 << QStringList{u"2: B [SD]"_s, u"1: A [D]"_s};
    QTest::newRow("counts 2, 1") << QStringList{u"2: B [SD]"_s, u"1: A [D]"_s}
                                 << QStringList{u"2: B [SD]"_s, u"1: A [D]"_s};
    QTest::newRow("counts 1, 1, 2 reverse the equal pair")
        << QStringList{u"1: A [D]"_s, u"1: B [D]"_s, u"2: C [SD]"_s}
        << QStringList{u"2: C [SD]"_s, u"1: B [D]"_s, u"1: A [D]"_s};
}

void ComboTest::order() {
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);

    const Outcome engine = run(paneOf(before), [](TextPane& p) { combo::OrderCombos(p); });
    QCOMPARE(linesOf(engine.pane), after);
    // Where writing lines leaves the selection is nobody's concern; the highlighting sets it.
    compareWithOracle(engine, run(paneOf(before), [](TextPane& p) { oracle::OrderCombos(p); }),
                      false);
}

void ComboTest::highlight_data() {
    QTest::addColumn<QStringList>("gestures");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("history");
    QTest::addColumn<QStringList>("rendered");
    QTest::addColumn<qsizetype>("selectionStart");
    QTest::addColumn<qsizetype>("selectionLength");

    const QStringList g = defaultGestures();
    const QStringList n = defaultNames();

    QTest::newRow("WWP") << g << n << u"WWP"_s
                         << QStringList{u"*3: Protection [<WWP>]"_s,
                                        u"2: Counter Spell [{WP}P]"_s,
                                        u"2: Cause Heavy Wounds [{WP}FD]"_s,
                                        u"1: Invisibility [{P}Pws]"_s,
                                        u"1: Charm Monster [{P}SDD]"_s,
                                        u"1: Charm Person [{P}SDF]"_s,
                                        u"1: Summon Ogre [{P}SFW]"_s,
                                        u"1: Finger of Death [{P}WPFSSSD]"_s,
                                        u"1: Haste [{P}WPWWc]"_s,
                                        u"1: Shield [{P}]"_s,
                                        u"1: Surrender [{p}]"_s,
                                        u"1: Remove Enchantment [{P}DWP]"_s}
                         << qsizetype(0) << qsizetype(19);
    QTest::newRow("PWP, longer passes recolour red")
        << g << n << u"PWP"_s
        << QStringList{u"3: Finger of Death [<PWP>FSSSD]"_s,
                       u"3: Haste [<PWP>WWc]"_s,
                       u"2: Cause Heavy Wounds [{WP}FD]"_s,
                       u"2: Counter Spell [{WP}P]"_s,
                       u"1: Charm Monster [{P}SDD]"_s,
                       u"1: Charm Person [{P}SDF]"_s,
                       u"1: Summon Ogre [{P}SFW]"_s,
                       u"1: Shield [{P}]"_s,
                       u"1: Surrender [{p}]"_s,
                       u"1: Remove Enchantment [{P}DWP]"_s,
                       u"1: Invisibility [{P}Pws]"_s}
        << qsizetype(0) << qsizetype(0);
    QTest::newRow("XWP, the wildcard is searched literally")
        << g << n << u"XWP"_s
        << QStringList{u"3: Finger of Death [{P}WPFSSSD]"_s,
                       u"3: Haste [{P}WPWWc]"_s,
                       u"3: Protection [WWP]"_s,
                       u"2: Counter Spell [{WP}P]"_s,
                       u"2: Cause Heavy Wounds [{WP}FD]"_s,
                       u"1: Charm Person [{P}SDF]"_s,
                       u"1: Summon Ogre [{P}SFW]"_s,
                       u"1: Shield [{P}]"_s,
                       u"1: Surrender [{p}]"_s,
                       u"1: Remove Enchantment [{P}DWP]"_s,
                       u"1: Invisibility [{P}Pws]"_s,
                       u"1: Charm Monster [{P}SDD]"_s}
        << qsizetype(0) << qsizetype(0);
    QTest::newRow("P bolds Shield and Surrender")
        << g << n << u"P"_s
        << QStringList{u"*1: Shield [{P}]"_s,
                       u"*1: Surrender [{p}]"_s,
                       u"1: Remove Enchantment [{P}DWP]"_s,
                       u"1: Invisibility [{P}Pws]"_s,
                       u"1: Charm Monster [{P}SDD]"_s,
                       u"1: Charm Person [{P}SDF]"_s,
                       u"1: Summon Ogre [{P}SFW]"_s,
                       u"1: Finger of Death [{P}WPFSSSD]"_s,
                       u"1: Haste [{P}WPWWc]"_s}
        << qsizetype(15) << qsizetype(16);
    QTest::newRow("CDPW")
        << g << n << u"CDPW"_s
        << QStringList{u"*4: Dispel Magic [<cDPW>]"_s,       u"2: Haste [{PW}PWWc]"_s,
                       u"2: Finger of Death [{PW}PFSSSD]"_s, u"1: Clap of Lightning [{W}DDc]"_s,
                       u"1: Cause Light Wounds [{W}FP]"_s,   u"1: Summon Giant [{W}FPSFW]"_s,
                       u"1: Cause Heavy Wounds [{W}PFD]"_s,  u"1: Counter Spell [{W}PP]"_s,
                       u"1: Ice Storm [{W}SSc]"_s,           u"1: Resist Heat [{W}WFP]"_s,
                       u"1: Protection [{W}WP]"_s,           u"1: Counter Spell [{W}WS]"_s}
        << qsizetype(0) << qsizetype(22);
    const QStringList sdRendered{
        u"2: Magic Missile [{SD}]"_s,      u"1: Cure Heavy Wounds [{D}FPW]"_s,
        u"1: Cure Light Wounds [{D}FW]"_s, u"1: Blindness [{D}FWFd]"_s,
        u"1: Amnesia [{D}PP]"_s,           u"1: Confusion [{D}SF]"_s,
        u"1: Disease [{D}SFFFc]"_s,        u"1: Blindness [{D}WFFd]"_s,
        u"1: Delay Effect [{D}WSSSP]"_s,   u"1: Poison [{D}WWFWD]"_s,
        u"1: Lightning Bolt [{D}FFDD]"_s};
    QStringList sdBold = sdRendered;
    sdBold.first().prepend(u'*');
    QTest::newRow("SD") << g << n << u"SD"_s << sdBold << qsizetype(0) << qsizetype(21);
    QTest::newRow("PWPFSSSD, nothing bold, first six selected")
        << g << n << u"PWPFSSSD"_s << sdRendered << qsizetype(0) << qsizetype(6);

    // Small spellbooks that show one rule each.
    QTest::newRow("single line keeps the default appearance")
        << QStringList{u"SD"_s} << QStringList{u"Magic Missile"_s} << u"SD"_s
        << QStringList{u"2: Magic Missile [SD]"_s} << qsizetype(0) << qsizetype(0);
    QTest::newRow("only the last line bold")
        << QStringList{u"PD"_s, u"PS"_s, u"P"_s} << QStringList{u"A"_s, u"B"_s, u"C"_s} << u"P"_s
        << QStringList{u"1: A [{P}D]"_s, u"1: B [{P}S]"_s, u"*1: C [{P}]"_s} << qsizetype(22)
        << qsizetype(8);
    QTest::newRow("bracket inside a name is coloured too")
        << QStringList{u"SD"_s, u"D"_s} << QStringList{u"Foo [SD"_s, u"Dee"_s} << u"SD"_s
        << QStringList{u"*2: Foo [{SD} [{SD}]"_s, u"1: Dee [{D}]"_s} << qsizetype(0)
        << qsizetype(15);
    QTest::newRow("bold text inside a name")
        << QStringList{u"P"_s, u"WWP"_s} << QStringList{u"Odd [WWP]"_s, u"Protection"_s} << u"WWP"_s
        << QStringList{u"*3: Protection [<WWP>]"_s, u"*1: Odd [<WWP>] [{P}]"_s} << qsizetype(21)
        << qsizetype(16);
    QTest::newRow("search resumes past the first coloured character")
        << QStringList{u"[[["_s, u"["_s} << QStringList{u"a"_s, u"b"_s} << u"["_s
        << QStringList{u"*1: a [{[}[{[}]"_s, u"*1: b [{[}]"_s} << qsizetype(12) << qsizetype(8);
    QTest::newRow("seven moves, seven gestures: bold")
        << QStringList{u"DDDDDDD"_s, u"D"_s} << QStringList{u"Seven"_s, u"One"_s} << u"DDDDDDD"_s
        << QStringList{u"*6: Seven [<DDDDDD>D]"_s, u"1: One [{D}]"_s} << qsizetype(0)
        << qsizetype(18);
    QTest::newRow("eight moves, seven gestures: not bold")
        << QStringList{u"DDDDDDD"_s, u"D"_s} << QStringList{u"Seven"_s, u"One"_s} << u"DDDDDDDD"_s
        << QStringList{u"6: Seven [<DDDDDD>D]"_s, u"1: One [{D}]"_s} << qsizetype(0)
        << qsizetype(6);
}

void ComboTest::highlight() {
    QFETCH(QStringList, gestures);
    QFETCH(QStringList, names);
    QFETCH(QString, history);
    QFETCH(QStringList, rendered);
    QFETCH(qsizetype, selectionStart);
    QFETCH(qsizetype, selectionLength);

    const ListModel g = listOf(gestures);
    const ListModel n = listOf(names);
    const Outcome engine = recomputeWithEngine(history, g, n);
    QCOMPARE(engine.error, QString());
    QCOMPARE(render(engine.pane), rendered);
    QCOMPARE(engine.pane.selectionStart(), selectionStart);
    QCOMPARE(engine.pane.selectionLength(), selectionLength);
    compareWithOracle(engine, recomputeWithOracle(history, g, n), true);
}

void ComboTest::lookupBoldsOnlyItsSpell_data() {
    QTest::addColumn<QString>("history");
    QTest::addColumn<QStringList>("boldLines");

    const QStringList g = defaultGestures();
    const QStringList n = defaultNames();
    const auto lineOf = [&](int row) {
        return QString::number(g[row].size()) + u": "_s + n[row] + u" ["_s + g[row] + u"]"_s;
    };
    for (int row = 0; row < g.size(); ++row) {
        QStringList bold;
        if (row == 17 || row == 18) // Shield P and Surrender p
            bold = QStringList{lineOf(17), lineOf(18)};
        else if (g[row].size() <= 6)
            bold = QStringList{lineOf(row)};
        // The lookup writes the gestures into the history field, which makes them capitals.
        QTest::addRow("row %d, %s", row, qPrintable(g[row])) << g[row].toUpper() << bold;
    }
}

// The lookup of a default spell puts its gestures into the history: its own line is then the
// only bold one, Shield and Surrender go together, and the two spells longer than six
// gestures are not listed at all.
void ComboTest::lookupBoldsOnlyItsSpell() {
    QFETCH(QString, history);
    QFETCH(QStringList, boldLines);

    const ListModel g(defaultGesturesText());
    const ListModel n(defaultNamesText(Language::English));
    const Outcome engine = recomputeWithEngine(history, g, n);
    QCOMPARE(engine.error, QString());
    const QStringList rendered = render(engine.pane);
    QStringList bold;
    for (qsizetype j = 0; j < engine.pane.lineCount(); ++j) {
        QVERIFY2(!rendered[j].startsWith(u'~'), qPrintable(rendered[j]));
        if (rendered[j].startsWith(u'*'))
            bold << engine.pane.line(j);
    }
    QCOMPARE(bold, boldLines);
    compareWithOracle(engine, recomputeWithOracle(history, g, n), true);
}

// An engine kept between keystrokes must see every write of either list, including writes
// that keep the row count, and must not mix up two pairs of lists.
void ComboTest::engineFollowsListWrites() {
    combo::ComboEngine engine;
    ListModel gestures(defaultGesturesText());
    ListModel names(defaultNamesText(Language::English));
    const ListModel spanishNames(defaultNamesText(Language::Spanish));

    // The first disagreement between the kept engine and the oracle, if any.
    QString difference;
    const auto check = [&](const char* what, const QString& history, const ListModel& n) {
        if (!difference.isEmpty())
            return;
        const Outcome kept =
            run(stalePane(), [&](TextPane& p) { engine.recompute(history, gestures, n, p); });
        const Outcome oracle = recomputeWithOracle(history, gestures, n);
        difference = oracle::paneDifference(oracle.pane, kept.pane);
        if (kept.error != oracle.error)
            difference += u"error \""_s + kept.error + u"\" instead of \""_s + oracle.error + u'"';
        if (!difference.isEmpty())
            difference.prepend(QString::fromUtf8(what) + u": "_s);
    };

    check("default lists", u"SD"_s, names);
    check("same lists, other history", u"WWP"_s, names);
    check("other name list", u"SD"_s, spanishNames);
    check("first name list again", u"SD"_s, names);

    // Row 33 becomes "SD" and is listed beside Magic Missile. Renamed "missile", its key
    // occurs in Magic Missile's line and it is not; row 34, renamed too, follows it once its
    // gestures become "SD" as well.
    QStringList rows = gestures.items();
    rows[33] = u"SD"_s;
    gestures.setText(joinItems(rows));
    check("gestures rewritten", u"SD"_s, names);
    QStringList renamed = names.items();
    renamed[33] = renamed[34] = u"missile"_s;
    names.setText(joinItems(renamed));
    check("names rewritten", u"SD"_s, names);
    rows[34] = u"SD"_s;
    gestures.setText(joinItems(rows));
    check("gestures rewritten again", u"SD"_s, names);

    names.setText(joinItems(renamed.mid(0, 10)));
    check("names cut short", u"SD"_s, names);
    names.setText(defaultNamesText(Language::English));
    check("names restored", u"SD"_s, names);
    gestures.setText(u"SD\r\nP\r\n"_s);
    check("two gesture rows", u"SD"_s, names);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

} // namespace quorvane

QTEST_APPLESS_MAIN(quorvane::ComboTest)
#include "test_combo.moc"
