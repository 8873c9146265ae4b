#pragma once

#include <QImage>

class QPainter;

#include <array>

namespace quorvane::images {

// The flag buttons' images. Italy and the United Kingdom sit on a black 32 x 32 square with
// the flag in columns 1..30 and rows 7..24; Spain fills its whole 32 x 21 image.
QImage italyFlag();
QImage unitedKingdomFlag();
QImage spainFlag();

// The image as a flat button shows it: every pixel of the bottom-left pixel's colour becomes
// fully transparent so the button face shows through. Always ARGB32.
QImage buttonImage(const QImage& image);

// The program icon, drawn afresh at each size so small sizes stay sharp. Fully opaque.
QImage programIcon(int size = 32);
// Draws the icon into the square (0, 0, size, size) of any paint device, a scalable one too.
void paintProgramIcon(QPainter& painter, int size);

// The sizes an icon set for the program file and the taskbar carries.
inline constexpr std::array<int, 6> programIconSizes{16, 32, 48, 64, 128, 256};

} // namespace quorvane::images
