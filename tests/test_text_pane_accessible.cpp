// The pane as assistive technology sees it, asked through Qt's accessibility interfaces on the
// offscreen platform: the text with one "\n" per line break, items by character, word,
// sentence, row and paragraph, the colour and weight of each character, the geometry of
// characters both ways, and the selection read and written through offsets.

#include "ui/TextPane.h"
#include "ui/TextPaneAccessible.h"
#include "ui/TextPaneView.h"

#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QScrollBar>
#include <QTest>

#include <map>
#include <optional>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

using Wrap = TextPaneView::Wrap;

const QColor textGreen(0, 130, 0);

// Offsets of the fixture's text:
//   0 "2: Magic Missile [SD]" 21 "\n"   - bold, "SD" (18, 19) blue
//  22 "1: Shield [P]"         35 "\n"   - "P" (33) blue
//  36 ""                      36 "\n"
//  37 "Go. Stop."             46 "\n"
constexpr int FixtureLength = 47;
const QString FixtureText = u"2: Magic Missile [SD]\n1: Shield [P]\n\nGo. Stop.\n"_s;

struct Window {
    explicit Window(Wrap wrap = Wrap::None) {
        top.resize(400, 300);
        view = new TextPaneView(&top);
        view->setGeometry(10, 10, 257, 200);
        QFont font(u"DejaVu Sans"_s);
        font.setPixelSize(13);
        view->setFont(font);
        view->setWrap(wrap);
        QPalette palette = view->palette();
        palette.setColor(QPalette::Text, textGreen);
        view->setPalette(palette);
        pane.addLine(u"2: Magic Missile [SD]");
        pane.addLine(u"1: Shield [P]");
        pane.addLine(u"");
        pane.addLine(u"Go. Stop.");
        pane.setLineBold(0);
        pane.setLineColour(0, 18, 2, clBlue);
        pane.setLineColour(1, 11, 1, clBlue);
        view->setModel(&pane);
        top.show();
        if (!QTest::qWaitForWindowExposed(&top))
            qFatal("the window was not shown");
    }
    QAccessibleInterface* accessible() const { return QAccessible::queryAccessibleInterface(view); }
    QAccessibleTextInterface* text() const { return accessible()->textInterface(); }

    TextPane pane;
    QWidget top;
    TextPaneView* view = nullptr;
};

// "name:value;name:value;" as Qt's text widgets write text attributes.
std::map<QString, QString> parseAttributes(const QString& attributes) {
    std::map<QString, QString> map;
    for (const QString& pair : attributes.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype colon = pair.indexOf(u':');
        if (colon > 0)
            map[pair.left(colon)] = pair.mid(colon + 1);
    }
    return map;
}

QString rgb(const QColor& c) {
    return u"rgb(%1,%2,%3)"_s.arg(c.red()).arg(c.green()).arg(c.blue());
}

} // namespace

class TextPaneAccessibleTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { installAccessibility(); }
    void readOnlyMultiLineText();
    void text_data();
    void text();
    void attributes_data();
    void attributes();
    void attributesOfAWrappedPaneShowNoFormats();
    void items_data();
    void items();
    void rowsOfAWrappedLine();
    void characterGeometry_data();
    void characterGeometry();
    void pointsOffTheText();
    void scrollsToASubstring();
    void selectionFromThePane_data();
    void selectionFromThePane();
    void selectionFromAssistiveTechnology_data();
    void selectionFromAssistiveTechnology();
    void noTextAtAll_data();
    void noTextAtAll();
    void textChanges_data();
    void textChanges();
};

void TextPaneAccessibleTest::readOnlyMultiLineText() {
    Window w;
    QAccessibleInterface* iface = w.accessible();
    QVERIFY(iface);
    QVERIFY(iface->textInterface());
    QCOMPARE(iface->role(), QAccessible::EditableText);
    const QAccessible::State state = iface->state();
    QVERIFY(state.readOnly);
    QVERIFY(state.multiLine);
    QVERIFY(!state.editable);
    QVERIFY(state.focusable);
}

