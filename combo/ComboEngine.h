#pragma once

// The combo engine: from the move history and the spellbook lists it writes the combos pane.
// The pane model is its only data: the search appends one combo line per matching row, the
// ordering rearranges whole lines by progress count, and the highlighting colours and bolds
// characters. Each step gives exactly the pane that the classic line-by-line procedures give
// (exchange sort, a whole-text Find per match, selection-driven colouring) at a cost close to
// linear in the pane's size.

#include "ui/ListModel.h"
#include "ui/TextPane.h"

#include <QStringView>

#include <memory>

namespace quorvane::combo {

// True when a move (one history character) matches a spell's gesture character. A wildcard
// ("X" in either case, "?" or "*") matches everything but the lower-case letters a to z; any
// other move matches the gesture whose ASCII upper-case form equals it.
bool GestureMatches(QChar move, QChar gesture);

// Step 1: clears the pane and appends, in row order, one line "N: name [gestures]" for each
// row of `gestures` whose first N gestures match the last N moves, at its largest N, unless
// its key "name [gestures" already occurs in the pane (letter case ignored). Raises
// "List index out of bounds (i)" when a matching row i has no name; the lines found before
// it stay.
void SearchCombos(QStringView history, const ListModel& gestures, const ListModel& names,
                  TextPane& pane);

// Step 2: orders the pane's lines by falling first character, leaving lines of equal first
// character where the n x n exchange procedure leaves them.
void OrderCombos(TextPane& pane);

// Step 3: colours after every "[" the gestures that the last one to six moves have made (blue
// for one or two, red for three to six) and bolds every line holding "[history]"; leaves the
// selection where the selection-driven passes leave it.
void HighlightCombos(QStringView history, TextPane& pane);

// The engine's part of the history field's change handler: the search, then, for two lines
// or more, the ordering and the highlighting.
void RecomputeCombos(QStringView history, const ListModel& gestures, const ListModel& names,
                     TextPane& pane);

class SpellbookIndex;

// The same steps with the spellbook's index kept between keystrokes: which rows share a key
// and which keys each row's line contains depend on the lists only, so they are worked out
// again only after a list has been written.
class ComboEngine {
public:
    ComboEngine();
    ~ComboEngine();
    ComboEngine(const ComboEngine&) = delete;
    ComboEngine& operator=(const ComboEngine&) = delete;

    void recompute(QStringView history, const ListModel& gestures, const ListModel& names,
                   TextPane& pane);
    void search(QStringView history, const ListModel& gestures, const ListModel& names,
                TextPane& pane);

private:
    const SpellbookIndex& indexFor(const ListModel& gestures, const ListModel& names);

    struct Scratch;
    std::unique_ptr<SpellbookIndex> index_;
    std::unique_ptr<Scratch> scratch_;
    quint64 gesturesRevision_ = 0;
    quint64 namesRevision_ = 0;
};

} // namespace quorvane::combo
