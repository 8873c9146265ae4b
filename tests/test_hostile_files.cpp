// Files that are not what a spellbook list expects, chosen through the real load commands and
// the shared file dialog on the offscreen platform: binary and foreign-encoded text, very large
// files, devices, pipes, folders, links that go nowhere, and files that change between the
// choice and the reading. Each one either loads exactly as the splitting rule says or gives the
// "Cannot open file" box with nothing changed, and the window then still answers a keystroke
// with a recompute over whatever lists it holds.

#include "app/StartupRules.h"
#include "app/TForm1.h"
#include "combo/ComboEngine.h"
#include "support/DialogScript.h"
#include "support/PlatformNotices.h"
#include "ui/EntryField.h"
#include "ui/Error.h"
#include "ui/ListBoxView.h"
#include "ui/TextPane.h"
#include "ui/TextSplit.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace quorvane::testing;
using quorvane::app::TForm1;

namespace {

// Answers every error box that opens while it lives, keeping the last text, as a person
// would read it and press Enter.
class BoxAnswerer : public QObject {
public:
    BoxAnswerer() {
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || answering_)
                return;
            answering_ = true;
            QMetaObject::invokeMethod(
                this,
                [this, box = QPointer<QMessageBox>(box)] {
                    answering_ = false;
                    if (!box)
                        return;
                    text = box->text();
                    ++count;
                    box->accept();
                },
                Qt::QueuedConnection);
        });
        timer_.start(5);
    }
    QString text;
    int count = 0;

private:
    QTimer timer_;
    bool answering_ = false;
};

enum class Command { Gestures, Names };
// What happens to the chosen file after the dialog accepted it and before it is read.
enum class Swap { None, Remove, Folder, Pipe, Loop, ZeroDevice };
enum class Outcome { Loads, CannotOpen, DialogRefuses };

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Writes `total` bytes made of `unit` repeated, in large pieces.
bool writeRepeated(const QString& path, const QByteArray& unit, qint64 total) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray piece = unit.repeated(qMax<qsizetype>(1, (1 << 20) / unit.size()));
    qint64 left = total;
    while (left > 0) {
        const qint64 n = qMin<qint64>(left, piece.size());
        if (file.write(piece.constData(), n) != n)
            return false;
        left -= n;
    }
    return true;
}

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray link(const QString& target, const QString& at) {
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(at).constData()) == 0
               ? QByteArray()
               : QByteArray("symlink failed: ") + std::strerror(errno);
}

// For the large files: what the list must hold, without a second copy of the whole split.
struct Expectation {
    qsizetype count = 0;
    QList<std::pair<qsizetype, QString>> samples;
};

constexpr qint64 MiB = 1024 * 1024;

} // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Swap)
Q_DECLARE_METATYPE(Outcome)

class HostileFilesTest : public QObject {
    Q_OBJECT

    // The large files are made once for the whole run and go with the folder at its end.
    std::unique_ptr<QTemporaryDir> big_;
    QHash<QString, Expectation> bigExpectations_;

    // Opens the spellbook menu from its button and chooses the load command; the script
    // answers the dialog and what follows.
    static void startLoad(TForm1& form, Script& script, Command command) {
        Script startSteps;
        startSteps.then(popup(form.PopupMenu2), press(Qt::Key_C))
            .then(popup(form.Loadfromtextfile2),
                  press(command == Command::Gestures ? Qt::Key_G : Qt::Key_S));
        QCursor::setPos(form.Button2->mapToGlobal(form.Button2->rect().center()));
        QTest::mouseClick(form.Button2, Qt::LeftButton);
        QVERIFY(startSteps.done());
        QTRY_VERIFY_WITH_TIMEOUT(script.done(), 30000);
        QVERIFY(!script.gaveUp());
        QTRY_VERIFY(!QApplication::activeModalWidget());
    }

    static quorvane::ListModel& listOf(TForm1& form, Command command) {
        return command == Command::Gestures ? form.ListBox1Items : form.ListBox2Items;
    }