void TextPaneAccessibleTest::text_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("expected");

    QTest::newRow("whole, -1 for the end") << 0 << -1 << FixtureText;
    QTest::newRow("a word of the first line") << 3 << 8 << u"Magic"_s;
    QTest::newRow("across a line break") << 19 << 24 << u"D]\n1:"_s;
    QTest::newRow("the empty line's break alone") << 36 << 37 << u"\n"_s;
    QTest::newRow("last line and final break") << 37 << FixtureLength << u"Go. Stop.\n"_s;
    QTest::newRow("end clamped") << 41 << 1000 << u"Stop.\n"_s;
    QTest::newRow("start clamped") << -5 << 2 << u"2:"_s;
    QTest::newRow("reversed") << 8 << 3 << QString();
    QTest::newRow("past the end") << 60 << 70 << QString();
}

void TextPaneAccessibleTest::text() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, expected);
    Window w;
    QCOMPARE(w.text()->characterCount(), FixtureLength);
    QCOMPARE(w.text()->text(from, to), expected);
}

void TextPaneAccessibleTest::attributes_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("runStart");
    QTest::addColumn<int>("runEnd");

    const QColor blue(0, 0, 255);
    QTest::newRow("plain") << 24 << u"400"_s << textGreen << 22 << 33;
    QTest::newRow("blue") << 33 << u"400"_s << blue << 33 << 34;
    QTest::newRow("bold") << 3 << u"700"_s << textGreen << 0 << 18;
    QTest::newRow("blue and bold") << 19 << u"700"_s << blue << 18 << 20;
    QTest::newRow("break after bold") << 21 << u"400"_s << textGreen << 21 << 22;
    QTest::newRow("break after plain") << 35 << u"400"_s << textGreen << 34 << 36;
    QTest::newRow("line without formats") << 40 << u"400"_s << textGreen << 37 << 47;
    QTest::newRow("end of the text") << FixtureLength << u"400"_s << textGreen << 37 << 47;
    QTest::newRow("past the end") << FixtureLength + 1 << QString() << QColor() << -1 << -1;
    QTest::newRow("negative") << -1 << QString() << QColor() << -1 << -1;
}

// Each character reports the weight and colour it is drawn in, and the run of characters
// around it that look the same, never reaching into another line.
void TextPaneAccessibleTest::attributes() {
    QFETCH(int, offset);
    QFETCH(QString, weight);
    QFETCH(QColor, colour);
    QFETCH(int, runStart);
    QFETCH(int, runEnd);
    Window w;
    int start = -9;
    int end = -9;
    const QString attributes = w.text()->attributes(offset, &start, &end);
    QCOMPARE(start, runStart);
    QCOMPARE(end, runEnd);
    if (weight.isEmpty()) {
        QVERIFY(attributes.isEmpty());
        return;
    }
    const auto map = parseAttributes(attributes);
    QCOMPARE(map.at(u"font-weight"_s), weight);
    QCOMPARE(map.at(u"color"_s), rgb(colour));
    QCOMPARE(map.at(u"font-family"_s), u"\"%1\""_s.arg(QFontInfo(w.view->font()).family()));
}

// A wrapping pane draws no character formats, so it reports none.
void TextPaneAccessibleTest::attributesOfAWrappedPaneShowNoFormats() {
    Window w(Wrap::AtWidth);
    int start = -1;
    int end = -1;
    const auto map = parseAttributes(w.text()->attributes(19, &start, &end));
    QCOMPARE(map.at(u"font-weight"_s), u"400"_s);
    QCOMPARE(map.at(u"color"_s), rgb(textGreen));
    QCOMPARE(start, 0);
    QCOMPARE(end, 22);
}

enum class Ask { At, Before, After };

