#include "ui/TextSplit.h"

namespace quorvane {

QStringList splitItems(QStringView text) {
    QStringList items;
    qsizetype begin = 0;
    const qsizetype size = text.size();
    qsizetype i = 0;
    for (; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\0')
            break;
        if (c != u'\r' && c != u'\n')
            continue;
        items.append(text.sliced(begin, i - begin).toString());
        if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n')
            ++i; // CR LF is one break; LF CR stays two
        begin = i + 1;
    }
    // A final item without a break is taken; a break at the very end adds nothing.
    if (i > begin)
        items.append(text.sliced(begin, i - begin).toString());
    return items;
}

QString joinItems(const QStringList& items) {
    qsizetype total = 0;
    for (const QString& item : items)
        total += item.size() + 2;
    QString text;
    text.reserve(total);
    for (const QString& item : items) {
        text += item;
        text += u"\r\n";
    }
    return text;
}

QString decodeCodepage(QByteArrayView bytes) {
    // Windows-1252's bytes 80 to 9F; the unassigned ones keep their own value.
    static constexpr char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? high[b - 0x80] : char16_t(b);
    }
    return text;
}

QString fieldUpperCase(QStringView text) {
    QString upper(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char32_t c = QChar::toUpper(char32_t(text[i].unicode()));
        upper[i] = c < 0x10000 ? QChar(char16_t(c)) : text[i];
    }
    return upper;
}

} // namespace quorvane
