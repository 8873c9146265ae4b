// The application title taken from the program file's name, and the error box's text.

#include "app/StartupRules.h"

#include <QTest>

using namespace Qt::StringLiterals;

class StartupRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void applicationTitle_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("capitals, one extension") << u"C:\\Games\\DUEL.EXE"_s << u"Duel"_s;
        QTest::newRow("cut at the first full stop") << u"C:\\Games\\DUEL.MATE.EXE"_s << u"Duel"_s;
        QTest::newRow("first character never lowered") << u"duel.mate.exe"_s << u"duel"_s;
        QTest::newRow("unix path, no extension") << u"/usr/bin/Quorvane"_s << u"Quorvane"_s;
        QTest::newRow("lower-case name stays lower") << u"/usr/bin/quorvane"_s << u"quorvane"_s;
        QTest::newRow("only the name after the last separator")
            << u"/opt/a.b/QUORVANE"_s << u"Quorvane"_s;
        QTest::newRow("accented capitals lowered") << u"/x/ÉLAN"_s << u"Élan"_s;
        QTest::newRow("name starting with a full stop") << u"/x/.hidden"_s << u""_s;
    }
    void applicationTitle() {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QCOMPARE(quorvane::app::applicationTitle(path), title);
    }

    void errorBoxText_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("closing parenthesis")
            << u"List index out of bounds (-1)"_s << u"List index out of bounds (-1)"_s;
        QTest::newRow("letter") << u"Cannot open file \"/x\". No such file or directory"_s
                                << u"Cannot open file \"/x\". No such file or directory."_s;
        QTest::newRow("digit") << u"Error 5"_s << u"Error 5."_s;
        QTest::newRow("full stop already") << u"Done."_s << u"Done."_s;
        QTest::newRow("slash is after the full stop") << u"a/"_s << u"a/."_s;
        QTest::newRow("space, exclamation, hyphen") << u"a -"_s << u"a -"_s;
        QTest::newRow("empty") << u""_s << u""_s;
    }
    void errorBoxText() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(quorvane::app::errorBoxText(message), shown);
    }
};

QTEST_APPLESS_MAIN(StartupRulesTest)
#include "test_startup_rules.moc"
