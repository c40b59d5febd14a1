#pragma once
// The ADOX catalog over an open ADO connection: tables (name, Jet type text, columns, the
// Jet link properties by position and by name), views (saved queries) with their command
// text, and procedures with Append and Refresh. Collections are read from the connection's
// driver on first use and kept until Refresh; the catalog shares the connection
// (ado::ConnectionPtr) with its other users.
//
// Failures: using a catalog without a connection throws 3709; an item that is not there
// throws 3265 ("Item not found in this collection.").
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ado/ado.h"
#include "platform/common/com_error.h"
#include "platform/common/text.h"
#include "platform/common/variant.h"

namespace adox {

inline constexpr long kErrNoConnection = 3709;

// Items indexed from 0 (as ADOX does) and by name (without regard to case).
template <typename T>
class Collection {
  public:
    Collection() = default;
    explicit Collection(std::vector<T> items) : items_(std::move(items)) {}

    long Count() const { return static_cast<long>(items_.size()); }
    T& Item(long index) {
        if (index < 0 || index >= Count()) notFound();
        return items_[static_cast<size_t>(index)];
    }
    const T& Item(long index) const { return const_cast<Collection*>(this)->Item(index); }
    T& Item(const std::string& name);
    const T& Item(const std::string& name) const { return const_cast<Collection*>(this)->Item(name); }
    T& operator()(long index) { return Item(index); }
    T& operator()(const std::string& name) { return Item(name); }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  protected:
    [[noreturn]] static void notFound() {
        throw vb::ComError(vb::kErrItemNotFound,
                           "Item cannot be found in the collection corresponding to the "
                           "requested name or ordinal.");
    }
    std::vector<T> items_;
};

template <typename T>
T& Collection<T>::Item(const std::string& name) {
    for (T& item : items_)
        if (tolvaran::EqualsNoCase(item.Name, name)) return item;
    notFound();
}

struct Property {
    std::string Name;
    vb::Variant Value;
};
using Properties = Collection<Property>;

struct Column {
    std::string Name;
    ado::DataTypeEnum Type = ado::adVarWChar;
    long DefinedSize = 0;
};
using Columns = Collection<Column>;

// One table as Jet lists it. Properties(4), (5) and (6) are "Jet OLEDB:Remote Table Name",
// "Jet OLEDB:Link Provider String" and "Jet OLEDB:Link Datasource".
class Table {
  public:
    std::string Name;
    // "TABLE", "VIEW", "SYSTEM TABLE", "ACCESS TABLE", "LINK", "PASS-THROUGH".
    std::string Type;

    adox::Properties& Properties() { return properties_; }
    // Read from the connection on first use.
    adox::Columns& Columns();

  private:
    friend class Catalog;
    adox::Properties properties_;
    std::weak_ptr<ado::Connection> connection_;
    std::unique_ptr<adox::Columns> columns_;
};

// A saved query or view; Command.CommandText is its SQL.
struct View {
    std::string Name;
    ado::Command Command;
};

struct Procedure {
    std::string Name;
    ado::Command Command;
};

using Tables = Collection<Table>;
using Views = Collection<View>;

class Procedures : public Collection<Procedure> {
  public:
    // Saves command's text as a query of that name in the connection's database, then
    // re-reads the list.
    void Append(const std::string& name, const ado::Command& command);
    void Refresh();

  private:
    friend class Catalog;
    ado::ConnectionPtr connection_;
    std::function<void()> changed_;  // tells the catalog to re-read its tables and views
};

class Catalog {
  public:
    Catalog() = default;
    Catalog(const Catalog&) = delete;
    Catalog& operator=(const Catalog&) = delete;

    // ActiveConnection: binds the catalog to an open connection; the collections are read
    // again on their next use.
    void setActiveConnection(const ado::ConnectionPtr& connection);
    const ado::ConnectionPtr& ActiveConnection() const { return connection_; }

    adox::Tables& Tables();
    adox::Views& Views();
    adox::Procedures& Procedures();

  private:
    ado::Driver& driver() const;

    ado::ConnectionPtr connection_;
    std::unique_ptr<adox::Tables> tables_;
    std::unique_ptr<adox::Views> views_;
    std::unique_ptr<adox::Procedures> procedures_;
};
using CatalogPtr = std::shared_ptr<Catalog>;

}  // namespace adox
