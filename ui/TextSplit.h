#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

namespace quorvane {

// Splits a text into items: CR LF, a lone CR and a lone LF each end an item, LF CR is two
// breaks, a zero character ends the text, and a break at the very end adds no item.
// Items never contain CR, LF or a zero character afterwards.
QStringList splitItems(QStringView text);

// Joins items into one text, each followed by CR LF.
QString joinItems(const QStringList& items);

// Decodes bytes one to one in the program's 8-bit character set: Windows-1252, with its five
// unassigned bytes (81, 8D, 8F, 90, 9D hex) taken as the code points of the same value.
QString decodeCodepage(QByteArrayView bytes);

namespace detail {
// Windows-1252's bytes 80 to 9F differ from their code points; the unassigned ones keep
// their own value.
inline constexpr std::array<char16_t, 256> CodepageCharacters = [] {
    constexpr char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                   0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::array<char16_t, 256> table{};
    for (unsigned b = 0; b < 256; ++b)
        table[b] = (b >= 0x80 && b < 0xA0) ? high[b - 0x80] : char16_t(b);
    return table;
}();
} // namespace detail

// The character of one byte in that character set.
constexpr char16_t decodeCodepageByte(unsigned char b) {
    return detail::CodepageCharacters[b];
}

// What the move-history field stores for typed, pasted or assigned text: every character
// turned into its capital one by one, so the length never changes.
QString fieldUpperCase(QStringView text);

} // namespace quorvane
