#include "shell/data_grid.h"

#include <QHeaderView>
#include <QMouseEvent>

#include "shell/qt_text.h"

namespace tolvaran {

void DatasetModel::setSource(std::string table, std::string filter, std::vector<vb::Variant> params,
                             std::string orderBy) {
    table_ = std::move(table);
    filter_ = std::move(filter);
    params_ = std::move(params);
    orderBy_ = std::move(orderBy);
}

std::string DatasetModel::CommandText() const {
    std::string sql = "SELECT * FROM " + table_;
    if (!filter_.empty()) sql += " WHERE " + filter_;
    if (!orderBy_.empty()) sql += " ORDER BY " + orderBy_;
    return sql;
}

void DatasetModel::setColumns(std::vector<GridColumn> columns) {
    beginResetModel();
    columns_ = std::move(columns);
    endResetModel();
}

void DatasetModel::Open() {
    ado::Recordset rs;
    rs.Open(CommandText(), connection_, ado::adOpenStatic, ado::adLockReadOnly, params_);
    std::vector<std::string> fields;
    for (int i = 0; i < rs.FieldCount(); ++i) fields.push_back(rs.Fields(i).Name());
    std::vector<std::vector<vb::Variant>> rows;
    while (!rs.Eof()) {
        std::vector<vb::Variant> row;
        row.reserve(fields.size());
        for (int i = 0; i < rs.FieldCount(); ++i) row.push_back(rs.Fields(i).Value());
        rows.push_back(std::move(row));
        rs.MoveNext();
    }
    rs.Close();
    beginResetModel();
    fields_ = std::move(fields);
    rows_ = std::move(rows);
    open_ = true;
    endResetModel();
}

void DatasetModel::Close() {
    beginResetModel();
    rows_.clear();
    open_ = false;
    endResetModel();
}

int DatasetModel::FieldIndex(const std::string& field) const {
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (QString::compare(Q(fields_[i]), Q(field), Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    }
    return -1;
}

vb::Variant DatasetModel::Value(int row, const std::string& field) const {
    const int f = FieldIndex(field);
    if (row < 0 || row >= RowCount() || f < 0) return vb::Variant::null();
    return rows_[static_cast<size_t>(row)][static_cast<size_t>(f)];
}

void DatasetModel::AddNew() {
    pending_.emplace();
}

void DatasetModel::SetField(const std::string& field, const vb::Variant& value) {
    if (!pending_) throw vb::ComError(3020, "Update or CancelUpdate without AddNew or Edit.");
    pending_->emplace_back(field, value);
}

int DatasetModel::Post() {
    if (!pending_) throw vb::ComError(3020, "Update or CancelUpdate without AddNew or Edit.");
    const auto values = std::move(*pending_);
    pending_.reset();
    // An empty updatable recordset on the table: the new row is written by the recordset,
    // which reads the autonumber key back.
    ado::Recordset rs;
    rs.Open("SELECT * FROM " + table_ + " WHERE 1 = 0", connection_, ado::adOpenDynamic,
            ado::adLockOptimistic);
    rs.AddNew();
    for (const auto& [field, value] : values) rs.set(field, value);
    rs.Update();
    std::vector<std::string> fields;
    std::vector<vb::Variant> row;
    for (int i = 0; i < rs.FieldCount(); ++i) {
        fields.push_back(rs.Fields(i).Name());
        row.push_back(rs.Fields(i).Value());
    }
    lastKey_ = keyField_.empty() ? vb::Variant::null() : rs[keyField_];
    rs.Close();
    if (fields_.empty()) fields_ = fields;
    if (fields != fields_) {
        // The dataset was opened on other columns: keep its layout, by name.
        std::vector<vb::Variant> mapped(fields_.size(), vb::Variant::null());
        for (size_t i = 0; i < fields.size(); ++i) {
            const int f = FieldIndex(fields[i]);
            if (f >= 0) mapped[static_cast<size_t>(f)] = row[i];
        }
        row = std::move(mapped);
    }
    beginInsertRows({}, RowCount(), RowCount());
    rows_.push_back(std::move(row));
    endInsertRows();
    return RowCount() - 1;
}

void DatasetModel::Delete(int row) {
    if (row < 0 || row >= RowCount()) return;
    const vb::Variant key = Value(row, keyField_);
    if (keyField_.empty() || key.IsNull()) throw vb::ComError(3021, "No current record.");
    connection_->Execute(
        "DELETE FROM " + table_ + " WHERE " + connection_->driver().quoteName(keyField_) + " = ?", {key});
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

int DatasetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    const vb::Variant v = Value(index.row(), columns_[static_cast<size_t>(index.column())].field);
    if (v.IsNull() || v.IsEmpty()) return QString();
    return Q(v.ToString());
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal && section >= 0 && section < static_cast<int>(columns_.size()))
        return Q(columns_[static_cast<size_t>(section)].caption);
    return {};
}

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
