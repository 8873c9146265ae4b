#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace quorvane {

// A list box seen through its operations: items and a selected row (-1 for none). Items
// only ever arrive through whole-text writes, so no item holds CR, LF or a zero character.
//
// A list may hold millions of rows read from a file, so the items are kept side by side in
// one buffer without their line breaks, with the end of each item and a byte for its first
// character.
class ListModel {
public:
    ListModel() = default;
    explicit ListModel(QStringView text) { setText(text); }
    // A copy holds the same items, so it keeps the revision; a list moved from is left empty
    // under a revision of its own.
    ListModel(const ListModel&) = default;
    ListModel& operator=(const ListModel&) = default;
    ListModel(ListModel&& other) noexcept;
    ListModel& operator=(ListModel&& other) noexcept;

    qsizetype count() const { return qsizetype(ends_.size()); }
    // Raises "List index out of bounds (%d)" for a row that does not exist.
    QString item(qsizetype row) const;
    // The row's characters, for a row that exists; valid until the list is next written.
    QStringView at(qsizetype row) const {
        const qsizetype begin = row == 0 ? 0 : qsizetype(ends_[std::size_t(row) - 1]);
        return QStringView(chars_).sliced(begin, qsizetype(ends_[std::size_t(row)]) - begin);
    }
    QStringList items() const;
    // How many characters the first `rows` items hold together.
    qsizetype characters(qsizetype rows) const {
        return rows > 0 ? qsizetype(ends_[std::size_t(rows) - 1]) : 0;
    }

    // For every row, a byte that tells its first character: 0 for an empty row, the
    // character's code below 255, and 255 for a character of code 255 or more. A search over
    // many rows can rule most of them out by this byte without reading their characters.
    QByteArrayView leadBytes() const {
        return {reinterpret_cast<const char*>(leads_.data()), qsizetype(leads_.size())};
    }
    static constexpr unsigned char EmptyLead = 0;
    static constexpr unsigned char OtherLead = 255;

    qsizetype selectedRow() const { return selected_; }
    // Any row outside the list selects none, as -1 does.
    void setSelectedRow(qsizetype row);

    // Every item followed by CR LF.
    QString text() const;
    // Empties the list, refills it from the text's lines and selects no row.
    void setText(QStringView text);

    // Reads the whole file and writes its bytes, one byte to one character, as the list's
    // text. Raises "Cannot open file "%s". %s" and leaves the list as it was when the file
    // cannot be opened or read, for anything that is not a regular file, and when the items
    // would not fit in memory or would hold more than MaxCharacters.
    void loadFromFile(const QString& path);

    // Changes with every write of the items and is never the same for two different
    // contents, so that work derived from the items can be kept until it changes.
    quint64 revision() const { return revision_; }

    // The most characters the items of one list can hold together.
    static constexpr qsizetype MaxCharacters = 0xFFFFFFFF;

private:
    class Builder;

    QString chars_; // every item's characters, one after the other
    // Standard vectors rather than Qt's: a load that runs out of memory must get an
    // exception from every allocation, to report it and keep the list.
    std::vector<quint32> ends_;        // where each item ends in chars_
    std::vector<unsigned char> leads_; // each item's lead byte
    qsizetype selected_ = -1;
    quint64 revision_ = 0;
};

} // namespace quorvane
