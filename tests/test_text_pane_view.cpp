// The pane widget judged by what it draws on the offscreen platform: character colours and
// bold where the model puts them, the selection with and without the focus, wrapping and the
// scroll bars, selecting with the mouse, copying, scrolling to the selection, and the hover
// frame.

#include "support/PaintCounter.h"
#include "ui/TextPane.h"
#include "ui/TextPaneView.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

using Wrap = TextPaneView::Wrap;
using PixelTest = std::function<bool(QColor)>;

const PixelTest isBlue = [](QColor c) { return c.blue() > 150 && c.red() < 90 && c.green() < 90; };
const PixelTest isRed = [](QColor c) { return c.red() > 150 && c.green() < 90 && c.blue() < 90; };
const PixelTest isGreen = [](QColor c) { return c.green() > 90 && c.red() < 60 && c.blue() < 60; };
const PixelTest isInk = [](QColor c) { return c.lightness() < 110; };

const QColor textGreen(0, 130, 0);
const QColor highlightMagenta(230, 0, 230);
const PixelTest isHighlight = [](QColor c) { return c == highlightMagenta; };

int countPixels(const QImage& image, QRect area, const PixelTest& test) {
    int n = 0;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += test(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}

int countPixelsOutside(const QImage& image, QRect hole, const PixelTest& test) {
    return countPixels(image, image.rect(), test) - countPixels(image, hole, test);
}

// Rows of the image holding ink, merged into bands separated by blank rows.
int inkBands(const QImage& image) {
    int bands = 0;
    bool inBand = false;
    for (int y = 0; y < image.height(); ++y) {
        const bool ink = countPixels(image, QRect(0, y, image.width(), 1), isInk) > 0;
        bands += (ink && !inBand) ? 1 : 0;
        inBand = ink;
    }
    return bands;
}

int rightmostInk(const QImage& image, QRect band) {
    for (int x = band.right(); x >= band.left(); --x)
        if (countPixels(image, QRect(x, band.top(), 1, band.height()), isInk) > 0)
            return x;
    return -1;
}

// A window holding the pane's view and a line edit that can take the focus from it.
struct Window {
    explicit Window(Wrap wrap) {
        top.resize(400, 300);
        view = new TextPaneView(&top);
        other = new QLineEdit(&top);
        view->setGeometry(0, 0, 257, 289);
        other->setGeometry(270, 0, 100, 24);
        QFont font(u"DejaVu Sans"_s);
        font.setPixelSize(13);
        view->setFont(font);
        view->setWrap(wrap);
        QPalette palette = view->palette();
        palette.setColor(QPalette::Base, Qt::white);
        palette.setColor(QPalette::Text, textGreen);
        palette.setColor(QPalette::Highlight, highlightMagenta);
        palette.setColor(QPalette::HighlightedText, Qt::white);
        palette.setColor(QPalette::Mid, QColor(128, 128, 128));
        palette.setColor(QPalette::Light, QColor(255, 255, 160));
        view->setPalette(palette);
        view->setModel(&pane);
    }
    void show() {
        top.show();
        QVERIFY(QTest::qWaitForWindowExposed(&top));
    }
    void setLines(const QStringList& lines) {
        pane.clear();
        for (const QString& line : lines)
            pane.addLine(line);
        view->refresh();
    }
    QImage shot() const { return view->viewport()->grab().toImage(); }
    // The viewport area covering positions [from, from + n).
    QRect area(qsizetype from, qsizetype n) const {
        QRect r = view->characterRect(from);
        for (qsizetype p = from + 1; p < from + n; ++p)
            r |= view->characterRect(p);
        return r;
    }
    QPoint leftEdgeOf(qsizetype position) const {
        const QRect r = view->characterRect(position);
        return QPoint(r.left() + 1, r.center().y());
    }

    TextPane pane;
    QWidget top;
    TextPaneView* view = nullptr;
    QLineEdit* other = nullptr;
};

enum class Hue { Blue, Red };
enum class Gesture { Drag, ShiftClick, DoubleClick };
enum class Start { Top, Bottom };

} // namespace

class TextPaneViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void colours_data();
    void colours();
    void boldIsWider_data();
    void boldIsWider();
    void selectionVisibility_data();
    void selectionVisibility();
    void wrapping_data();
    void wrapping();
    void rewrapsWhenNarrower();
    void wrappedGeometryIsExactOnceShown();
    void narrowsTheFontToKeepBrokenLines();
    void mouseSelection_data();
    void mouseSelection();
    void copy_data();
    void copy();
    void scrollToSelection_data();
    void scrollToSelection();
    void hoverFrame_data();
    void hoverFrame();
};

