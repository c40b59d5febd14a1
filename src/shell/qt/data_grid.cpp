#include "shell/qt/data_grid.h"

#include <QHeaderView>
#include <QMouseEvent>

#include "shell/qt/qt_text.h"

namespace tolvaran {

DataGrid::DataGrid(const QString& name, bool multiSelect, QWidget* parent)
    : QTableView(parent), model_(this) {
    setObjectName(name);
    setModel(&model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    setContextMenuPolicy(Qt::PreventContextMenu);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                emit CurrentRowChanged(current.isValid() ? current.row() : -1);
            });
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
        if (model_.RowCount() > 0)
            SetCurrentRow(0);
        else
            emit CurrentRowChanged(-1);
    });
}

void DataGrid::ApplyColumns() {
    const auto& cols = model_.Columns();
    for (size_t i = 0; i < cols.size(); ++i) setColumnWidth(static_cast<int>(i), cols[i].width);
}

void DataGrid::FitColumns() {
    constexpr int kPadding = 12;        // pixels around a cell's text
    constexpr int kSortIndicator = 18;  // pixels a header keeps for its sort arrow
    const auto& cols = model_.Columns();
    const QFontMetrics metrics = fontMetrics();
    const QFontMetrics headerMetrics = horizontalHeader()->fontMetrics();
    for (int c = 0; c < static_cast<int>(cols.size()); ++c) {
        int widest = 0;
        for (int r = 0; r < model_.RowCount(); ++r) {
            const QString text = model_.data(model_.index(r, c), Qt::DisplayRole).toString();
            widest = std::max(widest, metrics.horizontalAdvance(text) + kPadding);
        }
        const int caption = headerMetrics.horizontalAdvance(Q(cols[static_cast<size_t>(c)].caption)) +
                            kPadding + (isSortingEnabled() ? kSortIndicator : 0);
        setColumnWidth(c, std::max(caption, std::min(widest, cols[static_cast<size_t>(c)].width)));
    }
}

void DataGrid::setSortable(bool sortable) {
    // No column is marked until the user clicks one, so the query's order stands.
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    setSortingEnabled(sortable);
}

void DataGrid::setEditable(bool editable) {
    model_.setEditable(editable);
    setEditTriggers(editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed
                             : QAbstractItemView::NoEditTriggers);
}

QWidget* DataGrid::OpenEditor() const {
    if (state() != QAbstractItemView::EditingState) return nullptr;
    // Cell editors are made as children of the viewport.
    const auto children = viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* w : children)
        if (!w->isHidden()) return w;
    return nullptr;
}

void DataGrid::CommitEdit() {
    if (QWidget* editor = OpenEditor()) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void DataGrid::DiscardEdit() {
    // Closing without a commit; the editor would otherwise store its text when it loses focus.
    if (QWidget* editor = OpenEditor()) closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

int DataGrid::CurrentRow() const {
    const QModelIndex current = selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void DataGrid::SetCurrentRow(int row) {
    if (row < 0 || row >= model_.RowCount()) {
        selectionModel()->clearCurrentIndex();
        return;
    }
    selectionModel()->setCurrentIndex(model_.index(row, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

vb::Variant DataGrid::CurrentValue(const std::string& field) const {
    return model_.Value(CurrentRow(), field);
}

std::vector<int> DataGrid::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool DataGrid::IsRowSelected(int row) const {
    return selectionModel()->isRowSelected(row, {});
}

void DataGrid::SetRowSelected(int row, bool selected) {
    if (row < 0 || row >= model_.RowCount()) return;
    selectionModel()->select(
        model_.index(row, 0),
        (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) | QItemSelectionModel::Rows);
}

void DataGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // The right button also focuses the row under the pointer, then opens the menu.
        const QModelIndex at = indexAt(event->pos());
        if (at.isValid() && !IsRowSelected(at.row())) SetCurrentRow(at.row());
        emit RightButtonPressed();
        return;
    }
    QTableView::mousePressEvent(event);
    emit LeftButtonPressed();
}

}  // namespace tolvaran
