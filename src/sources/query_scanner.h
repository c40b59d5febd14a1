#pragma once
// clsInterface: the query scanner. Reads a SELECT text word by word and lists the tables and
// views its FROM lists draw on, following each view into its own text (from the ADOX catalog
// or, with DBType other than 0, from a SQL-DMO database), so that a tree of tables and views
// results; it also collects the outer statement's select-list fields and its WHERE, GROUP BY
// and ORDER BY words. A word scanner, not a parser: its words are runs of the shared SQL
// tokens (platform/ado/jet_sql_tokens.h), so a quoted or bracketed name is one word even with
// blanks in it ("[Order Details]"), but it knows no sub-queries. A name that follows a table
// in its FROM list, with or without AS before it, is the table's alias, not a table.
//
// A view already being expanded on the current path is listed but not followed again, so a
// view that draws on itself (directly or through others) ends the descent; each such stop is
// reported through the cycle reporter. Views that draw on views more than kMaxViewDepth deep
// end the scan with an error naming the chain ("Query is too complex", as the Access SQL
// engine says past its 200 levels). View texts are found by name through an index of the
// catalog's (or SQL-DMO database's) views, made at the first name looked up and kept until
// the scanner is bound to another connection or database. A scan that lists more than
// kMaxScanEntries tables and views (views that each read the next twice) ends the same way.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ado/ado.h"
#include "platform/adox/adox.h"
#include "platform/sqldmo/sqldmo.h"
#include "platform/ui/prompt.h"

namespace tolvaran {

struct TableView;
using TableViewPtr = std::shared_ptr<TableView>;

class TableViewCollection {
  public:
    long Count() const { return static_cast<long>(items_.size()); }
    // The entry at a position from 1 to Count, else null.
    TableViewPtr Item(long position) const;
    // The first entry whose trimmed, upper-cased Name equals the key trimmed and upper-cased,
    // else null.
    TableViewPtr Item(const std::string& key) const;
    void Add(TableViewPtr entry) { items_.push_back(std::move(entry)); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  private:
    std::vector<TableViewPtr> items_;
};

struct TableView {
    std::string Name;       // as written in the FROM list (lower case), quoted parts without their quotes
    std::string SQLSource;  // the view's SELECT text; empty for a table
    TableViewCollection Children;
};

// The deepest views may draw on views, counting the outer statement's views as the first level.
inline constexpr int kMaxViewDepth = 200;
// The most tables and views one scan lists, at every depth together.
inline constexpr long kMaxScanEntries = 100000;

class clsInterface {
  public:
    // Receives one line per view that was not followed because it is already on the path,
    // naming the path ("Views draw on themselves: a -> b -> a").
    using CycleReporter = std::function<void(const std::string&)>;

    // prompt shows GetViewSource's errors; it must outlive the scanner.
    explicit clsInterface(ui::Prompt& prompt);

    std::string SQLWhere;
    std::string SQLOrderBy;
    std::string SQLGroupBy;
    long FieldCount = 0;
    long TableCount = 0;  // never set by the scanner
    TableViewCollection SQLTables;
    long DBType = 0;  // 0: view texts from the catalog; else from SQL-DMO

    // Scans a SELECT text, adding to what earlier scans found. Errors reach the caller.
    void Execute(const std::string& sql);
    // SQLString assignment: raises 1000 "Active Connection is nothing." without a connection.
    void setSQLString(const std::string& sql);
    // ActiveConnection assignment: binds the catalog.
    void setActiveConnection(const ado::ConnectionPtr& connection);
    // ActiveDMODatabase assignment.
    void setActiveDMODatabase(const sqldmo::DatabasePtr& database);
    // The field at a position from 1 to FieldCount, else "".
    std::string SQLFields(long position) const;

    void setCycleReporter(CycleReporter reporter) { reportCycle_ = std::move(reporter); }
    // Every cycle stop of this scanner's life, in the order met.
    const std::vector<std::string>& Cycles() const { return cycles_; }

    // GetNextToken: the next word from position (1-based; 0 counts as 1), as written, moving
    // position past the character that ended it; "" at the end of the text.
    static std::string GetNextToken(const std::string& text, long& position, bool keepParentheses);

  private:
    void ParseSelect(bool collect, const std::string& text, TableViewCollection& into);
    std::string GetViewSource(const std::string& name);
    // The view texts by folded name (trimmed, upper-cased), the first of each name kept, for
    // view texts from the catalog (DBType 0) or from SQL-DMO; made on first use.
    const std::unordered_map<std::string, std::string>& ViewIndex();

    ui::Prompt& prompt_;
    adox::Catalog catalog_;
    sqldmo::DatabasePtr dmoDatabase_;
    std::vector<std::string> fields_;
    std::vector<std::string> path_;  // names of the views being expanded
    long entries_ = 0;               // tables and views the scan in progress has listed
    std::unordered_map<std::string, std::string> viewIndex_;
    std::optional<long> indexedType_;  // the DBType the index was made for; none: not made
    CycleReporter reportCycle_;
    std::vector<std::string> cycles_;
};

}  // namespace tolvaran
