#include "platform/ado/jet_engine.h"

#include <algorithm>
#include <climits>
#include <filesystem>

#include "platform/ado/jet_functions.h"
#include "platform/ado/jet_sql.h"
#include "platform/ado/jet_values.h"
#include "platform/common/com_error.h"
#include "platform/common/text.h"

namespace ado {

namespace {

constexpr long kErrSyntax = static_cast<long>(0x80040E14);
// Links of links are followed this deep; a loop of links ends here with an error.
constexpr int kMaxLinkDepth = 8;
// Steps of SQLite's virtual machine between two calls of the progress handler.
constexpr int kStepsPerTick = 1000;
// A value read out of a row costs about as much as this many steps.
constexpr int kStepsPerValue = 16;

const char* DeclaredType(JetType t) {
    switch (t) {
        case JetType::Boolean:
        case JetType::Byte:
        case JetType::Integer:
        case JetType::Long:
            return "INTEGER";
        case JetType::Currency:
        case JetType::Single:
        case JetType::Double:
        case JetType::Decimal:
        case JetType::Date:
            return "REAL";
        case JetType::Text:
        case JetType::Memo:
        case JetType::Guid:
            return "TEXT COLLATE JETTEXT";
        case JetType::Binary:
        case JetType::LongBinary:
            return "BLOB";
        default:
            return "";
    }
}

// SQLite's refusal of a value longer than its length limit, which the memory limit sets.
constexpr const char* kTooBig = "string or blob too big";

// SQLite's refusals of a statement that nests or chains too deeply for its own parser.
bool TooComplexForSqlite(const std::string& why) {
    return why == "parser stack overflow" || why.rfind("Expression tree is too large", 0) == 0 ||
           why.rfind("too many terms in compound SELECT", 0) == 0;
}

// jet_domain(function, select, tags, criteria): a domain function whose criteria text is
// computed for each row.
void DomainFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto* engine = static_cast<JetEngine*>(sqlite3_user_data(ctx));
    const std::string fn = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    try {
        const std::string select = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
        vb::Variant criteria;
        if (sqlite3_value_type(argv[3]) == SQLITE_NULL) {
            criteria = vb::Variant::null();
        } else {
            const unsigned char* text = sqlite3_value_text(argv[3]);
            criteria = vb::Variant(std::string(reinterpret_cast<const char*>(text),
                                               static_cast<size_t>(sqlite3_value_bytes(argv[3]))));
        }
        ResultJetValue(ctx, engine->domainValue(fn, select, criteria));
    } catch (const std::exception& e) {
        const std::string msg = fn + ": " + e.what();
        sqlite3_result_error(ctx, msg.c_str(), -1);
    }
}

}  // namespace

// Marks a statement as the one being stepped, for the progress handler; a statement stepped
// while another is (a domain function's lookup) counts in that one.
class JetEngine::Running {
  public:
    Running(JetEngine& engine, Budget& budget) : engine_(engine), outer_(engine.running_) {
        if (!outer_) engine_.running_ = &budget;
    }
    ~Running() { engine_.running_ = outer_; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

  private:
    JetEngine& engine_;
    Budget* outer_;
};

// The rows of a statement, stepped as they are asked for.
class JetEngine::RowCursor : public Cursor {
  public:
    RowCursor(JetEngine& engine, sqlite3_stmt* st, const std::vector<JetField>& fields, std::string shown)
        : engine_(&engine),
          st_(st),
          columns_(JetColumnInfos(fields)),
          budget_(engine.budget()),
          shown_(std::move(shown)) {
        for (const auto& f : fields) types_.push_back(f.type);
        engine_->cursors_.insert(this);
    }
    ~RowCursor() override {
        finish();
        if (engine_) engine_->cursors_.erase(this);
    }
    RowCursor(const RowCursor&) = delete;
    RowCursor& operator=(const RowCursor&) = delete;

    const std::vector<ColumnInfo>& columns() const override { return columns_; }

