// The window on the offscreen platform: start-up state, typing into the move history, the
// list error from a right-button press, the language switch and the lookup. A modal box is
// answered from a zero-delay timer through the active modal widget.

#include "app/TForm1.h"
#include "ui/EntryField.h"
#include "ui/ListBoxView.h"
#include "ui/TextPaneView.h"

#include <QApplication>
#include <QAction>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;
using quorvane::app::TForm1;


class WindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsWithTheDefaultSpellbook() {
        TForm1 form(u"Quorvane"_s);
        form.FormCreate();
        QCOMPARE(form.ListBox1Items.count(), 44);
        QCOMPARE(form.ListBox2Items.item(0), u"Dispel Magic"_s);
        QCOMPARE(form.ListBox1Items.selectedRow(), -1);
        QCOMPARE(form.RichEdit1Text.lineCount(), 0);
        QCOMPARE(form.RichEdit2Text.lineCount(), 362);
        QVERIFY(form.Runeclasporiginal1->isChecked());
        QCOMPARE(form.size(), QSize(521, 549));
    }

    void typingRecomputesTheCombos() {
        TForm1 form(u"Quorvane"_s);
        form.FormCreate();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::keyClicks(form.Edit1, u"sd"_s);
        QCOMPARE(form.Edit1->text(), u"SD"_s);
        QCOMPARE(form.RichEdit1Text.lineCount(), 11);
        QCOMPARE(form.RichEdit1Text.line(0), u"2: Magic Missile [SD]"_s);
        QVERIFY(form.RichEdit1Text.format(0, 0).bold);
    }

    void rightPressWithoutSelectionShowsTheListError() {
        TForm1 form(u"Quorvane"_s);
        form.FormCreate();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QString seen;
        QTimer::singleShot(0, [&seen] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen = box->windowTitle() + u"|"_s + box->text();
                box->accept();
            }
        });
        QTest::mousePress(form.ListBox2->viewport(), Qt::RightButton, {}, QPoint(20, 5));
        QCOMPARE(seen, u"Quorvane|List index out of bounds (-1)"_s);
        QCOMPARE(form.Edit1->text(), QString());
    }

    void italianFlagSwitchesReferenceNamesAndTip() {
        TForm1 form(u"Quorvane"_s);
        form.FormCreate();
        form.SpeedButton1->click();
        QCOMPARE(form.referenceLanguage(), quorvane::spellbook::Language::Italian);
        QCOMPARE(form.ListBox2Items.item(1), u"Evoca elementale del ghiaccio"_s);
        QVERIFY(form.Label1->text().startsWith(u"Consiglio"_s));
        QCOMPARE(form.RichEdit2Text.lineCount(), 95);
        form.SpeedButton3->click(); // Spanish keeps the Italian tip
        QVERIFY(form.Label1->text().startsWith(u"Consiglio"_s));
    }

    void clickingARowLooksTheSpellUp() {
        TForm1 form(u"Quorvane"_s);
        form.FormCreate();
        form.ListBox1Items.setSelectedRow(17);
        form.ListBox1Click();
        QCOMPARE(form.ListBox2Items.selectedRow(), 17);
        QCOMPARE(form.Edit1->text(), u"P"_s);
        QCOMPARE(form.RichEdit2Text.selectionStart(), 21);
        QCOMPARE(form.RichEdit2Text.selectionLength(), 6);
    }
};

QTEST_MAIN(WindowTest)
#include "test_window.moc"
