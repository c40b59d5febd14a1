#include "platform/ado/connection_pool.h"

namespace ado {

namespace {

thread_local ConnectionPool* tCurrent = nullptr;

class SharedSession : public Driver {
  public:
    SharedSession(std::shared_ptr<Driver> session, std::string connectionString)
        : session_(std::move(session)), connectionString_(std::move(connectionString)) {}

    EngineKind kind() const override { return session_->kind(); }
    std::string connectionString() const override { return connectionString_; }
    bool readOnly() const override { return session_->readOnly(); }
    std::unique_ptr<Cursor> query(const std::string& sql, const std::vector<vb::Variant>& params) override {
        return session_->query(sql, params);
    }
    long long execute(const std::string& sql, const std::vector<vb::Variant>& params) override {
        return session_->execute(sql, params);
    }
    vb::Variant lastInsertKey() override { return session_->lastInsertKey(); }
    std::string quoteName(const std::string& name) const override { return session_->quoteName(name); }
    std::vector<TableInfo> tables() override { return session_->tables(); }
    std::vector<ColumnInfo> columns(const std::string& table) override { return session_->columns(table); }
    std::vector<QueryInfo> views() override { return session_->views(); }
    std::vector<QueryInfo> procedures() override { return session_->procedures(); }
    void saveQuery(const std::string& name, const std::string& sql, bool replace) override {
        session_->saveQuery(name, sql, replace);
    }
    void beginTransaction() override { session_->beginTransaction(); }
    void commitTransaction() override { session_->commitTransaction(); }
    void rollbackTransaction() override { session_->rollbackTransaction(); }
    int transactionLevel() const override { return session_->transactionLevel(); }
    void setLockTimeout(long milliseconds) override { session_->setLockTimeout(milliseconds); }
    int userVersion() override { return session_->userVersion(); }

  private:
    std::shared_ptr<Driver> session_;
    std::string connectionString_;
};

}  // namespace

ConnectionPool* ConnectionPool::Current() {
    return tCurrent;
}

ConnectionPool::Use::Use(ConnectionPool& pool) : previous_(tCurrent) {
    tCurrent = &pool;
}

ConnectionPool::Use::~Use() {
    tCurrent = previous_;
}

std::shared_ptr<Driver> ConnectionPool::Find(const std::string& file) const {
    auto it = sessions_.find(file);
    return it == sessions_.end() ? nullptr : it->second;
}

void ConnectionPool::Add(const std::string& file, std::shared_ptr<Driver> session) {
    sessions_[file] = std::move(session);
}

std::unique_ptr<Driver> ShareSession(std::shared_ptr<Driver> session, std::string connectionString) {
    return std::make_unique<SharedSession>(std::move(session), std::move(connectionString));
}

}  // namespace ado
