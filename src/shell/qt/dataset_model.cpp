// The dataset side of the data grid (DatasetModel, declared in data_grid.h).
#include <algorithm>

#include "platform/common/com_error.h"
#include "shell/qt/data_grid.h"
#include "shell/qt/qt_text.h"

namespace tolvaran {
namespace {

bool IsNumberType(ado::DataTypeEnum t) {
    switch (t) {
        case ado::adSmallInt:
        case ado::adInteger:
        case ado::adSingle:
        case ado::adDouble:
        case ado::adCurrency:
        case ado::adDecimal:
        case ado::adTinyInt:
        case ado::adUnsignedTinyInt:
        case ado::adBigInt:
        case ado::adNumeric:
            return true;
        default:
            return false;
    }
}

bool IsWholeNumberType(ado::DataTypeEnum t) {
    return t == ado::adSmallInt || t == ado::adInteger || t == ado::adTinyInt ||
           t == ado::adUnsignedTinyInt || t == ado::adBigInt;
}

bool IsNumberValue(const vb::Variant& v) {
    return v.Type() == vb::VarType::Long || v.Type() == vb::VarType::Double ||
           v.Type() == vb::VarType::Boolean;
}

// Order of two values of one column: Null and Empty first, numbers by value, dates by time,
// anything else by its text without regard to case.
int CompareValues(const vb::Variant& a, const vb::Variant& b) {
    const bool aMissing = a.IsNull() || a.IsEmpty();
    const bool bMissing = b.IsNull() || b.IsEmpty();
    if (aMissing || bMissing) return (aMissing ? 0 : 1) - (bMissing ? 0 : 1);
    if (IsNumberValue(a) && IsNumberValue(b)) {
        const double x = a.ToDouble(), y = b.ToDouble();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    if (a.Type() == vb::VarType::Date && b.Type() == vb::VarType::Date) {
        const double x = a.ToDate().serial, y = b.ToDate().serial;
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    return QString::compare(Q(a.ToString()), Q(b.ToString()), Qt::CaseInsensitive);
}

}  // namespace

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
    std::vector<ado::DataTypeEnum> types;
    for (int i = 0; i < rs.FieldCount(); ++i) {
        fields.push_back(rs.Fields(i).Name());
        types.push_back(rs.Fields(i).Type());
    }
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
    types_ = std::move(types);
    rows_ = std::move(rows);
    edits_.clear();
    open_ = true;
    SortRows();
    endResetModel();
}

void DatasetModel::Close() {
    beginResetModel();
    rows_.clear();
    edits_.clear();
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

std::string DatasetModel::Text(int row, int column) const {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return {};
    const vb::Variant v = Value(row, columns_[static_cast<size_t>(column)].field);
    return v.IsNull() || v.IsEmpty() ? std::string() : v.ToString();
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
    const ado::Driver& driver = connection_->driver();
    connection_->Execute(
        "DELETE FROM " + driver.quoteName(table_) + " WHERE " + driver.quoteName(keyField_) + " = ?", {key});
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

int DatasetModel::RowOfKey(const vb::Variant& key) const {
    const int k = FieldIndex(keyField_);
    for (int r = 0; k >= 0 && r < RowCount(); ++r)
        if (CompareValues(rows_[static_cast<size_t>(r)][static_cast<size_t>(k)], key) == 0) return r;
    return -1;
}

void DatasetModel::StoreField(const vb::Variant& key, const std::string& field, const vb::Variant& value) {
    const ado::Driver& driver = connection_->driver();
    connection_->Execute("UPDATE " + driver.quoteName(table_) + " SET " + driver.quoteName(field) +
                             " = ? WHERE " + driver.quoteName(keyField_) + " = ?",
                         {value, key});
    const int row = RowOfKey(key);
    const int f = FieldIndex(field);
    if (row < 0 || f < 0) return;
    rows_[static_cast<size_t>(row)][static_cast<size_t>(f)] = value;
    for (size_t c = 0; c < columns_.size(); ++c) {
        if (FieldIndex(columns_[c].field) != f) continue;
        const QModelIndex at = index(row, static_cast<int>(c));
        emit dataChanged(at, at);
    }
}

void DatasetModel::WriteField(int row, const std::string& field, const vb::Variant& value) {
    const vb::Variant key = Value(row, keyField_);
    if (key.IsNull() || key.IsEmpty() || FieldIndex(field) < 0)
        throw vb::ComError(3021, "No current record.");
    const vb::Variant before = Value(row, field);
    StoreField(key, field, value);
    const bool known = std::any_of(edits_.begin(), edits_.end(), [&](const Edit& e) {
        return e.field == field && CompareValues(e.key, key) == 0;
    });
    if (!known) edits_.push_back({key, field, before});
}

void DatasetModel::RevertEdits() {
    while (!edits_.empty()) {
        const Edit e = edits_.back();
        StoreField(e.key, e.field, e.before);
        edits_.pop_back();
    }
}

vb::Variant DatasetModel::FromTyped(const QString& text, int column) const {
    const GridColumn& col = columns_[static_cast<size_t>(column)];
    const int f = FieldIndex(col.field);
    const ado::DataTypeEnum type = f < 0 ? ado::adVarWChar : types_[static_cast<size_t>(f)];
    if (!IsNumberType(type)) return vb::Variant(S(text));
    const QString t = text.trimmed();
    if (t.isEmpty()) return vb::Variant::null();
    const vb::Variant typed(S(t));
    if (!typed.IsNumeric())
        throw vb::ComError(13, "\"" + S(t) + "\" is not a number: " + col.caption + " holds numbers.");
    if (IsWholeNumberType(type)) return vb::Variant(static_cast<long long>(typed.ToLong()));
    return vb::Variant(typed.ToDouble());
}

int DatasetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::EditRole) return {};
    QString text = QLines(Text(index.row(), index.column()));
    // A row is one line high: line breaks show as blanks; the tip and the editor keep them.
    if (role == Qt::DisplayRole) text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal && section >= 0 && section < static_cast<int>(columns_.size()))
        return Q(columns_[static_cast<size_t>(section)].caption);
    return {};
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (editable_ && index.isValid() &&
        QString::compare(Q(columns_[static_cast<size_t>(index.column())].field), Q(keyField_),
                         Qt::CaseInsensitive) != 0)
        f |= Qt::ItemIsEditable;
    return f;
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    try {
        const vb::Variant typed = FromTyped(value.toString(), index.column());
        const std::string& field = columns_[static_cast<size_t>(index.column())].field;
        if (typed == Value(index.row(), field)) return true;
        WriteField(index.row(), field, typed);
        return true;
    } catch (const std::exception& e) {
        emit EditRefused(Q(e.what()));
        return false;
    }
}

std::vector<size_t> DatasetModel::SortRows() {
    std::vector<size_t> order(rows_.size());
    for (size_t r = 0; r < order.size(); ++r) order[r] = r;
    if (sortColumn_ < 0 || sortColumn_ >= static_cast<int>(columns_.size())) return order;
    const int f = FieldIndex(columns_[static_cast<size_t>(sortColumn_)].field);
    if (f < 0) return order;
    const auto at = static_cast<size_t>(f);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int c = CompareValues(rows_[a][at], rows_[b][at]);
        return sortOrder_ == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    std::vector<std::vector<vb::Variant>> sorted;
    sorted.reserve(rows_.size());
    for (size_t r : order) sorted.push_back(std::move(rows_[r]));
    rows_ = std::move(sorted);
    return order;
}

void DatasetModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    sortColumn_ = column;
    sortOrder_ = order;
    const std::vector<size_t> from = SortRows();
    // The view's current and selected rows follow their rows to their new places.
    std::vector<int> newRowOf(from.size());
    for (size_t r = 0; r < from.size(); ++r) newRowOf[from[r]] = static_cast<int>(r);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& i : before)
        after.push_back(index(newRowOf[static_cast<size_t>(i.row())], i.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace tolvaran
