// The built-in spell reference documents, the hard-wrapped start-up form of the English one,
// and the spell lookup over them: the layout of each document (headings, entry lines and the
// characters that follow each name, on which the lookup relies), and where every row of the
// default spellbook lands in every language.

#include "spellbook/DefaultSpellbook.h"
#include "spellbook/ReferenceDocuments.h"
#include "spellbook/SpellLookup.h"
#include "ui/TextPane.h"

#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTest>

#include <map>
#include <string_view>

using namespace Qt::StringLiterals;

namespace quorvane::spellbook {
namespace {

// The texts a lookup runs on: the three documents as the reference pane holds them after a
// flag button, and the English one as the pane shows it at start-up.
enum class Source { English, Startup, Italian, Spanish };

} // namespace
} // namespace quorvane::spellbook

Q_DECLARE_METATYPE(quorvane::spellbook::Source)

namespace quorvane::spellbook {
namespace {

const QString Stab = u">"_s;           // written in place of a gesture letter
const QString RaiseDead = u"DWWFWc"_s; // described in Italian and Spanish, not in the spellbook
constexpr qsizetype StartupWidth = 96; // the longest line of the start-up form

QString str(std::u16string_view v) {
    return QString::fromUtf16(v.data(), qsizetype(v.size()));
}

QString gesturesAt(int row) {
    return str(DefaultSpellbook[std::size_t(row)].gestures);
}

QString rowName(int row, Language language) {
    const DefaultRow& r = DefaultSpellbook[std::size_t(row)];
    switch (language) {
    case Language::Italian:
        return str(r.italian);
    case Language::Spanish:
        return str(r.spanish);
    case Language::English:
        break;
    }
    return str(r.english);
}

// The gesture strings of the rows that carry the name (letter case ignored), in row order.
QStringList gesturesOf(Language language, const QString& name) {
    QStringList gestures;
    for (int row = 0; row < DefaultRowCount; ++row)
        if (rowName(row, language).compare(name, Qt::CaseInsensitive) == 0)
            gestures << gesturesAt(row);
    return gestures;
}

Language languageOf(Source source) {
    switch (source) {
    case Source::Italian:
        return Language::Italian;
    case Source::Spanish:
        return Language::Spanish;
    case Source::English:
    case Source::Startup:
        break;
    }
    return Language::English;
}

QString textOf(Source source) {
    return source == Source::Startup ? startupReferenceText() : referenceText(languageOf(source));
}

// The lines of a pane text that ends with CR LF.
QStringList linesOf(const QString& text) {
    QStringList lines = text.split(u"\r\n"_s);
    lines.removeLast(); // the empty rest after the final CR LF
    return lines;
}

QStringList listOf(QStringView commaSeparated) {
    QStringList items;
    for (QStringView item : commaSeparated.split(u", "))
        items << item.toString();
    return items;
}

struct Section {
    QString heading;
    QStringList entries;
};

const QList<Section>& englishSections() {
    static const QList<Section> sections{
        {u"Protection Spells"_s,
         listOf(u"Shield, Remove Enchantment, Magic Mirror, Counter Spell, Dispel Magic, "
                u"Cure Light Wounds, Cure Heavy Wounds")},
        {u"Summoning Spells"_s,
         listOf(u"Summon Goblin, Summon Ogre, Summon Troll, Summon Giant, Summon Ice Elemental, "
                u"Summon Fire Elemental")},
        {u"Damaging Spells"_s,
         listOf(u"Magic Missile, Finger Of Death, Lightning Bolt, Clap of Lightning, "
                u"Cause Light Wounds, Cause Heavy Wounds, Fireball, Fire Storm, Ice Storm")},
        {u"Enchantment Spells"_s,
         listOf(u"Amnesia, Confusion, Charm Person, Charm Monster, Paralysis, Fear, Anti Spell, "
                u"Protection, Resist Heat, Resist Cold, Disease, Poison, Blindness, Invisibility, "
                u"Haste, Time Stop, Delay Effect, Permanency")},
        {u"Non Spells"_s, listOf(u"Surrender, Stab")},
    };
    return sections;
}

const QStringList& italianEntries() {
    static const QStringList entries =
        listOf(u"Amnesia, Anti-magia, Arrendersi, Causa ferite lievi, Causa ferite gravi, Cecità, "
               u"Confusione, Controincantesimo, Controlla persona, Controlla mostro, Cura minore, "
               u"Cura maggiore, Disperdi magia, Dito della morte, Effetto sospeso, Evoca Goblin, "
               u"Evoca Orco, Evoca Troll, Evoca Gigante, Evoca Elementale del fuoco, "
               u"Evoca Elementale del ghiaccio, Fermare il tempo, Fulmine, Invisibilità, Malattia, "
               u"Missile magico, Palla di fuoco, Paralisi, Paura, Permanenza, Protezione dal Male, "
               u"Pugnalata, Rapidità, Resistere al fuoco, Resistere al freddo, Resurrezione, "
               u"Rimuovi incantesimo, Saetta, Scudo, Specchio magico, Tempesta di fuoco, "
               u"Tempesta di ghiaccio, Veleno");
    return entries;
}

const QList<Section>& spanishSections() {
    static const QList<Section> sections{
        {u"Hechizos de Protección"_s,
         listOf(u"Escudo, Eliminar encantamiento, Espejo Mágico, Contrahechizo, Disipar Magia, "
                u"Animar a los muertos, Curar heridas leves, Curar Heridas Graves")},
        {u"Hechizos de Invocación"_s,
         listOf(u"Invocar Trasgo, Invocar Ogro, Invocar Troll, Invocar Gigante, "
                u"Invocar Elemental")},
        {u"Hechizos ofensivos"_s,
         listOf(u"Misil, Dedo de la Muerte, Relámpago, Causar Heridas Leves, "
                u"Causar heridas graves, Bola de Fuego, Tormenta de Fuego, Tormenta de Hielo")},
        {u"Hechizos de Encantamiento"_s,
         listOf(u"Amnesia, Confusión, Encantar Persona, Encantar Monstruo, Parálisis, Miedo, "
                u"Antihechizo, Protección contra el mal, Resistir Calor, Resistir frío, "
                u"Enfermedad, Veneno, Ceguera, Invisibilidad, Prisa, Detener el Tiempo, "
                u"Efecto retardado, Permanencia")},
        {u"Gestos que no forman hechizos"_s, listOf(u"Rendirse, Apuñalar")},
    };
    return sections;
}

QStringList entriesOf(const QList<Section>& sections) {
    QStringList entries;
    for (const Section& s : sections)
        entries << s.entries;
    return entries;
}

// "Name (gestures: A or B)"; the shield's heading and the stab's singular are fixed forms.
QString englishHeading(const QString& entry) {
    if (entry == u"Stab")
        return u"Stab (gesture: "_s + Stab + u")"_s;
    if (entry == u"Shield")
        return u"Shield (Gesture: P)"_s;
    return entry + u" (gestures: "_s + gesturesOf(Language::English, entry).join(u" or "_s) +
           u")"_s;
}

// The gestures as the Italian entry lines write them: "D P P", "(p)", "S P P (c)".
QString italianGestures(const QString& gestures) {
    QStringList letters;
    for (QChar c : gestures)
        letters << (c.isLower() ? u"("_s + c + u")"_s : QString(c));
    return letters.join(u' ');
}

QStringList italianAlternatives(const QString& entry) {
    if (entry == u"Pugnalata")
        return {Stab};
    if (entry == u"Resurrezione")
        return {RaiseDead};
    return gesturesOf(Language::Italian, entry);
}

// The start of an Italian entry line up to its gesture field: "Saetta [W D D (c)] ".
QString italianEntryStart(const QString& entry) {
    QStringList alternatives;
    for (const QString& g : italianAlternatives(entry))
        alternatives << italianGestures(g);
    return entry + u" ["_s + alternatives.join(u" oppure "_s) + u"] "_s;
}

QStringList spanishAlternatives(const QString& entry) {
    if (entry == u"Invocar Elemental")
        return {gesturesAt(1), gesturesAt(2)}; // both elementals
    if (entry == u"Veneno")
        return {gesturesAt(13)}; // the list calls it "Veleno"
    if (entry == u"Animar a los muertos")
        return {RaiseDead};
    if (entry == u"Apuñalar")
        return {Stab};
    return gesturesOf(Language::Spanish, entry);
}

// The gesture strings named in a Spanish "Gestos: " line, hyphens removed, in order.
QStringList spanishGesturesIn(const QString& firstParagraph) {
    static const QRegularExpression group(
        u"(?<![\\w-])[DFPSWcdpsw>](?:-[DFPSWcdpsw])*(?![\\w-])"_s);
    const QString head = firstParagraph.section(u". "_s, 0, 0);
    QStringList found;
    for (const QRegularExpressionMatch& m : group.globalMatch(head))
        found << m.captured().remove(u'-');
    return found;
}

// Whether line i of the pane is the entry heading (English), the entry line (Italian) or the
// entry's name line (Spanish) of the entry called `name`, letter case ignored.
bool isEntryOf(Source source, const TextPane& pane, qsizetype i, const QString& name) {
    const auto named = [&](const QStringList& entries) {
        for (const QString& e : entries)
            if (e.compare(name, Qt::CaseInsensitive) == 0)
                return e;
        return QString();
    };
    switch (source) {
    case Source::English:
    case Source::Startup: {
        const QString entry = named(entriesOf(englishSections()));
        return !entry.isEmpty() && pane.line(i) == englishHeading(entry);
    }
    case Source::Italian: {
        const QString entry = named(italianEntries());
        return !entry.isEmpty() && pane.line(i).startsWith(italianEntryStart(entry));
    }
    case Source::Spanish: {
        const QString entry = named(entriesOf(spanishSections()));
        return !entry.isEmpty() && pane.line(i) == entry && i + 1 < pane.lineCount() &&
               pane.line(i + 1).startsWith(u"Gestos: "_s);
    }
    }
    return false;
}

// Where the lookup lands for every row of the default spellbook: the selection start, or -1.
const QList<qsizetype>& landings(Source source) {
    static std::map<Source, QList<qsizetype>> cache;
    auto it = cache.find(source);
    if (it == cache.end()) {
        TextPane pane;
        pane.setText(textOf(source));
        QList<qsizetype> at;
        for (int row = 0; row < DefaultRowCount; ++row) {
            const Language language = languageOf(source);
            at << (selectSpellEntry(pane, rowName(row, language), language) ? pane.selectionStart()
                                                                            : -1);
        }
        it = cache.emplace(source, at).first;
    }
    return it->second;
}

// The characters a document may use: printable Windows-1252, the program's 8-bit set.
bool isWestern(QChar c) {
    static constexpr std::u16string_view high =
        u"\u20AC\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u017D\u2018"
        u"\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u017E\u0178";
    const char16_t u = c.unicode();
    return (u >= 0x20 && u < 0x7F) || (u >= 0xA0 && u <= 0xFF) ||
           high.find(u) != std::u16string_view::npos;
}

} // namespace

class ReferenceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void document_data();
    void document();
    void englishLayout();
    void italianLayout();
    void spanishLayout();
    void startupForm();
    void hardWrap_data();
    void hardWrap();
    void lookup_data();
    void lookup();
    void englishNamesElsewhere_data();
    void englishNamesElsewhere();
    void selection_data();
    void selection();
    void emptyName_data();
    void emptyName();
    void unmatchedName_data();
    void unmatchedName();
};

