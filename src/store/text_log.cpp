#include "store/text_log.h"

#include <cstring>
#include <filesystem>

#include "platform/common/com_error.h"
#include "platform/ui/prompt.h"
#include "store/context.h"
#include "store/support.h"

namespace tolvaran {

namespace fs = std::filesystem;

std::string clsWriteToText::FullName() const {
    return JoinPath(FilePath, MakeSafeName(Filename) + Extension);
}

void clsWriteToText::Create_File() {
    file_.reset();
    held_.clear();
    writeError_.clear();
    try {
        const std::string full = FullName();
        // Every file call would end the name at a NUL: the file opened would be another one.
        if (HoldsControlChar(full))
            throw vb::ComError(75, "Path/File access error: the name holds a control character: " + full);
        std::error_code ec;
        if (!fs::is_directory(FilePath, ec)) {
            // One level only: the parent folder must exist.
            if (!fs::create_directory(FilePath, ec) || ec)
                throw vb::ComError(76, "Path not found: " + FilePath);
        }
        auto file = std::make_unique<FileBeside>(full);
        int error = file->Create();
        if (error == 0) error = file->MoveOver(false);
        if (error != 0)
            throw vb::ComError(75, "Path/File access error: " + full + ": " + FileBeside::ErrorText(error));
        file_ = std::move(file);
    } catch (const std::exception& e) {
        writeError_ = e.what();
        if (prompt_) prompt_->MsgBox(e.what());
    }
}

void clsWriteToText::Write(const std::string& text) {
    const int error = file_->Write(text.data(), text.size());
    if (error != 0 && writeError_.empty()) writeError_ = std::strerror(error);
}

void clsWriteToText::PutToFile(const std::string& text) {
    if (!IsOpen()) return;
    held_ += text;
    held_ += '\n';
    if (AutoFlush) Flush();
}

void clsWriteToText::Flush() {
    if (!IsOpen() || held_.empty()) return;
    Write(held_);
    held_.clear();
}

bool clsWriteToText::close_file() {
    try {
        Flush();
        if (file_) {
            const int error = file_->Close();
            if (error != 0 && writeError_.empty()) writeError_ = std::strerror(error);
        }
        file_.reset();
    } catch (const std::exception& e) {
        if (prompt_) prompt_->MsgBox(e.what());
    }
    return false;
}

bool AppendErrorLog(const ado::ConnectionPtr& listsDb, const std::string& ErrorDesc,
                    const std::string& FormulaName, const std::string& AccessFormula,
                    const std::string& CrystalFormula, const std::string& ReportName) {
    try {
        ado::Recordset rs;
        // No row needs reading: the new row is all this recordset writes.
        rs.Open("SELECT * FROM ErrorLog WHERE 1 = 0", listsDb, ado::adOpenStatic, ado::adLockPessimistic);
        rs.AddNew();
        rs.set("ReportName", ReportName);
        rs.set("FormulaName", FormulaName);
        rs.set("AccessFormula", AccessFormula);
        rs.set("CrystalFormula", CrystalFormula);
        rs.set("ErrorDesc", ErrorDesc);
        rs.set("erroron", vb::Date::Now());
        rs.Update();
        rs.Close();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool AppendErrorLog(AppContext& ctx, const std::string& ErrorDesc, const std::string& FormulaName,
                    const std::string& AccessFormula, const std::string& CrystalFormula,
                    const std::string& ReportName) {
    return AppendErrorLog(ctx.gDb, ErrorDesc, FormulaName, AccessFormula, CrystalFormula, ReportName);
}

}  // namespace tolvaran
