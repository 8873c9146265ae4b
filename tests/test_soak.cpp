// A long session through the window on the offscreen platform: seeded random typing,
// backspaces, clicks, double clicks and other presses on the list rows, arrow keys in the
// lists, scrolling, the flag buttons, pointer moves over the controls, and the spellbook menu
// with its file dialog loading small custom files, some of which make the combo search or the
// lookup fail. Every menu, dialog and error box is answered as soon as it is shown, and every
// error box is counted.
//
// A model of the window follows every event: the lists and their selected rows, the move
// history, the reference language and selection, the control with the hover frame, and the
// combos pane as the step-by-step oracle computes it, on copies of the lists, whenever the
// history is written (a failing search leaves what it had found). After every event the
// window must agree with the model, including the exact error boxes the event showed.
//
// QUORVANE_SOAK_SEED chooses the seed (a fixed one otherwise, so that every run of the suite
// replays the same session; printed either way, and with a failure) and QUORVANE_SOAK_EVENTS the
// number of events. The resident memory after the first 1,000 events and at the end is printed;
// from 2,000 events on, the end must be within 10 % of the early figure (not under
// AddressSanitizer, whose quarantine keeps freed memory).

#include "app/TForm1.h"
#include "oracle/ComboOracle.h"
#include "spellbook/SpellLookup.h"
#include "support/PlatformNotices.h"
#include "ui/EntryField.h"
#include "ui/Error.h"
#include "ui/ListBoxView.h"
#include "ui/TextPaneView.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmapCache>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace quorvane::testing;
using quorvane::Error;
using quorvane::ListBoxView;
using quorvane::ListModel;
using quorvane::TextPane;
using quorvane::app::TForm1;
using quorvane::spellbook::Language;

namespace {

constexpr int DefaultEvents = 4000;
constexpr quint64 DefaultSeed = 20240611;
constexpr int EarlyEvents = 1000;                     // when the early memory figure is taken
constexpr int EventsForMemoryLimit = 2 * EarlyEvents; // shorter sessions only print the figures
constexpr double MemoryGrowthLimit = 0.10;

// AddressSanitizer keeps freed memory in quarantine, so resident memory grows without a leak.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool AddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool AddressSanitizer = true;
#else
constexpr bool AddressSanitizer = false;
#endif
#else
constexpr bool AddressSanitizer = false;
#endif
constexpr int TrailLength = 12; // events shown with a failure
constexpr int CommandTimeoutMs = 10000;

// ---- The session's parameters ----

std::optional<quint64> environmentNumber(const char* name) {
    const QByteArray value = qgetenv(name);
    if (value.isEmpty())
        return std::nullopt;
    bool ok = false;
    const quint64 number = value.trimmed().toULongLong(&ok, 0);
    if (!ok)
        qFatal("%s must be a number, not \"%s\"", name, value.constData());
    return number;
}

long residentKilobytes() {
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').constFirst().toLong();
    }
    return -1;
}

// What the move-history field stores: every letter as its capital, one for one.
QString fieldText(QStringView text) {
    QString upper = text.toString();
    for (QChar& c : upper)
        c = c.toUpper();
    return upper;
}

QString outOfBounds(qsizetype index) {
    return u"List index out of bounds (%1)"_s.arg(index);
}

// ---- Custom spellbook files ----

// A file offered in the dialog and the items that loading it gives, or the error box that
// loading it shows.
struct SpellbookFile {
    QString path;
    QStringList items;
    QString error;
};

// Items from a small generator of its own, so the files do not depend on the seed.
QStringList generatedItems(int count, quint32 seed, bool gestures) {
    QRandomGenerator generator(seed);
    const QString letters = gestures ? u"DFPSWcdpswDFPSW"_s : u"abcdefghij klmnoprstuvw"_s;
    QStringList items;
    for (int i = 0; i < count; ++i) {
        QString item;
        const int length = 1 + int(generator.bounded(gestures ? 8 : 14));
        for (int k = 0; k < length; ++k)
            item += letters.at(int(generator.bounded(letters.size())));
        items << (gestures ? item : u"Spell "_s + item);
    }
    return items;
}

QByteArray joined(const QStringList& items, const QByteArray& breakBytes, bool finalBreak) {
    QByteArray bytes = items.join(QString::fromLatin1(breakBytes)).toLatin1();
    return finalBreak ? bytes + breakBytes : bytes;
}