// What holds for every document: its size, plain lines in the Western character set that
// end in one line break each, and no long sentence written twice.
void ReferenceTest::document_data() {
    QTest::addColumn<Source>("source");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("emptyCount");
    QTest::newRow("english") << Source::English << 172 << 46;
    QTest::newRow("italian") << Source::Italian << 95 << 47;
    QTest::newRow("spanish") << Source::Spanish << 152 << 47;
}

void ReferenceTest::document() {
    QFETCH(Source, source);
    QFETCH(int, lineCount);
    QFETCH(int, emptyCount);
    const QString text = textOf(source);
    QVERIFY2(text.endsWith(u"\r\n"_s), "the document must end with a line break");
    const QStringList lines = linesOf(text);
    QCOMPARE(lines.size(), lineCount);
    QCOMPARE(lines.count(QString()), emptyCount);
    QVERIFY2(!lines.last().isEmpty(), "the document must end with exactly one line break");

    static const QRegularExpression sentenceBreak(u"(?<=[.;:])\\s+"_s);
    QSet<QString> seen;
    QStringList repeated;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        QVERIFY2(line == line.trimmed(),
                 qPrintable(u"line %1: blank at its start or end"_s.arg(i + 1)));
        for (QChar c : line)
            QVERIFY2(isWestern(c), qPrintable(u"line %1: character U+%2 (CR, LF, tab or outside "
                                              u"the Western character set)"_s.arg(i + 1)
                                                  .arg(c.unicode(), 4, 16, QChar(u'0'))));
        for (const QString& sentence : line.split(sentenceBreak)) {
            if (sentence.size() <= 40)
                continue;
            if (seen.contains(sentence))
                repeated << sentence;
            seen.insert(sentence);
        }
    }
    QVERIFY2(repeated.isEmpty(), qPrintable(u"repeated: "_s + repeated.join(u" | "_s)));
}

