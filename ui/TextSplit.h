#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

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

// What the move-history field stores for typed, pasted or assigned text: every character
// turned into its capital one by one, so the length never changes.
QString fieldUpperCase(QStringView text);

} // namespace quorvane
