#pragma once

#include <QString>

namespace quorvane::bench {

// A spellbook of the given size that looks like a player's own: gesture strings of one to
// eight gestures, mostly one-hand with an occasional both-hands gesture at the end, and names
// built from a small vocabulary, so that names and gesture strings repeat. The same size
// always gives the same spellbook. Both texts hold one item a line.
struct GeneratedSpellbook {
    QString gestures;
    QString names;
};

GeneratedSpellbook generateSpellbook(int rows);

} // namespace quorvane::bench
