#pragma once
// The dataset behind the main window's entry grid (dxDatabases): a new source database entry
// is appended through it so that the grid shows it at once. The shell's grid wraps one;
// RecordsetDataset is the plain implementation over a table of an open connection.
#include <string>

#include "platform/ado/ado.h"

namespace tolvaran {

class GridDataset {
  public:
    virtual ~GridDataset() = default;
    virtual void BeginUpdate() = 0;  // the preparing call before the append
    virtual void Append() = 0;       // a new, empty current row
    virtual void SetField(const std::string& name, const vb::Variant& value) = 0;
    virtual void Post() = 0;       // writes the current row; its autonumber key is read back
    virtual void EndUpdate() = 0;  // the call after the post
    virtual vb::Variant Field(const std::string& name) const = 0;  // of the current row
};

// Appends rows to one table through an updatable recordset on the connection.
class RecordsetDataset : public GridDataset {
  public:
    RecordsetDataset(ado::ConnectionPtr connection, std::string table)
        : connection_(std::move(connection)), table_(std::move(table)) {}

    void BeginUpdate() override {}
    void Append() override;
    void SetField(const std::string& name, const vb::Variant& value) override;
    void Post() override;
    void EndUpdate() override {}
    vb::Variant Field(const std::string& name) const override;

  private:
    ado::ConnectionPtr connection_;
    std::string table_;
    mutable ado::Recordset rs_;
};

}  // namespace tolvaran
