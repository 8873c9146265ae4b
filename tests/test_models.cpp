// The text pane and list models: text layout and positions, the case-blind windowed Find,
// selection formatting, the splitting of texts into items, item reads out of range and
// loading lists from files in the 8-bit character set.

#include "support/PaneLines.h"
#include "ui/Error.h"
#include "ui/ListModel.h"
#include "ui/TextPane.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

// The message of the Error that `f` raises, or an empty string when it raises none.
template <typename F> QString errorOf(F&& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.message();
    }
    return {};
}

const CharFormat plain{};
const CharFormat blue{clBlue, false};
const CharFormat red{clRed, false};

} // namespace

class ModelsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void paneTextAndPositions();
    void find_data();
    void onlySpaceAndBracketFoldToThemselves();
    void find();
    void paneSetTextEqualKeepsSelection();
    void selectionFormats();
    void newLinesArrivePlain();
    void splitting_data();
    void splitting();
    void itemOutOfRange_data();
    void itemOutOfRange();
    void writingItemsSelectsNoRow();
    void loadFromFile_data();
    void loadFromFile();
    void leadBytesAndViews();
    void loadFailureLeavesList_data();
    void loadFailureLeavesList();
    void loadUnderMemoryLimit_data();
    void loadUnderMemoryLimit();

private:
    // Writes the bytes as a file; a size beyond them leaves a hole.
    static bool writeFile(const QString& path, const QByteArray& bytes, qint64 size = -1) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(bytes) == bytes.size() && (size < 0 || file.resize(size));
    }

    QTemporaryDir dir_;
};

void ModelsTest::paneTextAndPositions() {
    const TextPane pane = paneOf({u"a"_s, u"bc"_s});
    QCOMPARE(pane.text(), u"a\r\nbc\r\n"_s);
    QCOMPARE(pane.textLength(), 7);
    QCOMPARE(pane.lineCount(), 2);
    QCOMPARE(pane.lineStart(1), 3);
    QCOMPARE(pane.find(u"BC", 0, 7), 3);
    QCOMPARE(pane.lineAt(4), std::make_pair(qsizetype(1), qsizetype(1)));

    const TextPane empty;
    QCOMPARE(empty.text(), QString());
    QCOMPARE(empty.lineCount(), 0);
    QCOMPARE(empty.find(u"a", 0, 10), -1);
}

void ModelsTest::find_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("s");
    QTest::addColumn<qsizetype>("p");
    QTest::addColumn<qsizetype>("n");
    QTest::addColumn<qsizetype>("found");

    const QStringList abc{u"a"_s, u"bc"_s};
    QTest::newRow("only occurrence before P")
        << abc << u"a"_s << qsizetype(1) << qsizetype(10) << qsizetype(-1);
    QTest::newRow("occurrence at P")
        << abc << u"bc"_s << qsizetype(3) << qsizetype(2) << qsizetype(3);
    QTest::newRow("occurrence ending at P + N")
        << abc << u"bc"_s << qsizetype(0) << qsizetype(5) << qsizetype(3);
    QTest::newRow("occurrence ending after P + N")
        << abc << u"bc"_s << qsizetype(0) << qsizetype(4) << qsizetype(-1);
    QTest::newRow("N past the end")
        << abc << u"c"_s << qsizetype(2) << qsizetype(1000) << qsizetype(4);
    QTest::newRow("first of several from P") << QStringList{u"[P] [P]"_s, u"[p]"_s} << u"[P"_s
                                             << qsizetype(1) << qsizetype(12) << qsizetype(4);
    QTest::newRow("letter case ignored")
        << QStringList{u"1: Magic Missile [sd]"_s} << u"magic MISSILE [SD"_s << qsizetype(0)
        << qsizetype(21) << qsizetype(3);
    QTest::newRow("accented letter case ignored")
        << QStringList{u"x"_s, u"Espejo Mágico"_s} << u"MÁGICO"_s << qsizetype(0) << qsizetype(100)
        << qsizetype(10);
    QTest::newRow("accent is not its base letter")
        << QStringList{u"Espejo Mágico"_s} << u"magico"_s << qsizetype(0) << qsizetype(100)
        << qsizetype(-1);
}