void TextPaneViewTest::colours_data() {
    QTest::addColumn<int>("linesBefore");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("length");
    QTest::addColumn<Hue>("hue");
    QTest::addColumn<bool>("bold");

    QTest::newRow("two gestures blue")
        << 0 << u"2: Magic Missile [SD]"_s << 18 << 2 << Hue::Blue << false;
    QTest::newRow("three gestures red, lower line")
        << 3 << u"3: Lightning Bolt [DFFDD]"_s << 19 << 3 << Hue::Red << false;
    QTest::newRow("one gesture blue on a bold line")
        << 1 << u"1: Shield [P]"_s << 11 << 1 << Hue::Blue << true;
    QTest::newRow("red in the middle of the line")
        << 2 << u"4: Fire Storm [SWWc]"_s << 15 << 4 << Hue::Red << false;
}

// The coloured characters, and only they, show the colour; the others take the palette's
// text colour.
void TextPaneViewTest::colours() {
    QFETCH(int, linesBefore);
    QFETCH(QString, line);
    QFETCH(int, column);
    QFETCH(int, length);
    QFETCH(Hue, hue);
    QFETCH(bool, bold);

    Window w(Wrap::None);
    QStringList lines;
    for (int i = 0; i < linesBefore; ++i)
        lines << u"1: Stab [S]"_s;
    w.setLines(lines << line);
    w.pane.setLineColour(linesBefore, column, length, hue == Hue::Blue ? clBlue : clRed);
    if (bold)
        w.pane.setLineBold(linesBefore);
    w.view->refresh();
    w.show();

    const QImage image = w.shot();
    const qsizetype start = w.pane.lineStart(linesBefore);
    const QRect coloured = w.area(start + column, length).adjusted(-1, 0, 1, 0);
    const PixelTest& wanted = hue == Hue::Blue ? isBlue : isRed;
    const PixelTest& unwanted = hue == Hue::Blue ? isRed : isBlue;
    QVERIFY(countPixels(image, coloured, wanted) > 0);
    QCOMPARE(countPixelsOutside(image, coloured, wanted), 0);
    QCOMPARE(countPixels(image, image.rect(), unwanted), 0);
    QVERIFY(countPixels(image, w.area(start, column - 1), isGreen) > 0);
    QCOMPARE(countPixels(image, coloured.adjusted(2, 0, -2, 0), isGreen), 0);
}

void TextPaneViewTest::boldIsWider_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("spell name") << u"Magic Missile"_s;
    QTest::newRow("combo line") << u"1: Shield [P]"_s;
}

void TextPaneViewTest::boldIsWider() {
    QFETCH(QString, text);
    Window w(Wrap::None);
    w.setLines({text, text});
    w.pane.setLineBold(1);
    w.view->refresh();
    w.show();

    const QImage image = w.shot();
    const QRect regularRow = w.area(0, text.size());
    const QRect boldRow = w.area(w.pane.lineStart(1), text.size());
    QVERIFY(boldRow.top() >= regularRow.bottom());
    const int regularEnd =
        rightmostInk(image, QRect(0, regularRow.top(), image.width(), regularRow.height()));
    const int boldEnd =
        rightmostInk(image, QRect(0, boldRow.top(), image.width(), boldRow.height()));
    QVERIFY(regularEnd > 0);
    QVERIFY2(boldEnd > regularEnd,
             qPrintable(u"bold ends at %1, regular at %2"_s.arg(boldEnd).arg(regularEnd)));
}

void TextPaneViewTest::selectionVisibility_data() {
    QTest::addColumn<Wrap>("wrap");
    QTest::addColumn<bool>("hideSelection");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("visible");

    QTest::newRow("hidden without focus") << Wrap::None << true << false << false;
    QTest::newRow("hiding, focused") << Wrap::None << true << true << true;
    QTest::newRow("kept without focus") << Wrap::AtWidth << false << false << true;
    QTest::newRow("kept, focused") << Wrap::AtWidth << false << true << true;
}

