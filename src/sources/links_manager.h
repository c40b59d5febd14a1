#pragma once
// clsManageLinks: the links of the current source database entry. It finds them by kind and
// name, counts them by kind, fills the dialog's lists, loads and saves them as rows of
// DatabaseConnections in the lists file, and scans a source database into links
// (ParseLinks for a Jet file, ParseDataProject for an Access data project; scan.cpp).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/access/application.h"
#include "platform/ado/ado.h"
#include "platform/adox/adox.h"
#include "platform/ui/progress_window.h"
#include "platform/ui/prompt.h"
#include "sources/error_log_writer.h"
#include "sources/link.h"
#include "sources/list_control.h"

namespace tolvaran {

// A collection of links in the order they were added, each under an optional key. Keys are
// compared without regard to case, as the host language's collections do; a second link
// under a key already present is refused with error 457.
class LinkCollection {
  public:
    long Count() const { return static_cast<long>(items_.size()); }
    // Position 1 is the first link; 9 "Subscript out of range" outside 1 to Count.
    const LinkPtr& Item(long position) const;
    void Add(LinkPtr link, const std::string& key = {});
    void Remove(long position);
    bool HasKey(const std::string& key) const;

    auto begin() const { return links_.begin(); }
    auto end() const { return links_.end(); }

  private:
    struct Entry {
        std::string key;
        LinkPtr link;
    };
    std::vector<Entry> items_;
    std::vector<LinkPtr> links_;  // the same links, for iteration
};

class clsManageLinks {
  public:
    // Starts the Access application a data-project scan opens the project in; throws when
    // Access cannot be started.
    using AccessFactory = std::function<std::unique_ptr<access::Application>()>;
    // The server-selection window shown while a data project does not open; false when the
    // user cancels.
    using ServerSelector = std::function<bool()>;

    // prompt shows the manager's message boxes; it must outlive the manager.
    explicit clsManageLinks(ui::Prompt& prompt);

    // The options of the run the scans open their connections with.
    void setConnectionOptions(const ado::ConnectionOptions& options) { connectionOptions_ = options; }
    // The lists-file connection LoadAll and SaveAll run on.
    void setDb(const ado::ConnectionPtr& db) { db_ = db; }
    const ado::ConnectionPtr& db() const { return db_; }
    // The scan logs its failures through it; without one it appends to the lists file (db).
    void setErrorLogWriter(ErrorLogWriter writer) { appendErrorLog_ = std::move(writer); }
    void setAccessFactory(AccessFactory factory) { accessFactory_ = std::move(factory); }
    void setServerSelector(ServerSelector selector) { selectServer_ = std::move(selector); }

    bool InternalTablesOnly() const {
        return InternalTablesCount_ > 0 && AccessLinksCount_ == 0 && ODBCLinksCount_ == 0;
    }
    short LinkCount() const { return 0; }
    short InternalTablesCount() const { return InternalTablesCount_; }
    short AccessLinksCount() const { return AccessLinksCount_; }
    short ODBCLinksCount() const { return ODBCLinksCount_; }
    bool HasAccessLinks() const { return AccessLinksCount_ >= 1; }
    bool HasInternalLinks() const { return InternalTablesCount_ >= 1; }
    bool HasODBCLinks() const { return ODBCLinksCount_ >= 1; }

    LinkCollection& Items() { return links_; }
    bool Find(const std::string&) { return false; }
    // Appends the link without a key.
    void Add(const LinkPtr& link) { links_.Add(link); }
    bool openConnection() { return false; }

    // Finders: the first match, or a new, empty link.
    LinkPtr GetDataProjectLink() const { return GetFirstLink(kLinkDataProject); }
    LinkPtr GetFirstInternalLink() const { return GetFirstLink(kLinkInternal); }
    LinkPtr GetFirstAccessLink() const { return GetFirstLink(kLinkAccess); }
    LinkPtr GetFirstODBCLink() const { return GetFirstLink(kLinkOdbc); }
    LinkPtr GetFirstLink(long kind) const;
    // Compared exactly (case counts).
    LinkPtr Item(const std::string& name) const;

    // Empties the list, then adds the Name of every ODBC link.
    void LoadODBCList(ListControl& list) const;
    // Adds (without emptying) the LinkDatabase of every own-tables and Access link.
    void LoadAccessList(ListControl& list) const;

    // True when no link's LinkDatabase equals text exactly.
    bool NotAdded(const std::string& text) const;

    // Scans (scan.cpp).
    bool ParseLinks(ui::ProgressWindow& window, const std::string& path, const std::string& user,
                    const std::string& password);
    bool ParseDataProject(ui::ProgressWindow& window, const std::string& path);
    // ConnectValue (sources/connect_text.h).
    static std::string Parse(const std::string& text, const std::string& key);
    bool ParseLink(clsLink& link);
    bool ParseODBCLink(clsLink& link);
    bool TestConnection(clsLink& link);
    // The catalog of the last Jet scan (null before one).
    const std::shared_ptr<adox::Catalog>& Catalog() const { return catalog_; }

    // Replaces the links by the entry's DatabaseConnections rows. Errors reach the caller;
    // links read before one stay.
    void LoadAll(long entryId);
    // Writes every link as the entry's row of its name (updated or added). An error shows
    // under "Save Database Connections" and stops. Returns false in every case.
    bool SaveAll(long entryId);
    void ClearAllLinks();

  private:
    void yield();
    void count(long kind);

    ui::Prompt& prompt_;
    ado::ConnectionOptions connectionOptions_;
    ado::ConnectionPtr db_;
    ErrorLogWriter appendErrorLog_;
    AccessFactory accessFactory_;
    ServerSelector selectServer_;
    LinkCollection links_;
    std::shared_ptr<adox::Catalog> catalog_;
    ui::ProgressWindow* window_ = nullptr;  // the window of the scan running, for its yields
    short InternalTablesCount_ = 0;
    short AccessLinksCount_ = 0;
    short ODBCLinksCount_ = 0;
};

}  // namespace tolvaran
