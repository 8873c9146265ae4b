// The spellbook list box and the move-history field, driven with mouse and keyboard events on
// the offscreen platform: which user actions report a selection and in what order, that the
// program's own writes stay silent, the capital letters of the field with one change per
// edit, and the hover frame.

#include "support/PaintCounter.h"
#include "ui/EntryField.h"
#include "ui/ListBoxView.h"
#include "ui/ListModel.h"
#include "ui/TextSplit.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

const QString Gestures = u"cDPW\nPSDF\nSD\nWPFD\nSSFP\nPWPFSSSD\n"_s;

QString numberedLines(int n) {
    QString text;
    for (int i = 0; i < n; ++i)
        text += u"row %1\n"_s.arg(i);
    return text;
}

// A list box in a window of its own whose signals are written into one log, each click with
// the model's selected row at the moment it is reported.
struct ListWindow {
    explicit ListWindow(const QString& items, QSize size = {120, 100}) : model(items) {
        view.setModel(&model);
        view.resize(size);
        QObject::connect(&view, &ListBoxView::clicked,
                         [this] { log << u"clicked %1"_s.arg(model.selectedRow()); });
        QObject::connect(&view, &ListBoxView::doubleClicked, [this] { log << u"double"_s; });
        QObject::connect(
            &view, &ListBoxView::mousePressed,
            [this](Qt::MouseButton button, Qt::MouseButtons down, Qt::KeyboardModifiers modifiers) {
                pressButton = button;
                pressButtonsDown = down;
                pressModifiers = modifiers;
                log << u"pressed"_s;
            });
        QObject::connect(&view, &ListBoxView::mouseMoved, [this] { log << u"moved"_s; });
    }

    void show() {
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }

    void select(qsizetype row) {
        model.setSelectedRow(row);
        view.syncSelection();
    }

    QPoint rowCentre(int row) const {
        return view.visualRect(view.model()->index(row, 0)).center();
    }

    qsizetype shownRow() const {
        const QModelIndexList rows = view.selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.front().row();
    }

    bool rowVisible(int row) const {
        return view.viewport()->rect().contains(view.visualRect(view.model()->index(row, 0)));
    }

    ListModel model;
    ListBoxView view;
    QStringList log;
    Qt::MouseButton pressButton = Qt::NoButton;
    Qt::MouseButtons pressButtonsDown;
    Qt::KeyboardModifiers pressModifiers;
};

enum class Entry { Type, Paste, Insert, SetText };

} // namespace

class ListAndEntryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void leftPress_data();
    void leftPress();
    void otherButtonsKeepSelection_data();
    void otherButtonsKeepSelection();
    void doubleClick_data();
    void doubleClick();
    void dragSelects();
    void keyboard_data();
    void keyboard();
    void syncSelection_data();
    void syncSelection();
    void refreshLongList();
    void mouseMoves_data();
    void mouseMoves();
    void listHoverFrame_data();
    void listHoverFrame();

    void entryCapitals_data();
    void entryCapitals();
    void entryHasNoLengthLimit();
    void entryFocusSelectsNothing_data();
    void entryFocusSelectsNothing();
    void entryHoverFrame_data();
    void entryHoverFrame();
};

// ---- list box ------------------------------------------------------------------------------

void ListAndEntryTest::leftPress_data() {
    QTest::addColumn<int>("initial");
    QTest::addColumn<int>("row"); // -1: below the last row
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QStringList>("log");

    const Qt::KeyboardModifiers none;
    QTest::newRow("first pick") << -1 << 2 << none << 2
                                << QStringList{u"clicked 2"_s, u"pressed"_s};
    QTest::newRow("another row") << 1 << 4 << none << 4
                                 << QStringList{u"clicked 4"_s, u"pressed"_s};
    QTest::newRow("same row again")
        << 3 << 3 << none << 3 << QStringList{u"clicked 3"_s, u"pressed"_s};
    QTest::newRow("ctrl on selected row keeps it")
        << 3 << 3 << Qt::KeyboardModifiers(Qt::ControlModifier) << 3
        << QStringList{u"clicked 3"_s, u"pressed"_s};
    QTest::newRow("below the rows") << 1 << -1 << none << 1 << QStringList{u"pressed"_s};
}