// Gesture and name files of different lengths: shorter than the default spellbook, so that a
// name is missing for a matching row or a chosen row has no partner, and longer than 256
// rows; with every kind of line break, empty lines, lower case, a leading blank, a "[" in a
// name, a letter outside ASCII and a zero byte; an empty file; and a named pipe, which the
// dialog offers but which cannot be loaded.
std::vector<SpellbookFile> writeSpellbookFiles(const QTemporaryDir& dir) {
    std::vector<SpellbookFile> files;
    const auto add = [&](const QString& name, const QByteArray& bytes, const QStringList& items) {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        files.push_back({path, items, {}});
    };

    const QStringList shortGestures{u"DFW"_s, u"SD"_s,  u"SWD"_s, u"SW"_s,    u"PPws"_s,
                                    u""_s,    u"WWP"_s, u"p"_s,   u" cDPW"_s, u"?S"_s};
    add(u"gestures-10.txt"_s, joined(shortGestures, "\n", false), shortGestures);
    const QStringList longGestures = generatedItems(300, 7, true);
    add(u"gestures-300.txt"_s, joined(longGestures, "\r\n", true), longGestures);

    const QStringList shortNames{
        u"Cure Light Wounds"_s, u"Magic Missile"_s,   u"Fear"_s,       u"Fear"_s,
        u"Invisibility"_s,      u"Nothing [at all"_s, u"Protection"_s, u"surrender"_s,
        u"Relámpago"_s,         u"Missile"_s,         u"Shield"_s,     u""_s};
    add(u"names-12.txt"_s, joined(shortNames, "\r\n", true), shortNames);
    const QStringList longNames = generatedItems(320, 11, false);
    add(u"names-320.txt"_s, joined(longNames, "\r", false), longNames);

    add(u"empty.txt"_s, QByteArray(), {});
    // LF CR and CR CR LF each leave an empty item; the zero byte ends the text.
    add(u"breaks.txt"_s, QByteArray("SD\n\rWWS\r\r\nP") + '\0' + QByteArray("DFW\r\n"),
        {u"SD"_s, u""_s, u"WWS"_s, u""_s, u"P"_s});

    const QString pipe = dir.filePath(u"pipe"_s);
    if (::mkfifo(QFile::encodeName(pipe).constData(), 0600) != 0)
        qFatal("cannot make %s", qPrintable(pipe));
    files.push_back({pipe, {}, u"Cannot open file \"%1\". Not a regular file."_s.arg(pipe)});
    return files;
}

// ---- Answering menus, the file dialog and error boxes ----

enum class MenuChoice { Restore, LoadGestures, LoadNames, Dismiss };

// Answers, from the event loop of each, the spellbook menu and its submenu, the file dialog
// and every error box, as soon as they are shown; keeps the texts of the boxes. A window
// left open too long is closed and reported, so that a wrong answer cannot hang the session.
class Answerer : public QObject {
public:
    explicit Answerer(TForm1& form) : form_(form) {
        qApp->installEventFilter(this);
        connect(&watchdog_, &QTimer::timeout, this, &Answerer::watch);
        watchdog_.start(250);
    }
    ~Answerer() override { qApp->removeEventFilter(this); }

    // How the next menu and dialog are to be answered: with a choice in the menu, and for a
    // load, with a file, or with Esc when there is none.
    void plan(MenuChoice choice, std::optional<QString> file = std::nullopt) {
        choice_ = choice;
        file_ = std::move(file);
    }

    QStringList boxes;    // the error boxes answered, in order
    QStringList problems; // windows that had to be closed, answers that found nothing to do

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (auto* box = qobject_cast<QMessageBox*>(widget)) {
            later(box, [this, box] {
                boxes << box->text();
                box->accept();
            });
        } else if (widget == form_.PopupMenu2) {
            static constexpr std::array keys{Qt::Key_R, Qt::Key_C, Qt::Key_C, Qt::Key_Escape};
            const Qt::Key key = keys[std::size_t(choice_)];
            later(widget, [widget, key] { QTest::keyClick(widget, key); });
        } else if (widget == form_.Loadfromtextfile2) {
            const Qt::Key key = choice_ == MenuChoice::LoadGestures ? Qt::Key_G : Qt::Key_S;
            later(widget, [widget, key] { QTest::keyClick(widget, key); });
        } else if (auto* dialog = qobject_cast<QFileDialog*>(widget)) {
            later(dialog, [this, dialog, file = file_] { answer(dialog, file); });
        }
        return false;
    }