// Five sections, each heading followed by an empty line and its entries; every entry is its
// heading, at least one paragraph and an empty line (none after the last one).
void ReferenceTest::englishLayout() {
    const QStringList lines = linesOf(referenceText(Language::English));
    qsizetype i = 0;
    for (const Section& section : englishSections()) {
        QCOMPARE(lines.value(i), section.heading);
        QCOMPARE(lines.value(i + 1), QString());
        i += 2;
        for (const QString& entry : section.entries) {
            QVERIFY2(entry == u"Stab" || !gesturesOf(Language::English, entry).isEmpty(),
                     qPrintable(entry + u" is not a spell of the spellbook"_s));
            QCOMPARE(lines.value(i), englishHeading(entry));
            const qsizetype first = ++i;
            while (i < lines.size() && !lines[i].isEmpty())
                ++i;
            QVERIFY2(i > first, qPrintable(entry + u" has no paragraph"_s));
            ++i; // the empty line after the entry
        }
    }
    QCOMPARE(i, lines.size() + 1);
    // The lookup suffix appears in the 42 headings only.
    QCOMPARE(lines.filter(u" (gesture"_s, Qt::CaseInsensitive).size(), 42);
}

// A general rule, the title, the legend, 43 one-line entries each followed by an empty line,
// then a footnote, two empty lines and the credit.
void ReferenceTest::italianLayout() {
    const QStringList lines = linesOf(referenceText(Language::Italian));
    QVERIFY(!lines.value(0).isEmpty());
    QCOMPARE(lines.value(1), QString());
    QCOMPARE(lines.value(2), u"ELENCO DELLE MAGIE (in ordine alfabetico)"_s);
    static const QRegularExpression legend(u"^\\S+ \\["_s);
    QVERIFY2(legend.match(lines.value(3)).hasMatch(), "the legend begins with a word and \" [\"");
    QCOMPARE(lines.value(4), QString());

    // After the gestures: the target and the duration in brackets, then the effect.
    static const QRegularExpression rest(u"^\\[[^\\[\\]]+\\] \\[[^\\[\\]]+\\] [^\\[\\]]{40,}$"_s);
    const QStringList& entries = italianEntries();
    for (qsizetype k = 0; k < entries.size(); ++k) {
        const qsizetype i = 5 + 2 * k;
        const QString start = italianEntryStart(entries[k]);
        const QString line = lines.value(i);
        QVERIFY2(!italianAlternatives(entries[k]).isEmpty(),
                 qPrintable(entries[k] + u" is not a spell of the spellbook"_s));
        QVERIFY2(line.startsWith(start) && rest.match(line.mid(start.size())).hasMatch(),
                 qPrintable(u"line %1: expected \"%2...\", got \"%3\""_s.arg(i + 1).arg(
                     start, line.left(70))));
        QCOMPARE(lines.value(i + 1), QString());
    }
    const QStringList closing = lines.mid(5 + 2 * entries.size());
    QCOMPARE(closing.size(), 4);
    QVERIFY2(closing[0].startsWith(u"* "_s), "the footnote begins with \"* \"");
    QCOMPARE(closing[1], QString());
    QCOMPARE(closing[2], QString());
    QVERIFY(!closing[3].isEmpty());
    // The lookup suffix appears in the legend and the entry lines only.
    QCOMPARE(lines.filter(u" ["_s).size(), 1 + entries.size());
}

