#include "ui/TextSplit.h"

#include "ui/ListModel.h"

namespace quorvane {

// Lists and panes split texts with the list's own splitting, so the rule is written once.
QStringList splitItems(QStringView text) {
    return ListModel(text).items();
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