void ListAndEntryTest::leftPress() {
    QFETCH(int, initial);
    QFETCH(int, row);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, expected);
    QFETCH(QStringList, log);

    ListWindow w(Gestures);
    w.show();
    w.select(initial);
    const QPoint at = row >= 0 ? w.rowCentre(row) : QPoint(20, w.view.viewport()->height() - 3);
    QVERIFY(row >= 0 || !w.view.indexAt(at).isValid());
    QTest::mousePress(w.view.viewport(), Qt::LeftButton, modifiers, at);
    QTest::mouseRelease(w.view.viewport(), Qt::LeftButton, modifiers, at);

    QCOMPARE(w.log, log);
    QCOMPARE(w.model.selectedRow(), expected);
    QCOMPARE(w.shownRow(), expected);
    QCOMPARE(w.pressButton, Qt::LeftButton);
}

void ListAndEntryTest::otherButtonsKeepSelection_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");

    QTest::newRow("right") << Qt::RightButton << Qt::KeyboardModifiers();
    QTest::newRow("shift right") << Qt::RightButton << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("middle") << Qt::MiddleButton << Qt::KeyboardModifiers();
}

void ListAndEntryTest::otherButtonsKeepSelection() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);

    ListWindow w(Gestures);
    w.show();
    w.select(1);
    QTest::mousePress(w.view.viewport(), button, modifiers, w.rowCentre(4));
    QCOMPARE(w.log, QStringList{u"pressed"_s});
    QCOMPARE(w.pressButton, button);
    QVERIFY(w.pressButtonsDown.testFlag(button));
    QCOMPARE(w.pressModifiers, modifiers);
    QTest::mouseRelease(w.view.viewport(), button, modifiers, w.rowCentre(4));
    QCOMPARE(w.model.selectedRow(), 1);
    QCOMPARE(w.shownRow(), 1);
}

void ListAndEntryTest::doubleClick_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("left") << Qt::LeftButton << 2
                          << QStringList{u"clicked 2"_s, u"pressed"_s, u"clicked 2"_s, u"pressed"_s,
                                         u"double"_s};
    // Each press of a right double click is a press of its own, and neither selects.
    QTest::newRow("right") << Qt::RightButton << 0 << QStringList{u"pressed"_s, u"pressed"_s};
}

void ListAndEntryTest::doubleClick() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(int, expected);
    QFETCH(QStringList, log);

    ListWindow w(Gestures);
    w.show();
    w.select(0);
    // What the window system delivers: the second press comes both as a press and as the
    // double click.
    const QPoint at = w.rowCentre(2);
    QTest::mouseClick(w.view.viewport(), button, {}, at);
    QTest::mousePress(w.view.viewport(), button, {}, at);
    QTest::mouseDClick(w.view.viewport(), button, {}, at);
    QTest::mouseRelease(w.view.viewport(), button, {}, at);
    QCOMPARE(w.log, log);
    QCOMPARE(w.model.selectedRow(), expected);
    QCOMPARE(w.shownRow(), expected);
}

// Dragging with the left button carries the selection along, and each new row is the user's.
void ListAndEntryTest::dragSelects() {
    ListWindow w(Gestures);
    w.show();
    QTest::mousePress(w.view.viewport(), Qt::LeftButton, {}, w.rowCentre(1));
    QTest::mouseMove(w.view.viewport(), w.rowCentre(3));
    QTest::mouseRelease(w.view.viewport(), Qt::LeftButton, {}, w.rowCentre(3));
    w.log.removeAll(u"moved"_s);
    QCOMPARE(w.log, (QStringList{u"clicked 1"_s, u"pressed"_s, u"clicked 3"_s}));
    QCOMPARE(w.model.selectedRow(), 3);
}