void TextPaneAccessibleTest::items_data() {
    QTest::addColumn<QAccessible::TextBoundaryType>("type");
    QTest::addColumn<Ask>("ask");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("expectedStart");
    QTest::addColumn<int>("expectedEnd");

    using A = QAccessible;
    QTest::newRow("char") << A::CharBoundary << Ask::At << 3 << u"M"_s << 3 << 4;
    QTest::newRow("char on a break") << A::CharBoundary << Ask::At << 21 << u"\n"_s << 21 << 22;
    QTest::newRow("char at the end") << A::CharBoundary << Ask::At << FixtureLength << QString()
                                     << FixtureLength << FixtureLength;
    QTest::newRow("char before the end")
        << A::CharBoundary << Ask::Before << FixtureLength << u"\n"_s << 46 << 47;
    QTest::newRow("char before the first")
        << A::CharBoundary << Ask::Before << 0 << QString() << -1 << -1;
    QTest::newRow("word") << A::WordBoundary << Ask::At << 5 << u"Magic"_s << 3 << 8;
    QTest::newRow("word on the gap") << A::WordBoundary << Ask::At << 8 << u" "_s << 8 << 9;
    QTest::newRow("word after") << A::WordBoundary << Ask::After << 5 << u" "_s << 8 << 9;
    QTest::newRow("word before") << A::WordBoundary << Ask::Before << 10 << u" "_s << 8 << 9;
    QTest::newRow("word on a break") << A::WordBoundary << Ask::At << 35 << u"\n"_s << 35 << 36;
    QTest::newRow("word after the line's last")
        << A::WordBoundary << Ask::After << 20 << u"\n"_s << 21 << 22;
    QTest::newRow("sentence") << A::SentenceBoundary << Ask::At << 38 << u"Go. "_s << 37 << 41;
    QTest::newRow("last sentence takes the break")
        << A::SentenceBoundary << Ask::At << 46 << u"Stop.\n"_s << 41 << 47;
    QTest::newRow("sentence after")
        << A::SentenceBoundary << Ask::After << 37 << u"Stop.\n"_s << 41 << 47;
    QTest::newRow("line") << A::LineBoundary << Ask::At << 5 << u"2: Magic Missile [SD]\n"_s << 0
                          << 22;
    QTest::newRow("line on its break")
        << A::LineBoundary << Ask::At << 21 << u"2: Magic Missile [SD]\n"_s << 0 << 22;
    QTest::newRow("empty line") << A::LineBoundary << Ask::At << 36 << u"\n"_s << 36 << 37;
    QTest::newRow("line after") << A::LineBoundary << Ask::After << 5 << u"1: Shield [P]\n"_s << 22
                                << 36;
    QTest::newRow("line before") << A::LineBoundary << Ask::Before << 37 << u"\n"_s << 36 << 37;
    QTest::newRow("line at the end")
        << A::LineBoundary << Ask::At << FixtureLength << u"Go. Stop.\n"_s << 37 << 47;
    QTest::newRow("no line after the last")
        << A::LineBoundary << Ask::After << 40 << QString() << -1 << -1;
    QTest::newRow("paragraph") << A::ParagraphBoundary << Ask::At << 30 << u"1: Shield [P]\n"_s
                               << 22 << 36;
    QTest::newRow("everything") << A::NoBoundary << Ask::At << 30 << FixtureText << 0
                                << FixtureLength;
    QTest::newRow("past the end") << A::WordBoundary << Ask::At << FixtureLength + 1 << QString()
                                  << -1 << -1;
    QTest::newRow("negative") << A::LineBoundary << Ask::After << -1 << QString() << -1 << -1;
}

void TextPaneAccessibleTest::items() {
    QFETCH(QAccessible::TextBoundaryType, type);
    QFETCH(Ask, ask);
    QFETCH(int, offset);
    QFETCH(QString, expected);
    QFETCH(int, expectedStart);
    QFETCH(int, expectedEnd);
    Window w;
    int start = -9;
    int end = -9;
    QAccessibleTextInterface* t = w.text();
    const QString item = ask == Ask::At       ? t->textAtOffset(offset, type, &start, &end)
                         : ask == Ask::Before ? t->textBeforeOffset(offset, type, &start, &end)
                                              : t->textAfterOffset(offset, type, &start, &end);
    QCOMPARE(item, expected);
    QCOMPARE(start, expectedStart);
    QCOMPARE(end, expectedEnd);
}