    bool next(std::vector<vb::Variant>& row) override {
        if (ahead_) {
            ahead_ = false;
            row = std::move(first_);
            return true;
        }
        return step(row);
    }

    // Reads the first row ahead, so that a statement that fails at once fails in query().
    void readAhead() { ahead_ = step(first_); }

    // The engine goes: the statement ends with it.
    void detach() {
        finish();
        engine_ = nullptr;
    }

  private:
    bool step(std::vector<vb::Variant>& row) {
        if (!engine_)
            throw vb::ComError(vb::kErrGeneric,
                               "The connection was closed before the rows of the statement were read. "
                               "Statement: " +
                                   shown_,
                               "Jet");
        if (!st_) return false;
        if (budget_.steps > budget_.maxSteps) {
            budget_.stop = Budget::Work;
            finish();
            engine_->failStep(budget_, "", shown_);
        }
        int rc;
        {
            Running running(*engine_, budget_);
            rc = sqlite3_step(st_);
        }
        if (rc == SQLITE_ROW) {
            row.clear();
            row.reserve(types_.size());
            for (size_t i = 0; i < types_.size(); ++i)
                row.push_back(ReadJetColumn(st_, static_cast<int>(i), types_[i]));
            budget_.steps += kStepsPerValue * static_cast<long long>(types_.size());
            return true;
        }
        const std::string why = sqlite3_errmsg(engine_->db_);
        finish();
        if (rc != SQLITE_DONE) engine_->failStep(budget_, why, shown_);
        return false;
    }
    void finish() {
        sqlite3_finalize(st_);
        st_ = nullptr;
    }

    JetEngine* engine_;
    sqlite3_stmt* st_;
    std::vector<ColumnInfo> columns_;
    std::vector<JetType> types_;
    Budget budget_;
    std::string shown_;
    std::vector<vb::Variant> first_;
    bool ahead_ = false;
};

struct JetEngine::OtherFile {
    // A linked file is read under the same limits, by the same program, as the file linking it.
    OtherFile(const std::string& path, const JetReaderProcess& from)
        : reader(path, from.limits(), from.program()), catalog(ReadJetCatalog(reader, false)) {}
    JetReaderProcess reader;
    JetCatalog catalog;
};

JetEngine::JetEngine(std::string file, JetReaderProcess& reader, const JetCatalog& catalog,
                     QueryLimits limits)
    : file_(std::move(file)), reader_(reader), catalog_(catalog), limits_(std::move(limits)) {
    if (sqlite3_open(":memory:", &db_) != SQLITE_OK) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw vb::ComError(vb::kErrGeneric, "The query engine for " + file_ + " could not start.", "Jet");
    }
    // A name in double quotes is always a name, never a text that SQLite guesses.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    RegisterJetFunctions(db_, &texts_);
    // No one value a statement makes (a text joined with +, a function's result) may pass its
    // memory limit: past it SQLite refuses the value, and the statement stops with that limit.
    const long long mostBytes = std::max(1L, limits_.memoryMb) * (1LL << 20);
    sqlite3_limit(db_, SQLITE_LIMIT_LENGTH, static_cast<int>(std::min<long long>(mostBytes, INT_MAX)));
    sqlite3_create_function_v2(db_, "jet_domain", 4, SQLITE_UTF8, this, DomainFunction, nullptr, nullptr,
                               nullptr);
    // Sorts, temporary tables and indexes stay in memory, where the statement's memory limit
    // counts them (as files they could fill the disk).
    sqlite3_exec(db_, "PRAGMA temp_store = MEMORY", nullptr, nullptr, nullptr);
    sqlite3_progress_handler(
        db_, kStepsPerTick, [](void* engine) { return static_cast<JetEngine*>(engine)->progress(); }, this);
}

JetEngine::~JetEngine() {
    for (RowCursor* c : cursors_) c->detach();
    for (auto& [key, l] : lookups_) sqlite3_finalize(l.statement);
    sqlite3_close(db_);
}

