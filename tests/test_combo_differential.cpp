// The fast combo engine against the step-by-step oracle on many generated spellbooks and
// histories, and on a few hand-made spellbooks whose keys turn up inside other lines at odd
// places. Both must leave the same lines, the same format on every character, the same
// selection, and raise the same error or none.
//
// Every generated case comes from its own generator seeded with kSeed + case index, so a
// failing case can be rebuilt alone from the index printed with the failure.

#include "combo/ComboEngine.h"
#include "oracle/ComboOracle.h"
#include "ui/Error.h"
#include "ui/ListModel.h"
#include "ui/TextPane.h"
#include "ui/TextSplit.h"

#include <QRandomGenerator>
#include <QStringList>
#include <QTest>

#include <array>
#include <functional>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

constexpr quint32 kSeed = 0x51A7E5u;
constexpr int kCases = 20000;

struct Case {
    QStringList gestures;
    QStringList names;
    QString history;
};

struct Outcome {
    TextPane pane;
    QString error;
};

// The pane as a previous history left it: lines, formats and a selection.
TextPane stalePane() {
    TextPane pane;
    pane.addLine(u"2: Leftover [SD]"_s);
    pane.addLine(u"1: Shield [P]"_s);
    pane.setSelection(3, 12);
    pane.setSelectionColour(clBlue);
    pane.setSelectionBold();
    return pane;
}

Outcome run(const std::function<void(TextPane&)>& step) {
    Outcome outcome{stalePane(), {}};
    try {
        step(outcome.pane);
    } catch (const Error& e) {
        outcome.error = e.message();
    }
    return outcome;
}

QString quoteList(const QStringList& items) {
    QStringList quoted;
    for (const QString& item : items)
        quoted << u'"' + item + u'"';
    return u'{' + quoted.join(u", "_s) + u'}';
}

QString describeCase(const Case& c) {
    return u"gestures "_s + quoteList(c.gestures) + u"\nnames    "_s + quoteList(c.names) +
           u"\nhistory  \""_s + c.history + u'"';
}

QString differenceOf(const Outcome& engine, const Outcome& oracle) {
    if (engine.error != oracle.error)
        return u"error: expected \""_s + oracle.error + u"\", got \""_s + engine.error + u'"';
    return oracle::paneDifference(oracle.pane, engine.pane);
}

QString report(const QString& difference, const Case& c, const QString& history,
               const Outcome& engine, const Outcome& oracle) {
    return difference + u'\n' + describeCase(c) + u"\nrecomputed for \""_s + history +
           u"\"\nengine:\n"_s + oracle::describePane(engine.pane) + u"oracle:\n"_s +
           oracle::describePane(oracle.pane);
}

// What the expected panes show, to make sure that the generated cases reach every rule.
struct Coverage {
    int errors = 0;
    int ordered = 0;   // two lines or more
    int bold = 0;      // some line bold
    int red = 0;       // some character red
    int longLists = 0; // more than 256 rows

    void add(const Case& c, const Outcome& o) {
        errors += o.error.isEmpty() ? 0 : 1;
        ordered += o.pane.lineCount() >= 2 ? 1 : 0;
        longLists += c.gestures.size() > 256 ? 1 : 0;
        bool anyBold = false, anyRed = false;
        for (qsizetype j = 0; j < o.pane.lineCount(); ++j) {
            for (qsizetype k = 0; k < o.pane.line(j).size(); ++k) {
                const CharFormat f = o.pane.format(j, k);
                anyBold = anyBold || f.bold;
                anyRed = anyRed || f.colour == clRed;
            }
        }
        bold += anyBold ? 1 : 0;
        red += anyRed ? 1 : 0;
    }
};

