// The window's two menus and what they start, on the offscreen platform: the information
// menu's items, the opening of both menus at the pointer, the link items, the About box, and
// the two load commands through the real shared file dialog. Menus, dialogs and boxes are
// answered as a person would, by keys sent to the active popup or modal widget from a
// polling timer (a Script), since each of them runs its own event loop.

#include "app/AboutBox.h"
#include "app/TForm1.h"
#include "support/DialogScript.h"
#include "support/PlatformNotices.h"
#include "ui/EntryField.h"
#include "ui/ListBoxView.h"
#include "ui/TextPaneView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <deque>
#include <functional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace quorvane::testing;
using quorvane::app::AboutBox;
using quorvane::app::TForm1;

namespace {

// Receives what the desktop's "open" action is given, instead of a browser.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};

const QStringList Schemes{u"https"_s, u"http"_s, u"mailto"_s, u"file"_s};

enum class Command { Gestures, Names };

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The window shown and active at a place of the offscreen screen (800 x 800), with the
// default spellbook.
struct ShownForm {
    explicit ShownForm(QPoint at = {0, 0}) {
        form.FormCreate();
        form.move(at);
        form.show();
        form.activateWindow();
    }
    TForm1 form{u"Quorvane"_s};
};

QStringList defaultGestures(const TForm1& form) {
    return form.ListBox6Original.items();
}
QStringList defaultNames(const TForm1& form) {
    return form.ListBox3.items();
}

} // namespace

Q_DECLARE_METATYPE(Command)

class WindowMenusTest : public QObject {
    Q_OBJECT

    UrlRecorder recorder_;

    // Opens the spellbook menu from its button as a person would, and chooses the load
    // command in its "&Custom" submenu; the steps for the dialog follow in the script.
    static void startLoad(TForm1& form, Script& script, Command command) {
        Script startSteps;
        startSteps.then(popup(form.PopupMenu2), press(Qt::Key_C))
            .then(popup(form.Loadfromtextfile2),
                  press(command == Command::Gestures ? Qt::Key_G : Qt::Key_S));
        QCursor::setPos(form.Button2->mapToGlobal(form.Button2->rect().center()));
        QTest::mouseClick(form.Button2, Qt::LeftButton);
        QVERIFY(startSteps.done());
        // The command runs after the button's handler, in the event loop; the script answers
        // its dialog and boxes meanwhile.
        QTRY_VERIFY(script.done());
        QVERIFY(!script.gaveUp());
        QVERIFY(!QApplication::activeModalWidget());
    }

    // Loads a file into one list through the menu and the dialog.
    static void load(TForm1& form, Command command, const QString& path) {
        Script script;
        script.then(modal<QFileDialog>(), choose(path));
        startLoad(form, script, command);
    }

    static QStringList listOf(const TForm1& form, Command command) {
        return (command == Command::Gestures ? form.ListBox1Items : form.ListBox2Items).items();
    }

private Q_SLOTS:
    void initTestCase() {
        testMessageHandler = qInstallMessageHandler(dropPlatformNotices);
        for (const QString& scheme : Schemes)
            QDesktopServices::setUrlHandler(scheme, &recorder_, "open");
    }
    void cleanupTestCase() {
        for (const QString& scheme : Schemes)
            QDesktopServices::unsetUrlHandler(scheme);
        qInstallMessageHandler(testMessageHandler);
    }
    void init() { recorder_.urls.clear(); }
    void cleanup() {
        // Nothing may stay open for the next test.
        QVERIFY(!QApplication::activePopupWidget());
        QVERIFY(!QApplication::activeModalWidget());
    }

    // ---- The information menu ----