private:
    template <typename F> void later(QWidget* widget, F&& act) {
        QMetaObject::invokeMethod(widget, std::forward<F>(act), Qt::QueuedConnection);
    }

    // The name goes into the dialog's name field, and Enter accepts it as the Open button
    // would; Esc cancels.
    void answer(QFileDialog* dialog, const std::optional<QString>& file) {
        if (!file) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        auto* name = dialog->findChild<QLineEdit*>(u"fileNameEdit"_s);
        if (!name) {
            problems << u"the file dialog has no name field"_s;
            dialog->reject();
            return;
        }
        // The name field has the focus in an active dialog, as when the user types: only then
        // does a typed name replace the file that the dialog selected when it opened. The
        // offscreen platform does not make a new modal window active by itself.
        if (!dialog->isActiveWindow()) {
            dialog->activateWindow();
            if (!QTest::qWaitForWindowActive(dialog, CommandTimeoutMs))
                problems << u"the file dialog did not become active"_s;
        }
        name->setFocus();
        name->setText(*file);
        QTest::keyClick(name, Qt::Key_Return);
    }

    void watch() {
        QWidget* open = QApplication::activePopupWidget();
        if (!open)
            open = QApplication::activeModalWidget();
        if (open != lastOpen_) {
            lastOpen_ = open;
            openFor_.start();
            return;
        }
        if (open && openFor_.elapsed() > CommandTimeoutMs) {
            problems << u"closed %1 \"%2\" left open"_s.arg(
                QString::fromLatin1(open->metaObject()->className()), open->windowTitle());
            open->close();
        }
    }

    TForm1& form_;
    MenuChoice choice_ = MenuChoice::Dismiss;
    std::optional<QString> file_;
    QTimer watchdog_;
    QPointer<QWidget> lastOpen_;
    QElapsedTimer openFor_;
};

// ---- The model of the window ----

enum class Control { GestureList, NameList, Reference, History }; // the four with the hover frame

struct Model {
    ListModel gestures;
    ListModel names;
    QString history;
    TextPane combos;
    Language language = Language::English;
    qsizetype referenceStart = 0;
    qsizetype referenceLength = 0;
    Control hovered = Control::History;
    bool defaultChecked = true; // the check marks of "&Runeclasp [Default]" and "&Custom"
    bool customChecked = false;
    QStringList boxes; // the error boxes that the current event must show
    // How far the session went: recomputes, those that a missing name stopped, longest pane.
    int recomputes = 0;
    int failedRecomputes = 0;
    qsizetype longestPane = 0;

    ListModel& list(Control c) { return c == Control::GestureList ? gestures : names; }

    // Writing the move history recomputes the combos, from what the pane holds now.
    void writeHistory(const QString& text) {
        history = text;
        ++recomputes;
        try {
            quorvane::oracle::RecomputeCombos(history, gestures, names, combos);
        } catch (const Error& e) {
            boxes << e.message();
            ++failedRecomputes;
        }
        longestPane = std::max(longestPane, combos.lineCount());
    }

    // A left press on a row: that row in its list and in the other one, where it exists,
    // then the lookup.
    void pressRow(Control list, qsizetype row, const TextPane& reference) {
        ListModel& other =
            this->list(list == Control::GestureList ? Control::NameList : Control::GestureList);
        this->list(list).setSelectedRow(row);
        if (row < other.count())
            other.setSelectedRow(row);
        lookUp(reference);
    }

    void lookUp(const TextPane& reference) {
        if (gestures.selectedRow() < 0) {
            boxes << outOfBounds(-1);
            return;
        }
        const QString chosen = gestures.item(gestures.selectedRow());
        // The field holds capitals, so a gesture string with a lower-case letter is always
        // written again.
        if (chosen != history)
            writeHistory(fieldText(chosen));
        if (names.selectedRow() < 0) {
            boxes << outOfBounds(-1);
            return;
        }
        const QString name = names.item(names.selectedRow());
        const QString search = name + quorvane::spellbook::lookupSuffix(language).toString();
        const qsizetype at = reference.find(search, 0, reference.textLength());
        if (at >= 0) {
            referenceStart = at;
            referenceLength = name.size();
        }
    }
};