void ListAndEntryTest::keyboard_data() {
    QTest::addColumn<int>("initial");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");

    // Rows: 0 cDPW, 1 PSDF, 2 SD, 3 WPFD, 4 SSFP, 5 PWPFSSSD.
    QTest::newRow("down from none takes the first") << -1 << int(Qt::Key_Down) << 0;
    QTest::newRow("down") << 1 << int(Qt::Key_Down) << 2;
    QTest::newRow("up") << 2 << int(Qt::Key_Up) << 1;
    QTest::newRow("end") << 1 << int(Qt::Key_End) << 5;
    QTest::newRow("home") << 3 << int(Qt::Key_Home) << 0;
    QTest::newRow("page down stops at the last") << 2 << int(Qt::Key_PageDown) << 5;
    QTest::newRow("page up stops at the first") << 4 << int(Qt::Key_PageUp) << 0;
    QTest::newRow("letter from none") << -1 << int(Qt::Key_S) << 2;
    QTest::newRow("letter goes to the next") << 2 << int(Qt::Key_S) << 4;
    QTest::newRow("letter goes round") << 4 << int(Qt::Key_S) << 2;
    QTest::newRow("letter ignores case") << 3 << int(Qt::Key_C) << 0;
    QTest::newRow("same letter again moves on") << 1 << int(Qt::Key_P) << 5;
    QTest::newRow("down on the last row") << 5 << int(Qt::Key_Down) << -2;
    QTest::newRow("letter without a match") << 3 << int(Qt::Key_Z) << -2;
}

// expected -2: the selection stays and nothing is reported.
void ListAndEntryTest::keyboard() {
    QFETCH(int, initial);
    QFETCH(int, key);
    QFETCH(int, expected);

    ListWindow w(Gestures, {120, 200});
    w.select(initial);
    // Gaining the focus makes a row current without selecting it; that must not count.
    w.show();
    w.view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.view));
    QTRY_VERIFY(w.view.hasFocus());
    QTest::keyClick(&w.view, Qt::Key(key));
    const int row = expected == -2 ? initial : expected;
    QCOMPARE(w.log, expected == -2 ? QStringList{} : QStringList{u"clicked %1"_s.arg(row)});
    QCOMPARE(w.model.selectedRow(), row);
    QCOMPARE(w.shownRow(), row);
}

void ListAndEntryTest::syncSelection_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("scrollFirst"); // scroll the selected row out of view beforehand

    QTest::newRow("far row") << 900 << false;
    QTest::newRow("first row from the bottom") << 0 << true;
    QTest::newRow("none") << -1 << false;
    QTest::newRow("row already selected stays where it is") << 5 << true;
}

void ListAndEntryTest::syncSelection() {
    QFETCH(int, row);
    QFETCH(bool, scrollFirst);

    ListWindow w(numberedLines(1000));
    w.show();
    w.select(5);
    if (scrollFirst)
        w.view.scrollToBottom();
    const int scrolled = w.view.verticalScrollBar()->value();
    w.select(row);

    QVERIFY(w.log.isEmpty());
    QCOMPARE(w.shownRow(), row);
    QCOMPARE(w.model.selectedRow(), row);
    if (row == 5)
        QCOMPARE(w.view.verticalScrollBar()->value(), scrolled);
    else if (row >= 0)
        QVERIFY(w.rowVisible(row));
}

void ListAndEntryTest::refreshLongList() {
    ListWindow w(u"a\n"_s);
    w.show();
    w.model.setText(numberedLines(100000));
    w.view.refresh();
    QCOMPARE(w.view.model()->rowCount(), 100000);
    w.select(99999);
    QVERIFY(w.rowVisible(99999));
    QCOMPARE(w.view.model()->index(99999, 0).data().toString(), u"row 99999"_s);
    if (w.view.logicalDpiY() == 96) {
        const auto top = [&w](int r) {
            return w.view.visualRect(w.view.model()->index(r, 0)).top();
        };
        QCOMPARE(top(99999) - top(99998), ListBoxView::DesignRowHeight);
    }
    // A refresh shows the new items from the top with the model's selection, here none.
    w.model.setText(Gestures);
    w.view.refresh();
    QCOMPARE(w.view.model()->rowCount(), 6);
    QCOMPARE(w.shownRow(), -1);
    QVERIFY(w.rowVisible(0));
    QVERIFY(w.log.isEmpty());
}

