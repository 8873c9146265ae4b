#include "spellbook/SpellLookup.h"

namespace quorvane::spellbook {

QStringView lookupSuffix(Language language) {
    switch (language) {
    case Language::Italian:
        return u" [";
    case Language::Spanish:
        return u"\r\n";
    case Language::English:
        break;
    }
    return u" (gesture";
}

bool selectSpellEntry(TextPane& reference, QStringView name, Language language) {
    QString searchText = name.toString();
    searchText.append(lookupSuffix(language));
    const qsizetype at = reference.find(searchText, 0, reference.textLength());
    if (at < 0)
        return false;
    reference.setSelection(at, name.size());
    return true;
}

} // namespace quorvane::spellbook