// In a pane that wraps, a line is a row on screen: stepping from row to row reads the long
// line whole, each row's characters stand on one height, and the last row takes the break.
void TextPaneAccessibleTest::rowsOfAWrappedLine() {
    Window w(Wrap::AtWidth);
    const QString longLine =
        u"The reference pane breaks this sentence into several rows because it is far "
        "longer than the pane is wide."_s;
    w.pane.clear();
    w.pane.addLine(longLine);
    w.pane.addLine(u"next");
    w.view->refresh();
    QAccessibleTextInterface* t = w.text();

    QString read;
    int rows = 0;
    int start = -1;
    int end = -1;
    for (QString row = t->textAtOffset(0, QAccessible::LineBoundary, &start, &end); !row.isEmpty();
         row = t->textAfterOffset(start, QAccessible::LineBoundary, &start, &end)) {
        ++rows;
        read += row;
        const int top = t->characterRect(start).top();
        for (int k = start; k < end; ++k)
            QCOMPARE(t->characterRect(k).top(), top);
        if (row.endsWith(u'\n'))
            break;
        QVERIFY(t->characterRect(end).top() > top);
    }
    QVERIFY2(rows >= 3, qPrintable(u"%1 rows"_s.arg(rows)));
    QCOMPARE(read, longLine + u'\n');
    // Paragraphs stay whole.
    QCOMPARE(t->textAtOffset(40, QAccessible::ParagraphBoundary, &start, &end), longLine + u'\n');
}

void TextPaneAccessibleTest::characterGeometry_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("scrollRight");
    QTest::newRow("first character") << 0 << 0;
    QTest::newRow("blue bold character") << 18 << 0;
    QTest::newRow("second line") << 26 << 0;
    QTest::newRow("break of an empty line") << 36 << 0;
    QTest::newRow("scrolled to the right") << 62 << 60;
}

// A character's rectangle is on screen where the character is drawn, and the point in its
// middle leads back to it, also when the pane is scrolled.
void TextPaneAccessibleTest::characterGeometry() {
    QFETCH(int, offset);
    QFETCH(int, scrollRight);
    Window w;
    w.pane.addLine(u"A line long enough to need the horizontal scroll bar of the pane, and more"_s);
    w.view->refresh();
    w.view->horizontalScrollBar()->setValue(scrollRight);
    QCOMPARE(w.view->horizontalScrollBar()->value(), scrollRight);
    QAccessibleTextInterface* t = w.text();

    const QRect r = t->characterRect(offset);
    QVERIFY(r.isValid());
    const QRect viewport(w.view->viewport()->mapToGlobal(QPoint(0, 0)), w.view->viewport()->size());
    QVERIFY2(viewport.contains(r), qPrintable(u"character at %1,%2"_s.arg(r.x()).arg(r.y())));
    QCOMPARE(t->offsetAtPoint(r.center()), offset);
    // The left edge of the next character on the line belongs to that character.
    const QRect next = t->characterRect(offset + 1);
    if (next.top() == r.top())
        QCOMPARE(t->offsetAtPoint(QPoint(next.left() + 1, next.center().y())), offset + 1);
}

void TextPaneAccessibleTest::pointsOffTheText() {
    Window w;
    QAccessibleTextInterface* t = w.text();
    const QPoint origin = w.view->viewport()->mapToGlobal(QPoint(0, 0));
    QCOMPARE(t->offsetAtPoint(origin - QPoint(5, 5)), -1);
    QCOMPARE(t->offsetAtPoint(origin + QPoint(w.view->viewport()->width() + 5, 5)), -1);
    QVERIFY(!t->characterRect(FixtureLength).isValid());
    QVERIFY(!t->characterRect(-1).isValid());
    // Past the end of a line is its break.
    const QRect lastOfLine = t->characterRect(34);
    QCOMPARE(t->offsetAtPoint(QPoint(lastOfLine.right() + 40, lastOfLine.center().y())), 35);
}

