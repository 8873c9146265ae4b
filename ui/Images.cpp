#include "ui/Images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace quorvane::images {
namespace {

// Exact colours: the flag buttons key their transparency on exact pixel values, so no
// antialiasing may blend any of them.
constexpr QRgb black = qRgb(0, 0, 0);
constexpr QRgb white = qRgb(255, 255, 255);
constexpr QRgb pureRed = qRgb(255, 0, 0);
constexpr QRgb pureBlue = qRgb(0, 0, 255);
constexpr QRgb darkGreen = qRgb(0, 128, 0);

constexpr QRgb spainRed = qRgb(198, 11, 30);
// One unit off the bands' red, so the transparent key hits this corner pixel alone.
constexpr QRgb spainCorner = qRgb(199, 11, 30);
constexpr QRgb spainYellow = qRgb(255, 196, 0);
constexpr QRgb armsGold = qRgb(200, 150, 40);
constexpr QRgb armsDarkRed = qRgb(140, 20, 20);
constexpr QRgb armsBrown = qRgb(110, 70, 30);
constexpr QRgb armsCrown = qRgb(230, 170, 30);
constexpr QRgb armsSilver = qRgb(215, 215, 220);

constexpr int squareSide = 32;
constexpr int flagLeft = 1;
constexpr int flagTop = 7;
constexpr int flagWidth = 30;
constexpr int flagHeight = 18;

QImage blackSquare() {
    QImage image(squareSide, squareSide, QImage::Format_RGB32);
    image.fill(black);
    return image;
}

void fillRect(QImage& image, int x, int y, int w, int h, QRgb colour) {
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col)
            image.setPixel(col, row, colour);
}

// Which colour of the Union flag covers a pixel of the flag area, judged at the pixel centre.
QRgb unionFlagColour(int x, int y) {
    const double cx = x + 0.5 - flagWidth / 2.0;
    const double cy = y + 0.5 - flagHeight / 2.0;

    if (std::abs(cx) < 1.5 || std::abs(cy) < 1.0)
        return pureRed;
    if (std::abs(cx) < 3.0 || std::abs(cy) < 2.5)
        return white;

    // Signed distances to the two diagonals through the corners of the flag area.
    const double length = std::hypot(double(flagWidth), double(flagHeight));
    const double down = (cy * flagWidth - cx * flagHeight) / length; // top-left to bottom-right
    const double up = (cy * flagWidth + cx * flagHeight) / length;   // bottom-left to top-right
    // The red diagonals are counterchanged: on the hoist half they lie below the white
    // centre line, on the fly half above it.
    const bool hoist = cx < 0;
    const double redDown = hoist ? down : -down;
    const double redUp = hoist ? up : -up;
    if ((redDown > -0.1 && redDown < 0.9) || (redUp > -0.1 && redUp < 0.9))
        return pureRed;
    if (std::abs(down) < 1.6 || std::abs(up) < 1.6)
        return white;
    return pureBlue;
}

} // namespace

QImage italyFlag() {
    QImage image = blackSquare();
    constexpr int band = flagWidth / 3;
    fillRect(image, flagLeft, flagTop, band, flagHeight, darkGreen);
    fillRect(image, flagLeft + band, flagTop, band, flagHeight, white);
    fillRect(image, flagLeft + 2 * band, flagTop, band, flagHeight, pureRed);
    return image;
}

QImage unitedKingdomFlag() {
    QImage image = blackSquare();
    for (int y = 0; y < flagHeight; ++y)
        for (int x = 0; x < flagWidth; ++x)
            image.setPixel(flagLeft + x, flagTop + y, unionFlagColour(x, y));
    return image;
}

QImage spainFlag() {
    constexpr int width = 32;
    constexpr int height = 21;
    constexpr int redBand = 5;
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(spainYellow);
    fillRect(image, 0, 0, width, redBand, spainRed);
    fillRect(image, 0, height - redBand, width, redBand, spainRed);

    // A simplified coat of arms: a crowned, quartered shield between two pillars.
    fillRect(image, 9, 6, 4, 1, armsCrown);
    fillRect(image, 9, 7, 2, 2, armsDarkRed);
    fillRect(image, 11, 7, 2, 2, armsSilver);
    fillRect(image, 9, 9, 2, 2, armsSilver);
    fillRect(image, 11, 9, 2, 2, armsDarkRed);
    fillRect(image, 9, 11, 4, 1, armsGold);
    fillRect(image, 10, 12, 2, 1, armsGold);
    image.setPixel(9, 7, armsGold); // the castle
    image.setPixel(12, 9, armsGold);
    for (const int pillar : {6, 15}) {
        fillRect(image, pillar - 1, 6, 3, 1, armsBrown);
        fillRect(image, pillar, 7, 1, 6, armsSilver);
        fillRect(image, pillar - 1, 13, 3, 1, armsBrown);
    }

    image.setPixel(0, height - 1, spainCorner);
    return image;
}