void ModelsTest::find() {
    QFETCH(QStringList, lines);
    QFETCH(QString, s);
    QFETCH(qsizetype, p);
    QFETCH(qsizetype, n);
    QFETCH(qsizetype, found);
    QCOMPARE(paneOf(lines).find(s, p, n), found);
}

// The combo engine looks for " [" in lines as they stand, before folding them.
void ModelsTest::onlySpaceAndBracketFoldToThemselves() {
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        const char16_t folded = foldCase(char16_t(c));
        if (folded == u' ' || folded == u'[')
            QCOMPARE(char16_t(c), folded);
    }
}

void ModelsTest::paneSetTextEqualKeepsSelection() {
    TextPane pane;
    pane.setText(u"Alpha\r\nBeta\r\n");
    QCOMPARE(linesOf(pane), (QStringList{u"Alpha"_s, u"Beta"_s}));
    pane.setSelection(2, 5);

    pane.setText(u"Alpha\r\nBeta\r\n");
    QCOMPARE(pane.selectionStart(), 2);
    QCOMPARE(pane.selectionLength(), 5);

    // Letter case counts for equality: this is a new text.
    pane.setText(u"ALPHA\r\nBeta\r\n");
    QCOMPARE(linesOf(pane), (QStringList{u"ALPHA"_s, u"Beta"_s}));
}

// Colour and bold reach exactly the selected characters of the lines, never the line breaks,
// and are independent of each other.
void ModelsTest::selectionFormats() {
    TextPane pane = paneOf({u"abc"_s, u"de"_s});

    pane.setSelectionStart(1);
    pane.setSelectionLength(5); // b, c, CR, LF, d
    QCOMPARE(pane.selectionStart(), 1);
    QCOMPARE(pane.selectionLength(), 5);
    pane.setSelectionColour(clBlue);
    QCOMPARE(pane.format(0, 0), plain);
    QCOMPARE(pane.format(0, 1), blue);
    QCOMPARE(pane.format(0, 2), blue);
    QCOMPARE(pane.format(1, 0), blue);
    QCOMPARE(pane.format(1, 1), plain);

    // A new start is an empty selection.
    pane.setSelectionStart(2);
    QCOMPARE(pane.selectionLength(), 0);
    pane.setSelectionColour(clRed);
    QCOMPARE(pane.format(0, 2), blue);

    pane.setSelectionLength(4); // c, CR, LF, d
    pane.setSelectionBold();
    QCOMPARE(pane.format(0, 1), blue);
    QCOMPARE(pane.format(0, 2), (CharFormat{clBlue, true}));
    QCOMPARE(pane.format(1, 0), (CharFormat{clBlue, true}));
    QCOMPARE(pane.format(1, 1), plain);

    // Colouring again keeps the bold mark.
    pane.setSelectionColour(clRed);
    QCOMPARE(pane.format(0, 2), (CharFormat{clRed, true}));
    QCOMPARE(pane.format(0, 1), blue);
}

// Added and written lines come in the default appearance, and clearing forgets formats.
void ModelsTest::newLinesArrivePlain() {
    TextPane pane = paneOf({u"abc"_s, u"de"_s});
    pane.setSelection(0, 9);
    pane.setSelectionColour(clRed);
    pane.setSelectionBold();

    pane.addLine(u"fg"_s);
    QCOMPARE(pane.format(2, 0), plain);
    pane.setLine(0, u"xyz"_s);
    QCOMPARE(pane.format(0, 0), plain);
    QCOMPARE(pane.format(1, 1), (CharFormat{clRed, true}));

    pane.clear();
    QCOMPARE(pane.lineCount(), 0);
    pane.addLine(u"de"_s);
    QCOMPARE(pane.format(0, 0), plain);
    QCOMPARE(pane.text(), u"de\r\n"_s);
}