// Empty when the engine agrees with the oracle on the case, else what differs. The case goes
// through a fresh engine, through the three steps called one by one, then through `kept`, an engine
// that lives across cases, for the case's history and for the history one move shorter, as after a
// backspace, which reuses what the kept engine worked out for these lists.
QString compareOnCase(const Case& c, combo::ComboEngine& kept, Coverage* coverage = nullptr) {
    const ListModel gestures(joinItems(c.gestures));
    const ListModel names(joinItems(c.names));
    const auto oracleFor = [&](const QString& history) {
        return run([&](TextPane& p) { oracle::RecomputeCombos(history, gestures, names, p); });
    };
    const auto keptFor = [&](const QString& history) {
        return run([&](TextPane& p) { kept.recompute(history, gestures, names, p); });
    };

    const Outcome oracle = oracleFor(c.history);
    if (coverage)
        coverage->add(c, oracle);
    const Outcome fresh =
        run([&](TextPane& p) { combo::RecomputeCombos(c.history, gestures, names, p); });
    if (const QString d = differenceOf(fresh, oracle); !d.isEmpty())
        return report(d, c, c.history, fresh, oracle);

    // The three steps one by one, as a caller without the engine object runs them: the
    // ordering and highlighting then read the pane itself.
    const Outcome stepwise = run([&](TextPane& p) {
        combo::SearchCombos(c.history, gestures, names, p);
        if (p.lineCount() >= 2) {
            combo::OrderCombos(p);
            combo::HighlightCombos(c.history, p);
        }
    });
    if (const QString d = differenceOf(stepwise, oracle); !d.isEmpty())
        return u"step by step: "_s + report(d, c, c.history, stepwise, oracle);

    const Outcome again = keptFor(c.history);
    if (const QString d = differenceOf(again, oracle); !d.isEmpty())
        return u"kept engine: "_s + report(d, c, c.history, again, oracle);
    const QString shorter = c.history.chopped(c.history.isEmpty() ? 0 : 1);
    const Outcome shorterOracle = oracleFor(shorter);
    const Outcome shorterKept = keptFor(shorter);
    if (const QString d = differenceOf(shorterKept, shorterOracle); !d.isEmpty())
        return u"kept engine: "_s + report(d, c, shorter, shorterKept, shorterOracle);
    return {};
}

// Generation of cases.

const QString kGestureLetters = u"DFPSWcdpsw"_s;
const std::array<QString, 23> kOddCharacters{u"["_s, u"]"_s, u" "_s,  u":"_s,  u"?"_s, u"*"_s,
                                             u"x"_s, u"X"_s, u"0"_s,  u"1"_s,  u"2"_s, u"6"_s,
                                             u"9"_s, u"é"_s, u"É"_s,  u"ß"_s,  u"a"_s, u"Z"_s,
                                             u"["_s, u"]"_s, u" ["_s, u"[["_s, u"C"_s};
const std::array<QString, 34> kNamePool{u"Missile"_s,
                                        u"Magic Missile"_s,
                                        u"magic missile"_s,
                                        u"MAGIC MISSILE"_s,
                                        u"Fear"_s,
                                        u"fear"_s,
                                        u"Élan"_s,
                                        u"élan"_s,
                                        u"ÉLAN"_s,
                                        u"Straße"_s,
                                        u"STRASSE"_s,
                                        u"Shield"_s,
                                        u"1: X"_s,
                                        u": X"_s,
                                        u" X"_s,
                                        u"X"_s,
                                        QString(),
                                        u" "_s,
                                        u"["_s,
                                        u"]"_s,
                                        u" ["_s,
                                        u"[["_s,
                                        u"a [[["_s,
                                        u"Odd]"_s,
                                        u"Odd ["_s,
                                        u"Odd [D"_s,
                                        u"x [SD"_s,
                                        u"Fear [SW"_s,
                                        u"Trap [WWP]"_s,
                                        u"ß"_s,
                                        u"é [é"_s,
                                        u"2: Fear"_s,
                                        u"]: ["_s,
                                        u"Fear ["_s};

class Generator {
public:
    explicit Generator(quint32 seed) : rng_(seed) {}

    Case next() {
        Case c;
        chooseAlphabet();
        const int rows = rowCount();
        for (int i = 0; i < rows; ++i)
            c.gestures << gestureString(c.gestures);
        for (int i = 0; i < rows; ++i)
            c.names << name(c.names, c.gestures);
        const int pick = below(100);
        if (pick < 12)
            c.names = c.names.mid(0, below(rows + 1)); // shorter: the search may fail
        else if (pick < 24)
            for (int extra = 1 + below(3); extra > 0; --extra)
                c.names << name(c.names, c.gestures);
        c.history = history(c.gestures);
        return c;
    }

private:
    int below(int n) { return n <= 0 ? 0 : int(rng_.bounded(n)); }
    bool chance(int percent) { return below(100) < percent; }

    // A per-case gesture alphabet: a narrow one makes long matches frequent.
    void chooseAlphabet() {
        alphabet_.clear();
        if (chance(50)) {
            for (int k = 2 + below(2); k > 0; --k)
                alphabet_ += kGestureLetters[below(int(kGestureLetters.size()))];
        } else {
            alphabet_ = kGestureLetters;
        }
        oddPercent_ = std::array{0, 4, 15}[std::size_t(below(3))];
    }

    int rowCount() {
        const int pick = below(100);
        if (pick < 70)
            return below(13);
        if (pick < 96)
            return 13 + below(48);
        return 61 + below(240);
    }

