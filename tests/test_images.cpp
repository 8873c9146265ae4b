// The flag buttons' images and the program icon judged by their pixels: the exact colours and
// the flag area the buttons' transparency depends on, and an icon that is opaque, dark and
// carries its three stroke colours at every size.

#include "ui/Images.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <functional>

namespace quorvane {
namespace {

using ImageMaker = std::function<QImage()>;

constexpr QRgb black = qRgb(0, 0, 0);
constexpr QRgb white = qRgb(255, 255, 255);
constexpr QRgb red = qRgb(255, 0, 0);
constexpr QRgb blue = qRgb(0, 0, 255);
constexpr QRgb darkGreen = qRgb(0, 128, 0);

const QRect flagRect(1, 7, 30, 18);

QRgb rgbAt(const QImage& image, int x, int y) {
    return image.pixel(x, y) | 0xff000000u;
}

enum class Ink { NearBlack, White, Green, Violet, Other };

Ink inkOf(QRgb pixel) {
    const QColor c = QColor::fromRgb(pixel);
    if (c.value() < 40)
        return Ink::NearBlack;
    if (c.value() > 200 && c.hsvSaturation() < 40)
        return Ink::White;
    if (c.value() > 120 && c.hsvSaturation() > 100) {
        const int hue = c.hsvHue();
        if (hue >= 100 && hue <= 160)
            return Ink::Green;
        if (hue >= 255 && hue <= 300)
            return Ink::Violet;
    }
    return Ink::Other;
}

} // namespace

class ImagesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sizes_data() {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<QSize>("size");
        QTest::newRow("Italy") << images::italyFlag() << QSize(32, 32);
        QTest::newRow("United Kingdom") << images::unitedKingdomFlag() << QSize(32, 32);
        QTest::newRow("Spain") << images::spainFlag() << QSize(32, 21);
        QTest::newRow("icon default") << images::programIcon() << QSize(32, 32);
        for (const int side : images::programIconSizes)
            QTest::addRow("icon %d", side) << images::programIcon(side) << QSize(side, side);
    }
    void sizes() {
        QFETCH(QImage, image);
        QFETCH(QSize, size);
        QCOMPARE(image.size(), size);
    }

    void italyBands_data() {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("green top-left") << QPoint(1, 7) << darkGreen;
        QTest::newRow("green last column") << QPoint(10, 24) << darkGreen;
        QTest::newRow("white first column") << QPoint(11, 7) << white;
        QTest::newRow("white last column") << QPoint(20, 16) << white;
        QTest::newRow("red first column") << QPoint(21, 24) << red;
        QTest::newRow("red bottom-right") << QPoint(30, 24) << red;
        QTest::newRow("left margin") << QPoint(0, 15) << black;
        QTest::newRow("right margin") << QPoint(31, 15) << black;
        QTest::newRow("above") << QPoint(15, 6) << black;
        QTest::newRow("below") << QPoint(15, 25) << black;
    }
    void italyBands() {
        QFETCH(QPoint, pixel);
        QFETCH(QRgb, colour);
        QCOMPARE(rgbAt(images::italyFlag(), pixel.x(), pixel.y()), colour);
    }

    // Only the flag's own colours inside the area, each of them used, and black everywhere
    // else: the button keys its transparency on that black.
    void flagArea_data() {
        QTest::addColumn<ImageMaker>("make");
        QTest::addColumn<QList<QRgb>>("inside");
        QTest::newRow("Italy") << ImageMaker(images::italyFlag)
                               << QList<QRgb>{darkGreen, white, red};
        QTest::newRow("United Kingdom")
            << ImageMaker(images::unitedKingdomFlag) << QList<QRgb>{blue, white, red};
    }
    void flagArea() {
        QFETCH(ImageMaker, make);
        QFETCH(QList<QRgb>, inside);
        const QImage image = make();
        QSet<QRgb> used;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = rgbAt(image, x, y);
                if (flagRect.contains(x, y)) {
                    QVERIFY2(inside.contains(pixel),
                             qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                    used.insert(pixel);
                } else {
                    QVERIFY2(pixel == black, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                }
            }
        }
        QCOMPARE(used.size(), inside.size());
    }