void TextPaneViewTest::selectionVisibility() {
    QFETCH(Wrap, wrap);
    QFETCH(bool, hideSelection);
    QFETCH(bool, focused);
    QFETCH(bool, visible);

    Window w(wrap);
    w.view->setHideSelection(hideSelection);
    w.setLines({u"Counter Spell (gesture WPP)"_s, u"Dispel Magic"_s});
    w.pane.setSelection(3, 30); // into the second line
    w.view->refresh();
    w.show();
    QApplication::setActiveWindow(&w.top);
    QVERIFY(QTest::qWaitForWindowActive(&w.top));
    if (focused)
        w.view->setFocus();
    else
        w.other->setFocus();
    QTRY_COMPARE(w.view->hasFocus(), focused);

    const QImage image = w.shot();
    const QRect selected = w.area(3, 30);
    QCOMPARE(countPixels(image, selected, isHighlight) > 0, visible);
    QCOMPARE(countPixelsOutside(image, selected, isHighlight), 0);
    if (visible) {
        // The break inside the selection is shown, the one after it is not.
        const QRect lineBreak = w.view->characterRect(27);
        QVERIFY(countPixels(image,
                            QRect(lineBreak.center().x(), lineBreak.top(), 1, lineBreak.height()),
                            isHighlight) > 0);
        QCOMPARE(countPixels(image, w.view->characterRect(w.pane.lineStart(1) + 12), isHighlight),
                 0);
    }
}

void TextPaneViewTest::wrapping_data() {
    QTest::addColumn<Wrap>("wrap");
    QTest::addColumn<int>("linesBefore");
    QTest::addColumn<int>("words");
    QTest::addColumn<bool>("severalRows");
    QTest::addColumn<bool>("horizontalBar");

    QTest::newRow("wrapping a long line") << Wrap::AtWidth << 0 << 40 << true << false;
    QTest::newRow("not wrapping a long line") << Wrap::None << 0 << 40 << false << true;
    QTest::newRow("not wrapping a long line out of view")
        << Wrap::None << 60 << 40 << false << true;
    QTest::newRow("not wrapping a short line") << Wrap::None << 0 << 2 << false << false;
}

void TextPaneViewTest::wrapping() {
    QFETCH(Wrap, wrap);
    QFETCH(int, linesBefore);
    QFETCH(int, words);
    QFETCH(bool, severalRows);
    QFETCH(bool, horizontalBar);

    Window w(wrap);
    const QString line = u"mmm nnn "_s.repeated(words / 2);
    QStringList lines(linesBefore, u"nnn"_s);
    w.setLines(lines << line);
    w.show();

    QCOMPARE(w.view->horizontalScrollBar()->isVisible(), horizontalBar);
    const qsizetype start = w.pane.lineStart(linesBefore);
    w.pane.setSelection(start + line.size() - 4, 3);
    w.view->scrollToSelection();
    const QImage image = w.shot();
    const QRect lineArea = w.area(start, line.size());
    const int bands = inkBands(image.copy(0, lineArea.top(), image.width(), lineArea.height()));
    QVERIFY2(severalRows ? bands >= 3 : bands == 1, qPrintable(QString::number(bands)));
    if (severalRows)
        QVERIFY(lineArea.right() < w.view->viewport()->width());
    // Whatever the mode, the last word can be brought into view.
    QVERIFY(w.view->viewport()->rect().contains(w.area(start + line.size() - 4, 3)));
}

void TextPaneViewTest::rewrapsWhenNarrower() {
    Window w(Wrap::AtWidth);
    w.setLines({u"mmm nnn "_s.repeated(20), u"mmm"_s});
    w.show();
    const int before = inkBands(w.shot());
    w.view->resize(w.view->width() / 2, w.view->height());
    QCoreApplication::processEvents();
    const int after = inkBands(w.shot());
    QVERIFY2(after > before, qPrintable(u"%1 rows, then %2"_s.arg(before).arg(after)));
}

// Lines are laid out as far as they are needed and the rest after the first paint. Lines of
// narrow and wide letters make the estimated heights wrong both ways; once shown, the bottom
// of the text sits at the bottom of the scrolled viewport and every position maps back to itself.
void TextPaneViewTest::wrappedGeometryIsExactOnceShown() {
    Window w(Wrap::AtWidth);
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << (i % 3 == 0   ? u"il "_s.repeated(i % 40)
                  : i % 3 == 1 ? u"WM "_s.repeated(i % 25)
                               : u"x"_s);
    w.setLines(lines);
    w.show();
    QCoreApplication::processEvents();

    QScrollBar* bar = w.view->verticalScrollBar();
    bar->setValue(bar->maximum());
    const qsizetype last = w.pane.textLength() - 1;
    const QRect end = w.view->characterRect(last);
    const int bottom = w.view->viewport()->height();
    QVERIFY2(end.bottom() < bottom && end.bottom() >= bottom - 2 * end.height(),
             qPrintable(u"last row ends at %1 in %2"_s.arg(end.bottom()).arg(bottom)));
    for (qsizetype p = w.pane.lineStart(250); p < last; p += 37) {
        const QRect r = w.view->characterRect(p);
        if (w.view->viewport()->rect().contains(r.center()) && w.pane.text().at(p) != u'\r')
            QCOMPARE(w.view->positionAt(r.center()), p);
    }
}