void ModelsTest::splitting_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("CR LF") << u"A\r\nB\r\n"_s << QStringList{u"A"_s, u"B"_s};
    QTest::newRow("lone CR") << u"A\rB"_s << QStringList{u"A"_s, u"B"_s};
    QTest::newRow("lone LF") << u"A\nB"_s << QStringList{u"A"_s, u"B"_s};
    QTest::newRow("LF CR is two breaks") << u"A\n\rB"_s << QStringList{u"A"_s, QString(), u"B"_s};
    QTest::newRow("LF CR at the end") << u"A\n\r"_s << QStringList{u"A"_s, QString()};
    QTest::newRow("CR CR LF") << u"A\r\r\nB"_s << QStringList{u"A"_s, QString(), u"B"_s};
    QTest::newRow("LF LF") << u"A\n\nB"_s << QStringList{u"A"_s, QString(), u"B"_s};
    QTest::newRow("CR LF CR LF") << u"A\r\n\r\nB"_s << QStringList{u"A"_s, QString(), u"B"_s};
    QTest::newRow("zero character ends the text")
        << u"A\r\nB\0C\r\nD"_s << QStringList{u"A"_s, u"B"_s};
    QTest::newRow("zero character first") << u"\0A"_s << QStringList();
    QTest::newRow("final break adds no item") << u"A\r"_s << QStringList{u"A"_s};
    QTest::newRow("single break is one empty item") << u"\r\n"_s << QStringList{QString()};
    QTest::newRow("empty text") << QString() << QStringList();
    QTest::newRow("blanks and case kept") << u" dfw \tX\n"_s << QStringList{u" dfw \tX"_s};
}

// Lists and panes split a whole text the same way.
void ModelsTest::splitting() {
    QFETCH(QString, text);
    QFETCH(QStringList, items);

    ListModel list;
    list.setText(text);
    QCOMPARE(list.items(), items);
    QString joined;
    for (const QString& item : items)
        joined += item + u"\r\n"_s;
    QCOMPARE(list.text(), joined);

    TextPane pane = paneOf({u"old"_s});
    pane.setText(text);
    QCOMPARE(linesOf(pane), items);
}

void ModelsTest::itemOutOfRange_data() {
    QTest::addColumn<qsizetype>("row");
    QTest::newRow("-1") << qsizetype(-1);
    QTest::newRow("count") << qsizetype(3);
    QTest::newRow("far beyond") << qsizetype(300);
}