void ListAndEntryTest::mouseMoves_data() {
    QTest::addColumn<bool>("entry");
    QTest::addColumn<bool>("frame");
    QTest::addColumn<bool>("onFrame");
    QTest::addColumn<bool>("reported");

    QTest::newRow("list") << false << false << false << true;
    QTest::newRow("list with frame") << false << true << false << true;
    QTest::newRow("entry") << true << false << false << true;
    QTest::newRow("entry, on its frame") << true << true << true << false;
    QTest::newRow("entry, inside its frame") << true << true << false << true;
}

void ListAndEntryTest::mouseMoves() {
    QFETCH(bool, entry);
    QFETCH(bool, frame);
    QFETCH(bool, onFrame);
    QFETCH(bool, reported);

    ListWindow w(Gestures);
    EntryField field;
    QWidget* target = entry ? static_cast<QWidget*>(&field) : w.view.viewport();
    if (entry) {
        field.setHoverFrame(frame);
        field.resize(185, 28);
        field.show();
        QVERIFY(QTest::qWaitForWindowExposed(&field));
    } else {
        w.view.setHoverFrame(frame);
        w.show();
    }
    QSignalSpy listMoves(&w.view, &ListBoxView::mouseMoved);
    QSignalSpy entryMoves(&field, &EntryField::mouseMoved);
    const QPoint at = onFrame ? QPoint(1, target->height() / 2) : QPoint(30, target->height() / 2);
    QTest::mouseMove(target, at - QPoint(0, 3));
    QTest::mouseMove(target, at);
    QCOMPARE((entry ? entryMoves : listMoves).count() > 0, reported);
}

void ListAndEntryTest::listHoverFrame_data() {
    QTest::addColumn<bool>("initial");
    QTest::addColumn<bool>("set");

    QTest::newRow("on") << false << true;
    QTest::newRow("off") << true << false;
    QTest::newRow("on again") << true << true;
    QTest::newRow("off again") << false << false;
}

namespace {

// Lowered outside, raised inside, on both sides.
bool showsHoverFrame(QWidget& widget) {
    const QImage image = widget.grab().toImage();
    const QRgb shadow = widget.palette().color(QPalette::Mid).rgb();
    const QRgb light = widget.palette().color(QPalette::Light).rgb();
    const int y = image.height() / 2;
    const int right = image.width() - 1;
    return image.pixel(0, y) == shadow && image.pixel(1, y) == light &&
           image.pixel(right, y) == light && image.pixel(right - 1, y) == shadow;
}

} // namespace

void ListAndEntryTest::listHoverFrame() {
    QFETCH(bool, initial);
    QFETCH(bool, set);

    ListWindow w(Gestures);
    w.view.setHoverFrame(initial);
    w.show();
    QCoreApplication::processEvents();
    const QRect before = w.view.viewport()->geometry();

    PaintCounter counter;
    w.view.installEventFilter(&counter);
    w.view.viewport()->installEventFilter(&counter);
    w.view.setHoverFrame(set);
    QCoreApplication::processEvents();
    w.view.removeEventFilter(&counter);
    w.view.viewport()->removeEventFilter(&counter);

    const int inset = set == initial ? 0 : set ? 2 : -2;
    QCOMPARE(w.view.viewport()->geometry(), before.adjusted(inset, inset, -inset, -inset));
    QCOMPARE(counter.paints > 0, set != initial);
    QCOMPARE(showsHoverFrame(w.view), set);
}

// ---- entry field ---------------------------------------------------------------------------