// "Ganar" and "Hechizos" with their paragraphs, five sections of entries (the name alone on its
// line, then paragraphs beginning with the hyphenated gestures), then a heading without
// entries and the credit.
void ReferenceTest::spanishLayout() {
    const QStringList lines = linesOf(referenceText(Language::Spanish));
    QCOMPARE(lines.value(0), u"Ganar"_s);
    QCOMPARE(lines.value(3), u"Hechizos"_s);
    for (int i : {1, 2, 4, 5, 6})
        QVERIFY2(!lines.value(i).isEmpty(), qPrintable(u"line %1 is empty"_s.arg(i + 1)));
    QCOMPARE(lines.value(7), QString());

    const QString closingHeading = u"Secuencias de Hechizos"_s;
    qsizetype i = 8;
    for (const Section& section : spanishSections()) {
        QCOMPARE(lines.value(i), section.heading);
        QCOMPARE(lines.value(i + 1), QString());
        i += 2;
        for (const QString& entry : section.entries) {
            QCOMPARE(lines.value(i), entry);
            const QStringList alternatives = spanishAlternatives(entry);
            QVERIFY2(!alternatives.isEmpty(),
                     qPrintable(entry + u" is not a spell of the spellbook"_s));
            const QString first = lines.value(i + 1);
            QVERIFY2(first.startsWith(u"Gestos: "_s),
                     qPrintable(u"line %1 must begin with \"Gestos: \""_s.arg(i + 2)));
            QCOMPARE(spanishGesturesIn(first), alternatives);
            const qsizetype firstParagraph = ++i;
            while (i < lines.size() && !lines[i].isEmpty() && lines[i] != closingHeading)
                ++i;
            QVERIFY2(i > firstParagraph, qPrintable(entry + u" has no paragraph"_s));
            if (lines.value(i).isEmpty())
                ++i;
        }
    }
    QCOMPARE(lines.mid(i, 2), (QStringList{closingHeading, QString()}));
    QCOMPARE(lines.size(), i + 3);
    QVERIFY(!lines.last().isEmpty());
}

