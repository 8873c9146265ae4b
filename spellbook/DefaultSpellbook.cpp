#include "spellbook/DefaultSpellbook.h"

#include "ui/TextSplit.h"

namespace quorvane::spellbook {

// Rows in the order the lists show them; a spell cast by two gesture strings has two rows.
// One row per line reads as the table it is.
// clang-format off
const std::array<DefaultRow, DefaultRowCount> DefaultSpellbook{{
    {u"cDPW", u"Dispel Magic", u"Disperdi magia", u"Disipar Magia"},
    {u"cSWWS", u"Summon Ice Elemental", u"Evoca elementale del ghiaccio", u"Invocar Elemental De Hielo"},
    {u"cWSSW", u"Summon Fire Elemental", u"Evoca elementale del fuoco", u"Invocar Elemental De Fuego"},
    {u"cw", u"Magic Mirror", u"Specchio magico", u"Espejo Mágico"},
    {u"DFFDD", u"Lightning Bolt", u"Fulmine", u"Relámpago"},
    {u"DFPW", u"Cure Heavy Wounds", u"Cura maggiore", u"Curar Heridas Graves"},
    {u"DFW", u"Cure Light Wounds", u"Cura minore", u"Curar Heridas Leves"},
    {u"DFWFd", u"Blindness", u"Cecità", u"Ceguera"},
    {u"DPP", u"Amnesia", u"Amnesia", u"Amnesia"},
    {u"DSF", u"Confusion", u"Confusione", u"Confusión"},
    {u"DSFFFc", u"Disease", u"Malattia", u"Enfermedad"},
    {u"DWFFd", u"Blindness", u"Cecità", u"Ceguera"},
    {u"DWSSSP", u"Delay Effect", u"Effetto sospeso", u"Efecto Retardado"},
    {u"DWWFWD", u"Poison", u"Veleno", u"Veleno"},
    {u"FFF", u"Paralysis", u"Paralisi", u"Parálisis"},
    {u"FPSFW", u"Summon Troll", u"Evoca Troll", u"Invocar Troll"},
    {u"FSSDD", u"Fireball", u"Palla di fuoco", u"Bola de Fuego"},
    {u"P", u"Shield", u"Scudo", u"Escudo"},
    {u"p", u"Surrender", u"Arrendersi", u"Rendirse"},
    {u"PDWP", u"Remove Enchantment", u"Rimuovi incantesimo", u"Eliminar Encantamiento"},
    {u"PPws", u"Invisibility", u"Invisibilità", u"Invisibilidad"},
    {u"PSDD", u"Charm Monster", u"Controlla mostro", u"Encantar Monstruo"},
    {u"PSDF", u"Charm Person", u"Controlla persona", u"Encantar Persona"},
    {u"PSFW", u"Summon Ogre", u"Evoca Orco", u"Invocar Ogro"},
    {u"PWPFSSSD", u"Finger of Death", u"Dito della morte", u"Dedo De La Muerte"},
    {u"PWPWWc", u"Haste", u"Rapidità", u"Prisa"},
    {u"SD", u"Magic Missile", u"Missile magico", u"Misil"},
    {u"SFW", u"Summon Goblin", u"Evoca Goblin", u"Invocar Trasgo"},
    {u"SPFP", u"Anti Spell", u"Anti-magia", u"Antihechizo"},
    {u"SPFPSDW", u"Permanency", u"Permanenza", u"Permanencia"},
    {u"SPPc", u"Time Stop", u"Fermare il tempo", u"Detener El Tiempo"},
    {u"SPPFD", u"Time Stop", u"Fermare il tempo", u"Detener El Tiempo"},
    {u"SSFP", u"Resist Cold", u"Resistere al freddo", u"Resistir Frío"},
    {u"SWD", u"Fear", u"Paura", u"Miedo"},
    {u"SWWc", u"Fire Storm", u"Tempesta di fuoco", u"Tormenta De Fuego"},
    {u"WDDc", u"Clap of Lightning", u"Saetta", u"Relámpago"},
    {u"WFP", u"Cause Light Wounds", u"Causa ferite lievi", u"Causar Heridas Leves"},
    {u"WFPSFW", u"Summon Giant", u"Evoca Gigante", u"Invocar gigante"},
    {u"WPFD", u"Cause Heavy Wounds", u"Causa ferite gravi", u"Causar Heridas Graves"},
    {u"WPP", u"Counter Spell", u"Controincantesimo", u"Contrahechizo"},
    {u"WSSc", u"Ice Storm", u"Tempesta di ghiaccio", u"Tormenta De Hielo"},
    {u"WWFP", u"Resist Heat", u"Resistere al fuoco", u"Resistir Calor"},
    {u"WWP", u"Protection", u"Protezione dal Male", u"Protección Contra El Mal"},
    {u"WWS", u"Counter Spell", u"Controincantesimo", u"Contrahechizo"},
}};
// clang-format on

namespace {

template <typename Field> QString storeText(Field field) {
    QStringList items;
    items.reserve(DefaultRowCount);
    for (const DefaultRow& row : DefaultSpellbook)
        items.append(QString::fromUtf16((row.*field).data(), qsizetype((row.*field).size())));
    return joinItems(items);
}

} // namespace

QString defaultGesturesText() {
    return storeText(&DefaultRow::gestures);
}

QString defaultNamesText(Language language) {
    switch (language) {
    case Language::Italian:
        return storeText(&DefaultRow::italian);
    case Language::Spanish:
        return storeText(&DefaultRow::spanish);
    case Language::English:
        break;
    }
    return storeText(&DefaultRow::english);
}

} // namespace quorvane::spellbook