// ---- The events ----

enum class EventKind {
    Type,
    Backspace,
    ClickRow,
    DoubleClickRow,
    RightClickRow,
    MiddleClickRow,
    ArrowKey,
    Scroll,
    Flag,
    Hover,
    HoverElsewhere,
    Restore,
    LoadGestures,
    LoadNames,
    CancelLoad,
    DismissMenu,
    Count
};

constexpr std::array<const char*, std::size_t(EventKind::Count)> KindNames{
    "type",          "backspace",    "click",           "double click",
    "right click",   "middle click", "arrow key",       "scroll",
    "flag",          "hover",        "hover elsewhere", "restore default",
    "load gestures", "load names",   "cancel load",     "dismiss menu"};

// Relative frequencies: mostly typing and looking spells up, as a player would.
constexpr std::array<int, std::size_t(EventKind::Count)> KindWeights{
    340, 150, 90, 30, 40, 10, 25, 20, 30, 120, 30, 12, 16, 16, 3, 3};

const QString TypedMoves = u"DFPSWCXdfpswcx?*"_s;

class Session {
public:
    Session(TForm1& form, Answerer& answerer, std::vector<SpellbookFile> files, quint64 seed)
        : form_(form), answerer_(answerer), files_(std::move(files)),
          random_(quint32(seed ^ (seed >> 32))) {
        model_.gestures = form.ListBox6Original;
        model_.names = form.ListBox3;
        for (QAction* action : {form.Runeclasporiginal1, form.Loadfromtextfile1, form.LoadSpells1})
            QObject::connect(
                action, &QAction::triggered, &context_, [this] { ++commandsRun_; },
                Qt::QueuedConnection);
        for (int w : KindWeights)
            totalWeight_ += w;
    }

    // Runs one random event and checks the window against the model; an empty string when
    // they agree.
    QString step(int index) {
        const EventKind kind = chooseKind();
        ++kindCounts_[std::size_t(kind)];
        hoverEvent_ = false;
        QString what = QString::fromLatin1(KindNames[std::size_t(kind)]);
        QString problem = perform(kind, what);
        trail_[std::size_t(index % TrailLength)] = u"#%1 %2"_s.arg(index).arg(what);
        if (!problem.isEmpty())
            return problem;
        QCoreApplication::processEvents(); // paints and whatever else the event posted
        return check();
    }

    QString trail(int index) const {
        QStringList lines;
        for (int i = std::max(0, index - TrailLength + 1); i <= index; ++i)
            lines << u"  "_s + trail_[std::size_t(i % TrailLength)];
        return lines.join(u'\n');
    }

    QString statistics() const {
        QStringList parts;
        for (std::size_t k = 0; k < kindCounts_.size(); ++k)
            parts << u"%1 %2"_s.arg(QString::fromLatin1(KindNames[k])).arg(kindCounts_[k]);
        return parts.join(u", "_s) +
               u"; %1 recomputes, %2 stopped by a missing name, longest combos pane %3 lines"_s
                   .arg(model_.recomputes)
                   .arg(model_.failedRecomputes)
                   .arg(model_.longestPane);
    }

    int errorBoxes() const { return errorBoxes_; }

private:
    EventKind chooseKind() {
        int pick = int(random_.bounded(totalWeight_));
        for (std::size_t k = 0; k < KindWeights.size(); ++k) {
            if (pick < KindWeights[k])
                return EventKind(k);
            pick -= KindWeights[k];
        }
        return EventKind::Type;
    }

    ListBoxView* view(Control list) const {
        return list == Control::GestureList ? form_.ListBox1 : form_.ListBox2;
    }

    // A point in a list's viewport and the row there, if any: the lists of a custom spellbook
    // can leave blank room below their rows.
    std::pair<QPoint, qsizetype> pointInList(ListBoxView* list) {
        const QRect area = list->viewport()->rect();
        const QPoint at(area.left() + 1 + int(random_.bounded(std::max(1, area.width() - 2))),
                        area.top() + 1 + int(random_.bounded(std::max(1, area.height() - 2))));
        const QModelIndex index = list->indexAt(at);
        return {at, index.isValid() ? index.row() : -1};
    }

