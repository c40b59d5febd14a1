#pragma once
// A data grid (dxDatabases, dxReports, the grids of the error-log viewer and the layout
// editor): a table view over a dataset bound to one table or saved query of the lists file.
// The dataset is the query "SELECT * FROM <source> [WHERE <filter>] [ORDER BY ...]" with bound
// values, read into memory when opened; it shows the configured columns, has a current
// (focused) row and a set of selected rows, and appends rows: AddNew, SetField, Post write a
// new row to the table and read its autonumber key back. A grid may let its columns be sorted
// by a click on their header, fit its column widths to their contents, and let its cells be
// edited: each edit is written at once to its row, found by the key field, and the edits
// since the dataset was opened can be taken back.
#include <QAbstractTableModel>
#include <QTableView>
#include <optional>
#include <string>
#include <vector>

#include "platform/ado/ado.h"

namespace tolvaran {

struct GridColumn {
    std::string caption;
    std::string field;
    int width = 100;  // pixels; the widest FitColumns makes the column unless its caption needs more
};

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    using QAbstractTableModel::QAbstractTableModel;

    void setConnection(ado::ConnectionPtr connection) { connection_ = std::move(connection); }
    const ado::ConnectionPtr& connection() const { return connection_; }
    // The bound query: table, an optional filter with '?' placeholders and its values, and an
    // optional ORDER BY list.
    void setSource(std::string table, std::string filter = {}, std::vector<vb::Variant> params = {},
                   std::string orderBy = {});
    std::string CommandText() const;
    void setKeyField(std::string field) { keyField_ = std::move(field); }
    const std::string& KeyField() const { return keyField_; }
    void setColumns(std::vector<GridColumn> columns);
    const std::vector<GridColumn>& Columns() const { return columns_; }

    // Opens the dataset (reads the rows); throws vb::ComError when the query fails.
    void Open();
    void Close();
    bool IsOpen() const { return open_; }

    int RowCount() const { return static_cast<int>(rows_.size()); }
    // The value of field in row (from 0); Null when the row or field does not exist.
    vb::Variant Value(int row, const std::string& field) const;
    // The text of a shown cell as stored (line breaks kept); empty for Null.
    std::string Text(int row, int column) const;

    // Editing: every shown column but the key field, when editable. WriteField stores value
    // in the row's table row (found by the key field) and in the dataset; throws
    // vb::ComError when the row has no key or the write fails. An edit made through the view
    // that cannot be stored is refused with EditRefused.
    void setEditable(bool editable) { editable_ = editable; }
    bool IsEditable() const { return editable_; }
    void WriteField(int row, const std::string& field, const vb::Variant& value);
    // Whether rows were changed since the dataset was opened or the edits were accepted.
    bool HasEdits() const { return !edits_.empty(); }
    // Writes back the values the edited fields had before their first edit, newest first.
    void RevertEdits();
    // Keeps the edits: a later RevertEdits leaves them.
    void AcceptEdits() { edits_.clear(); }

    // Appending: AddNew starts a row, SetField fills it, Post writes it and returns its
    // position in the dataset (the row is added at the end until the next Open).
    void AddNew();
    void SetField(const std::string& field, const vb::Variant& value);
    int Post();
    // The key of the row posted last (Null before one).
    const vb::Variant& LastPostedKey() const { return lastKey_; }
    // Deletes row (from 0) from the table by its key and from the dataset; a row that does
    // not exist is ignored. Throws vb::ComError when the table refuses the delete.
    void Delete(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // Orders the rows by a shown column (numbers as numbers, texts without regard to case,
    // Null first); the order holds when the dataset is opened again. A column outside the
    // shown ones leaves the query's order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  signals:
    void EditRefused(const QString& message);

  private:
    struct Edit {
        vb::Variant key;
        std::string field;
        vb::Variant before;
    };

    int FieldIndex(const std::string& field) const;
    // The text typed into a cell as a value of the field's type.
    vb::Variant FromTyped(const QString& text, int column) const;
    void StoreField(const vb::Variant& key, const std::string& field, const vb::Variant& value);
    int RowOfKey(const vb::Variant& key) const;
    // Puts the rows in the order of the sort column; returns, for each new place, the row's
    // place before.
    std::vector<size_t> SortRows();

    ado::ConnectionPtr connection_;
    std::string table_, filter_, orderBy_;
    std::vector<vb::Variant> params_;
    std::string keyField_;
    std::vector<GridColumn> columns_;
    bool open_ = false;
    std::vector<std::string> fields_;
    std::vector<ado::DataTypeEnum> types_;
    std::vector<std::vector<vb::Variant>> rows_;
    bool editable_ = false;
    std::vector<Edit> edits_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    std::optional<std::vector<std::pair<std::string, vb::Variant>>> pending_;
    vb::Variant lastKey_ = vb::Variant::null();
};

class DataGrid : public QTableView {
    Q_OBJECT
  public:
    // multiSelect: whether several rows can be selected (dxReports).
    DataGrid(const QString& name, bool multiSelect, QWidget* parent = nullptr);

    DatasetModel& Dataset() { return model_; }
    const DatasetModel& Dataset() const { return model_; }
    // Re-applies the dataset's columns (captions and widths) to the view.
    void ApplyColumns();
    // Each column as wide as its caption and its widest text, but no wider than its
    // configured width unless the caption needs more.
    void FitColumns();
    // A click on a column header orders the rows by it (the query's order until then).
    void setSortable(bool sortable);
    // Cells open for editing on a double click, F2 or typing (see DatasetModel editing).
    void setEditable(bool editable);
    // A cell editor still open is stored (CommitEdit) or dropped (DiscardEdit) and closed.
    void CommitEdit();
    void DiscardEdit();
    // The current row (from 0), -1 when there is none.
    int CurrentRow() const;
    void SetCurrentRow(int row);
    // The value of field in the current row; Null when there is no current row.
    vb::Variant CurrentValue(const std::string& field) const;
    std::vector<int> SelectedRows() const;
    bool IsRowSelected(int row) const;
    void SetRowSelected(int row, bool selected);

  signals:
    // The current row changed (also to none); row -1 when there is none.
    void CurrentRowChanged(int row);
    void RightButtonPressed();
    void LeftButtonPressed();

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    // The open cell editor, null when none is open.
    QWidget* OpenEditor() const;

    DatasetModel model_;
};

}  // namespace tolvaran
