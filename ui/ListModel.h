#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace quorvane {

// A list box seen through its operations: items and a selected row (-1 for none). Items
// only ever arrive through whole-text writes, so no item holds CR, LF or a zero character.
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

    qsizetype count() const { return items_.size(); }
    // Raises "List index out of bounds (%d)" for a row that does not exist.
    const QString& item(qsizetype row) const;
    const QStringList& items() const { return items_; }

    qsizetype selectedRow() const { return selected_; }
    // Any row outside the list selects none, as -1 does.
    void setSelectedRow(qsizetype row);

    // Every item followed by CR LF.
    QString text() const;
    // Empties the list, refills it from the text's lines and selects no row.
    void setText(QStringView text);

    // Reads the whole file and writes its bytes, one byte to one character, as the list's
    // text. Raises "Cannot open file "%s". %s" and leaves the list as it was when the file
    // cannot be opened or read, and for anything that is not a regular file.
    void loadFromFile(const QString& path);

    // Changes with every write of the items and is never the same for two different
    // contents, so that work derived from the items can be kept until it changes.
    quint64 revision() const { return revision_; }

private:
    QStringList items_;
    qsizetype selected_ = -1;
    quint64 revision_ = 0;
};

} // namespace quorvane