void ModelsTest::itemOutOfRange() {
    QFETCH(qsizetype, row);
    ListModel list(u"a\r\nb\r\nc\r\n");
    list.setSelectedRow(1);
    QCOMPARE(errorOf([&] { (void)list.item(row); }), u"List index out of bounds (%1)"_s.arg(row));
    QCOMPARE(list.items(), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    QCOMPARE(list.selectedRow(), 1);
    QCOMPARE(list.item(2), u"c"_s);
}

void ModelsTest::writingItemsSelectsNoRow() {
    ListModel list(u"a\r\nb\r\n");
    list.setSelectedRow(1);
    QCOMPARE(list.selectedRow(), 1);
    list.setText(list.text()); // the same items again
    QCOMPARE(list.selectedRow(), -1);
    QCOMPARE(list.items(), (QStringList{u"a"_s, u"b"_s}));

    list.setSelectedRow(5);
    QCOMPARE(list.selectedRow(), -1);

    list.setText(QString());
    QCOMPARE(list.count(), 0);
    QCOMPARE(list.text(), QString());
}

void ModelsTest::loadFromFile_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("gesture file") << QByteArray("DFW\r\nSD\r\n") << QStringList{u"DFW"_s, u"SD"_s};
    QTest::newRow("LF LF, no final break")
        << QByteArray("A\n\nB") << QStringList{u"A"_s, QString(), u"B"_s};
    QTest::newRow("LF CR") << QByteArray("A\n\rB") << QStringList{u"A"_s, QString(), u"B"_s};
    QTest::newRow("CR CR LF") << QByteArray("A\r\r\nB") << QStringList{u"A"_s, QString(), u"B"_s};
    QTest::newRow("CR LF CR LF") << QByteArray("A\r\n\r\nB")
                                 << QStringList{u"A"_s, QString(), u"B"_s};
    QTest::newRow("zero byte") << QByteArray("A\r\nB\0C", 6) << QStringList{u"A"_s, u"B"_s};
    QTest::newRow("blank and lower case kept")
        << QByteArray(" DFW\r\nsd\r\n") << QStringList{u" DFW"_s, u"sd"_s};
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("UTF-16 text is one item") << QByteArray("\xFF\xFE"
                                                           "A\0B\0\r\0\n\0",
                                                           10)
                                             << QStringList{u"\u00FF\u00FE"
                                                            "A"_s};
    QTest::newRow("byte-order mark kept") << QByteArray("\xEF\xBB\xBF"
                                                        "DFW")
                                          << QStringList{u"\u00EF\u00BB\u00BF"
                                                         "DFW"_s};
    QTest::newRow("UTF-8 letter as two characters")
        << QByteArray("M\xC3\xA1gico") << QStringList{u"M\u00C3\u00A1gico"_s};
    QTest::newRow("Windows-1252 80 to 9F")
        << QByteArray("\x80\x8A\x8C\x8E\x99\x9A\x9C\x9E\x9F")
        << QStringList{u"\u20AC\u0160\u0152\u017D\u2122\u0161\u0153\u017E\u0178"_s};
    QTest::newRow("unassigned bytes keep their value")
        << QByteArray("\x81\x8D\x8F\x90\x9D") << QStringList{u"\u0081\u008D\u008F\u0090\u009D"_s};
    QTest::newRow("A0 to FF as Latin-1")
        << QByteArray("\xA0\xC9\xE9\xDF\xFF") << QStringList{u"\u00A0\u00C9\u00E9\u00DF\u00FF"_s};

    // Files of a few megabytes are read a piece at a time: breaks and zero bytes that fall
    // on any side of a piece's end split as they would anywhere else.
    constexpr qsizetype MiB = 1 << 20;
    for (const qsizetype at : {MiB - 2, MiB - 1, MiB, MiB + 1, 2 * MiB - 1}) {
        const QByteArray lead(at, 'D');
        const QString item = QString::fromLatin1(lead);
        const auto row = [&](const char* what) -> QTestData& {
            return QTest::addRow("%s at %lld", what, static_cast<long long>(at));
        };
        row("CR LF") << lead + "\r\nS" << QStringList{item, u"S"_s};
        row("CR CR") << lead + "\r\rS" << QStringList{item, QString(), u"S"_s};
        row("LF CR") << lead + "\n\rS" << QStringList{item, QString(), u"S"_s};
        row("zero byte") << lead + QByteArray("\0\r\nS", 4) + QByteArray(MiB, 'W')
                         << QStringList{item};
    }
}

void ModelsTest::loadFromFile() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, items);
    QVERIFY(dir_.isValid());

    const QString path = dir_.filePath(u"spells.txt"_s);
    QVERIFY(writeFile(path, bytes));
    ListModel list(u"old\r\nrows\r\n");
    list.setSelectedRow(1);
    list.loadFromFile(path);
    QCOMPARE(list.items(), items);
    QCOMPARE(list.selectedRow(), -1);
}

// The byte each row shows of its first character, the view of each row, and both after a
// copy and a move.
void ModelsTest::leadBytesAndViews() {
    const QString text = u"\r\nDFW\r\n\u00E9t\r\n\u20AC\r\n\u00FFs\r\n\u00FE"_s;
    const QStringList items{QString(),   u"DFW"_s,     u"\u00E9t"_s,
                            u"\u20AC"_s, u"\u00FFs"_s, u"\u00FE"_s};
    const QByteArray leads("\0D\xE9\xFF\xFF\xFE", 6);

    ListModel list(text);
    const ListModel copy = list;
    const ListModel moved = std::move(list);
    for (const ListModel* l : {&copy, &moved}) {
        QCOMPARE(l->leadBytes(), QByteArrayView(leads));
        QCOMPARE(l->count(), items.size());
        for (qsizetype row = 0; row < l->count(); ++row)
            QCOMPARE(l->at(row).toString(), items[row]);
    }
    QCOMPARE(copy.revision(), moved.revision());
    QCOMPARE(list.count(), 0); // NOLINT(bugprone-use-after-move): a moved list is left empty
    QVERIFY(list.leadBytes().isEmpty());
    QVERIFY(list.revision() != moved.revision());
}