// The start-up form: every English paragraph broken at spaces into lines of at most 96, the
// space before each break kept, so that the lines of a paragraph join into it again.
void ReferenceTest::startupForm() {
    const QString text = startupReferenceText();
    QVERIFY(text.endsWith(u"\r\n"_s));
    const QStringList wrapped = linesOf(text);
    QCOMPARE(wrapped.size(), 362);

    const QStringList paragraphs = linesOf(referenceText(Language::English));
    qsizetype w = 0;
    int broken = 0;
    int brokenLong = 0;
    for (const QString& paragraph : paragraphs) {
        QString joined;
        QString line;
        do { // a broken line ends with the space of its break; a paragraph's last line does not
            QVERIFY2(w < wrapped.size(), "the start-up form ends early");
            line = wrapped[w++];
            QVERIFY2(line.size() <= StartupWidth,
                     qPrintable(u"line %1 has %2 characters"_s.arg(w).arg(line.size())));
            joined += line;
            if (line.endsWith(u' ')) {
                ++broken;
                brokenLong += line.size() >= 80 ? 1 : 0;
            }
        } while (line.endsWith(u' '));
        QCOMPARE(joined, paragraph);
    }
    QCOMPARE(w, wrapped.size());
    QVERIFY2(broken > 0 && brokenLong * 10 >= broken * 9,
             qPrintable(
                 u"%1 of %2 broken lines have 80 to 96 characters"_s.arg(brokenLong).arg(broken)));
}

void ReferenceTest::hardWrap_data() {
    QTest::addColumn<QString>("paragraph");
    QTest::addColumn<int>("width"); // 0: the default width
    QTest::addColumn<QStringList>("lines");
    const QString full = u"word "_s.repeated(19) + u"x"_s; // 96 characters
    QTest::newRow("empty paragraph") << QString() << 0 << QStringList{QString()};
    QTest::newRow("exactly the default width") << full << 0 << QStringList{full};
    QTest::newRow("one over the default width")
        << full + u"y"_s << 0 << QStringList{u"word "_s.repeated(19), u"xy"_s};
    QTest::newRow("break space in the last column")
        << u"abcd efgh ij"_s << 10 << QStringList{u"abcd efgh "_s, u"ij"_s};
    QTest::newRow("several breaks, each at the last space that fits")
        << u"one two three four"_s << 9 << QStringList{u"one two "_s, u"three "_s, u"four"_s};
    QTest::newRow("word longer than the width")
        << u"abcdefghij"_s << 4 << QStringList{u"abcd"_s, u"efgh"_s, u"ij"_s};
    QTest::newRow("long word after a short one")
        << u"ab cdefghij"_s << 4 << QStringList{u"ab "_s, u"cdef"_s, u"ghij"_s};
    QTest::newRow("width below one character, taken as one")
        << u"ab c"_s << -3 << QStringList{u"a"_s, u"b"_s, u" "_s, u"c"_s};
}