// A text broken into lines for a wider font keeps its breaks: the longest lines take one row.
void TextPaneViewTest::narrowsTheFontToKeepBrokenLines() {
    Window w(Wrap::AtWidth);
    const QString longest = u"Raise an open palm towards the wizard opposite"_s;
    w.setLines({longest, u"short"_s, longest.left(30)});
    w.view->setHoverFrame(true);
    w.show();
    const auto rows = [&w](qsizetype line) {
        const qsizetype start = w.pane.lineStart(line);
        const qsizetype end = start + w.pane.lineView(line).size() - 1;
        return w.view->characterRect(start).top() == w.view->characterRect(end).top() ? 1 : 2;
    };
    QCOMPARE(rows(0), 2);
    w.view->narrowFontToFitLines(50);
    QCOMPARE(rows(0), 1);
    QVERIFY(w.view->font().stretch() < 100);
    w.view->setHoverFrame(false);
    QCOMPARE(rows(0), 1);
}

void TextPaneViewTest::mouseSelection_data() {
    QTest::addColumn<Wrap>("wrap");
    QTest::addColumn<Gesture>("gesture");
    QTest::addColumn<qsizetype>("from");
    QTest::addColumn<qsizetype>("to");
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("length");

    // "alpha beta" 0-9, break 10-11, "gamma delta" 12-22, break 23-24, "epsilon" 25-31
    QTest::newRow("drag within a line") << Wrap::None << Gesture::Drag << qsizetype(0)
                                        << qsizetype(5) << qsizetype(0) << qsizetype(5);
    QTest::newRow("drag backwards over a break") << Wrap::None << Gesture::Drag << qsizetype(17)
                                                 << qsizetype(2) << qsizetype(2) << qsizetype(15);
    QTest::newRow("drag to a line's end") << Wrap::None << Gesture::Drag << qsizetype(6)
                                          << qsizetype(10) << qsizetype(6) << qsizetype(4);
    QTest::newRow("drag in a wrapping pane") << Wrap::AtWidth << Gesture::Drag << qsizetype(26)
                                             << qsizetype(14) << qsizetype(14) << qsizetype(12);
    QTest::newRow("shift click extends from the press")
        << Wrap::None << Gesture::ShiftClick << qsizetype(6) << qsizetype(27) << qsizetype(6)
        << qsizetype(21);
    QTest::newRow("double click selects a word")
        << Wrap::None << Gesture::DoubleClick << qsizetype(14) << qsizetype(14) << qsizetype(12)
        << qsizetype(5);
}

// The selection that the mouse makes is the model's.
void TextPaneViewTest::mouseSelection() {
    QFETCH(Wrap, wrap);
    QFETCH(Gesture, gesture);
    QFETCH(qsizetype, from);
    QFETCH(qsizetype, to);
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, length);

    Window w(wrap);
    w.setLines({u"alpha beta"_s, u"gamma delta"_s, u"epsilon"_s});
    w.show();
    QWidget* vp = w.view->viewport();
    switch (gesture) {
    case Gesture::Drag:
        QTest::mousePress(vp, Qt::LeftButton, {}, w.leftEdgeOf(from));
        QTest::mouseMove(vp, w.leftEdgeOf((from + to) / 2));
        QTest::mouseMove(vp, w.leftEdgeOf(to));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, w.leftEdgeOf(to));
        break;
    case Gesture::ShiftClick:
        QTest::mouseClick(vp, Qt::LeftButton, {}, w.leftEdgeOf(from));
        QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, w.leftEdgeOf(to));
        break;
    case Gesture::DoubleClick:
        QTest::mouseDClick(vp, Qt::LeftButton, {}, w.leftEdgeOf(from));
        break;
    }
    QCOMPARE(w.pane.selectionStart(), start);
    QCOMPARE(w.pane.selectionLength(), length);
}

void TextPaneViewTest::copy_data() {
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<QString>("copied");

    // "abc" 0-2, break 3-4, "de" 5-6, break 7-8
    QTest::newRow("inside a line") << qsizetype(1) << qsizetype(2) << u"bc"_s;
    QTest::newRow("over a break") << qsizetype(1) << qsizetype(5) << u"bc\nd"_s;
    QTest::newRow("up to the CR") << qsizetype(0) << qsizetype(4) << u"abc\n"_s;
    QTest::newRow("from the LF") << qsizetype(4) << qsizetype(3) << u"de"_s;
    QTest::newRow("everything") << qsizetype(0) << qsizetype(9) << u"abc\nde\n"_s;
}

