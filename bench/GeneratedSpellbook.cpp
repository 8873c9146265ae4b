#include "GeneratedSpellbook.h"

#include <QRandomGenerator>
#include <QStringList>

namespace quorvane::bench {

GeneratedSpellbook generateSpellbook(int rows) {
    static const QStringList first = {u"Summon"_qs,  u"Cause"_qs,  u"Cure"_qs,    u"Charm"_qs,
                                      u"Resist"_qs,  u"Dispel"_qs, u"Greater"_qs, u"Lesser"_qs,
                                      u"Ancient"_qs, u"Wild"_qs,   u"Silent"_qs,  u"Burning"_qs};
    static const QStringList second = {u"Frost"_qs,     u"Storm"_qs, u"Wounds"_qs,  u"Mirror"_qs,
                                       u"Shield"_qs,    u"Bolt"_qs,  u"Missile"_qs, u"Fear"_qs,
                                       u"Elemental"_qs, u"Haste"_qs, u"Poison"_qs,  u"Veil"_qs,
                                       u"Ogre"_qs,      u"Troll"_qs, u"Giant"_qs,   u"Ward"_qs};
    static const QString oneHand = u"DFPSW"_qs;
    static const QString bothHands = u"cdpsw"_qs;

    QRandomGenerator random(quint32(rows) * 2654435761u + 17u);
    GeneratedSpellbook book;
    book.gestures.reserve(rows * 8);
    book.names.reserve(rows * 24);
    for (int row = 0; row < rows; ++row) {
        const int length = 1 + int(random.bounded(8));
        for (int k = 0; k < length; ++k) {
            const bool both =
                (k == 0 && random.bounded(12) == 0) || (k == length - 1 && random.bounded(5) == 0);
            book.gestures += (both ? bothHands : oneHand)[random.bounded(5)];
        }
        book.gestures += u"\r\n";
        book.names += first[random.bounded(first.size())];
        book.names += u' ';
        book.names += second[random.bounded(second.size())];
        if (random.bounded(4) != 0) // most names carry a number that keeps them apart
            book.names += QStringLiteral(" %1").arg(random.bounded(rows));
        book.names += u"\r\n";
    }
    return book;
}

} // namespace quorvane::bench