    QString perform(EventKind kind, QString& what) {
        switch (kind) {
        case EventKind::Type: {
            const QChar move = TypedMoves.at(int(random_.bounded(TypedMoves.size())));
            what += u" '"_s + move + u'\'';
            model_.writeHistory(model_.history + fieldText(QString(move)));
            QTest::keyClick(form_.Edit1, move.toLatin1());
            return {};
        }
        case EventKind::Backspace:
            if (!model_.history.isEmpty())
                model_.writeHistory(model_.history.chopped(1));
            QTest::keyClick(form_.Edit1, Qt::Key_Backspace);
            return {};
        case EventKind::ClickRow:
        case EventKind::DoubleClickRow:
        case EventKind::RightClickRow:
        case EventKind::MiddleClickRow:
            return pressList(kind, what);
        case EventKind::ArrowKey: {
            // Up or Down moves the selection one row, or selects the first row when there is
            // none; at either end it stays and nothing is looked up.
            const Control list = random_.bounded(2) ? Control::NameList : Control::GestureList;
            const bool down = random_.bounded(2);
            what += (list == Control::GestureList ? u" gestures "_s : u" names "_s) +
                    (down ? u"down"_s : u"up"_s);
            const ListModel& rows = model_.list(list);
            if (rows.count() > 0) {
                const qsizetype from = rows.selectedRow();
                const qsizetype to = from < 0 ? 0
                                     : down   ? std::min(from + 1, rows.count() - 1)
                                              : std::max<qsizetype>(from - 1, 0);
                if (to != from)
                    model_.pressRow(list, to, form_.RichEdit2Text);
            }
            QTest::keyClick(view(list), down ? Qt::Key_Down : Qt::Key_Up);
            return {};
        }
        case EventKind::Scroll: {
            const Control list = random_.bounded(2) ? Control::NameList : Control::GestureList;
            QScrollBar* bar = view(list)->verticalScrollBar();
            const int value =
                bar->minimum() + int(random_.bounded(bar->maximum() - bar->minimum() + 1));
            what += list == Control::GestureList ? u" gestures to "_s : u" names to "_s;
            what += QString::number(value);
            bar->setValue(value);
            return {};
        }
        case EventKind::Flag:
            return clickFlag(what);
        case EventKind::Hover:
            return hover(what);
        case EventKind::HoverElsewhere: {
            const std::array<QWidget*, 6> elsewhere{
                form_.RichEdit1->viewport(), form_.Button1, form_.Button2,
                form_.SpeedButton3,          form_.Label3,  &form_};
            QWidget* target = elsewhere[random_.bounded(quint32(elsewhere.size()))];
            what += u" over "_s + QString::fromLatin1(target->metaObject()->className());
            moveOver(target);
            return {};
        }
        case EventKind::Restore:
            model_.gestures = form_.ListBox6Original;
            model_.names = form_.ListBox3;
            model_.defaultChecked = true;
            model_.customChecked = false;
            return runMenu(MenuChoice::Restore, std::nullopt, true);
        case EventKind::LoadGestures:
        case EventKind::LoadNames: {
            const SpellbookFile& file = files_[random_.bounded(quint32(files_.size()))];
            what += u' ' + file.path.section(u'/', -1);
            if (file.error.isEmpty()) {
                ListModel& list = kind == EventKind::LoadGestures ? model_.gestures : model_.names;
                QString text;
                for (const QString& item : file.items)
                    text += item + u"\r\n"_s;
                list.setText(text);
                model_.defaultChecked = false;
                model_.customChecked = true;
            } else {
                model_.boxes << file.error;
            }
            return runMenu(kind == EventKind::LoadGestures ? MenuChoice::LoadGestures
                                                           : MenuChoice::LoadNames,
                           file.path, true);
        }
        case EventKind::CancelLoad:
            return runMenu(random_.bounded(2) ? MenuChoice::LoadGestures : MenuChoice::LoadNames,
                           std::nullopt, true);
        case EventKind::DismissMenu:
            return runMenu(MenuChoice::Dismiss, std::nullopt, false);
        case EventKind::Count:
            break;
        }
        return u"no such event"_s;
    }