JetEngine::Budget JetEngine::budget() const {
    Budget b;
    b.maxSteps = static_cast<long long>(limits_.workMillions) * 1'000'000;
    b.memoryAtStart = sqlite3_memory_used();
    b.maxMemory = static_cast<long long>(limits_.memoryMb) << 20;
    return b;
}

std::size_t JetEngine::Texts::room() {
    const Budget* b = engine_.running_;
    if (!b) return static_cast<std::size_t>(-1);
    const long long used = sqlite3_memory_used() - b->memoryAtStart;
    return used >= b->maxMemory ? 0 : static_cast<std::size_t>(b->maxMemory - used);
}

void JetEngine::Texts::refuse() {
    if (engine_.running_) engine_.running_->stop = Budget::Memory;
    throw vb::ComError(kErrQueryLimit,
                       "a text would take more than the " + std::to_string(engine_.limits_.memoryMb) +
                           " MB the statement may hold",
                       "Jet");
}

int JetEngine::progress() {
    Budget* b = running_;
    if (!b) return 0;
    if (b->stop == Budget::None) {
        b->steps += kStepsPerTick;
        if (b->steps > b->maxSteps) {
            b->stop = Budget::Work;
        } else if (sqlite3_memory_used() - b->memoryAtStart > b->maxMemory) {
            b->stop = Budget::Memory;
        } else if (limits_.cancelled) {
            bool cancelled = true;  // a hook that fails stops the statement
            try {
                cancelled = limits_.cancelled();
            } catch (...) {
            }
            if (cancelled) b->stop = Budget::Cancelled;
        }
    }
    return b->stop == Budget::None ? 0 : 1;
}

void JetEngine::failStep(const Budget& budget, const std::string& why, const std::string& shown) {
    if (budget.stop == Budget::Work)
        throw vb::ComError(kErrQueryLimit,
                           "System resource exceeded: the statement passed the work limit of " +
                               std::to_string(limits_.workMillions) + " million steps for one statement on " +
                               file_ + ". Statement: " + shown,
                           "Jet");
    if (budget.stop == Budget::Memory || why == kTooBig)
        throw vb::ComError(
            kErrQueryLimit,
            "System resource exceeded: the sorts, temporary tables and texts of the statement took more "
            "than " +
                std::to_string(limits_.memoryMb) + " MB, the memory limit for one statement on " + file_ +
                ". Statement: " + shown,
            "Jet");
    if (budget.stop == Budget::Cancelled)
        throw vb::ComError(kErrCancelled,
                           "Operation has been cancelled by the user: the statement on " + file_ +
                               " was stopped. Statement: " + shown,
                           "Jet");
    throw vb::ComError(kErrSyntax,
                       "The statement could not be run on " + file_ + ": " + why + ". Statement: " + shown,
                       "Jet");
}

void JetEngine::fail(const std::string& shown) {
    throw vb::ComError(
        kErrSyntax,
        "The statement could not be run on " + file_ + ": " + sqlite3_errmsg(db_) + ". Statement: " + shown,
        "Jet");
}

sqlite3_stmt* JetEngine::prepare(const std::string& sql, const std::string& shown) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        const std::string why = sqlite3_errmsg(db_);
        if (TooComplexForSqlite(why))
            throw vb::ComError(kErrSyntax,
                               "Query is too complex: as the query engine of " + file_ +
                                   " reads it, it nests or chains deeper than that engine allows (" + why +
                                   "). Statement: " + jetsql::Excerpt(shown),
                               "Jet");
        fail(shown);
    }
    return st;
}