void TextPaneViewTest::copy() {
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, length);
    QFETCH(QString, copied);

    Window w(Wrap::None);
    w.setLines({u"abc"_s, u"de"_s});
    w.pane.setSelection(start, length);
    w.view->refresh();
    w.show();
    QGuiApplication::clipboard()->setText(u"before"_s);
    QTest::keySequence(w.view, QKeySequence::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), copied);
}

void TextPaneViewTest::scrollToSelection_data() {
    QTest::addColumn<Wrap>("wrap");
    QTest::addColumn<Start>("from");
    QTest::addColumn<qsizetype>("line");
    QTest::addColumn<qsizetype>("column");

    QTest::newRow("far line") << Wrap::None << Start::Top << qsizetype(900) << qsizetype(2);
    QTest::newRow("far line, wrapping")
        << Wrap::AtWidth << Start::Top << qsizetype(900) << qsizetype(2);
    QTest::newRow("far column") << Wrap::None << Start::Top << qsizetype(0) << qsizetype(150);
    QTest::newRow("far column of a line wider but shorter")
        << Wrap::None << Start::Top << qsizetype(1) << qsizetype(146);
    QTest::newRow("back to the first line")
        << Wrap::None << Start::Bottom << qsizetype(2) << qsizetype(0);
    QTest::newRow("back to the first line, wrapping")
        << Wrap::AtWidth << Start::Bottom << qsizetype(2) << qsizetype(0);
}

void TextPaneViewTest::scrollToSelection() {
    QFETCH(Wrap, wrap);
    QFETCH(Start, from);
    QFETCH(qsizetype, line);
    QFETCH(qsizetype, column);

    Window w(wrap);
    QStringList lines{u"Far "_s.repeated(40), u"W"_s.repeated(150)};
    for (int i = 2; i < 1000; ++i)
        lines << u"Line %1"_s.arg(i);
    w.setLines(lines);
    w.show();
    QScrollBar* v = w.view->verticalScrollBar();
    if (from == Start::Bottom)
        v->setValue(v->maximum());
    const QPoint before(w.view->horizontalScrollBar()->value(), v->value());
    const qsizetype position = w.pane.lineStart(line) + column;
    QVERIFY(!w.view->viewport()->rect().contains(w.view->characterRect(position)));

    w.pane.setSelection(position, 3);
    w.view->scrollToSelection();
    QVERIFY(w.view->viewport()->rect().contains(w.area(position, 3)));
    QVERIFY(QPoint(w.view->horizontalScrollBar()->value(), v->value()) != before);
    // It also shows on screen, not only in the mapping.
    w.view->setHideSelection(false);
    QVERIFY(countPixels(w.shot(), w.area(position, 3), isHighlight) > 0);
}

void TextPaneViewTest::hoverFrame_data() {
    QTest::addColumn<bool>("initial");
    QTest::addColumn<bool>("set");

    QTest::newRow("on") << false << true;
    QTest::newRow("off") << true << false;
    QTest::newRow("on again") << true << true;
    QTest::newRow("off again") << false << false;
}

void TextPaneViewTest::hoverFrame() {
    QFETCH(bool, initial);
    QFETCH(bool, set);

    Window w(Wrap::None);
    w.setLines({u"1: Shield [P]"_s});
    w.view->setHoverFrame(initial);
    w.show();
    QCoreApplication::processEvents();
    const QRect before = w.view->viewport()->geometry();

    PaintCounter counter;
    w.view->installEventFilter(&counter);
    w.view->viewport()->installEventFilter(&counter);
    w.view->setHoverFrame(set);
    QCoreApplication::processEvents();
    w.view->removeEventFilter(&counter);
    w.view->viewport()->removeEventFilter(&counter);

    const int inset = set == initial ? 0 : set ? 2 : -2;
    QCOMPARE(w.view->viewport()->geometry(), before.adjusted(inset, inset, -inset, -inset));
    QCOMPARE(counter.paints > 0, set != initial);
    const QImage image = w.view->grab().toImage();
    const QPalette& palette = w.view->palette();
    const QColor shadow = palette.color(QPalette::Mid);
    const QColor light = palette.color(QPalette::Light);
    const int y = image.height() / 2;
    const int right = image.width() - 1;
    // Lowered outside, raised inside.
    QCOMPARE(image.pixelColor(0, y) == shadow && image.pixelColor(1, y) == light, set);
    QCOMPARE(image.pixelColor(right, y) == light && image.pixelColor(right - 1, y) == shadow, set);
}

} // namespace quorvane

QTEST_MAIN(quorvane::TextPaneViewTest)
#include "test_text_pane_view.moc"
