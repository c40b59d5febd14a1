#pragma once
// Where the report engine reads the rows of a report's tables: an abstract record source, so
// that the engine never opens a connection of its own choosing and tests or fuzzers can give
// it rows of their own. The default source reads through platform/ado.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ado/ado.h"
#include "platform/common/variant.h"

namespace designer {
class DatabaseTable;
}

namespace viewer {

// The rows of one table, every value as the source gave it (Null kept apart from "").
struct TableRows {
    std::vector<std::string> columns;
    std::vector<std::vector<vb::Variant>> rows;
    // The column of that name, compared without regard to case; -1 when there is none.
    int ColumnIndex(const std::string& name) const;
};

class RecordSource {
  public:
    virtual ~RecordSource() = default;
    // Every row of the table. Throws vb::ComError whose text says why when the table cannot
    // be read (the source is not there, the table is not in it).
    virtual TableRows Read(const designer::DatabaseTable& table) = 0;
};

// Reads through platform/ado with the connection string the report keeps for the table; a
// table linked into an Access file (or its stand-in) is read where it lives; a stored
// procedure on an ODBC source is called with its parameter values; a command runs its
// statement. Connections are opened
// once per connection string and kept while the source lives.
class AdoRecordSource : public RecordSource {
  public:
    // options: those of the run the report is shown in (the SQL Server template, the Access
    // file reader). Every read runs under options.queryLimits: the rows kept within its
    // memoryMb, and its `cancelled`, asked from the reading thread, stops a read in progress
    // with kErrCancelled (the viewer control's lets the window's events run and says whether
    // the window has stopped the layout).
    explicit AdoRecordSource(ado::ConnectionOptions options = {}) : options_(std::move(options)) {}
    TableRows Read(const designer::DatabaseTable& table) override;

  private:
    ado::ConnectionPtr connect(const std::string& connectionString);
    ado::ConnectionOptions options_;
    std::map<std::string, ado::ConnectionPtr> connections_;
};

}  // namespace viewer