JetEngine::Entry& JetEngine::entry(const std::string& key, const std::string& sqlName, const Origin& origin) {
    auto it = tables_.find(key);
    if (it != tables_.end()) return it->second;
    const JetTableData shape = origin.reader->readTable(origin.remoteName, 0);
    const int version = origin.reader->jetVersion();
    Entry e;
    e.sqlName = sqlName;
    e.reader = origin.reader;
    e.remoteName = origin.remoteName;
    e.columns = shape.columns;
    for (const auto& c : shape.columns) {
        JetField f;
        f.name = c.name;
        f.type = JetTypeOfMdb(c.mdbType);
        if (f.type == JetType::Text) f.size = JetDefinedSize(c.mdbType, c.sizeBytes, version);
        e.fields.push_back(std::move(f));
    }
    return tables_.emplace(key, std::move(e)).first->second;
}

JetEngine::OtherFile& JetEngine::otherFile(const std::string& stored, const std::string& fromFile,
                                           const std::string& what) {
    namespace fs = std::filesystem;
    std::string slashes = stored;
    std::replace(slashes.begin(), slashes.end(), '\\', '/');
    const fs::path folder = fs::path(fromFile).parent_path();
    std::vector<fs::path> candidates = {stored, slashes};
    // A Windows path (a drive or a share) means nothing here; its file name may.
    const bool windows = slashes.size() > 1 && (slashes[1] == ':' || slashes.rfind("//", 0) == 0);
    if (fs::path(slashes).is_relative() && !windows) candidates.push_back(folder / slashes);
    candidates.push_back(folder / fs::path(slashes).filename());
    std::error_code ec;
    for (const auto& c : candidates) {
        if (c.empty() || !fs::is_regular_file(c, ec)) continue;
        const std::string key = fs::weakly_canonical(c, ec).string();
        auto it = files_.find(key);
        if (it == files_.end())
            it = files_.emplace(key, std::make_unique<OtherFile>(c.string(), reader_)).first;
        return *it->second;
    }
    throw vb::ComError(vb::kErrGeneric,
                       "The file " + stored + " that " + what +
                           " comes from was not found (looked for it as written, " +
                           "with \"/\" for \"\\\", and beside " + fromFile + ").",
                       "Jet");
}

JetEngine::Origin JetEngine::linkedOrigin(const JetObject& link, const std::string& fromFile, int depth) {
    if (depth > kMaxLinkDepth)
        throw vb::ComError(vb::kErrGeneric,
                           "The linked table " + link.name + " leads through too many links.", "Jet");
    OtherFile& other = otherFile(link.database, fromFile, "the linked table " + link.name);
    const std::string remote = link.foreignName.empty() ? link.name : link.foreignName;
    const JetObject* target = other.catalog.find(remote, {kJetLocalTable, kJetAccessLink});
    if (!target) {
        throw vb::ComError(vb::kErrGeneric,
                           "The linked table " + link.name + " names the table " + remote + ", which " +
                               link.database + " does not hold.",
                           "Jet");
    }
    if (target->type == kJetAccessLink) return linkedOrigin(*target, other.reader.file(), depth + 1);
    return Origin{&other.reader, target->name};
}

std::optional<JetSqlHost::Table> JetEngine::table(const std::string& name, const std::string& database) {
    Entry* e = nullptr;
    if (!database.empty()) {
        OtherFile& other = otherFile(database, file_, "the table " + name);
        const JetObject* o = other.catalog.find(name, {kJetLocalTable, kJetAccessLink});
        if (!o) return std::nullopt;
        const Origin origin = o->type == kJetAccessLink ? linkedOrigin(*o, other.reader.file(), 1)
                                                        : Origin{&other.reader, o->name};
        const std::string key =
            tolvaran::UpperCase(origin.reader->file()) + "\n" + tolvaran::UpperCase(origin.remoteName);
        auto it = tables_.find(key);
        e = it != tables_.end()
                ? &it->second
                : &entry(key, "__in" + std::to_string(++nextExternal_) + "_" + o->name, origin);
    } else {
        const JetObject* o = catalog_.find(name, {kJetLocalTable, kJetAccessLink, kJetOdbcLink});
        if (!o) return std::nullopt;
        if (o->type == kJetOdbcLink) {
            throw vb::ComError(vb::kErrGeneric,
                               "The table " + o->name + " is linked through ODBC (" + o->connect +
                                   "); its rows are read through that data source, not through " + file_ +
                                   ".",
                               "Jet");
        }
        const std::string key = "\n" + tolvaran::UpperCase(o->name);
        auto it = tables_.find(key);
        if (it != tables_.end()) {
            e = &it->second;
        } else {
            const Origin origin =
                o->type == kJetAccessLink ? linkedOrigin(*o, file_, 1) : Origin{&reader_, o->name};
            e = &entry(key, o->name, origin);
        }
    }
    if (!e->loaded && std::find(pending_.begin(), pending_.end(), e) == pending_.end()) pending_.push_back(e);
    return Table{e->sqlName, e->fields};
}