    // The Union flag's counterchanged diagonals make it the same when turned half a turn, and
    // its red cross runs through the centre in both directions.
    void unionFlagShape() {
        const QImage image = images::unitedKingdomFlag();
        for (int y = flagRect.top(); y <= flagRect.bottom(); ++y)
            for (int x = flagRect.left(); x <= flagRect.right(); ++x)
                QCOMPARE(rgbAt(image, x, y), rgbAt(image, flagRect.right() + flagRect.left() - x,
                                                   flagRect.bottom() + flagRect.top() - y));
        const QPoint centre = flagRect.center();
        for (int x = flagRect.left(); x <= flagRect.right(); ++x)
            QCOMPARE(rgbAt(image, x, centre.y()), red);
        for (int y = flagRect.top(); y <= flagRect.bottom(); ++y)
            QCOMPARE(rgbAt(image, centre.x(), y), red);
        // Blue fields between the arms, along the top and bottom edges and at both ends.
        for (const QPoint field : {QPoint(8, 7), QPoint(23, 7), QPoint(8, 24), QPoint(23, 24),
                                   QPoint(1, 10), QPoint(30, 21)})
            QCOMPARE(rgbAt(image, field.x(), field.y()), blue);
    }

    void spainCornerIsUnique() {
        const QImage image = images::spainFlag();
        const QRgb corner = rgbAt(image, 0, image.height() - 1);
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += rgbAt(image, x, y) == corner ? 1 : 0;
        QCOMPARE(count, 1);
        // Red, yellow, red: the bands must still read as the flag around the unique corner.
        const QColor top = image.pixelColor(20, 0);
        const QColor middle = image.pixelColor(20, 10);
        const QColor bottom = image.pixelColor(20, image.height() - 1);
        QCOMPARE(top, bottom);
        QVERIFY(top.red() > 150 && top.green() < 60);
        QVERIFY(middle.red() > 200 && middle.green() > 150 && middle.blue() < 60);
    }

    // As the button shows it: exactly the pixels of the corner's colour vanish, the rest keep
    // their colour and stay fully opaque.
    void buttonTransparency_data() {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<std::function<bool(QImage, int, int)>>("clear");
        const auto isBlack = [](const QImage& source, int x, int y) {
            return rgbAt(source, x, y) == black;
        };
        const auto isCorner = [](const QImage& source, int x, int y) {
            return x == 0 && y == source.height() - 1;
        };
        QTest::newRow("Italy") << images::italyFlag()
                               << std::function<bool(QImage, int, int)>(isBlack);
        QTest::newRow("United Kingdom")
            << images::unitedKingdomFlag() << std::function<bool(QImage, int, int)>(isBlack);
        QTest::newRow("Spain") << images::spainFlag()
                               << std::function<bool(QImage, int, int)>(isCorner);
    }
    void buttonTransparency() {
        QFETCH(QImage, image);
        QFETCH(std::function<bool(QImage, int, int)>, clear);
        const QImage shown = images::buttonImage(image);
        QCOMPARE(shown.size(), image.size());
        QVERIFY(shown.hasAlphaChannel());
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = shown.pixel(x, y);
                if (clear(image, x, y)) {
                    QCOMPARE(qAlpha(pixel), 0);
                } else {
                    QCOMPARE(qAlpha(pixel), 255);
                    QCOMPARE(pixel, rgbAt(image, x, y));
                }
            }
        }
    }

    void icon_data() {
        QTest::addColumn<int>("side");
        for (const int side : images::programIconSizes)
            QTest::addRow("%d", side) << side;
    }
    void icon() {
        QFETCH(int, side);
        const QImage image = images::programIcon(side);
        QHash<Ink, int> counts;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                QCOMPARE(qAlpha(pixel), 255);
                ++counts[inkOf(pixel)];
            }
        }
        const int area = side * side;
        QVERIFY2(counts[Ink::NearBlack] > area / 2,
                 qPrintable(QString::number(counts[Ink::NearBlack])));
        // Each stroke colour covers a visible share, not a stray antialiased pixel or two.
        const int least = std::max(2, area / 200);
        QVERIFY2(counts[Ink::White] >= least, qPrintable(QString::number(counts[Ink::White])));
        QVERIFY2(counts[Ink::Green] >= least, qPrintable(QString::number(counts[Ink::Green])));
        QVERIFY2(counts[Ink::Violet] >= least, qPrintable(QString::number(counts[Ink::Violet])));
        // The four corners are the bare square.
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(side - 1, 0), QPoint(0, side - 1), QPoint(side - 1, side - 1)})
            QCOMPARE(inkOf(image.pixel(corner)), Ink::NearBlack);
    }
};

} // namespace quorvane

QTEST_APPLESS_MAIN(quorvane::ImagesTest)
#include "test_images.moc"