    void informationMenuItems_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QChar>("accessKey");
        const auto row = [](const char* menu, int index, const char* name, const QString& caption,
                            const char* kind, char key) {
            QTest::newRow(name) << QString::fromLatin1(menu) << index << QString::fromLatin1(name)
                                << caption << QString::fromLatin1(kind) << QChar::fromLatin1(key);
        };
        row("PopupMenu1", 0, "Information1", u"About &Runeclasp (a.k.a. Palmoria)"_s, "submenu",
            'R');
        row("PopupMenu1", 1, "Quorvane1", u"About &This program"_s, "submenu", 'T');
        row("Information1", 0, "EncyclopediaArticle1",
            u"Palmoria by Ilsabet Corrowin, 1977 - Loreweave &Wiki article"_s, "command", 'W');
        row("Information1", 1, "N2", u""_s, "separator", 0);
        row("Information1", 2, "OfficialRules1",
            u"Official rules in &English by Ilsabet Corrowin"_s, "command", 'E');
        row("Information1", 3, "RulesTranslatedinSpanish1",
            u"Official rules in &Spanish, translated by Maelis Corvarán"_s, "command", 'S');
        row("Information1", 4, "SpelllistItalian1",
            u"Spell list in &Italian by Liselda Marvotti at Tavolieri di Varnhollow"_s, "command",
            'I');
        row("Information1", 5, "N1", u""_s, "separator", 0);
        row("Information1", 6, "PlayOnlineforfree1", u"&Play online for free at Duelhall"_s,
            "command", 'P');
        row("Quorvane1", 0, "AuthorHomepage1", u"Program &Homepage"_s, "command", 'H');
        row("Quorvane1", 1, "Contacttheauthor1", u"&Contact the author"_s, "command", 'C');
        row("Quorvane1", 2, "N3", u""_s, "separator", 0);
        row("Quorvane1", 3, "About1", u"&About"_s, "command", 'A');
    }
    void informationMenuItems() {
        QFETCH(QString, menu);
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, kind);
        QFETCH(QChar, accessKey);
        TForm1 form(u"Quorvane"_s);
        const QHash<QString, QMenu*> menus{{u"PopupMenu1"_s, form.PopupMenu1},
                                           {u"Information1"_s, form.Information1},
                                           {u"Quorvane1"_s, form.Quorvane1}};
        const QHash<QString, QAction*> actions{
            {u"Information1"_s, form.Information1->menuAction()},
            {u"Quorvane1"_s, form.Quorvane1->menuAction()},
            {u"EncyclopediaArticle1"_s, form.EncyclopediaArticle1},
            {u"N2"_s, form.N2},
            {u"OfficialRules1"_s, form.OfficialRules1},
            {u"RulesTranslatedinSpanish1"_s, form.RulesTranslatedinSpanish1},
            {u"SpelllistItalian1"_s, form.SpelllistItalian1},
            {u"N1"_s, form.N1},
            {u"PlayOnlineforfree1"_s, form.PlayOnlineforfree1},
            {u"AuthorHomepage1"_s, form.AuthorHomepage1},
            {u"Contacttheauthor1"_s, form.Contacttheauthor1},
            {u"N3"_s, form.N3},
            {u"About1"_s, form.About1},
        };
        // Two, seven and four items: the table's rows are all of them.
        const QHash<QString, int> sizes{
            {u"PopupMenu1"_s, 2}, {u"Information1"_s, 7}, {u"Quorvane1"_s, 4}};
        QCOMPARE(menus[menu]->actions().size(), sizes[menu]);

        QAction* const action = menus[menu]->actions().value(index);
        QVERIFY(action);
        QCOMPARE(action, actions[name]);
        QCOMPARE(action->isSeparator(), kind == u"separator"_s);
        QCOMPARE(action->menu() != nullptr, kind == u"submenu"_s);
        if (kind != u"separator"_s) {
            QCOMPARE(action->text(), caption);
            const QKeySequence alt(QKeyCombination(Qt::AltModifier, Qt::Key(accessKey.unicode())));
            QCOMPARE(QKeySequence::mnemonic(action->text()), alt);
        }
        // Never checked, disabled or hidden.
        QVERIFY(!action->isCheckable());
        QVERIFY(action->isEnabled());
        QVERIFY(action->isVisible());
    }

    // Each menu opens with its top-left corner at the pointer, from a click on its button, from
    // the button's access key wherever the pointer is, and from Space on the focused button;
    // Esc closes it without a choice and the focus goes to the move history.
    void menuOpensAtThePointer_data() {
        QTest::addColumn<int>("button"); // 1 or 2
        QTest::addColumn<QString>("how");
        QTest::addColumn<QPoint>("windowAt");
        QTest::addColumn<QPoint>("pointer"); // null: the centre of the button
        QTest::newRow("Info, click") << 1 << u"click"_s << QPoint(0, 0) << QPoint();
        QTest::newRow("Info, Alt+I, pointer outside the window")
            << 1 << u"alt"_s << QPoint(260, 0) << QPoint(20, 300);
        QTest::newRow("Info, Space") << 1 << u"space"_s << QPoint(0, 0) << QPoint(100, 100);
        QTest::newRow("Spellbook, click") << 2 << u"click"_s << QPoint(0, 0) << QPoint();
        QTest::newRow("Spellbook, Alt+S, pointer outside the window")
            << 2 << u"alt"_s << QPoint(260, 0) << QPoint(20, 300);
    }
    void menuOpensAtThePointer() {
        QFETCH(int, button);
        QFETCH(QString, how);
        QFETCH(QPoint, windowAt);
        QFETCH(QPoint, pointer);
        ShownForm shown(windowAt);
        TForm1& form = shown.form;
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QPushButton* const pushButton = button == 1 ? form.Button1 : form.Button2;
        QMenu* const menu = button == 1 ? form.PopupMenu1 : form.PopupMenu2;
        if (pointer.isNull())
            pointer = pushButton->mapToGlobal(pushButton->rect().center());
        QCursor::setPos(pointer);
        QVERIFY(!form.rect().contains(form.mapFromGlobal(pointer)) || how != u"alt"_s);

        QPoint openedAt;
        Script script;
        script.then(popup(menu), [&](QWidget* widget) {
            openedAt = widget->pos();
            press(Qt::Key_Escape)(widget);
        });
        form.ListBox2->setFocus(); // anywhere but the move history
        if (how == u"click"_s)
            QTest::mouseClick(pushButton, Qt::LeftButton);
        else if (how == u"alt"_s)
            QTest::keyClick(form.ListBox2, button == 1 ? Qt::Key_I : Qt::Key_S, Qt::AltModifier);
        else {
            pushButton->setFocus();
            QTest::keyClick(pushButton, Qt::Key_Space);
        }
        QTRY_VERIFY(script.done()); // the access key clicks the button after a short delay
        QVERIFY(!script.gaveUp());
        QCOMPARE(openedAt, pointer);
        // Offscreen, the window is not made active again after a popup: ask the window.
        QTRY_COMPARE(form.focusWidget(), form.Edit1);
        // No choice was made: nothing ran.
        QTest::qWait(20);
        QVERIFY(recorder_.urls.isEmpty());
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(form.ListBox1Items.items(), defaultGestures(form));
        QVERIFY(form.Runeclasporiginal1->isChecked());
    }

    // Every link item, chosen by its access keys in the open menu, gives its address to the
    // desktop's "open" action once, after the button's handler has returned, and nothing else
    // follows whatever the action does.
    void linkItemOpensItsAddress_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QUrl>("address");
        QTest::newRow("EncyclopediaArticle1")
            << u"RW"_s << QUrl(u"https://loreweave.example/wiki/Palmoria"_s);
        QTest::newRow("OfficialRules1")
            << u"RE"_s << QUrl(u"https://rulescrypt.example/palmoria/rules-en.html"_s);
        QTest::newRow("RulesTranslatedinSpanish1")
            << u"RS"_s << QUrl(u"https://corvaran.example/palmoria/reglas.html"_s);
        QTest::newRow("SpelllistItalian1")
            << u"RI"_s << QUrl(u"https://tavolieri.example/varnhollow/palmoria-incantesimi"_s);
        QTest::newRow("PlayOnlineforfree1") << u"RP"_s << QUrl(u"https://duelhall.example/"_s);
        QTest::newRow("AuthorHomepage1") << u"TH"_s << QUrl(u"https://quorvane.example/"_s);
        QTest::newRow("Contacttheauthor1") << u"TC"_s << QUrl(u"https://varnhollow.example/"_s);
    }
    void linkItemOpensItsAddress() {
        QFETCH(QString, keys);
        QFETCH(QUrl, address);
        ShownForm shown;
        TForm1& form = shown.form;
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QVERIFY(address.isValid());
        QCOMPARE(address.scheme(), u"https"_s);

        bool calledInsideTheMenu = true;
        Script script;
        script.then(popup(form.PopupMenu1), press(Qt::Key(keys.at(0).unicode())))
            .then(popup(keys.at(0) == u'R' ? form.Information1 : form.Quorvane1),
                  [&](QWidget* submenu) {
                      press(Qt::Key(keys.at(1).unicode()))(submenu);
                      calledInsideTheMenu = !recorder_.urls.isEmpty();
                  });
        QCursor::setPos(form.Button1->mapToGlobal(form.Button1->rect().center()));
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QVERIFY(script.done());
        QVERIFY(!calledInsideTheMenu);
        QTRY_COMPARE(recorder_.urls, QList<QUrl>{address});
        QTest::qWait(20);
        QCOMPARE(recorder_.urls.size(), 1);
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(form.focusWidget(), form.Edit1);
    }

    // ---- The About box ----

    // Chosen by T then A in the information menu: the box captioned with the title, no icon,
    // one OK button that is both default and escape, centred on the screen (the window is
    // not), the About text; Ctrl+C copies the box between dividers.
    void aboutBoxFromTheMenu() {
        ShownForm shown({0, 0});
        TForm1& form = shown.form;
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QApplication::clipboard()->clear();

        QString title, text, copied;
        QMessageBox::Icon icon = QMessageBox::Warning;
        bool iconPixmapNull = false;
        QStringList buttons;
        bool okIsDefault = false, okIsEscape = false;
        QPoint centre;
        bool modalOverTheWindow = false;
        Script script;
        script.then(popup(form.PopupMenu1), press(Qt::Key_T))
            .then(popup(form.Quorvane1), press(Qt::Key_A))
            .then(modal<AboutBox>(), [&](QWidget* widget) {
                auto* box = static_cast<AboutBox*>(widget);
                title = box->windowTitle();
                text = box->text();
                icon = box->icon();
                iconPixmapNull = box->iconPixmap().isNull();
                for (QAbstractButton* b : box->buttons())
                    buttons << b->text();
                okIsDefault = box->defaultButton() == box->button(QMessageBox::Ok);
                okIsEscape = box->escapeButton() == box->button(QMessageBox::Ok);
                centre = box->frameGeometry().center();
                modalOverTheWindow = box->isModal() && box->parentWidget() == &form;
                press(Qt::Key_C, Qt::ControlModifier)(box);
                copied = QApplication::clipboard()->text();
                press(Qt::Key_Return)(box);
            });
        QCursor::setPos(form.Button1->mapToGlobal(form.Button1->rect().center()));
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QTRY_VERIFY(script.done());
        QVERIFY(!script.gaveUp());

        const QString aboutText =
            u"Quorvane 1.0\n"
            u"A combo assistant for Runeclasp (a.k.a. Palmoria).\n\n"
            u"Type the gestures made so far and see which spells they can still become.\n\n"
            u"Written by Varnhollow - varnhollow@quorvane.example"_s;
        QCOMPARE(title, u"Quorvane"_s);
        QCOMPARE(text, aboutText);
        QCOMPARE(icon, QMessageBox::NoIcon);
        QVERIFY(iconPixmapNull);
        QCOMPARE(buttons, QStringList{u"OK"_s});
        QVERIFY(okIsDefault);
        QVERIFY(okIsEscape);
        QVERIFY(modalOverTheWindow);
        const QPoint screenCentre = form.screen()->geometry().center();
        QVERIFY2((centre - screenCentre).manhattanLength() <= 2,
                 qPrintable(u"box centre %1,%2, screen centre %3,%4"_s.arg(centre.x())
                                .arg(centre.y())
                                .arg(screenCentre.x())
                                .arg(screenCentre.y())));
        QVERIFY((form.frameGeometry().center() - screenCentre).manhattanLength() >
                20); // it is told apart

        const QString divider = QString(27, u'-') + u"\r\n"_s;
        QCOMPARE(copied, divider + u"Quorvane\r\n"_s + divider + aboutText + u"\r\n"_s + divider +
                             u"OK   \r\n"_s + divider);
    }

    void aboutBoxCloses_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Enter") << u"enter"_s;
        QTest::newRow("Esc") << u"esc"_s;
        QTest::newRow("close button") << u"close"_s;
    }
    void aboutBoxCloses() {
        QFETCH(QString, how);
        ShownForm shown;
        TForm1& form = shown.form;
        QVERIFY(QTest::qWaitForWindowActive(&form));
        Script script;
        script.then(modal<AboutBox>(), [how](QWidget* box) {
            if (how == u"enter"_s)
                press(Qt::Key_Return)(box);
            else if (how == u"esc"_s)
                press(Qt::Key_Escape)(box);
            else
                box->close();
        });
        form.guarded([&form] { form.About1Click(); }); // returns when the box has closed
        QVERIFY(script.done());
        QVERIFY(!QApplication::activeModalWidget());
    }

    // ---- Loading a list from a file ----

    // A load replaces one list with the file's lines and marks the custom spellbook; the other
    // list, the move history and the combos stay (the combos are not recomputed).
    void loadFillsOneList_data() {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("gestures, CR LF")
            << Command::Gestures << "DFW\r\nSD\r\n"_ba << QStringList{u"DFW"_s, u"SD"_s};
        QTest::newRow("gestures, blank and lower case kept")
            << Command::Gestures << " sd\nwws"_ba << QStringList{u" sd"_s, u"wws"_s};
        QTest::newRow("names, LF LF, no final break")
            << Command::Names << "A\n\nB"_ba << QStringList{u"A"_s, QString(), u"B"_s};
        QTest::newRow("names, zero byte ends the text")
            << Command::Names << QByteArray("A\r\nB\0C", 6) << QStringList{u"A"_s, u"B"_s};
        QTest::newRow("names, empty file") << Command::Names << QByteArray() << QStringList{};
    }
    void loadFillsOneList() {
        QFETCH(Command, command);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, items);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"spellbook.txt"_s);
        writeFile(path, bytes);
        ShownForm shown;
        TForm1& form = shown.form;
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClicks(form.Edit1, u"df"_s);
        const QString combos = form.RichEdit1Text.text();
        QVERIFY(!combos.isEmpty());
        const Command other = command == Command::Gestures ? Command::Names : Command::Gestures;
        const QStringList otherItems = listOf(form, other);
        form.ListBox1Items.setSelectedRow(3);
        form.ListBox1->syncSelection();
        form.ListBox2Items.setSelectedRow(3);
        form.ListBox2->syncSelection();

        load(form, command, path);

        QCOMPARE(listOf(form, command), items);
        const ListBoxAccess loaded(form, command);
        QCOMPARE(loaded.model->selectedRow(), -1);
        QCOMPARE(loaded.view->model()->rowCount(), items.size()); // the view shows the new items
        QCOMPARE(listOf(form, other), otherItems);
        QCOMPARE(ListBoxAccess(form, other).model->selectedRow(), 3);
        QVERIFY(!form.Runeclasporiginal1->isChecked());
        QVERIFY(form.Loadfromtextfile2->menuAction()->isChecked());
        QCOMPARE(form.Edit1->text(), u"DF"_s);
        QCOMPARE(form.RichEdit1Text.text(), combos);
    }

    // Esc in the dialog changes nothing, at start and after a custom load.
    void cancelChangesNothing_data() {
        QTest::addColumn<Command>("command");
        QTest::addColumn<bool>("afterALoad");
        QTest::newRow("gestures, default spellbook") << Command::Gestures << false;
        QTest::newRow("names, default spellbook") << Command::Names << false;
        QTest::newRow("gestures, after a custom load") << Command::Gestures << true;
        QTest::newRow("names, after a custom load") << Command::Names << true;
    }
    void cancelChangesNothing() {
        QFETCH(Command, command);
        QFETCH(bool, afterALoad);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ShownForm shown;
        TForm1& form = shown.form;
        QVERIFY(QTest::qWaitForWindowActive(&form));
        if (afterALoad) {
            const QString path = dir.filePath(u"custom.txt"_s);
            writeFile(path, "DFW\nSD\n"_ba);
            load(form, command, path);
        }
        const QStringList gestures = form.ListBox1Items.items(), names = form.ListBox2Items.items();
        const bool defaultChecked = form.Runeclasporiginal1->isChecked();
        QCOMPARE(defaultChecked, !afterALoad);

        Script script;
        script.then(modal<QFileDialog>(), press(Qt::Key_Escape));
        startLoad(form, script, command);

        QCOMPARE(form.ListBox1Items.items(), gestures);
        QCOMPARE(form.ListBox2Items.items(), names);
        QCOMPARE(form.Runeclasporiginal1->isChecked(), defaultChecked);
        QCOMPARE(form.Loadfromtextfile2->menuAction()->isChecked(), !defaultChecked);
    }

    // A chosen file that cannot be opened or read gives the error box with the full name and the
    // system's reason; the list, its selected row and the marks stay.
    void fileThatCannotBeOpened_data() {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("gestures, no read permission")
            << Command::Gestures << u"unreadable"_s << reason(EACCES);
        QTest::newRow("names, removed after it was chosen")
            << Command::Names << u"removed"_s << reason(ENOENT);
        QTest::newRow("gestures, a folder by the time it is read")
            << Command::Gestures << u"folder"_s << reason(EISDIR);
        QTest::newRow("names, a named pipe without a writer")
            << Command::Names << u"pipe"_s << u"Not a regular file"_s;
        QTest::newRow("gestures, a socket") << Command::Gestures << u"socket"_s << reason(ENXIO);
    }
    void fileThatCannotBeOpened() {
        QFETCH(Command, command);
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        if (kind == u"unreadable"_s && ::geteuid() == 0)
            QSKIP("Running as root: a missing read permission does not stop reading");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"chosen"_s);
        int socketFd = -1;
        if (kind == u"pipe"_s) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == u"socket"_s) {
            socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            QVERIFY(socketFd >= 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            const QByteArray name = QFile::encodeName(path);
            QVERIFY(size_t(name.size()) < sizeof address.sun_path);
            std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
            QCOMPARE(::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        } else {
            writeFile(path, "DFW\nSD\n"_ba);
            if (kind == u"unreadable"_s)
                QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        }
        const auto closeSocket = qScopeGuard([socketFd] {
            if (socketFd >= 0)
                ::close(socketFd);
        });

        ShownForm shown;
        TForm1& form = shown.form;
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.ListBox1Items.setSelectedRow(5);
        form.ListBox1->syncSelection();
        form.ListBox2Items.setSelectedRow(5);
        form.ListBox2->syncSelection();

        QString boxTitle, boxText;
        QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
        Script script;
        script
            .then(modal<QFileDialog>(),
                  [&](QWidget* dialog) {
                      // What happens between the choice and the reading: the file goes, or a
                      // folder takes its place.
                      if (kind == u"removed"_s || kind == u"folder"_s)
                          QObject::connect(
                              static_cast<QFileDialog*>(dialog), &QFileDialog::fileSelected, dialog,
                              [path, kind] {
                                  QFile::remove(path);
                                  if (kind == u"folder"_s)
                                      QDir().mkdir(path);
                              },
                              Qt::SingleShotConnection);
                      typeFileName(dialog, path);
                  })
            .then(modal<QMessageBox>(), [&](QWidget* widget) {
                auto* box = static_cast<QMessageBox*>(widget);
                boxTitle = box->windowTitle();
                boxText = box->text();
                boxIcon = box->icon();
                press(Qt::Key_Return)(box);
            });
        startLoad(form, script, command);

        QCOMPARE(boxTitle, u"Quorvane"_s);
        QCOMPARE(boxIcon, QMessageBox::Critical);
        QCOMPARE(boxText, u"Cannot open file \"%1\". %2."_s.arg(path, reason));
        QCOMPARE(form.ListBox1Items.items(), defaultGestures(form));
        QCOMPARE(form.ListBox2Items.items(), defaultNames(form));
        QCOMPARE(form.ListBox1Items.selectedRow(), 5);
        QCOMPARE(form.ListBox2Items.selectedRow(), 5);
        QVERIFY(form.Runeclasporiginal1->isChecked());
        QVERIFY(!form.Loadfromtextfile2->menuAction()->isChecked());
    }

    // The dialog itself refuses a folder (it opens it instead) and a name that does not exist
    // (with its own message box, and stays open); Esc then leaves everything as it was.
    void dialogAcceptsOnlyExistingFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << u"folder"_s;
        QTest::newRow("missing file") << u"missing"_s;
    }
    void dialogAcceptsOnlyExistingFiles() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString folder = dir.filePath(u"folder"_s);
        QVERIFY(QDir().mkdir(folder));
        const QString typed = kind == u"folder"_s ? folder : dir.filePath(u"missing.txt"_s);
        ShownForm shown;
        TForm1& form = shown.form;
        QVERIFY(QTest::qWaitForWindowActive(&form));

        bool stillOpen = false;
        QString directoryAfter, message;
        Script script;
        script.then(modal<QFileDialog>(), [&](QWidget* dialog) {
            typeFileName(dialog, typed); // the dialog's own message box, if any, opens in here
            stillOpen = dialog->isVisible() && QApplication::activeModalWidget() == dialog;
            directoryAfter = static_cast<QFileDialog*>(dialog)->directory().absolutePath();
            press(Qt::Key_Escape)(dialog);
        });
        if (kind == u"missing"_s)
            script.then(
                []() -> QWidget* {
                    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                    return box && qobject_cast<QFileDialog*>(box->parentWidget()) ? box : nullptr;
                },
                [&message](QWidget* box) {
                    message = static_cast<QMessageBox*>(box)->text();
                    press(Qt::Key_Return)(box);
                });
        startLoad(form, script, Command::Gestures);

        QVERIFY(stillOpen);
        if (kind == u"folder"_s) {
            QCOMPARE(directoryAfter, QDir(folder).absolutePath());
        } else {
            QVERIFY2(message.contains(u"missing.txt"_s), qPrintable(message));
        }
        QCOMPARE(form.ListBox1Items.items(), defaultGestures(form));
        QVERIFY(form.Runeclasporiginal1->isChecked());
        QVERIFY(!form.Loadfromtextfile2->menuAction()->isChecked());
    }

    // The dialog is made on first use, starts in the working folder, chooses one existing file
    // of any name, and is shared by both commands, which start from the last file chosen.
    void dialogStartsInTheWorkingFolderAndRemembersTheLastFile() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString working = QDir(dir.path()).canonicalPath();
        QVERIFY(QDir(working).mkdir(u"one"_s));
        QVERIFY(QDir(working).mkdir(u"two"_s));
        const QString first = working + u"/one/gestures.any"_s;
        const QString second = working + u"/two/names"_s;
        writeFile(first, "DFW\nSD\n"_ba);
        writeFile(second, "Cure Light Wounds\nMagic Missile\n"_ba);
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(working));
        const auto restore = qScopeGuard([before] { QDir::setCurrent(before); });

        ShownForm shown;
        TForm1& form = shown.form;
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QVERIFY(!form.OpenDialog1);

        struct Seen {
            QString directory, name;
        };
        QList<Seen> seen;
        const auto look = [&seen](QWidget* widget) {
            auto* dialog = static_cast<QFileDialog*>(widget);
            seen << Seen{dialog->directory().absolutePath(), fileNameEdit(dialog)->text()};
        };
        QFileDialog* shared = nullptr;

        // Gestures: from the working folder, choose one/gestures.any.
        {
            Script script;
            script.then(modal<QFileDialog>(), [&](QWidget* dialog) {
                look(dialog);
                shared = static_cast<QFileDialog*>(dialog);
                choose(first)(dialog);
            });
            startLoad(form, script, Command::Gestures);
        }
        QCOMPARE(form.OpenDialog1, shared);
        QCOMPARE(shared->fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(shared->acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(form.ListBox1Items.items(), (QStringList{u"DFW"_s, u"SD"_s}));
        // Names: starts with that file; choose two/names.
        {
            Script script;
            script.then(modal<QFileDialog>(), [&](QWidget* dialog) {
                look(dialog);
                choose(second)(dialog);
            });
            startLoad(form, script, Command::Names);
        }
        QCOMPARE(form.ListBox2Items.items(),
                 (QStringList{u"Cure Light Wounds"_s, u"Magic Missile"_s}));
        // Gestures again: starts with two/names; Enter takes it.
        {
            Script script;
            script.then(modal<QFileDialog>(), [&](QWidget* dialog) {
                look(dialog);
                press(Qt::Key_Return)(dialog);
            });
            startLoad(form, script, Command::Gestures);
        }
        QCOMPARE(form.OpenDialog1, shared);
        QCOMPARE(form.ListBox1Items.items(),
                 (QStringList{u"Cure Light Wounds"_s, u"Magic Missile"_s}));

        QCOMPARE(seen.size(), 3);
        QCOMPARE(seen[0].directory, working);
        QCOMPARE(seen[0].name, QString());
        QCOMPARE(seen[1].directory, working + u"/one"_s);
        QCOMPARE(seen[1].name, u"gestures.any"_s);
        QCOMPARE(seen[2].directory, working + u"/two"_s);
        QCOMPARE(seen[2].name, u"names"_s);
    }

    // A cancelled visit, in which the user went to another folder and typed a name, is not
    // remembered: the next time the dialog starts again from the last chosen file, or from the
    // working folder with no name when none was chosen yet.
    void cancelledVisitIsForgotten_data() {
        QTest::addColumn<bool>("chosenBefore");
        QTest::newRow("after a choice") << true;
        QTest::newRow("before any choice") << false;
    }
    void cancelledVisitIsForgotten() {
        QFETCH(bool, chosenBefore);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString working = QDir(dir.path()).canonicalPath();
        QVERIFY(QDir(working).mkdir(u"one"_s));
        QVERIFY(QDir(working).mkdir(u"elsewhere"_s));
        const QString chosen = working + u"/one/chosen.txt"_s;
        writeFile(chosen, "DFW\n"_ba);
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(working));
        const auto restore = qScopeGuard([before] { QDir::setCurrent(before); });
        ShownForm shown;
        TForm1& form = shown.form;
        QVERIFY(QTest::qWaitForWindowActive(&form));
        if (chosenBefore)
            load(form, Command::Gestures, chosen);

        {
            Script script;
            script.then(modal<QFileDialog>(), [&](QWidget* dialog) {
                typeFileName(dialog, working + u"/elsewhere"_s); // opens that folder
                QTest::keyClicks(fileNameEdit(dialog), u"stray.txt"_s);
                press(Qt::Key_Escape)(dialog);
            });
            startLoad(form, script, Command::Names);
        }
        QString directory, name;
        {
            Script script;
            script.then(modal<QFileDialog>(), [&](QWidget* widget) {
                auto* dialog = static_cast<QFileDialog*>(widget);
                directory = dialog->directory().absolutePath();
                name = fileNameEdit(dialog)->text();
                press(Qt::Key_Escape)(dialog);
            });
            startLoad(form, script, Command::Gestures);
        }
        QCOMPARE(directory, chosenBefore ? working + u"/one"_s : working);
        QCOMPARE(name, chosenBefore ? u"chosen.txt"_s : QString());
        QCOMPARE(form.ListBox2Items.items(), defaultNames(form));
    }

    // After both lists came from files, "&Runeclasp [Default]" chosen by its access key gives
    // back both default lists and the marks (test_window covers the marks on hand-set lists).
    void restoringAfterLoadingBothLists() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString gestures = dir.filePath(u"g.txt"_s), names = dir.filePath(u"n.txt"_s);
        writeFile(gestures, "DFW\nSD\nP\n"_ba);
        writeFile(names, "Cure Light Wounds\n"_ba);
        ShownForm shown;
        TForm1& form = shown.form;
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.SpeedButton1->click(); // Italian: restoring still gives English names
        load(form, Command::Gestures, gestures);
        load(form, Command::Names, names);
        QCOMPARE(form.ListBox1Items.count(), 3);
        QCOMPARE(form.ListBox2Items.count(), 1);

        Script script;
        script.then(popup(form.PopupMenu2), press(Qt::Key_R));
        QCursor::setPos(form.Button2->mapToGlobal(form.Button2->rect().center()));
        QTest::mouseClick(form.Button2, Qt::LeftButton);
        QVERIFY(script.done());
        QTRY_COMPARE(form.ListBox1Items.items(), defaultGestures(form));
        QCOMPARE(form.ListBox2Items.items(), defaultNames(form));
        QCOMPARE(form.ListBox1->model()->rowCount(), 44);
        QCOMPARE(form.ListBox2->model()->rowCount(), 44);
        QVERIFY(form.Runeclasporiginal1->isChecked());
        QVERIFY(!form.Loadfromtextfile2->menuAction()->isChecked());
        QCOMPARE(form.referenceLanguage(), quorvane::spellbook::Language::Italian);
    }

private:
    struct ListBoxAccess {
        ListBoxAccess(TForm1& form, Command command)
            : model(command == Command::Gestures ? &form.ListBox1Items : &form.ListBox2Items),
              view(command == Command::Gestures ? form.ListBox1 : form.ListBox2) {}
        quorvane::ListModel* model;
        quorvane::ListBoxView* view;
    };
};

QTEST_MAIN(WindowMenusTest)
#include "test_window_menus.moc"
