#pragma once

// The spellbook: the built-in default of 44 rows (gesture strings and names in English,
// Italian and Spanish) as constant tables, and the operations that fill the visible gesture
// and name lists from them by whole-text copies.

#include "ui/ListModel.h"

#include <QString>

#include <array>
#include <string_view>

namespace quorvane::spellbook {

enum class Language : unsigned char { English = 0, Italian = 1, Spanish = 2 };

inline constexpr int DefaultRowCount = 44;

struct DefaultRow {
    std::u16string_view gestures;
    std::u16string_view english;
    std::u16string_view italian;
    std::u16string_view spanish;
};

extern const std::array<DefaultRow, DefaultRowCount> DefaultSpellbook;

// The stores as list texts: every item followed by CR LF.
QString defaultGesturesText();
QString defaultNamesText(Language language);

} // namespace quorvane::spellbook