QImage buttonImage(const QImage& image) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    if (result.isNull())
        return result;
    const QRgb key = result.pixel(0, result.height() - 1);
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x)
            if (result.pixel(x, y) == key)
                result.setPixel(x, y, qRgba(0, 0, 0, 0));
    return result;
}

QImage programIcon(int size) {
    QImage image(size, size, QImage::Format_RGB32);
    QPainter painter(&image);
    paintProgramIcon(painter, size);
    return image;
}

void paintProgramIcon(QPainter& painter, int size) {
    painter.fillRect(QRect(0, 0, size, size), QColor(14, 12, 22));
    painter.setRenderHint(QPainter::Antialiasing);
    // The drawing is laid out on a 32-unit grid; scaling the painter rather than the
    // finished image keeps the strokes crisp at every size.
    painter.scale(size / 32.0, size / 32.0);
    const double pixel = 32.0 / size;
    // Below 32 pixels a thin stroke would fade to grey, so none gets thinner than a pixel.
    const auto pen = [pixel](const QColor& colour, double width) {
        return QPen(colour, std::max(width, pixel), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    };

    struct Finger {
        double left;
        double top;
        double width;
    };
    // Edges sit on pixel centres of the 32-pixel drawing, so at that size each finger is a
    // pair of one-pixel lines with a dark pixel between fingers.
    constexpr std::array<Finger, 4> fingers{{
        {11.5, 8.5, 2.0},
        {15.5, 5.5, 2.0},
        {19.5, 6.5, 2.0},
        {23.5, 9.5, 2.0},
    }};
    constexpr double palmTop = 16.5;

    QPainterPath hand;
    hand.setFillRule(Qt::WindingFill);
    for (const Finger& f : fingers)
        hand.addRoundedRect(QRectF(f.left, f.top, f.width, palmTop + 3.0 - f.top), f.width / 2,
                            f.width / 2);
    QPainterPath palm;
    palm.moveTo(11.5, palmTop + 1.0);
    palm.lineTo(25.5, palmTop + 1.0);
    palm.lineTo(25.5, 22.0);
    palm.cubicTo(25.5, 24.5, 24.5, 26.0, 23.5, 27.0);
    palm.lineTo(23.5, 33.0);
    palm.lineTo(14.5, 33.0);
    palm.lineTo(14.5, 28.0);
    palm.cubicTo(12.5, 26.5, 11.5, 25.0, 11.5, palmTop + 1.0);
    palm.closeSubpath();
    hand.addPath(palm);

    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(-1.5, -8.5, 3.0, 11.0), 1.5, 1.5);
    QTransform thumbPlace;
    thumbPlace.translate(13.0, 23.5);
    thumbPlace.rotate(-42);
    hand.addPath(thumbPlace.map(thumb));
    const QPainterPath outline = hand.simplified();

    const QColor whiteInk(250, 250, 252);
    const QColor green(80, 230, 120);
    const QColor violet(180, 110, 255);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(pen(whiteInk, 1.0));
    if (size >= 24) {
        painter.drawPath(outline);
    } else {
        // Too few pixels to outline each finger: the fingers become single strokes on top
        // of an outlined palm, which still reads as an open hand.
        QPainterPath palmAndThumb = palm;
        palmAndThumb.addPath(thumbPlace.map(thumb));
        painter.drawPath(palmAndThumb.simplified());
        for (const Finger& f : fingers) {
            // Snapped to a pixel centre so each finger stays one sharp pixel wide.
            const double middle = (std::floor((f.left + f.width / 2) / pixel) + 0.5) * pixel;
            painter.drawLine(QPointF(middle, f.top + 0.5), QPointF(middle, palmTop + 1.0));
        }
    }

    // Green life lines across the palm.
    painter.setPen(pen(green, 1.0));
    QPainterPath lines;
    lines.moveTo(15.5, 21.0);
    lines.quadTo(19.5, 20.0, 23.5, 20.5);
    lines.moveTo(16.5, 26.5);
    lines.quadTo(15.5, 24.5, 16.0, 23.0);
    painter.drawPath(lines);

    // Violet rays around the open hand.
    painter.setPen(pen(violet, 1.0));
    painter.drawLine(QPointF(9.0, 6.0), QPointF(7.0, 4.0));
    painter.drawLine(QPointF(16.5, 2.5), QPointF(16.5, 0.5));
    painter.drawLine(QPointF(25.0, 5.0), QPointF(27.0, 3.0));
    painter.drawLine(QPointF(28.0, 12.5), QPointF(30.5, 11.5));
    painter.drawLine(QPointF(4.0, 10.0), QPointF(2.0, 8.5));
}

} // namespace quorvane::images