    QString oddCharacter() {
        return kOddCharacters[std::size_t(below(int(kOddCharacters.size())))];
    }

    QString gestureCharacter() {
        if (chance(oddPercent_))
            return oddCharacter().left(1);
        return QString(alphabet_[below(int(alphabet_.size()))]);
    }

    QString randomGestures(int length) {
        QString g;
        while (g.size() < length)
            g += gestureCharacter();
        return g;
    }

    QString gestureString(const QStringList& earlier) {
        if (!earlier.isEmpty() && chance(20)) {
            // A copy, a prefix, an extension or a case-swapped copy of an earlier row.
            QString g = earlier[below(int(earlier.size()))];
            switch (below(4)) {
            case 0:
                return g;
            case 1:
                return g.left(below(int(g.size()) + 1));
            case 2:
                return g + randomGestures(1 + below(3));
            default:
                for (QChar& ch : g)
                    ch = ch.isUpper() ? ch.toLower() : ch.toUpper();
                return g;
            }
        }
        if (chance(1)) // past the lengths that a key index may treat specially
            return randomGestures(60 + below(10));
        static constexpr std::array<int, 10> lengthWeights{3, 14, 14, 14, 12, 10, 10, 8, 8, 7};
        int pick = below(100);
        int length = 0;
        while (pick >= lengthWeights[std::size_t(length)])
            pick -= lengthWeights[std::size_t(length++)];
        return randomGestures(length);
    }

    QString name(const QStringList& earlier, const QStringList& gestures) {
        const int pick = below(100);
        if (pick < 35 || earlier.isEmpty())
            return kNamePool[std::size_t(below(int(kNamePool.size())))];
        const QString& other = earlier[below(int(earlier.size()))];
        if (pick < 55)
            return other; // a repeated name
        if (pick < 70) {
            // A name that holds another row's key: its name, " [" and some of its gestures.
            const QString g =
                gestures.isEmpty() ? QString() : gestures[below(int(gestures.size()))];
            return other + u" ["_s + g.left(below(int(g.size()) + 1));
        }
        if (pick < 80)
            return other.right(below(int(other.size()) + 1)); // the end of another name
        if (pick < 85)
            return other.toUpper();
        QString s;
        for (int n = below(7); n > 0; --n)
            s += chance(50) ? gestureCharacter() : oddCharacter();
        return s;
    }

    QString move() {
        const int pick = below(100);
        if (pick < 55)
            return QString(alphabet_[below(int(alphabet_.size()))]).toUpper();
        if (pick < 75)
            return std::array{u"X"_s, u"x"_s, u"?"_s, u"*"_s}[std::size_t(below(4))];
        if (pick < 90)
            return oddCharacter().left(1);
        return QString(alphabet_[below(int(alphabet_.size()))]); // in its stored case
    }

    QString history(const QStringList& gestures) {
        QString h;
        if (gestures.isEmpty() || chance(40)) {
            for (int n = below(11); n > 0; --n)
                h += move();
            return h;
        }
        // Moves that make some row's gestures: whole, or a start of them after other moves,
        // now and then with one move turned into a wildcard.
        const QString& g = gestures[below(int(gestures.size()))];
        QString made = chance(25) ? g : g.left(1 + below(int(g.size())));
        if (chance(85))
            made = made.toUpper();
        if (!made.isEmpty() && chance(20))
            made[below(int(made.size()))] = std::array{u'X', u'?', u'*'}[std::size_t(below(3))];
        for (int n = below(5); n > 0; --n)
            h += move();
        h += made;
        return h.right(10);
    }

    QRandomGenerator rng_;
    QString alphabet_;
    int oddPercent_ = 0;
};

} // namespace

class ComboDifferentialTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void handmade_data();
    void handmade();
    void generated();
};