    QString pressList(EventKind kind, QString& what) {
        const Control list = random_.bounded(2) ? Control::NameList : Control::GestureList;
        ListBoxView* const v = view(list);
        const auto [at, row] = pointInList(v);
        what += (list == Control::GestureList ? u" gesture row "_s : u" name row "_s) +
                QString::number(row);
        QWidget* const viewport = v->viewport();
        switch (kind) {
        case EventKind::ClickRow:
            if (row >= 0)
                model_.pressRow(list, row, form_.RichEdit2Text);
            QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
            break;
        case EventKind::DoubleClickRow:
            // As the window system delivers it: press, release, press and double click,
            // release. Both presses choose the row; the double click looks up the selected
            // rows once more, also below the last row, where the presses chose nothing.
            if (row >= 0) {
                model_.pressRow(list, row, form_.RichEdit2Text);
                model_.pressRow(list, row, form_.RichEdit2Text);
            }
            model_.lookUp(form_.RichEdit2Text);
            QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
            QTest::mousePress(viewport, Qt::LeftButton, {}, at);
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
            break;
        case EventKind::RightClickRow:
            // The right button looks up the rows already selected, wherever it is pressed.
            model_.lookUp(form_.RichEdit2Text);
            QTest::mouseClick(viewport, Qt::RightButton, {}, at);
            break;
        default:
            QTest::mouseClick(viewport, Qt::MiddleButton, {}, at);
            break;
        }
        return {};
    }

    QString clickFlag(QString& what) {
        const int flag = int(random_.bounded(3));
        const std::array<QToolButton*, 3> buttons{form_.SpeedButton2, form_.SpeedButton1,
                                                  form_.SpeedButton3};
        const std::array<const ListModel*, 3> stores{&form_.ListBox3, &form_.ListBox4,
                                                     &form_.ListBox5};
        const std::array<const TextPane*, 3> references{&form_.RichEdit3, &form_.RichEdit4,
                                                        &form_.RichEdit5};
        static constexpr std::array<const char*, 3> languages{" English", " Italian", " Spanish"};
        what += QString::fromLatin1(languages[std::size_t(flag)]);
        model_.language = Language(flag);
        model_.names = *stores[std::size_t(flag)];
        QTest::mouseClick(buttons[std::size_t(flag)], Qt::LeftButton);
        if (form_.RichEdit2Text.text() != references[std::size_t(flag)]->text())
            return u"the reference pane does not hold the%1 reference"_s.arg(
                QString::fromLatin1(languages[std::size_t(flag)]));
        // Where the new text leaves the selection is the pane's own business.
        model_.referenceStart = form_.RichEdit2Text.selectionStart();
        model_.referenceLength = form_.RichEdit2Text.selectionLength();
        return {};
    }