    // Makes the file of the row's kind at `path` (or says where it already is) and returns the
    // path to type; `bytes` gets the content when the exact split is to be compared.
    QString prepare(const QString& kind, const QString& path, QByteArray& bytes) {
        if (bigExpectations_.contains(kind))
            return big_->filePath(kind);
        if (kind == u"folder"_s || kind == u"pipe"_s || kind == u"loop"_s) {
            bool made = false;
            if (kind == u"folder"_s) // typed, the dialog would open it; it comes after the choice
                made = writeFile(path, "DFW\n"_ba);
            else if (kind == u"pipe"_s)
                made = ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
            else
                made = link(path + u"-b"_s, path).isEmpty() && link(path, path + u"-b"_s).isEmpty();
            return made ? path : QString();
        }
        if (kind == u"/dev/zero"_s || kind == u"/dev/urandom"_s)
            return link(kind, path).isEmpty() ? path : QString();
        // Linked from the temporary folder, so that the dialog never browses the process's
        // own folder.
        if (kind == u"/proc/self/mem"_s)
            return link(u"/proc/%1/mem"_s.arg(::getpid()), path).isEmpty() ? path : QString();
        if (kind == u"/dev/urandom typed"_s)
            return kind.section(u' ', 0, 0);
        if (kind == u"executable"_s) {
            QFile exe(QCoreApplication::applicationFilePath());
            if (!exe.open(QIODevice::ReadOnly))
                return {};
            bytes = exe.readAll();
        } else if (kind == u"png"_s) {
            QImage image(16, 16, QImage::Format_ARGB32);
            image.fill(QColor(200, 30, 90, 128));
            if (!image.save(path, "PNG"))
                return {};
            QFile png(path);
            if (!png.open(QIODevice::ReadOnly))
                return {};
            bytes = png.readAll();
            return path;
        } else if (kind == u"empty"_s) {
            bytes.clear();
        } else if (kind == u"utf16 with bom"_s) {
            bytes = "\xFF\xFE"_ba;
            const QString text = u"DFW\r\nSD\r\n"_s;
            bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        } else if (kind == u"utf16 without bom"_s) {
            const QString text = u"DFW\r\nSD\r\n"_s;
            bytes = QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        } else if (kind == u"utf8 with bom"_s) {
            bytes = "\xEF\xBB\xBF"_ba + u"Éclair de Varnhollow\r\nSoufflé\nÅngström\r"_s.toUtf8();
        } else if (kind == u"zero in first line"_s) {
            bytes = QByteArray("DF\0W\r\nSD\r\n", 10);
        } else if (kind == u"bytes 0 to 255"_s || kind == u"bytes 1 to 255 then 0"_s) {
            for (int b = 0; b < 256; ++b)
                bytes.append(char(b));
            if (kind == u"bytes 1 to 255 then 0"_s)
                bytes = bytes.mid(1) + bytes.first(1);
        }
        return writeFile(path, bytes) ? path : QString();
    }

