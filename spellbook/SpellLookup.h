#pragma once

#include "spellbook/DefaultSpellbook.h"
#include "ui/TextPane.h"

#include <QStringView>

namespace quorvane::spellbook {

// What follows a spell's name in each reference document: " (gesture" in the English
// headings, " [" in the Italian entry lines, the line break after a Spanish entry's name.
QStringView lookupSuffix(Language language);

// Finds the first occurrence of name + suffix in the whole reference text, letter case
// ignored, and selects the name's characters there. Returns false, leaving the pane as it
// was, when there is none.
bool selectSpellEntry(TextPane& reference, QStringView name, Language language);

} // namespace quorvane::spellbook