// Assistive technology can bring a stretch of text into view, as a search would.
void TextPaneAccessibleTest::scrollsToASubstring() {
    Window w;
    for (int i = 0; i < 40; ++i)
        w.pane.addLine(u"1: Stab [S]");
    w.pane.addLine(u"6: Far Down [DWSSSP] and far enough to the right to need scrolling there");
    w.view->refresh();
    QAccessibleTextInterface* t = w.text();
    const int from = t->text(0, -1).indexOf(u"scrolling");
    QVERIFY(from > 0);
    const QRect viewport(w.view->viewport()->mapToGlobal(QPoint(0, 0)), w.view->viewport()->size());
    QVERIFY(!viewport.contains(t->characterRect(from)));
    t->scrollToSubstring(from, from + 9);
    QVERIFY(viewport.contains(t->characterRect(from)));
    QVERIFY(viewport.contains(t->characterRect(from + 8)));
    QVERIFY(w.view->verticalScrollBar()->value() > 0);
    QVERIFY(w.view->horizontalScrollBar()->value() > 0);
}

void TextPaneAccessibleTest::selectionFromThePane_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("expectedStart");
    QTest::addColumn<int>("expectedEnd");
    // The pane's positions count CR LF as two characters.
    QTest::newRow("within the first line") << 3 << 5 << 1 << 3 << 8;
    QTest::newRow("on the second line") << 26 << 6 << 1 << 25 << 31;
    QTest::newRow("across a break") << 19 << 6 << 1 << 19 << 24;
    QTest::newRow("ending on the LF holds the break") << 20 << 2 << 1 << 20 << 22;
    QTest::newRow("starting on the LF") << 22 << 3 << 1 << 22 << 24;
    QTest::newRow("to the end") << 41 << 100 << 1 << 38 << FixtureLength;
    QTest::newRow("none") << 26 << 0 << 0 << 0 << 0;
}

void TextPaneAccessibleTest::selectionFromThePane() {
    QFETCH(int, position);
    QFETCH(int, length);
    QFETCH(int, count);
    QFETCH(int, expectedStart);
    QFETCH(int, expectedEnd);
    Window w;
    w.pane.setSelection(position, length);
    w.view->refresh();
    QAccessibleTextInterface* t = w.text();
    QCOMPARE(t->selectionCount(), count);
    int start = -1;
    int end = -1;
    t->selection(0, &start, &end);
    QCOMPARE(start, expectedStart);
    QCOMPARE(end, expectedEnd);
    QCOMPARE(t->text(start, end), w.view->selectedText());
    // The caret is where the selection ends, or where the empty one stands.
    QCOMPARE(t->cursorPosition(), count > 0 ? expectedEnd : 25);
}

enum class Write { Set, Add, Remove, Cursor };

void TextPaneAccessibleTest::selectionFromAssistiveTechnology_data() {
    QTest::addColumn<Write>("write");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("cursor");

    QTest::newRow("a word") << Write::Set << 3 << 8 << u"Magic"_s << 8;
    QTest::newRow("across a break") << Write::Add << 19 << 24 << u"D]\n1:"_s << 24;
    QTest::newRow("reversed ends") << Write::Set << 24 << 19 << u"D]\n1:"_s << 24;
    QTest::newRow("clamped to the text")
        << Write::Set << 41 << 500 << u"Stop.\n"_s << FixtureLength;
    QTest::newRow("removed") << Write::Remove << 3 << 8 << QString() << 3;
    QTest::newRow("caret on the second line") << Write::Cursor << 25 << 25 << QString() << 25;
    QTest::newRow("caret clamped") << Write::Cursor << 900 << 900 << QString() << FixtureLength;
}

// What assistive technology selects is selected in the pane, as if the user had dragged.
void TextPaneAccessibleTest::selectionFromAssistiveTechnology() {
    QFETCH(Write, write);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, selected);
    QFETCH(int, cursor);
    Window w;
    QAccessibleTextInterface* t = w.text();
    switch (write) {
    case Write::Set:
        t->setSelection(0, from, to);
        break;
    case Write::Add:
        t->addSelection(from, to);
        break;
    case Write::Remove:
        t->setSelection(0, from, to);
        t->removeSelection(0);
        break;
    case Write::Cursor:
        t->setCursorPosition(from);
        break;
    }
    QCOMPARE(w.view->selectedText(), selected);
    QCOMPARE(t->selectionCount(), selected.isEmpty() ? 0 : 1);
    QCOMPARE(t->cursorPosition(), cursor);
}