void ComboDifferentialTest::handmade_data() {
    QTest::addColumn<QStringList>("gestures");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("history");

    QTest::newRow("name ending with a bracket and gestures")
        << QStringList{u"SD"_s, u"D"_s, u"SD"_s} << QStringList{u"Foo [D"_s, u"Foo"_s, u"Foo [D"_s}
        << u"SD"_s;
    QTest::newRow("name ending with a bracket, rows reversed")
        << QStringList{u"D"_s, u"SD"_s} << QStringList{u"Foo"_s, u"Foo [D"_s} << u"SD"_s;
    QTest::newRow("gestures holding a blank and a bracket")
        << QStringList{u"S [D"_s, u"D"_s, u" [D"_s} << QStringList{u"A"_s, u"B"_s, u"A [S"_s}
        << u"S [D"_s;
    QTest::newRow("key starting at a line's progress digit")
        << QStringList{u"D"_s, u"D"_s, u"SD"_s} << QStringList{u"Foo"_s, u"1: Foo"_s, u"2: Foo"_s}
        << u"SD"_s;
    QTest::newRow("names 1: X, : X, blank X")
        << QStringList{u"D"_s, u"D"_s, u"D"_s, u"W"_s}
        << QStringList{u"1: X"_s, u": X"_s, u" X"_s, u"W"_s} << u"?"_s;
    QTest::newRow("names blank X, : X, 1: X")
        << QStringList{u"D"_s, u"D"_s, u"D"_s, u"W"_s}
        << QStringList{u" X"_s, u": X"_s, u"1: X"_s, u"W"_s} << u"?"_s;
    QTest::newRow("runs of brackets")
        << QStringList{u"[[["_s, u"[["_s, u"["_s, u"[D"_s}
        << QStringList{u"a [[["_s, u"[[ [["_s, u"["_s, u"[[[[ [[["_s} << u"[[["_s;
    QTest::newRow("closing bracket in gestures and history")
        << QStringList{u"D]"_s, u"]"_s, u"D"_s} << QStringList{u"Z"_s, u"Z [D"_s, u"[D]]"_s}
        << u"D]"_s;
    QTest::newRow("key ending inside another line's gestures")
        << QStringList{u"SDW"_s, u"SD"_s, u"DW"_s}
        << QStringList{u"Fear"_s, u"fEAR"_s, u"Fear [S"_s} << u"SDW"_s;
    QTest::newRow("accented names equal but for case")
        << QStringList{u"é"_s, u"É"_s, u"D"_s} << QStringList{u"Élan"_s, u"élan"_s, u"ÉLAN [É"_s}
        << u"?D"_s;
    QTest::newRow("bold text inside names only")
        << QStringList{u"P"_s, u"W"_s, u"WWP"_s}
        << QStringList{u"Odd [WWP]"_s, u"[wwp] Odd"_s, u"Protection"_s} << u"WWP"_s;
    QTest::newRow("seven moves, longer history bold")
        << QStringList{u"DDDDDDD"_s, u"DDDDDD"_s, u"D"_s}
        << QStringList{u"Seven [DDDDDDD]"_s, u"Six"_s, u"One"_s} << u"DDDDDDD"_s;
    QTest::newRow("progress digit decides whether a key occurs")
        << QStringList{u"D"_s, u"D"_s, u"SD"_s, u"SD"_s, u"SD"_s}
        << QStringList{u"Foo"_s, u"2: Foo"_s, u"Bar"_s, u"2: Bar"_s, u"1: Bar"_s} << u"SD"_s;
    QTest::newRow("error after lines that the ordering would move")
        << QStringList{u"D"_s, u"SD"_s, u"D"_s} << QStringList{u"A"_s, u"B"_s} << u"SD"_s;
}

void ComboDifferentialTest::handmade() {
    QFETCH(QStringList, gestures);
    QFETCH(QStringList, names);
    QFETCH(QString, history);
    combo::ComboEngine kept;
    const QString difference = compareOnCase({gestures, names, history}, kept);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void ComboDifferentialTest::generated() {
    int failures = 0;
    QString firstFailures;
    Coverage coverage;
    combo::ComboEngine kept;
    for (int index = 0; index < kCases; ++index) {
        const quint32 seed = kSeed + quint32(index);
        const QString difference = compareOnCase(Generator(seed).next(), kept, &coverage);
        if (difference.isEmpty())
            continue;
        if (++failures <= 3)
            firstFailures +=
                u"\n--- case %1 (seed 0x%2): "_s.arg(index).arg(seed, 0, 16) + difference;
    }
    QVERIFY2(failures == 0,
             qPrintable(u"%1 of %2 cases differ"_s.arg(failures).arg(kCases) + firstFailures));

    // A generator that drifted into trivial cases would prove nothing.
    const int enough = kCases / 50;
    QVERIFY2(
        coverage.errors >= enough && coverage.ordered >= enough && coverage.bold >= enough &&
            coverage.red >= enough && coverage.longLists >= 20,
        qPrintable(u"errors %1, ordered %2, bold %3, red %4, long lists %5"_s.arg(coverage.errors)
                       .arg(coverage.ordered)
                       .arg(coverage.bold)
                       .arg(coverage.red)
                       .arg(coverage.longLists)));
}

} // namespace quorvane

QTEST_APPLESS_MAIN(quorvane::ComboDifferentialTest)
#include "test_combo_differential.moc"
