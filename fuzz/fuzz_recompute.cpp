// The combo engine against the step-by-step procedures on fuzzed spellbooks and histories.
//
// Input: UTF-8 text cut into sections at the unit separator (1F hex). Section 0 is the
// gesture list text, section 1 the name list text; each later section is one step:
//   - a section that begins with 01 hex writes the rest as the gesture list text,
//   - one that begins with 02 hex writes the rest as the name list text,
//   - one that begins with 03 hex writes the rest as the text of a cleared pane and then
//     orders and highlights it for the current history, whatever its lines look like,
//   - any other section is the next move history, recomputed as the history field does.
// The lists may differ in length and hold any character. Each recompute runs through the
// procedures, through an engine kept over all steps on a pane kept over all steps (as in the
// window), through a fresh engine, and through the three free functions one by one; every
// one of them must leave the same lines, the same format on every character, the same
// selection and the same error as the procedures.

#include "FuzzInput.h"

#include "combo/ComboEngine.h"
#include "oracle/ComboOracle.h"
#include "ui/Error.h"
#include "ui/ListModel.h"
#include "ui/TextPane.h"
#include "ui/TextSplit.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <functional>

using namespace quorvane;
using fuzz::quoted;

namespace {

// Bounds that keep the n x n procedures fast while leaving room for every rule: keys inside
// other lines, equal counts to order, matches of six moves and a longer history for bold.
constexpr qsizetype MaxRows = 64;
constexpr qsizetype MaxItemLength = 24;
constexpr qsizetype MaxHistoryLength = 16;
constexpr qsizetype MaxSteps = 12;

enum class StepKind : char16_t { SetGestures = 0x01, SetNames = 0x02, SetPane = 0x03 };

QStringList boundedItems(QStringView text) {
    QStringList items = splitItems(text);
    if (items.size() > MaxRows)
        items.resize(MaxRows);
    for (QString& item : items)
        item.truncate(MaxItemLength);
    return items;
}

void writeList(ListModel& list, QStringView text) {
    list.setText(joinItems(boundedItems(text)));
}

// The pane as an earlier history left it, with formats and a selection.
void makeStale(TextPane& pane) {
    pane.clear();
    pane.addLine(u"2: Leftover [SD]");
    pane.addLine(u"1: Shield [P]");
    pane.setSelection(3, 12);
    pane.setSelectionColour(clBlue);
    pane.setSelectionBold();
}

// The error message an action raised, empty for none. Anything but the program's own error
// escapes and ends the run as a crash.
QString errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.message().isEmpty() ? QStringLiteral("(error without message)") : e.message();
    }
    return {};
}

struct State {
    ListModel gestures;
    ListModel names;
    QString history;
    qsizetype step = 0;
};

void compare(const State& s, const char* who, const TextPane& expected,
             const QString& expectedError, const TextPane& actual, const QString& actualError) {
    QString difference;
    if (expectedError != actualError)
        difference = QStringLiteral("error: expected %1, got %2")
                         .arg(quoted(expectedError), quoted(actualError));
    else
        difference = oracle::paneDifference(expected, actual);
    if (difference.isEmpty())
        return;
    fuzz::fail(QStringLiteral("%1 differs from the procedures at step %2: %3\n"
                              "gestures %4\nnames    %5\nhistory  %6\n"
                              "procedures:\n%7%8:\n%9")
                   .arg(QString::fromUtf8(who))
                   .arg(s.step)
                   .arg(difference, quoted(s.gestures.items()), quoted(s.names.items()),
                        quoted(s.history), oracle::describePane(expected), QString::fromUtf8(who),
                        oracle::describePane(actual)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList sections = fuzz::sections(data, size);

    State s;
    writeList(s.gestures, sections.value(0));
    writeList(s.names, sections.value(1));

    combo::ComboEngine kept;
    TextPane oraclePane, keptPane;
    makeStale(oraclePane);
    makeStale(keptPane);

    QStringList steps = sections.mid(2, MaxSteps);
    if (steps.isEmpty())
        steps << QString(); // the empty history
    for (const QString& step : steps) {
        ++s.step;
        const auto kind = step.isEmpty() ? char16_t(0) : step.front().unicode();
        const QStringView rest = QStringView(step).sliced(step.isEmpty() ? 0 : 1);
        if (kind == char16_t(StepKind::SetGestures)) {
            writeList(s.gestures, rest);
            continue;
        }
        if (kind == char16_t(StepKind::SetNames)) {
            writeList(s.names, rest);
            continue;
        }
        if (kind == char16_t(StepKind::SetPane)) {
            // Ordering and highlighting take any lines, not only combo lines; the pane is
            // cleared first because they expect lines in the default appearance.
            const QString text = joinItems(boundedItems(rest));
            for (TextPane* pane : {&oraclePane, &keptPane}) {
                pane->clear();
                pane->setText(text);
            }
            const QString expectedError = errorOf([&] {
                oracle::OrderCombos(oraclePane);
                oracle::HighlightCombos(s.history, oraclePane);
            });
            const QString error = errorOf([&] {
                combo::OrderCombos(keptPane);
                combo::HighlightCombos(s.history, keptPane);
            });
            compare(s, "ordering and highlighting of a written pane", oraclePane, expectedError,
                    keptPane, error);
            continue;
        }

        s.history = step.left(MaxHistoryLength);
        const QString expectedError =
            errorOf([&] { oracle::RecomputeCombos(s.history, s.gestures, s.names, oraclePane); });

        const QString keptError =
            errorOf([&] { kept.recompute(s.history, s.gestures, s.names, keptPane); });
        compare(s, "kept engine", oraclePane, expectedError, keptPane, keptError);

        TextPane pane;
        makeStale(pane);
        const QString freshError =
            errorOf([&] { combo::RecomputeCombos(s.history, s.gestures, s.names, pane); });
        compare(s, "fresh engine", oraclePane, expectedError, pane, freshError);

        makeStale(pane);
        const QString stepwiseError = errorOf([&] {
            combo::SearchCombos(s.history, s.gestures, s.names, pane);
            if (pane.lineCount() >= 2) {
                combo::OrderCombos(pane);
                combo::HighlightCombos(s.history, pane);
            }
        });
        compare(s, "free functions", oraclePane, expectedError, pane, stepwiseError);
    }
    return 0;
}