    // The swap between the choice and the reading, done from the dialog's own signal.
    static void armSwap(QFileDialog* dialog, Swap swap, const QString& path) {
        if (swap == Swap::None)
            return;
        QObject::connect(
            dialog, &QFileDialog::fileSelected, dialog,
            [swap, path] {
                const QByteArray name = QFile::encodeName(path);
                QFile::remove(path);
                switch (swap) {
                case Swap::Folder:
                    QDir().mkdir(path);
                    break;
                case Swap::Pipe:
                    ::mkfifo(name.constData(), 0600);
                    break;
                case Swap::Loop:
                    (void)link(path + u"-b"_s, path);
                    (void)link(path, path + u"-b"_s);
                    break;
                case Swap::ZeroDevice:
                    (void)link(u"/dev/zero"_s, path);
                    break;
                case Swap::None:
                case Swap::Remove:
                    break;
                }
            },
            Qt::SingleShotConnection);
    }

private Q_SLOTS:
    void initTestCase() {
        testMessageHandler = qInstallMessageHandler(dropPlatformNotices);
        big_ = std::make_unique<QTemporaryDir>();
        QVERIFY(big_->isValid());

        // One line of 50 MiB with no break at all.
        const QByteArray unit = "DFPSW?"_ba;
        QVERIFY(writeRepeated(big_->filePath(u"one line of 50 MiB"_s), unit, 50 * MiB));
        {
            Expectation e;
            e.count = 1;
            bigExpectations_.insert(u"one line of 50 MiB"_s, e);
        }
        // Five million short lines, the three kinds of break in turn.
        const QByteArray three = "DFPSW\r\nWSD\nP\r"_ba;
        constexpr qsizetype lines = 5'000'000;
        QVERIFY(lines % 3 != 0);
        {
            QFile file(big_->filePath(u"5 million short lines"_s));
            QVERIFY(file.open(QIODevice::WriteOnly));
            const QByteArray piece = three.repeated(100000);
            for (qsizetype written = 0; written + 300000 <= lines; written += 300000)
                QCOMPARE(file.write(piece), piece.size());
            const QByteArray tail = three.repeated((lines % 300000) / 3) + "DFPSW\r\nWSD\n"_ba;
            QCOMPARE(file.write(tail), tail.size());
            Expectation e;
            e.count = lines;
            e.samples = {{0, u"DFPSW"_s},
                         {1, u"WSD"_s},
                         {2, u"P"_s},
                         {lines - 2, u"DFPSW"_s},
                         {lines - 1, u"WSD"_s}};
            bigExpectations_.insert(u"5 million short lines"_s, e);
        }
        // 200 MiB of 100-byte lines, so that the rows stay few enough to be held in memory.
        const QByteArray line = QByteArray(98, 'S').replace(0, 6, "WFPSDW") + "\r\n";
        QVERIFY(writeRepeated(big_->filePath(u"200 MiB"_s), line, 200 * MiB));
        {
            Expectation e;
            e.count = 200 * MiB / 100;
            const QString whole = QString::fromLatin1(line.first(98));
            e.samples = {{0, whole}, {e.count / 2, whole}, {e.count - 1, whole}};
            bigExpectations_.insert(u"200 MiB"_s, e);
        }
    }
    void cleanupTestCase() {
        big_.reset();
        qInstallMessageHandler(testMessageHandler);
    }
    void cleanup() {
        QVERIFY(!QApplication::activePopupWidget());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void hostileFile_data() {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<Swap>("swap");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("reason");
        struct Row {
            const char* name;
            QString kind;
            Swap swap;
            Outcome outcome;
            QString reason;
        };
        const QString notRegular = u"Not a regular file"_s;
        const Row rows[] = {
            {"empty", u"empty"_s, Swap::None, Outcome::Loads, {}},
            {"png image", u"png"_s, Swap::None, Outcome::Loads, {}},
            {"the test executable", u"executable"_s, Swap::None, Outcome::Loads, {}},
            {"utf-16 with byte-order mark", u"utf16 with bom"_s, Swap::None, Outcome::Loads, {}},
            {"utf-16 without byte-order mark",
             u"utf16 without bom"_s,
             Swap::None,
             Outcome::Loads,
             {}},
            {"utf-8 with byte-order mark and accents",
             u"utf8 with bom"_s,
             Swap::None,
             Outcome::Loads,
             {}},
            {"zero byte in the first line",
             u"zero in first line"_s,
             Swap::None,
             Outcome::Loads,
             {}},
            {"every byte 0 to 255", u"bytes 0 to 255"_s, Swap::None, Outcome::Loads, {}},
            {"every byte 1 to 255, then 0",
             u"bytes 1 to 255 then 0"_s,
             Swap::None,
             Outcome::Loads,
             {}},
            {"one line of 50 MiB", u"one line of 50 MiB"_s, Swap::None, Outcome::Loads, {}},
            {"5 million short lines", u"5 million short lines"_s, Swap::None, Outcome::Loads, {}},
            {"200 MiB", u"200 MiB"_s, Swap::None, Outcome::Loads, {}},
            {"folder by the time it is read", u"folder"_s, Swap::Folder, Outcome::CannotOpen,
             reason(EISDIR)},
            {"removed by the time it is read", u"folder"_s, Swap::Remove, Outcome::CannotOpen,
             reason(ENOENT)},
            {"named pipe by the time it is read", u"folder"_s, Swap::Pipe, Outcome::CannotOpen,
             notRegular},
            {"link to /dev/zero by the time it is read", u"folder"_s, Swap::ZeroDevice,
             Outcome::CannotOpen, notRegular},
            {"link loop by the time it is read", u"folder"_s, Swap::Loop, Outcome::CannotOpen,
             reason(ELOOP)},
            {"named pipe without a writer", u"pipe"_s, Swap::None, Outcome::CannotOpen, notRegular},
            {"link to /dev/zero", u"/dev/zero"_s, Swap::None, Outcome::CannotOpen, notRegular},
            {"link to /dev/urandom", u"/dev/urandom"_s, Swap::None, Outcome::CannotOpen,
             notRegular},
            {"/dev/urandom typed", u"/dev/urandom typed"_s, Swap::None, Outcome::CannotOpen,
             notRegular},
            {"no read permission", u"unreadable"_s, Swap::None, Outcome::CannotOpen,
             reason(EACCES)},
            // A regular file whose reading fails, which also holds for a user who may open
            // anything.
            {"link to the process's own memory", u"/proc/self/mem"_s, Swap::None,
             Outcome::CannotOpen, reason(EIO)},
            // The dialog itself does not accept a name that leads nowhere.
            {"link loop typed", u"loop"_s, Swap::None, Outcome::DialogRefuses, {}},
        };
        for (const Row& row : rows) {
            for (const Command command : {Command::Gestures, Command::Names}) {
                const QByteArray name =
                    (command == Command::Gestures ? "gestures, "_ba : "names, "_ba) + row.name;
                QTest::newRow(name.constData())
                    << command << row.kind << row.swap << row.outcome << row.reason;
            }
        }
    }
    void hostileFile() {
        QFETCH(Command, command);
        QFETCH(QString, kind);
        QFETCH(Swap, swap);
        QFETCH(Outcome, outcome);
        QFETCH(QString, reason);
        if (kind == u"unreadable"_s && ::geteuid() == 0)
            QSKIP("Running as root: a missing read permission does not stop reading "
                  "(the rows linking to the process's own memory cover a failing read)");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QByteArray bytes;
        const QString path = prepare(kind, dir.filePath(u"chosen"_s), bytes);
        QVERIFY(!path.isEmpty());
        if (kind == u"unreadable"_s)
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));