std::optional<JetSqlHost::Saved> JetEngine::savedQuery(const std::string& name) {
    const JetObject* o = catalog_.find(name, {kJetQuery});
    if (!o) return std::nullopt;
    auto it = catalog_.queries.find(o->id);
    if (it == catalog_.queries.end()) return std::nullopt;
    const JetQuery& q = it->second;
    switch (q.type) {
        case JetQueryType::Select:
        case JetQueryType::Union:
        case JetQueryType::Crosstab:
        case JetQueryType::Unknown:
            return Saved{o->name, q.sql};
        case JetQueryType::PassThrough:
            throw vb::ComError(
                vb::kErrGeneric,
                "The saved query " + o->name +
                    " is a pass-through query: its ODBC data source runs it, not the Access file " + file_ +
                    ".",
                "Jet");
        default:
            throw vb::ComError(kErrJetWrite, "The saved query " + o->name + " writes: " + q.sql, "Jet");
    }
}

void JetEngine::load(Entry& e) {
    JetTableData data = e.reader->readTable(e.remoteName);
    // The file's values are loaded whole, whatever the statements' limit on the values they make.
    struct Lifted {
        sqlite3* db;
        int held;
        ~Lifted() { sqlite3_limit(db, SQLITE_LIMIT_LENGTH, held); }
    } lifted{db_, sqlite3_limit(db_, SQLITE_LIMIT_LENGTH, INT_MAX)};
    std::string create = "CREATE TABLE " + JetSqlName(e.sqlName) + " (";
    std::string insert = "INSERT INTO " + JetSqlName(e.sqlName) + " VALUES (";
    for (size_t i = 0; i < data.columns.size(); ++i) {
        create += (i ? ", " : "") + JetSqlName(data.columns[i].name) + " " +
                  DeclaredType(JetTypeOfMdb(data.columns[i].mdbType));
        insert += i ? ", ?" : "?";
    }
    create += ")";
    insert += ")";
    if (sqlite3_exec(db_, create.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) fail(create);
    sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, insert.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        fail(insert);
    }
    for (const auto& row : data.rows) {
        for (size_t i = 0; i < data.columns.size(); ++i)
            BindJetValue(st, static_cast<int>(i + 1),
                         JetValue(data.columns[i].mdbType, i < row.size() ? row[i] : std::nullopt));
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    // The primary key as an index, as Jet keeps it: joins on it find their rows directly.
    std::vector<std::string> key;
    for (const auto& c : data.columns)
        if (c.primaryKey) key.push_back(JetSqlName(c.name));
    if (!key.empty()) {
        std::string index =
            "CREATE INDEX " + JetSqlName("__key_" + e.sqlName) + " ON " + JetSqlName(e.sqlName) + " (";
        for (size_t i = 0; i < key.size(); ++i) index += (i ? ", " : "") + key[i];
        sqlite3_exec(db_, (index + ")").c_str(), nullptr, nullptr, nullptr);
    }
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    e.loaded = true;
}

void JetEngine::loadPending() {
    while (!pending_.empty()) {
        Entry* e = pending_.back();
        pending_.pop_back();
        if (!e->loaded) load(*e);
    }
}

std::unique_ptr<Cursor> JetEngine::query(const std::string& sql, const std::vector<vb::Variant>& values) {
    JetTranslation t = TranslateJetSql(sql, *this, &values);
    if (values.size() > t.parameters.size()) {
        throw vb::ComError(vb::kErrGeneric,
                           std::to_string(values.size()) + " values were given for " +
                               std::to_string(t.parameters.size()) + " parameters: " + sql,
                           "Jet");
    }
    std::vector<vb::Variant> binds;
    for (size_t i = 0; i < t.parameters.size(); ++i)
        binds.push_back(JetParameterValue(t.parameters[i], values, i));
    loadPending();
    sqlite3_stmt* st = prepare(t.sql, sql);
    auto cursor = std::make_unique<RowCursor>(*this, st, t.columns, sql);
    for (size_t i = 0; i < binds.size(); ++i) BindJetValue(st, static_cast<int>(i + 1), binds[i]);
    cursor->readAhead();
    return cursor;
}

JetTranslation JetEngine::describe(const std::string& sql) {
    return TranslateJetSql(sql, *this, nullptr);
}

std::vector<JetField> JetEngine::tableFields(const std::string& name) {
    auto t = table(name, "");
    return t ? t->fields : std::vector<JetField>{};
}

std::vector<vb::Variant> JetEngine::columnValues(const std::string& sql,
                                                 const std::vector<vb::Variant>& binds, JetType type) {
    loadPending();
    sqlite3_stmt* st = prepare(sql, sql);
    for (size_t i = 0; i < binds.size(); ++i) BindJetValue(st, static_cast<int>(i + 1), binds[i]);
    std::vector<vb::Variant> out;
    Budget b = budget();
    int rc;
    {
        Running running(*this, b);
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) out.push_back(ReadJetColumn(st, 0, type));
    }
    const std::string why = sqlite3_errmsg(db_);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) failStep(b, why, sql);
    return out;
}

