// The built-in spellbook: its 44 rows as stored, and the whole-text copies that fill the
// visible gesture and name lists from the stores.

#include "spellbook/DefaultSpellbook.h"
#include "ui/ListModel.h"

#include <QStringList>
#include <QTest>

Q_DECLARE_METATYPE(quorvane::spellbook::Language)

using namespace Qt::StringLiterals;

namespace quorvane::spellbook {
namespace {

QString toQString(std::u16string_view s) {
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

QString field(const DefaultRow& row, Language language) {
    switch (language) {
    case Language::Italian:
        return toQString(row.italian);
    case Language::Spanish:
        return toQString(row.spanish);
    case Language::English:
        break;
    }
    return toQString(row.english);
}

} // namespace

class SpellbookTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rows_data();
    void rows();
    void repeatedNames_data();
    void repeatedNames();
    void gesturesAreGestureLetters();
    void wholeTextCopy_data();
    void wholeTextCopy();
};

void SpellbookTest::rows_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("gestures");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("italian");
    QTest::addColumn<QString>("spanish");

    QTest::newRow("first") << 0 << u"cDPW"_s << u"Dispel Magic"_s << u"Disperdi magia"_s
                           << u"Disipar Magia"_s;
    QTest::newRow("accent in Spanish")
        << 3 << u"cw"_s << u"Magic Mirror"_s << u"Specchio magico"_s << u"Espejo Mágico"_s;
    QTest::newRow("Spanish word in Italian")
        << 13 << u"DWWFWD"_s << u"Poison"_s << u"Veleno"_s << u"Veleno"_s;
    QTest::newRow("capital P") << 17 << u"P"_s << u"Shield"_s << u"Scudo"_s << u"Escudo"_s;
    QTest::newRow("small p") << 18 << u"p"_s << u"Surrender"_s << u"Arrendersi"_s << u"Rendirse"_s;
    QTest::newRow("eight gestures") << 24 << u"PWPFSSSD"_s << u"Finger of Death"_s
                                    << u"Dito della morte"_s << u"Dedo De La Muerte"_s;
    QTest::newRow("accent in Italian")
        << 25 << u"PWPWWc"_s << u"Haste"_s << u"Rapidità"_s << u"Prisa"_s;
    QTest::newRow("second Relámpago")
        << 35 << u"WDDc"_s << u"Clap of Lightning"_s << u"Saetta"_s << u"Relámpago"_s;
    QTest::newRow("small g") << 37 << u"WFPSFW"_s << u"Summon Giant"_s << u"Evoca Gigante"_s
                             << u"Invocar gigante"_s;
    QTest::newRow("last") << 43 << u"WWS"_s << u"Counter Spell"_s << u"Controincantesimo"_s
                          << u"Contrahechizo"_s;
}

void SpellbookTest::rows() {
    QFETCH(int, row);
    QFETCH(QString, gestures);
    QFETCH(QString, english);
    QFETCH(QString, italian);
    QFETCH(QString, spanish);

    const DefaultRow& r = DefaultSpellbook.at(std::size_t(row));
    QCOMPARE(toQString(r.gestures), gestures);
    QCOMPARE(field(r, Language::English), english);
    QCOMPARE(field(r, Language::Italian), italian);
    QCOMPARE(field(r, Language::Spanish), spanish);
}

void SpellbookTest::repeatedNames_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<Language>("language");
    QTest::addColumn<bool>("same");

    for (const Language language : {Language::English, Language::Italian, Language::Spanish}) {
        const char* name = language == Language::English   ? "English"
                           : language == Language::Italian ? "Italian"
                                                           : "Spanish";
        QTest::addRow("Blindness, %s", name) << 7 << 11 << language << true;
        QTest::addRow("Time Stop, %s", name) << 30 << 31 << language << true;
        QTest::addRow("Counter Spell, %s", name) << 39 << 43 << language << true;
        QTest::addRow("Relámpago, %s", name)
            << 4 << 35 << language << (language == Language::Spanish);
    }
}

void SpellbookTest::repeatedNames() {
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(Language, language);
    QFETCH(bool, same);
    const QString a = field(DefaultSpellbook.at(std::size_t(first)), language);
    const QString b = field(DefaultSpellbook.at(std::size_t(second)), language);
    QCOMPARE(a == b, same);
}

// A gesture string holds one-hand capitals and both-hands small letters only.
void SpellbookTest::gesturesAreGestureLetters() {
    for (const DefaultRow& row : DefaultSpellbook) {
        const QString g = toQString(row.gestures);
        QVERIFY(!g.isEmpty());
        for (const QChar c : g)
            QVERIFY2(u"DFPSWcdpsw"_s.contains(c), qPrintable(g));
    }
}

void SpellbookTest::wholeTextCopy_data() {
    QTest::addColumn<QString>("storeText");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("firstItem");
    QTest::addColumn<QString>("lastItem");

    QStringList gestures, english, italian, spanish;
    for (const DefaultRow& row : DefaultSpellbook) {
        gestures << toQString(row.gestures);
        english << field(row, Language::English);
        italian << field(row, Language::Italian);
        spanish << field(row, Language::Spanish);
    }
    QTest::newRow("gestures") << defaultGesturesText() << gestures << u"cDPW"_s << u"WWS"_s;
    QTest::newRow("English") << defaultNamesText(Language::English) << english << u"Dispel Magic"_s
                             << u"Counter Spell"_s;
    QTest::newRow("Italian") << defaultNamesText(Language::Italian) << italian
                             << u"Disperdi magia"_s << u"Controincantesimo"_s;
    QTest::newRow("Spanish") << defaultNamesText(Language::Spanish) << spanish << u"Disipar Magia"_s
                             << u"Contrahechizo"_s;
}

// Writing a store's text into a list that had other rows and a selected row gives exactly the
// store's 44 items in order and no selection; reading it back gives the same text.
void SpellbookTest::wholeTextCopy() {
    QFETCH(QString, storeText);
    QFETCH(QStringList, expected);
    QFETCH(QString, firstItem);
    QFETCH(QString, lastItem);

    ListModel list(u"DFW\r\nSD\r\nW\r\n");
    list.setSelectedRow(2);
    list.setText(storeText);
    QCOMPARE(list.count(), 44);
    QCOMPARE(list.items(), expected);
    QCOMPARE(list.item(0), firstItem);
    QCOMPARE(list.item(43), lastItem);
    QCOMPARE(list.selectedRow(), -1);
    QCOMPARE(list.text(), storeText);
}

} // namespace quorvane::spellbook

QTEST_APPLESS_MAIN(quorvane::spellbook::SpellbookTest)
#include "test_spellbook.moc"