        TForm1 form{u"Quorvane"_s};
        form.FormCreate();
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClicks(form.Edit1, u"s"_s);
        const QString combos = form.RichEdit1Text.text();
        form.ListBox1Items.setSelectedRow(4);
        form.ListBox1->syncSelection();
        form.ListBox2Items.setSelectedRow(4);
        form.ListBox2->syncSelection();
        const QStringList gestures = form.ListBox1Items.items(), names = form.ListBox2Items.items();

        QString boxText;
        int boxes = 0;
        Script script(60000);
        script.then(modal<QFileDialog>(), [&](QWidget* dialog) {
            armSwap(static_cast<QFileDialog*>(dialog), swap, path);
            typeFileName(dialog, path);
        });
        if (outcome == Outcome::DialogRefuses)
            script.then(modal<QMessageBox>(), press(Qt::Key_Return))
                .then(modal<QFileDialog>(), press(Qt::Key_Escape));
        if (outcome == Outcome::CannotOpen)
            script.then(modal<QMessageBox>(), [&](QWidget* widget) {
                auto* box = static_cast<QMessageBox*>(widget);
                boxText = box->text();
                ++boxes;
                box->accept();
            });
        {
            // A file that loads must open no box at all.
            std::optional<BoxAnswerer> unexpected;
            if (outcome == Outcome::Loads)
                unexpected.emplace();
            startLoad(form, script, command);
            if (unexpected)
                QCOMPARE(unexpected->text, QString());
        }

        const quorvane::ListModel& chosen = listOf(form, command);
        const Command other = command == Command::Gestures ? Command::Names : Command::Gestures;
        QCOMPARE(listOf(form, other).items(), command == Command::Gestures ? names : gestures);
        QCOMPARE(listOf(form, other).selectedRow(), 4);
        QCOMPARE(form.RichEdit1Text.text(), combos); // a load does not recompute
        if (outcome == Outcome::Loads) {
            if (bigExpectations_.contains(kind)) {
                const Expectation& e = bigExpectations_[kind];
                QCOMPARE(chosen.count(), e.count);
                if (kind == u"one line of 50 MiB"_s) {
                    QCOMPARE(chosen.item(0).size(), 50 * MiB);
                    QCOMPARE(chosen.item(0).first(12), u"DFPSW?DFPSW?"_s);
                    QString tail;
                    for (qint64 at = 50 * MiB - 4; at < 50 * MiB; ++at)
                        tail += QChar::fromLatin1("DFPSW?"[at % 6]);
                    QCOMPARE(chosen.item(0).last(4), tail);
                } else {
                    for (const auto& [row, item] : e.samples)
                        QCOMPARE(chosen.item(row), item);
                }
            } else {
                QCOMPARE(chosen.items(), quorvane::splitItems(quorvane::decodeCodepage(bytes)));
            }
            QCOMPARE(chosen.selectedRow(), -1);
            QVERIFY(!form.Runeclasporiginal1->isChecked());
            QVERIFY(form.Loadfromtextfile2->menuAction()->isChecked());
        } else {
            if (outcome == Outcome::CannotOpen) {
                QCOMPARE(boxes, 1);
                QCOMPARE(boxText, u"Cannot open file \"%1\". %2."_s.arg(path, reason));
            }
            QCOMPARE(chosen.items(), command == Command::Gestures ? gestures : names);
            QCOMPARE(chosen.selectedRow(), 4);
            QVERIFY(form.Runeclasporiginal1->isChecked());
            QVERIFY(!form.Loadfromtextfile2->menuAction()->isChecked());
        }

        // The window still answers: a keystroke recomputes over the lists it now holds, as a
        // fresh engine does; a matching row without a name gives its error box.
        QString expectedError;
        quorvane::TextPane expected;
        try {
            quorvane::combo::RecomputeCombos(u"SD"_s, form.ListBox1Items, form.ListBox2Items,
                                             expected);
        } catch (const quorvane::Error& e) {
            expectedError = e.message();
        }
        BoxAnswerer answerer;
        QTest::keyClick(form.Edit1, Qt::Key_D);
        QCOMPARE(form.Edit1->text(), u"SD"_s);
        QCOMPARE(form.RichEdit1Text.text(), expected.text());
        QCOMPARE(answerer.count, expectedError.isEmpty() ? 0 : 1);
        if (!expectedError.isEmpty())
            QCOMPARE(answerer.text, quorvane::app::errorBoxText(expectedError));
    }
};

QTEST_MAIN(HostileFilesTest)

#include "test_hostile_files.moc"