void ListAndEntryTest::entryCapitals_data() {
    QTest::addColumn<Entry>("how");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("changes");

    QTest::newRow("typed letter") << Entry::Type << u"w"_s << u"W"_s << 1;
    QTest::newRow("typed moves") << Entry::Type << u"sd?x"_s << u"SD?X"_s << 4;
    QTest::newRow("pasted") << Entry::Paste << u"pwpf"_s << u"PWPF"_s << 1;
    QTest::newRow("inserted") << Entry::Insert << u"cdpw"_s << u"CDPW"_s << 1;
    QTest::newRow("set") << Entry::SetText << u"sd"_s << u"SD"_s << 1;
    QTest::newRow("set in capitals") << Entry::SetText << u"SD"_s << u"SD"_s << 1;
    QTest::newRow("sharp s stays one character") << Entry::SetText << u"ßw"_s << u"ßW"_s << 1;
    QTest::newRow("typed sharp s") << Entry::Type << u"ß"_s << u"ß"_s << 1;
    QTest::newRow("accented") << Entry::Insert << u"éñ"_s << u"ÉÑ"_s << 1;
}

void ListAndEntryTest::entryCapitals() {
    QFETCH(Entry, how);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QFETCH(int, changes);

    EntryField field;
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    QSignalSpy spy(&field, &QLineEdit::textChanged);
    switch (how) {
    case Entry::Type:
        QTest::keyClicks(&field, input);
        break;
    case Entry::Paste:
        QGuiApplication::clipboard()->setText(input);
        QTest::keySequence(&field, QKeySequence::Paste);
        break;
    case Entry::Insert:
        field.insert(input);
        break;
    case Entry::SetText:
        field.setText(input);
        break;
    }
    QCOMPARE(field.text(), expected);
    QCOMPARE(spy.count(), changes);
    // Every reported text is already in capitals: no lower-case step is ever seen.
    for (const QList<QVariant>& change : spy)
        QCOMPARE(change.front().toString(), fieldUpperCase(change.front().toString()));
    QCOMPARE(spy.back().front().toString(), expected);
}

void ListAndEntryTest::entryHasNoLengthLimit() {
    EntryField field;
    const QString moves(40000, u'w');
    field.setText(moves);
    QCOMPARE(field.text().size(), moves.size());
    QTest::keyClick(&field, Qt::Key_S);
    QCOMPARE(field.text().size(), moves.size() + 1);
}

void ListAndEntryTest::entryFocusSelectsNothing_data() {
    QTest::addColumn<Qt::FocusReason>("reason");

    QTest::newRow("tab") << Qt::TabFocusReason;
    QTest::newRow("backtab") << Qt::BacktabFocusReason;
    QTest::newRow("shortcut") << Qt::ShortcutFocusReason;
    QTest::newRow("mouse") << Qt::MouseFocusReason;
}

void ListAndEntryTest::entryFocusSelectsNothing() {
    QFETCH(Qt::FocusReason, reason);

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* other = new QLineEdit(&window);
    auto* field = new EntryField(&window);
    layout->addWidget(other);
    layout->addWidget(field);
    field->setText(u"pwpf"_s);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(other->hasFocus());

    field->setFocus(reason);
    QTRY_VERIFY(field->hasFocus());
    QVERIFY(!field->hasSelectedText());
    QCOMPARE(field->text(), u"PWPF"_s);
}

void ListAndEntryTest::entryHoverFrame_data() {
    QTest::addColumn<bool>("set");

    QTest::newRow("off") << false;
    QTest::newRow("kept on") << true;
}

// The field starts with the frame.
void ListAndEntryTest::entryHoverFrame() {
    QFETCH(bool, set);

    EntryField field;
    field.setText(u"SD"_s);
    field.resize(185, 28);
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    QVERIFY(field.hoverFrame());
    QVERIFY(showsHoverFrame(field));
    const QRect caret = field.inputMethodQuery(Qt::ImCursorRectangle).toRect();

    PaintCounter counter;
    field.installEventFilter(&counter);
    field.setHoverFrame(set);
    QCoreApplication::processEvents();
    field.removeEventFilter(&counter);

    QCOMPARE(counter.paints > 0, !set);
    QCOMPARE(showsHoverFrame(field), set);
    // The text moves out by the frame's width when the frame goes.
    QCOMPARE(field.inputMethodQuery(Qt::ImCursorRectangle).toRect().left(),
             caret.left() - (set ? 0 : 2));
}

} // namespace quorvane

QTEST_MAIN(quorvane::ListAndEntryTest)
#include "test_list_and_entry.moc"