vb::Variant JetEngine::domainValue(const std::string& function, const std::string& select,
                                   const vb::Variant& criteria) {
    const std::string text = criteria.IsNull() ? select : select + " WHERE " + criteria.ToString();
    auto it = lookups_.find(text);
    if (it == lookups_.end()) {
        JetTranslation t = TranslateJetSql(text, *this, nullptr);
        if (!t.parameters.empty())
            throw vb::ComError(vb::kErrGeneric,
                               "No value given for the parameter [" + t.parameters[0].name + "] of " + text,
                               "Jet");
        if (!pending_.empty()) {
            const std::string table = pending_.front()->sqlName;
            pending_.clear();
            throw vb::ComError(
                vb::kErrGeneric,
                "The table " + table + " of " + text + " was not read before the statement ran.", "Jet");
        }
        Lookup l;
        l.statement = prepare(t.sql + (function == "DLookup" ? " LIMIT 1" : ""), text);
        l.type = t.columns.empty() ? JetType::Value : t.columns[0].type;
        it = lookups_.emplace(text, l).first;
    }
    constexpr int kMostNestedDomains = 32;
    Lookup& lookup = it->second;
    if (lookup.running || domainDepth_ >= kMostNestedDomains)
        throw vb::ComError(
            vb::kErrGeneric,
            "Query is too complex: " + function + " leads " +
                (lookup.running ? std::string("back to itself") : "more than 32 domain functions deep") +
                " through the values of its criteria (" + text.substr(0, 200) + ")",
            "Jet");
    lookup.running = true;
    ++domainDepth_;
    struct Done {
        Lookup& l;
        int& depth;
        ~Done() {
            l.running = false;
            --depth;
        }
    } done{lookup, domainDepth_};
    sqlite3_stmt* st = lookup.statement;
    sqlite3_reset(st);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) return ReadJetColumn(st, 0, lookup.type);
    if (rc != SQLITE_DONE) fail(text);
    return vb::Variant::null();
}

}  // namespace ado
