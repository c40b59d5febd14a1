#pragma once
// A data grid (dxDatabases, dxReports): a table view over a dataset bound to one table of the
// lists file. The dataset is the query "SELECT * FROM <table> [WHERE <filter>] [ORDER BY ...]"
// with bound values, read into memory when opened; it shows the configured columns, has a
// current (focused) row and a set of selected rows, and appends rows: AddNew, SetField, Post
// write a new row to the table and read its autonumber key back.
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
    int width = 100;  // pixels
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

  private:
    int FieldIndex(const std::string& field) const;

    ado::ConnectionPtr connection_;
    std::string table_, filter_, orderBy_;
    std::vector<vb::Variant> params_;
    std::string keyField_;
    std::vector<GridColumn> columns_;
    bool open_ = false;
    std::vector<std::string> fields_;
    std::vector<std::vector<vb::Variant>> rows_;
    std::optional<std::vector<std::pair<std::string, vb::Variant>>> pending_;
    vb::Variant lastKey_ = vb::Variant::null();
};

class DataGrid : public QTableView {
    Q_OBJECT
  public:
    // multiSelect: whether several rows can be selected (dxReports).
    DataGrid(const QString& name, bool multiSelect, QWidget* parent = nullptr);

    DatasetModel& Dataset() { return model_; }
    // Re-applies the dataset's columns (captions and widths) to the view.
    void ApplyColumns();
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
    DatasetModel model_;
};

}  // namespace tolvaran
