#pragma once
// Connection pooling for database files, as OLE DB session pooling gives ADO: while a pool is
// in use on the current thread, opening a connection to a SQLite or Access file that the pool
// already has open shares that engine session instead of opening the file again. Opening a
// file is the dear part of a connection (the schema is read and parsed; an Access file starts
// a reader process), and a conversion opens its source file from several places: the Access
// side, the link it binds, the report's field reader.
//
// Every connection keeps its own connection string and state; they share the engine session,
// so what one changes the others see at once, and a transaction begun through one is the
// session's. ODBC and SQL Server connections are not pooled here.
//
// Ownership: the pool holds its sessions until it is destroyed; a connection that outlives
// the pool keeps its session open until it is closed.
#include <map>
#include <memory>
#include <string>

#include "platform/ado/driver.h"

namespace ado {

class ConnectionPool {
  public:
    ConnectionPool() = default;
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    // The pool in use on this thread, null when none is.
    static ConnectionPool* Current();

    // Puts a pool in use on this thread for its lifetime, and the one before back after.
    class Use {
      public:
        explicit Use(ConnectionPool& pool);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

      private:
        ConnectionPool* previous_;
    };

    // The session open for the file, or null.
    std::shared_ptr<Driver> Find(const std::string& file) const;
    void Add(const std::string& file, std::shared_ptr<Driver> session);
    size_t Size() const { return sessions_.size(); }

  private:
    std::map<std::string, std::shared_ptr<Driver>> sessions_;
};

// A connection's view of a pooled session: everything goes to the session, except the
// connection string, which is the connection's own as the provider reports it.
std::unique_ptr<Driver> ShareSession(std::shared_ptr<Driver> session, std::string connectionString);

}  // namespace ado
