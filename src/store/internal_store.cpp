#include "store/internal_store.h"

#include <filesystem>

#include "platform/ado/connection_text.h"
#include "platform/common/com_error.h"
#include "platform/ui/prompt.h"
#include "store/context.h"
#include "store/text_log.h"

namespace tolvaran {

namespace fs = std::filesystem;

namespace {

constexpr long kErrFileNotFound = 53;

void CopyFile(const std::string& from, const std::string& to) {
    std::error_code ec;
    if (!fs::is_regular_file(from, ec)) throw vb::ComError(kErrFileNotFound, "File not found: " + from);
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec) throw vb::ComError(70, "Permission denied: " + to + " (" + ec.message() + ")");
}

std::string StoreText(const std::string& path, const std::string& password) {
    ado::ConnectionText text;
    text.Add("Data Source", path);
    if (!password.empty()) text.Add("Jet OLEDB:Database Password", password);
    return text.Text();
}

// Reads the user's Options row from the settings file about to be replaced; an empty row set
// when the file is missing or cannot be read (then the template's row stands).
std::vector<std::pair<std::string, vb::Variant>> ReadUserOptions(const std::string& settingsFile) {
    std::vector<std::pair<std::string, vb::Variant>> values;
    std::error_code ec;
    if (!fs::is_regular_file(settingsFile, ec)) return values;
    try {
        auto conn = SetConn(settingsFile, kStorePassword);
        ado::Recordset rs;
        rs.Open("SELECT * FROM Options WHERE SystemConfigId = ?", conn, ado::adOpenStatic,
                ado::adLockReadOnly, {1});
        if (!rs.Eof())
            for (int i = 0; i < rs.FieldCount(); ++i)
                values.emplace_back(rs.Fields(i).Name(), rs.Fields(i).Value());
    } catch (const vb::ComError&) {
        values.clear();
    }
    return values;
}

// Stores the carried values into Options row 1 of the fresh file, column by column, skipping
// columns the new template no longer has.
void WriteUserOptions(const std::string& settingsFile,
                      const std::vector<std::pair<std::string, vb::Variant>>& values) {
    if (values.empty()) return;
    auto conn = SetConn(settingsFile, kStorePassword);
    ado::Recordset rs;
    rs.Open("SELECT * FROM Options WHERE SystemConfigId = ?", conn, ado::adOpenDynamic, ado::adLockOptimistic,
            {1});
    if (rs.Eof()) return;
    for (const auto& [name, value] : values)
        if (name != "SystemConfigId" && rs.HasField(name)) rs.set(name, value);
    rs.Update();
}

// Seconds a statement on a store file waits for a lock another process holds.
constexpr long kStoreLockWaitSeconds = 60;

}  // namespace

ado::ConnectionPtr SetConn(const std::string& path, const std::string& password) {
    auto conn = std::make_shared<ado::Connection>();
    conn->Provider = "Microsoft.Jet.OLEDB.4.0";
    conn->JetLockingMode = "1";
    conn->setCommandTimeout(kStoreLockWaitSeconds);
    conn->Open(StoreText(path, password), "", "");
    return conn;
}

void CheckAndTransferData(AppContext& ctx) {
    try {
        const std::string settings = ctx.InFolder(kSettingsFile);
        const std::string lists = ctx.InFolder(kListsFile);
        const std::string old = ctx.InFolder(kOldSingleFile);
        std::error_code ec;
        if (fs::exists(old, ec)) {
            if (!fs::exists(settings, ec)) CopyFile(old, settings);
            if (!fs::exists(lists, ec)) CopyFile(old, lists);
        } else {
            // The template is copied beside the settings file first and moved over it only
            // when complete, so a failure leaves the user's file as it was.
            const std::string fresh = settings + ".new";
            CopyFile(ctx.InFolder(kSettingsTemplate), fresh);
            try {
                WriteUserOptions(fresh, ReadUserOptions(settings));
            } catch (...) {
                fs::remove(fresh, ec);
                throw;
            }
            fs::rename(fresh, settings, ec);
            if (ec) {
                fs::remove(fresh, ec);
                throw vb::ComError(70, "Permission denied: " + settings);
            }
            if (!fs::exists(lists, ec)) CopyFile(ctx.InFolder(kListsTemplate), lists);
        }
        SetConn(settings, kStorePassword);
    } catch (const std::exception& e) {
        if (ctx.prompt) ctx.prompt->MsgBox(e.what(), ui::vbOKOnly, "CheckAndTransferData");
    }
}

bool openConnection(AppContext& ctx) {
    try {
        if (!ctx.gInternalDb) ctx.gInternalDb = std::make_shared<ado::Connection>();
        if (!ctx.gDb) ctx.gDb = std::make_shared<ado::Connection>();
        for (auto* conn : {&ctx.gInternalDb, &ctx.gDb}) {
            if ((*conn)->State() != ado::adStateClosed) continue;
            const std::string file = ctx.InFolder(conn == &ctx.gInternalDb ? kSettingsFile : kListsFile);
            (*conn)->Provider = "Microsoft.Jet.OLEDB.4.0";
            (*conn)->JetLockingMode = "1";
            (*conn)->setCommandTimeout(kStoreLockWaitSeconds);
            (*conn)->Open(StoreText(file, kStorePassword), "", "");
            if (conn == &ctx.gDb) UpgradeListsFile(*conn, ctx.InFolder(kListsTemplate));
        }
        return true;
    } catch (const std::exception& e) {
        if (ctx.prompt) ctx.prompt->MsgBox(e.what(), ui::vbOKOnly, "OpenConnection");
        if (ctx.startupLog) ctx.startupLog->PutToFile(std::string("OpenConnection:") + e.what());
        return false;
    }
}

void CopyRecords(ado::Recordset& source, ado::Recordset& target, ui::Prompt* prompt) {
    try {
        while (!source.Eof()) {
            target.AddNew();
            for (int i = 0; i < source.FieldCount(); ++i) {
                auto f = source.Fields(i);
                target.set(f.Name(), f.Value());
            }
            target.Update();
            source.MoveNext();
        }
    } catch (const std::exception& e) {
        if (prompt) prompt->MsgBox(e.what());
    }
}

}  // namespace tolvaran