    // A pointer move as the window system delivers it to the widget under the pointer.
    void moveOver(QWidget* widget, std::optional<QPoint> at = std::nullopt) {
        const QRect area = widget->rect();
        const QPoint point = at ? *at
                                : QPoint(int(random_.bounded(std::max(1, area.width()))),
                                         int(random_.bounded(std::max(1, area.height()))));
        QMouseEvent move(QEvent::MouseMove, point, widget->mapToGlobal(point), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

    QString hover(QString& what) {
        const Control control = Control(random_.bounded(4));
        static constexpr std::array<const char*, 4> names{" gestures", " names", " reference",
                                                          " history"};
        what += QString::fromLatin1(names[std::size_t(control)]);
        model_.hovered = control;
        hoverEvent_ = true;
        if (control == Control::History) {
            // Inside the frame, over the text.
            const QRect inside = form_.Edit1->rect().adjusted(4, 4, -4, -4);
            moveOver(form_.Edit1, QPoint(inside.left() + int(random_.bounded(inside.width())),
                                         inside.top() + int(random_.bounded(inside.height()))));
        } else {
            moveOver(hoverWidget(control) == form_.RichEdit2 ? form_.RichEdit2->viewport()
                                                             : view(control)->viewport());
        }
        return {};
    }

    QWidget* hoverWidget(Control control) const {
        switch (control) {
        case Control::GestureList:
            return form_.ListBox1;
        case Control::NameList:
            return form_.ListBox2;
        case Control::Reference:
            return form_.RichEdit2;
        case Control::History:
            break;
        }
        return form_.Edit1;
    }

    // Opens the spellbook menu from its button; the answerer chooses in it and in the file
    // dialog. A chosen command runs once the button's handler has returned.
    QString runMenu(MenuChoice choice, std::optional<QString> file, bool runsCommand) {
        answerer_.plan(choice, std::move(file));
        const int before = commandsRun_;
        QTest::mouseClick(form_.Button2, Qt::LeftButton);
        if (form_.focusWidget() != form_.Edit1)
            return u"the focus did not go back to the move history after the menu"_s;
        QElapsedTimer waited;
        waited.start();
        while (runsCommand && commandsRun_ == before) {
            if (waited.elapsed() > CommandTimeoutMs)
                return u"the chosen command did not run"_s;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return {};
    }

    // The first difference between the window and the model.
    QString check() {
        QString problem = compareBoxes();
        if (problem.isEmpty())
            problem = compareLists();
        if (problem.isEmpty())
            problem = compareHistoryAndCombos();
        if (problem.isEmpty())
            problem = compareReferenceAndHover();
        if (problem.isEmpty() &&
            (form_.Runeclasporiginal1->isChecked() != model_.defaultChecked ||
             form_.Loadfromtextfile2->menuAction()->isChecked() != model_.customChecked))
            problem = u"check marks: default %1, custom %2; expected %3, %4"_s
                          .arg(form_.Runeclasporiginal1->isChecked())
                          .arg(form_.Loadfromtextfile2->menuAction()->isChecked())
                          .arg(model_.defaultChecked)
                          .arg(model_.customChecked);
        return problem;
    }

    QString compareBoxes() {
        const QStringList shown = std::exchange(answerer_.boxes, {});
        const QStringList expected = std::exchange(model_.boxes, {});
        errorBoxes_ += int(shown.size());
        if (!answerer_.problems.isEmpty())
            return answerer_.problems.join(u"; "_s);
        if (shown != expected)
            return u"error boxes: expected {%1}, shown {%2}"_s.arg(expected.join(u" | "_s),
                                                                   shown.join(u" | "_s));
        return {};
    }

    QString compareList(const char* name, const ListModel& expected, const ListModel& actual,
                        ListBoxView* v) const {
        if (actual.items() != expected.items())
            return u"%1: %2 items, expected %3 (first %4, expected %5)"_s
                .arg(QString::fromLatin1(name))
                .arg(actual.count())
                .arg(expected.count())
                .arg(actual.count() ? actual.items().constFirst() : u"none"_s,
                     expected.count() ? expected.items().constFirst() : u"none"_s);
        if (actual.selectedRow() != expected.selectedRow())
            return u"%1: row %2 selected, expected %3"_s.arg(QString::fromLatin1(name))
                .arg(actual.selectedRow())
                .arg(expected.selectedRow());
        // The view shows the list as it is.
        if (v->model()->rowCount() != actual.count())
            return u"%1: the view shows %2 rows of %3"_s.arg(QString::fromLatin1(name))
                .arg(v->model()->rowCount())
                .arg(actual.count());
        const QModelIndexList selected = v->selectionModel()->selectedRows();
        const qsizetype shownRow = selected.isEmpty() ? -1 : selected.constFirst().row();
        if (shownRow != actual.selectedRow())
            return u"%1: the view shows row %2 selected, the list has %3"_s
                .arg(QString::fromLatin1(name))
                .arg(shownRow)
                .arg(actual.selectedRow());
        return {};
    }

    QString compareLists() const {
        QString problem =
            compareList("gesture list", model_.gestures, form_.ListBox1Items, form_.ListBox1);
        if (problem.isEmpty())
            problem = compareList("name list", model_.names, form_.ListBox2Items, form_.ListBox2);
        return problem;
    }

    QString compareHistoryAndCombos() const {
        const QString text = form_.Edit1->text();
        if (text != fieldText(text))
            return u"the move history \"%1\" holds a lower-case letter"_s.arg(text);
        if (text != model_.history)
            return u"the move history is \"%1\", expected \"%2\""_s.arg(text, model_.history);
        const QString difference =
            quorvane::oracle::paneDifference(model_.combos, form_.RichEdit1Text);
        if (!difference.isEmpty())
            return u"combos pane for \"%1\": %2\nexpected:\n%3shown:\n%4"_s.arg(
                model_.history, difference, quorvane::oracle::describePane(model_.combos),
                quorvane::oracle::describePane(form_.RichEdit1Text));
        return {};
    }

    QString compareReferenceAndHover() const {
        if (form_.referenceLanguage() != model_.language)
            return u"reference language %1, expected %2"_s.arg(int(form_.referenceLanguage()))
                .arg(int(model_.language));
        if (form_.RichEdit2Text.selectionStart() != model_.referenceStart ||
            form_.RichEdit2Text.selectionLength() != model_.referenceLength)
            return u"reference selection (%1, %2), expected (%3, %4)"_s
                .arg(form_.RichEdit2Text.selectionStart())
                .arg(form_.RichEdit2Text.selectionLength())
                .arg(model_.referenceStart)
                .arg(model_.referenceLength);
        const std::array<bool, 4> frames{form_.ListBox1->hoverFrame(), form_.ListBox2->hoverFrame(),
                                         form_.RichEdit2->hoverFrame(), form_.Edit1->hoverFrame()};
        if (std::count(frames.begin(), frames.end(), true) != 1)
            return u"%1 controls have the hover frame"_s.arg(
                std::count(frames.begin(), frames.end(), true));
        if (!frames[std::size_t(model_.hovered)])
            return u"the hover frame is not on control %1"_s.arg(int(model_.hovered));
        if (hoverEvent_ && form_.focusWidget() != hoverWidget(model_.hovered))
            return u"the hovered control %1 does not have the focus"_s.arg(int(model_.hovered));
        return {};
    }

    TForm1& form_;
    Answerer& answerer_;
    QObject context_; // of the connections that see a chosen command run
    std::vector<SpellbookFile> files_;
    QRandomGenerator random_;
    Model model_;
    int totalWeight_ = 0;
    int commandsRun_ = 0;
    int errorBoxes_ = 0;
    bool hoverEvent_ = false;
    std::array<int, std::size_t(EventKind::Count)> kindCounts_{};
    std::array<QString, TrailLength> trail_;
};

} // namespace

class SoakTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { testMessageHandler = qInstallMessageHandler(dropPlatformNotices); }
    void cleanupTestCase() { qInstallMessageHandler(testMessageHandler); }

    void longSessionKeepsTheWindowConsistent() {
        const quint64 seed = environmentNumber("QUORVANE_SOAK_SEED").value_or(DefaultSeed);
        const int events = int(environmentNumber("QUORVANE_SOAK_EVENTS").value_or(DefaultEvents));
        qInfo("soak: seed %llu (QUORVANE_SOAK_SEED), %d events (QUORVANE_SOAK_EVENTS)", seed,
              events);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        std::vector<SpellbookFile> files = writeSpellbookFiles(dir);

        // Qt's pixmap cache takes up to 10 MB by design, and the style adds new entries to it
        // on every popup of the menu and every opening of the file dialog; filling it would
        // hide the program's own figures.
        QPixmapCache::setCacheLimit(0);

        TForm1 form(u"Quorvane"_s);
        form.FormCreate();
        form.move(120, 80); // away from the pointer, where the menus open
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));

