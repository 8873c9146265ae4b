#include "ui/ListBoxView.h"

#include "ui/HoverFrame.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QSize>

#include <algorithm>
#include <climits>
#include <cmath>

namespace quorvane {

// More than any row can show at any width.
constexpr qsizetype DisplayedCharacters = 4096;

namespace detail {

// Rows are counted once per reset, so a model that changed without a refresh yet is never
// read past its end.
class ListAdapter : public QAbstractListModel {
public:
    explicit ListAdapter(QObject* parent) : QAbstractListModel(parent) {}

    void reset(const ListModel* list) {
        beginResetModel();
        list_ = list;
        rows_ = list ? int(std::min<qsizetype>(list->count(), INT_MAX)) : 0;
        endResetModel();
    }

    void setRowHeight(int height) { rowHeight_ = height; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : rows_;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!list_ || !index.isValid() || index.row() >= list_->count())
            return {};
        switch (role) {
        case Qt::DisplayRole:
            // A row shows a few dozen characters; Qt would lay out the whole of a huge item
            // (a file of one long line) to shorten it, which stalls painting for minutes.
            return list_->at(index.row()).left(DisplayedCharacters).toString();
        case Qt::SizeHintRole:
            // The view stretches rows across its width; only the height counts.
            return QSize(1, rowHeight_);
        default:
            return {};
        }
    }

private:
    const ListModel* list_ = nullptr;
    int rows_ = 0;
    int rowHeight_ = ListBoxView::DesignRowHeight;
};

} // namespace detail

ListBoxView::ListBoxView(QWidget* parent)
    : QListView(parent), adapter_(new detail::ListAdapter(this)) {
    setFrameShape(QFrame::NoFrame);
    setFrameShadow(QFrame::Plain);
    setLineWidth(HoverFrameWidth);
    setFocusPolicy(Qt::StrongFocus);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setUniformItemSizes(true);
    setLayoutMode(QListView::SinglePass);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    adapter_->setRowHeight(std::max(1, int(std::lround(DesignRowHeight * logicalDpiY() / 96.0))));
    QListView::setModel(adapter_);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ListBoxView::takeSelection);
}

ListBoxView::~ListBoxView() = default;

void ListBoxView::setModel(ListModel* model) {
    list_ = model;
    refresh();
}

void ListBoxView::refresh() {
    {
        const QScopedValueRollback guard(syncing_, true);
        adapter_->reset(list_);
    }
    scrollToTop();
    syncSelection();
}

void ListBoxView::syncSelection() {
    const QScopedValueRollback guard(syncing_, true);
    const qsizetype row = list_ ? list_->selectedRow() : -1;
    if (row < 0 || row >= adapter_->rowCount()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = adapter_->index(int(row));
    if (selectionModel()->isSelected(index) && currentIndex() == index)
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index, QAbstractItemView::EnsureVisible);
}

void ListBoxView::setHoverFrame(bool on) {
    if (on == hoverFrame_)
        return;
    hoverFrame_ = on;
    // The frame's width keeps the viewport and the scroll bar inside the frame; its pixels
    // are drawn over by paintHoverFrame. Setting the viewport margins again makes the scroll
    // area lay out its children at once.
    setFrameShape(on ? QFrame::Box : QFrame::NoFrame);
    setViewportMargins(viewportMargins());
    update();
}

bool ListBoxView::event(QEvent* event) {
    const bool handled = QListView::event(event);
    if (event->type() == QEvent::Paint && hoverFrame_)
        paintHoverFrame(*this);
    return handled;
}

qsizetype ListBoxView::viewSelectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void ListBoxView::takeSelection() {
    if (!syncing_ && list_)
        list_->setSelectedRow(viewSelectedRow());
}

// The model may hold a row that the program wrote without a sync; the user's pick wins.
void ListBoxView::pickRow(qsizetype row) {
    if (list_)
        list_->setSelectedRow(row);
    Q_EMIT clicked();
}

void ListBoxView::press(QMouseEvent* event) {
    pressDelivered_ = true;
    if (event->button() == Qt::LeftButton) {
        QListView::mousePressEvent(event);
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid())
            pickRow(index.row());
    } else {
        // Only the left button chooses a row; the others leave the selection to the program.
        event->accept();
    }
    Q_EMIT mousePressed(event->button(), event->buttons(), event->modifiers());
}

void ListBoxView::mousePressEvent(QMouseEvent* event) {
    press(event);
}

void ListBoxView::mouseReleaseEvent(QMouseEvent* event) {
    pressDelivered_ = false;
    if (event->button() == Qt::LeftButton)
        QListView::mouseReleaseEvent(event);
    else
        event->accept();
}

void ListBoxView::mouseDoubleClickEvent(QMouseEvent* event) {
    // Depending on where the events come from, the second press of a double click arrives on
    // its own before this event or only as this event; either way it is one press.
    if (!pressDelivered_)
        press(event);
    event->accept();
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
}

void ListBoxView::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT mouseMoved();
    const qsizetype before = viewSelectedRow();
    QListView::mouseMoveEvent(event);
    const qsizetype after = viewSelectedRow();
    if ((event->buttons() & Qt::LeftButton) && after >= 0 && after != before)
        pickRow(after);
}

void ListBoxView::keyPressEvent(QKeyEvent* event) {
    const qsizetype before = viewSelectedRow();
    // Without a selection the first move starts from the top, not from a row that the view
    // made current on its own.
    if (before < 0)
        selectionModel()->clearCurrentIndex();
    QListView::keyPressEvent(event);
    const qsizetype after = viewSelectedRow();
    if (after >= 0 && after != before)
        pickRow(after);
}

// A typed character selects the next row that begins with it, going round to the top.
void ListBoxView::keyboardSearch(const QString& search) {
    const int rows = adapter_->rowCount();
    if (search.isEmpty() || rows == 0 || !list_)
        return;
    const int start = int(viewSelectedRow()) + 1;
    for (int i = 0; i < rows; ++i) {
        const int row = (start + i) % rows;
        if (row < list_->count() && list_->at(row).startsWith(search, Qt::CaseInsensitive)) {
            const QModelIndex index = adapter_->index(row);
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
            scrollTo(index, QAbstractItemView::EnsureVisible);
            return;
        }
    }
}

// A row stays selected until another is chosen: a Ctrl press does not deselect it, and a
// release changes nothing.
QItemSelectionModel::SelectionFlags ListBoxView::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const {
    if (!index.isValid() || (event && event->type() == QEvent::MouseButtonRelease))
        return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

} // namespace quorvane
