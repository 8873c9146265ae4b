// The window on the offscreen platform: start-up state, typing into the move history, the
// list error from a right-button press, the language switch, the lookup from clicks, keys
// and presses on the two lists kept in step, and the hover cues. A modal box is answered
// from a timer through the active modal widget.

#include "app/TForm1.h"
#include "ui/EntryField.h"
#include "ui/ListBoxView.h"
#include "ui/TextPaneView.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;
using quorvane::ListBoxView;
using quorvane::app::TForm1;

namespace {

QPoint rowPoint(ListBoxView* list, int row) {
    return list->visualRect(list->model()->index(row, 0)).center();
}

// The reference text that the lookup selected.
QString referenceSelection(const TForm1& form) {
    return form.RichEdit2Text.text().mid(form.RichEdit2Text.selectionStart(),
                                         form.RichEdit2Text.selectionLength());
}

enum class ListGesture { ClickOtherRow, RightPress, MiddlePressWithRightHeld };

// Answers every error box while it lives, keeping the texts: with lists of different lengths
// the recompute that a lookup sets off may report errors of its own.
struct ErrorBoxes {
    ErrorBoxes() {
        QObject::connect(&poll, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen << box->text();
                box->accept();
            }
        });
        poll.start(5);
    }
    QStringList seen;
    QTimer poll;
};

} // namespace

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

    void hoverMovesFocusAndFrame_data() {
        QTest::addColumn<int>("control");
        QTest::newRow("gesture list") << 0;
        QTest::newRow("name list") << 1;
        QTest::newRow("reference pane") << 2;
        QTest::newRow("move history") << 3;
    }
    void hoverMovesFocusAndFrame() {
        QFETCH(int, control);
        TForm1 form(u"Quorvane"_s);
        form.FormCreate();
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QVERIFY(form.Edit1->hoverFrame()); // where it starts
        QWidget* const targets[] = {form.ListBox1->viewport(), form.ListBox2->viewport(),
                                    form.RichEdit2->viewport(), form.Edit1};
        QWidget* const owners[] = {form.ListBox1, form.ListBox2, form.RichEdit2, form.Edit1};
        // A pointer move as the window system delivers it to the control under the pointer.
        const auto moveOver = [](QWidget* widget, QPoint at) {
            QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(widget, &move);
        };
        if (control == 3)
            moveOver(form.ListBox1->viewport(), QPoint(10, 10)); // away first
        moveOver(targets[control], QPoint(12, 6));
        QVERIFY(owners[control]->hasFocus());
        const bool frames[] = {form.ListBox1->hoverFrame(), form.ListBox2->hoverFrame(),
                               form.RichEdit2->hoverFrame(), form.Edit1->hoverFrame()};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(frames[i], i == control);
        // The combos pane takes neither.
        moveOver(form.RichEdit1->viewport(), QPoint(20, 20));
        QVERIFY(owners[control]->hasFocus());
    }

    void lookupGoesOnAfterTheRecomputeFails() {
        TForm1 form(u"Quorvane"_s);
        form.FormCreate();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // Ten names for 44 gesture strings: the recompute for "SD" fails at row 10.
        QStringList names;
        for (int row = 0; row < 10; ++row)
            names << form.ListBox3.item(row);
        form.ListBox2Items.setText(names.join(u"\r\n"_s));
        form.ListBox1Items.setSelectedRow(26); // SD, Magic Missile
        form.ListBox2Items.setSelectedRow(8);  // Amnesia
        QStringList seen;
        QTimer::singleShot(0, [&seen] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen << box->text();
                box->accept();
            }
        });
        form.guarded([&form] { form.ListBox1DblClick(); });
        QCOMPARE(seen, QStringList{u"List index out of bounds (10)"_s});
        QCOMPARE(form.Edit1->text(), u"SD"_s);
        QCOMPARE(form.RichEdit1Text.lineCount(), 6); // the lines found before the error
        // The lookup went on and selected "Amnesia" in the reference.
        QCOMPARE(form.RichEdit2Text.text().mid(form.RichEdit2Text.selectionStart(), 7),
                 u"Amnesia"_s);
    }

    void spellbookMenuRestoresTheDefaultAfterTheButtonReturns() {
        TForm1 form(u"Quorvane"_s);
        form.FormCreate();
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.ListBox1Items.setText(u"DFW\r\nSD\r\n"_s);
        form.Runeclasporiginal1->setChecked(false);
        form.Loadfromtextfile2->menuAction()->setChecked(true);

        QPoint openedAt;
        bool ranInsideTheMenu = true;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            openedAt = menu->pos();
            QTest::keyClick(menu, Qt::Key_R); // the access key of "&Runeclasp [Default]"
            ranInsideTheMenu = form.ListBox1Items.count() == 44;
        });
        form.ListBox2->setFocus();
        form.guarded([&form] { form.Button2Click(); });
        QCOMPARE(openedAt, QCursor::pos());
        // The window's focus goes back to the move history (offscreen, the window itself is not
        // made active again after a popup, so ask the window rather than the application).
        QCOMPARE(form.focusWidget(), form.Edit1);
        QVERIFY(!ranInsideTheMenu);
        QCOMPARE(form.ListBox1Items.count(), 2); // not yet: the item runs after the button
        QTRY_COMPARE(form.ListBox1Items.count(), 44);
        QVERIFY(form.Runeclasporiginal1->isChecked());
        QVERIFY(!form.Loadfromtextfile2->menuAction()->isChecked());
    }

    // A click on a row of either list selects the same row in the other list, scrolled into
    // view, and looks the spell up.
    void clickKeepsTheListsInStep_data() {
        QTest::addColumn<bool>("onNames");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("gestures");
        QTest::addColumn<QString>("name");
        QTest::newRow("name row 5") << true << 5 << u"DFPW"_s << u"Cure Heavy Wounds"_s;
        QTest::newRow("gesture row 20, scrolled") << false << 20 << u"PPWS"_s << u"Invisibility"_s;
    }
    void clickKeepsTheListsInStep() {
        QFETCH(bool, onNames);
        QFETCH(int, row);
        QFETCH(QString, gestures);
        QFETCH(QString, name);
        TForm1 form(u"Quorvane"_s);
        form.FormCreate();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        ListBoxView* clicked = onNames ? form.ListBox2 : form.ListBox1;
        ListBoxView* other = onNames ? form.ListBox1 : form.ListBox2;
        if (!onNames)
            clicked->scrollTo(clicked->model()->index(row, 0));
        QTest::mouseClick(clicked->viewport(), Qt::LeftButton, {}, rowPoint(clicked, row));
        QCOMPARE(form.ListBox1Items.selectedRow(), row);
        QCOMPARE(form.ListBox2Items.selectedRow(), row);
        QVERIFY(other->viewport()->rect().contains(rowPoint(other, row)));
        QCOMPARE(form.Edit1->text(), gestures);
        QCOMPARE(referenceSelection(form), name);
    }

    // Moving through the gesture list with the Down key keeps the names on the same row and
    // looks every row up.
    void downKeyLooksUpEveryRow() {
        TForm1 form(u"Quorvane"_s);
        form.FormCreate();
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {},
                          rowPoint(form.ListBox1, 0));
        for (int row = 1; row <= 3; ++row) {
            QTest::keyClick(form.ListBox1, Qt::Key_Down);
            QCOMPARE(form.ListBox2Items.selectedRow(), row);
            QCOMPARE(form.Edit1->text(), form.ListBox1Items.item(row).toUpper());
            QCOMPARE(referenceSelection(form), form.ListBox2Items.item(row));
        }
    }

    // A letter typed into the name list selects the next row that begins with it, and the
    // gesture list follows.
    void letterSelectsTheNextNameRow() {
        TForm1 form(u"Quorvane"_s);
        form.FormCreate();
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.ListBox2->setFocus();
        QTest::keyClick(form.ListBox2, Qt::Key_P);
        const int row = form.ListBox2Items.selectedRow();
        QVERIFY(row >= 0);
        QVERIFY(form.ListBox2Items.item(row).startsWith(u'P'));
        QCOMPARE(form.ListBox1Items.selectedRow(), row);
        QCOMPARE(referenceSelection(form), form.ListBox2Items.item(row));
    }

    // The second click of a double click looks the spell up again: what the first click's
    // lookup wrote is undone in between, and the double click writes it again.
    void doubleClickLooksUpAgain() {
        TForm1 form(u"Quorvane"_s);
        form.FormCreate();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        connect(form.ListBox2, &ListBoxView::clicked, &form, [&form] {
            form.Edit1->clear();
            form.RichEdit2Text.setSelection(0, 0);
        });
        QTest::mouseDClick(form.ListBox2->viewport(), Qt::LeftButton, {},
                           rowPoint(form.ListBox2, 8));
        QCOMPARE(form.Edit1->text(), u"DPP"_s);
        QCOMPARE(referenceSelection(form), u"Amnesia"_s);
    }

    // A press with the right button down leaves both selections and looks up the rows already
    // selected; when the other list is shorter than the chosen row, it keeps its own row.
    void pressesAndShortLists_data() {
        QTest::addColumn<ListGesture>("gesture");
        QTest::addColumn<int>("names"); // rows in the name list
        QTest::addColumn<int>("expectedNameRow");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("right press") << ListGesture::RightPress << 44 << 3 << QStringList();
        QTest::newRow("middle press, right held")
            << ListGesture::MiddlePressWithRightHeld << 44 << 3 << QStringList();
        QTest::newRow("click past the shorter names")
            << ListGesture::ClickOtherRow << 5 << 3 << QStringList();
        // The gesture string is written first, and the recompute fails on the empty names;
        // then the lookup fails on the name list's missing selection.
        QTest::newRow("click past the names, none selected")
            << ListGesture::ClickOtherRow << 0 << -1
            << QStringList{u"List index out of bounds (0)"_s, u"List index out of bounds (-1)"_s};
    }
    void pressesAndShortLists() {
        QFETCH(ListGesture, gesture);
        QFETCH(int, names);
        QFETCH(int, expectedNameRow);
        QFETCH(QStringList, errors);
        TForm1 form(u"Quorvane"_s);
        form.FormCreate();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QStringList shortNames;
        for (int row = 0; row < names; ++row)
            shortNames << form.ListBox3.item(row);
        form.ListBox2Items.setText(shortNames.join(u"\r\n"_s));
        form.ListBox2->refresh();
        ErrorBoxes boxes;
        if (names > 0)
            QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {},
                              rowPoint(form.ListBox1, 3));
        form.Edit1->clear();
        boxes.seen.clear();
        const QPoint at = rowPoint(form.ListBox1, 30);
        switch (gesture) {
        case ListGesture::RightPress:
            QTest::mousePress(form.ListBox1->viewport(), Qt::RightButton, {}, at);
            break;
        case ListGesture::MiddlePressWithRightHeld: {
            QMouseEvent press(QEvent::MouseButtonPress, at,
                              form.ListBox1->viewport()->mapToGlobal(at), Qt::MiddleButton,
                              Qt::MiddleButton | Qt::RightButton, Qt::NoModifier);
            QApplication::sendEvent(form.ListBox1->viewport(), &press);
            break;
        }
        case ListGesture::ClickOtherRow:
            QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, at);
            break;
        }
        const int gestureRow = gesture == ListGesture::ClickOtherRow ? 30 : 3;
        QCOMPARE(form.ListBox1Items.selectedRow(), gestureRow);
        QCOMPARE(form.ListBox2Items.selectedRow(), expectedNameRow);
        if (!errors.isEmpty()) {
            QCOMPARE(boxes.seen, errors);
        } else {
            QCOMPARE(form.Edit1->text(), form.ListBox1Items.item(gestureRow).toUpper());
            QCOMPARE(referenceSelection(form), form.ListBox2Items.item(expectedNameRow));
        }
    }

    // A middle press alone looks nothing up.
    void middlePressDoesNothing() {
        TForm1 form(u"Quorvane"_s);
        form.FormCreate();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mousePress(form.ListBox2->viewport(), Qt::MiddleButton, {},
                          rowPoint(form.ListBox2, 2));
        QCOMPARE(form.ListBox2Items.selectedRow(), -1);
        QCOMPARE(form.Edit1->text(), QString());
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
