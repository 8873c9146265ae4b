#pragma once

// The combo procedures written out step by step over the pane and list operations only: the
// row-by-row search with a whole-text Find per match, the n x n exchange of lines, and the
// selection-driven colour and bold passes. It is slow on purpose and has no shortcut of any
// kind, so that it can serve as the reference that the fast engine is checked against.

#include "ui/ListModel.h"
#include "ui/TextPane.h"

#include <QChar>
#include <QString>
#include <QStringView>

namespace quorvane::oracle {

// A move against one gesture character.
bool GestureMatches(QChar move, QChar gesture);

// The search: one line "N: name [gestures]" per matching row, every row of the list visited.
void SearchCombos(QStringView history, const ListModel& gestures, const ListModel& names,
                  TextPane& pane);

// The exchange ordering over all n x n pairs of lines.
void OrderCombos(TextPane& pane);

// The six colour passes and the bold pass.
void HighlightCombos(QStringView history, TextPane& pane);

// The search, then, for two lines or more, the ordering and the highlighting.
void RecomputeCombos(QStringView history, const ListModel& gestures, const ListModel& names,
                     TextPane& pane);

// Test support: an empty string when the two panes hold the same lines, the same format on
// every character and the same selection; otherwise a description of the first difference.
// `compareSelection` false leaves the selection out.
QString paneDifference(const TextPane& expected, const TextPane& actual,
                       bool compareSelection = true);

// Test support: a readable dump of a pane, one line per pane line, formats marked.
QString describePane(const TextPane& pane);

} // namespace quorvane::oracle