void ModelsTest::loadFailureLeavesList_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason"); // empty: any reason

    QTest::newRow("missing file") << u"missing.txt"_s << u"No such file or directory"_s;
    QTest::newRow("directory") << u"folder"_s << QString();
}

void ModelsTest::loadFailureLeavesList() {
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QVERIFY(dir_.isValid());
    QVERIFY(QDir(dir_.path()).mkpath(u"folder"_s));

    const QString path = QDir(dir_.path()).absoluteFilePath(name);
    ListModel list(u"DFW\r\nSD\r\n");
    list.setSelectedRow(1);
    const QString message = errorOf([&] { list.loadFromFile(path); });

    const QString prefix = u"Cannot open file \"%1\". "_s.arg(path);
    QVERIFY2(message.startsWith(prefix), qPrintable(message));
    QVERIFY2(message.size() > prefix.size() && !message.endsWith(u'.') && !message.endsWith(u' '),
             qPrintable(message));
    if (!reason.isEmpty())
        QCOMPARE(message, prefix + reason);
    QCOMPARE(list.items(), (QStringList{u"DFW"_s, u"SD"_s}));
    QCOMPARE(list.selectedRow(), 1);
}

// Loads in a child process whose address space is limited to what it uses plus 64 MiB. A
// file with more text than that gives the error and leaves the list as it was, instead of
// ending the program; a sparse file that claims far more than that but holds a few lines
// before its first zero byte loads them.
void ModelsTest::loadUnderMemoryLimit_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("size"); // the file's size, a hole after the bytes
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<bool>("fails");

    constexpr qint64 MiB = 1 << 20;
    QTest::newRow("48 MiB of text: 96 MiB of characters")
        << QByteArray(48 * MiB, 'D') << 48 * MiB << QStringList() << true;
    QTest::newRow("48 MiB of short lines")
        << QByteArray("DFW\r\n").repeated(48 * MiB / 5) << 48 * MiB << QStringList() << true;
    const QByteArray lines = QByteArray("DFW\r\nSD\r\n").repeated(20000);
    QStringList items;
    for (int i = 0; i < 20000; ++i)
        items << u"DFW"_s << u"SD"_s;
    QTest::newRow("a few lines, then a hole up to 64 GiB")
        << lines << (qint64(64) << 30) << items << false;
}

void ModelsTest::loadUnderMemoryLimit() {
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer reserves far more address space than the limit leaves");
#endif
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, size);
    QFETCH(QStringList, items);
    QFETCH(bool, fails);
    QVERIFY(dir_.isValid());
    const QString path = dir_.filePath(u"big.txt"_s);
    QVERIFY(writeFile(path, bytes, size));
    bytes.clear();
    long sizeKiB = -1;
    {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmSize:", 0) == 0)
                sizeKiB = std::stol(line.substr(7));
    }
    QVERIFY(sizeKiB > 0);

    const pid_t child = ::fork();
    if (child == 0) {
        // The child never returns into Qt Test: whatever happens, it ends here.
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = rlim_t(sizeKiB + 64 * 1024) * 1024;
        if (::setrlimit(RLIMIT_AS, &limit) != 0)
            ::_exit(2);
        try {
            ListModel list(u"old\r\nrows\r\n");
            list.setSelectedRow(1);
            const QString message = errorOf([&] { list.loadFromFile(path); });
            const QString expected =
                fails ? u"Cannot open file \"%1\". Cannot allocate memory"_s.arg(path) : QString();
            const bool right = message == expected &&
                               list.items() == (fails ? QStringList{u"old"_s, u"rows"_s} : items) &&
                               list.selectedRow() == (fails ? 1 : -1);
            if (!right)
                std::fprintf(stderr, "child: \"%s\", %lld rows\n", qPrintable(message),
                             static_cast<long long>(list.count()));
            ::_exit(right ? 0 : 1);
        } catch (...) {
            std::fprintf(stderr, "child: the load let an exception out\n");
            ::_exit(3);
        }
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY2(WIFEXITED(status), "the load ended the process");
    QCOMPARE(WEXITSTATUS(status), 0);
}

} // namespace quorvane

QTEST_APPLESS_MAIN(quorvane::ModelsTest)
#include "test_models.moc"
