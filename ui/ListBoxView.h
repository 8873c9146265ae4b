#pragma once

// ListBoxView shows a ListModel that it does not own; whoever changes the items calls
// refresh(), and whoever writes the selected row calls syncSelection(). The view keeps no
// copy of the items and every row has the same height, so a list of any length costs the
// same to show. The selection that the user makes is written to the model before clicked()
// reports it; a selection that the program writes is shown without any signal.

#include "ui/ListModel.h"

#include <QListView>

class QEvent;
class QKeyEvent;
class QModelIndex;
class QMouseEvent;

namespace quorvane {

namespace detail {
class ListAdapter;
}

class ListBoxView : public QListView {
    Q_OBJECT

public:
    explicit ListBoxView(QWidget* parent = nullptr);
    ~ListBoxView() override;

    // The view reads the items and writes the selected row only when the user picks one.
    void setModel(ListModel* model);
    ListModel* listModel() const { return list_; }

    // The model's items changed: shows them from the top with the model's selected row.
    void refresh();
    // The program wrote the model's selected row: selects it and scrolls it into view, or
    // clears the selection for a row that does not exist. A row already selected is left
    // alone, without scrolling.
    void syncSelection();

    // A flat two-pixel frame inside the bounds, which shrinks the content area by as much.
    void setHoverFrame(bool on);
    bool hoverFrame() const { return hoverFrame_; }

    // The row height at 96 dots per inch.
    static constexpr int DesignRowHeight = 13;

Q_SIGNALS:
    // The user selected a row with a left click (also on the row already selected), by
    // dragging with the left button, or from the keyboard.
    void clicked();
    // A left double click; its first press has already given clicked().
    void doubleClicked();
    // Any button pressed over the rows; buttonsDown includes the pressed button. Only the
    // left button selects.
    void mousePressed(Qt::MouseButton button, Qt::MouseButtons buttonsDown,
                      Qt::KeyboardModifiers modifiers);
    // The pointer moved over the rows, with or without buttons held.
    void mouseMoved();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyboardSearch(const QString& search) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    qsizetype viewSelectedRow() const;
    void takeSelection();
    void pickRow(qsizetype row);
    void press(QMouseEvent* event);

    ListModel* list_ = nullptr;
    detail::ListAdapter* adapter_ = nullptr; // a child of the view
    bool hoverFrame_ = false;
    bool syncing_ = false;
    bool pressDelivered_ = false;
};

} // namespace quorvane