void TextPaneAccessibleTest::noTextAtAll_data() {
    QTest::addColumn<bool>("withModel");
    QTest::newRow("empty model") << true;
    QTest::newRow("no model") << false;
}

// An empty pane, or a view not yet given one, answers every question without a character.
void TextPaneAccessibleTest::noTextAtAll() {
    QFETCH(bool, withModel);
    TextPane pane;
    TextPaneView view;
    if (withModel)
        view.setModel(&pane);
    view.resize(200, 100);
    view.show();
    QAccessibleTextInterface* t = QAccessible::queryAccessibleInterface(&view)->textInterface();
    QVERIFY(t);
    QCOMPARE(t->characterCount(), 0);
    QCOMPARE(t->text(0, -1), QString());
    int start = -9;
    int end = -9;
    QCOMPARE(t->textAtOffset(0, QAccessible::LineBoundary, &start, &end), QString());
    QCOMPARE(t->textAfterOffset(0, QAccessible::WordBoundary, &start, &end), QString());
    QCOMPARE(t->textBeforeOffset(0, QAccessible::CharBoundary, &start, &end), QString());
    QVERIFY(!t->attributes(0, &start, &end).isEmpty());
    QCOMPARE(start, 0);
    QCOMPARE(end, 0);
    QVERIFY(!t->characterRect(0).isValid());
    QCOMPARE(t->offsetAtPoint(view.viewport()->mapToGlobal(QPoint(5, 5))), -1);
    t->setSelection(0, 0, 5);
    t->setCursorPosition(3);
    t->scrollToSubstring(0, 4);
    QCOMPARE(t->selectionCount(), 0);
    QCOMPARE(t->cursorPosition(), 0);
}

void TextPaneAccessibleTest::textChanges_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("inserted");

    QTest::newRow("equal") << u"1: Stab [S]\n"_s << u"1: Stab [S]\n"_s << false << 0 << QString()
                           << QString();
    QTest::newRow("filled") << QString() << u"1: Stab [S]\n"_s << true << 0 << QString()
                            << u"1: Stab [S]\n"_s;
    QTest::newRow("emptied") << u"1: Stab [S]\n"_s << QString() << true << 0 << u"1: Stab [S]\n"_s
                             << QString();
    QTest::newRow("a line replaced in the middle")
        << u"a\n1: Stab [S]\nz\n"_s << u"a\n2: Magic Missile [SD]\nz\n"_s << true << 2
        << u"1: Stab [S"_s << u"2: Magic Missile [SD"_s;
    QTest::newRow("repeated letter appended")
        << u"aa"_s << u"aaa"_s << true << 2 << QString() << u"a"_s;
    QTest::newRow("repeated letter removed")
        << u"abba"_s << u"aba"_s << true << 2 << u"b"_s << QString();
    QTest::newRow("surrogate pairs kept whole") << u"x\U0001F600y"_s << u"x\U0001F601y"_s << true
                                                << 1 << u"\U0001F600"_s << u"\U0001F601"_s;
}

// What changed between two texts, for the update that tells assistive technology.
void TextPaneAccessibleTest::textChanges() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(bool, changed);
    QFETCH(int, position);
    QFETCH(QString, removed);
    QFETCH(QString, inserted);
    const std::optional<TextChange> change = textChange(before, after);
    QCOMPARE(change.has_value(), changed);
    if (!change)
        return;
    QCOMPARE(change->position, position);
    QCOMPARE(change->removed, removed);
    QCOMPARE(change->inserted, inserted);
    QCOMPARE(before.left(position) + inserted + before.mid(position + removed.size()), after);
}

} // namespace quorvane

QTEST_MAIN(quorvane::TextPaneAccessibleTest)
#include "test_text_pane_accessible.moc"
