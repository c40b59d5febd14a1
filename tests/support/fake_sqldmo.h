#pragma once
// An in-memory SQL-DMO for tests: servers, databases and views given by the test, and
// failures on request.
#include <map>

#include "platform/common/com_error.h"
#include "platform/sqldmo/sqldmo.h"

namespace sqldmo {

class FakeFactory : public Factory {
  public:
    struct FakeDatabase : Database {
        std::string name;
        std::vector<View> views;
        std::string Name() const override { return name; }
        std::vector<View> Views() override { return views; }
    };

    std::vector<std::string> servers;
    std::map<std::string, std::vector<std::shared_ptr<FakeDatabase>>> databases;  // by server
    bool missing = false;     // creating either object fails, as without SQL-DMO
    std::string refuseLogin;  // Connect fails with this text when not empty
    // What the last Connect was given.
    std::string connectedServer, login, password;
    bool loginSecure = false;

    void AddDatabase(const std::string& server, const std::string& name, std::vector<View> views = {}) {
        auto d = std::make_shared<FakeDatabase>();
        d->name = name;
        d->views = std::move(views);
        databases[server].push_back(d);
    }

    std::unique_ptr<Application> CreateApplication() override {
        if (missing) throw vb::ComError(429, "ActiveX component can't create object");
        struct App : Application {
            FakeFactory* f;
            explicit App(FakeFactory* f) : f(f) {}
            std::vector<std::string> ListAvailableSQLServers() override { return f->servers; }
        };
        return std::make_unique<App>(this);
    }
    std::unique_ptr<SQLServer> CreateSQLServer() override {
        if (missing) throw vb::ComError(429, "ActiveX component can't create object");
        struct Server : SQLServer {
            FakeFactory* f;
            std::string server;
            explicit Server(FakeFactory* f) : f(f) {}
            void Connect(const std::string& s) override {
                f->connectedServer = s;
                f->login = Login;
                f->password = Password;
                f->loginSecure = LoginSecure;
                if (!f->refuseLogin.empty()) throw vb::ComError(18456, f->refuseLogin);
                server = s;
            }
            std::vector<DatabasePtr> Databases() override {
                std::vector<DatabasePtr> out;
                for (auto& d : f->databases[server]) out.push_back(d);
                return out;
            }
        };
        return std::make_unique<Server>(this);
    }
};

}  // namespace sqldmo