void ReferenceTest::hardWrap() {
    QFETCH(QString, paragraph);
    QFETCH(int, width);
    QFETCH(QStringList, lines);
    QCOMPARE(width == 0 ? spellbook::hardWrap(paragraph) : spellbook::hardWrap(paragraph, width),
             lines);
}

// Every row of the default spellbook in every language: whether it is found, that it lands at
// the start of its own entry's heading, entry line or name line, and which rows land on the
// same entry. caseOnly: the entry spells the name in another letter case.
void ReferenceTest::lookup_data() {
    QTest::addColumn<Source>("source");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QList<int>>("sameEntry");
    QTest::addColumn<bool>("caseOnly");

    struct Expectation {
        Source source;
        const char* tag;
        QList<int> missing;
        QList<QList<int>> shared;
        QList<int> caseOnly;
    };
    const QList<QList<int>> repeatedNames{{7, 11}, {30, 31}, {39, 43}};
    const Expectation expectations[] = {
        {Source::English, "english", {}, repeatedNames, {17, 24}},
        {Source::Startup, "start-up", {}, repeatedNames, {17, 24}},
        {Source::Italian, "italian", {}, repeatedNames, {1, 2}},
        {Source::Spanish,
         "spanish",
         {1, 2, 13},
         repeatedNames + QList<QList<int>>{{4, 35}},
         {6, 12, 19, 24, 30, 31, 32, 34, 37, 38, 40, 42}},
    };
    for (const Expectation& e : expectations) {
        for (int row = 0; row < DefaultRowCount; ++row) {
            QList<int> same{row};
            for (const QList<int>& group : e.shared)
                if (group.contains(row))
                    same = group;
            QTest::addRow("%s/%02d %s", e.tag, row, qPrintable(rowName(row, Language::English)))
                << e.source << row << !e.missing.contains(row) << same << e.caseOnly.contains(row);
        }
    }
}

void ReferenceTest::lookup() {
    QFETCH(Source, source);
    QFETCH(int, row);
    QFETCH(bool, found);
    QFETCH(QList<int>, sameEntry);
    QFETCH(bool, caseOnly);
    const Language language = languageOf(source);
    const QString name = rowName(row, language);
    TextPane pane;
    pane.setText(textOf(source));
    pane.setSelection(30, 4);

    QCOMPARE(selectSpellEntry(pane, name, language), found);
    if (!found) {
        QCOMPARE(pane.selectionStart(), 30);
        QCOMPARE(pane.selectionLength(), 4);
        return;
    }
    const qsizetype at = pane.selectionStart();
    QCOMPARE(pane.selectionLength(), name.size());
    const auto [line, column] = pane.lineAt(at);
    QCOMPARE(column, 0);
    QVERIFY2(
        isEntryOf(source, pane, line, name),
        qPrintable(u"landed on line %1: \"%2\""_s.arg(line + 1).arg(pane.line(line).left(70))));

    const QList<qsizetype>& all = landings(source);
    QList<int> same;
    for (int r = 0; r < DefaultRowCount; ++r)
        if (all[r] == at)
            same << r;
    QCOMPARE(same, sameEntry);

    const bool exact = pane.text().contains(name + lookupSuffix(language).toString());
    QCOMPARE(!exact, caseOnly);
}

// With the Italian or the Spanish reference, the English names find only "Amnesia" (row 8).
void ReferenceTest::englishNamesElsewhere_data() {
    QTest::addColumn<Source>("source");
    QTest::newRow("italian") << Source::Italian;
    QTest::newRow("spanish") << Source::Spanish;
}

void ReferenceTest::englishNamesElsewhere() {
    QFETCH(Source, source);
    TextPane pane;
    pane.setText(textOf(source));
    QList<int> found;
    for (int row = 0; row < DefaultRowCount; ++row)
        if (selectSpellEntry(pane, rowName(row, Language::English), languageOf(source)))
            found << row;
    QCOMPARE(found, QList<int>{8});
}

