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
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = decodeCodepageByte(static_cast<unsigned char>(bytes[i]));
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