        Answerer answerer(form);
        Session session(form, answerer, std::move(files), seed);
        QElapsedTimer clock;
        clock.start();
        long earlyKilobytes = -1;
        for (int i = 0; i < events; ++i) {
            const QString problem = session.step(i);
            if (!problem.isEmpty())
                QFAIL(qPrintable(u"seed %1, event #%2: %3\nlast events:\n%4"_s.arg(seed).arg(i).arg(
                    problem, session.trail(i))));
            if (i + 1 == EarlyEvents)
                earlyKilobytes = residentKilobytes();
        }
        const long endKilobytes = residentKilobytes();
        const double seconds = clock.elapsed() / 1000.0;
        qInfo("soak: %d events in %.1f s, %d error boxes", events, seconds, session.errorBoxes());
        qInfo("soak: %s", qPrintable(session.statistics()));
        if (earlyKilobytes <= 0) {
            qInfo("soak: resident memory at the end %ld kB", endKilobytes);
            return;
        }
        const double growth = double(endKilobytes - earlyKilobytes) / double(earlyKilobytes);
        qInfo("soak: resident memory after %d events %ld kB, at the end %ld kB (%+.1f %%)",
              EarlyEvents, earlyKilobytes, endKilobytes, 100.0 * growth);
        if (events >= EventsForMemoryLimit && !AddressSanitizer)
            QVERIFY2(growth <= MemoryGrowthLimit,
                     qPrintable(u"resident memory grew by %1 %"_s.arg(100.0 * growth, 0, 'f', 1)));
    }
};

QTEST_MAIN(SoakTest)
#include "test_soak.moc"