// The selection covers the name in the pane's own letter case. start -1: not fixed here.
void ReferenceTest::selection_data() {
    QTest::addColumn<Source>("source");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("selected");
    QTest::newRow("start-up/Shield on the third line")
        << Source::Startup << rowName(17, Language::English) << 21 << u"Shield"_s;
    QTest::newRow("english/Shield on the third line")
        << Source::English << rowName(17, Language::English) << 21 << u"Shield"_s;
    QTest::newRow("english/Finger of Death")
        << Source::English << rowName(24, Language::English) << -1 << u"Finger Of Death"_s;
    QTest::newRow("start-up/Finger of Death")
        << Source::Startup << rowName(24, Language::English) << -1 << u"Finger Of Death"_s;
    QTest::newRow("italian/ice elemental") << Source::Italian << rowName(1, Language::Italian) << -1
                                           << u"Evoca Elementale del ghiaccio"_s;
    // The search covers the whole text, from its first character to its last line break.
    QTest::newRow("spanish/the text's first line")
        << Source::Spanish << u"ganar"_s << 0 << u"Ganar"_s;
    const QString spanish = referenceText(Language::Spanish);
    const QString credit = linesOf(spanish).constLast();
    QTest::newRow("spanish/the text's last line")
        << Source::Spanish << credit.toUpper() << int(spanish.size() - 2 - credit.size()) << credit;
}

void ReferenceTest::selection() {
    QFETCH(Source, source);
    QFETCH(QString, name);
    QFETCH(int, start);
    QFETCH(QString, selected);
    TextPane pane;
    pane.setText(textOf(source));
    QVERIFY(selectSpellEntry(pane, name, languageOf(source)));
    if (start >= 0)
        QCOMPARE(pane.selectionStart(), start);
    QCOMPARE(pane.selectionLength(), selected.size());
    QCOMPARE(pane.text().mid(pane.selectionStart(), pane.selectionLength()), selected);
}

// An empty name searches for the suffix alone: an empty selection at its first occurrence,
// after the first word of a line or at the end of the line.
void ReferenceTest::emptyName_data() {
    QTest::addColumn<Source>("source");
    QTest::addColumn<int>("line");
    QTest::addColumn<bool>("atLineEnd");
    QTest::newRow("english/after the first entry's name") << Source::English << 2 << false;
    QTest::newRow("start-up/after the first entry's name") << Source::Startup << 2 << false;
    QTest::newRow("italian/after the legend's first word") << Source::Italian << 3 << false;
    QTest::newRow("spanish/end of the first line") << Source::Spanish << 0 << true;
}

void ReferenceTest::emptyName() {
    QFETCH(Source, source);
    QFETCH(int, line);
    QFETCH(bool, atLineEnd);
    TextPane pane;
    pane.setText(textOf(source));
    pane.setSelection(200, 5);
    QVERIFY(selectSpellEntry(pane, QString(), languageOf(source)));
    const QString text = pane.line(line);
    const qsizetype column = atLineEnd ? text.size() : text.indexOf(u' ');
    QVERIFY(column > 0);
    QCOMPARE(pane.selectionStart(), pane.lineStart(line) + column);
    QCOMPARE(pane.selectionLength(), 0);
}

// A name without an entry leaves the pane's selection as it was, even where the name's text
// occurs without the suffix.
void ReferenceTest::unmatchedName_data() {
    QTest::addColumn<Source>("source");
    QTest::addColumn<QString>("name");
    QTest::newRow("english/no such spell") << Source::English << u"Summon Wyvern"_s;
    QTest::newRow("english/section heading") << Source::English << u"Protection Spells"_s;
    QTest::newRow("start-up/name longer than the heading's") << Source::Startup << u"Shield Wall"_s;
    QTest::newRow("italian/title line") << Source::Italian << u"ELENCO DELLE MAGIE"_s;
    QTest::newRow("spanish/gestures line") << Source::Spanish << u"Gestos: P"_s;
}

void ReferenceTest::unmatchedName() {
    QFETCH(Source, source);
    QFETCH(QString, name);
    TextPane pane;
    pane.setText(textOf(source));
    pane.setSelection(40, 7);
    QVERIFY(!selectSpellEntry(pane, name, languageOf(source)));
    QCOMPARE(pane.selectionStart(), 40);
    QCOMPARE(pane.selectionLength(), 7);
}

} // namespace quorvane::spellbook

QTEST_APPLESS_MAIN(quorvane::spellbook::ReferenceTest)
#include "test_reference.moc"
