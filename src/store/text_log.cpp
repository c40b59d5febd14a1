#include "store/text_log.h"

#include <cerrno>
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
    stream_.reset();
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
        // An existing log is emptied and closed, then opened again for writing: the file keeps
        // its inode (a new one costs ext4 a search past every inode deleted lately, more than
        // the whole log when files come and go), and a file written between its truncation
        // and its close is written out to the disk at once at that close, which an empty
        // file is not. A log that cannot be emptied where it is (read-only) is replaced.
        bool emptied = std::ofstream(full, std::ios::binary | std::ios::trunc).is_open();
        if (!emptied) {
            fs::remove(full, ec);
            emptied = std::ofstream(full, std::ios::binary | std::ios::trunc).is_open();
        }
        auto out = std::make_unique<std::ofstream>();
        if (emptied) out->open(full, std::ios::binary | std::ios::app);
        if (!out->is_open()) throw vb::ComError(75, "Path/File access error: " + full);
        stream_ = std::move(out);
    } catch (const std::exception& e) {
        writeError_ = e.what();
        if (prompt_) prompt_->MsgBox(e.what());
    }
}

void clsWriteToText::CheckStream() {
    if (!stream_ || *stream_ || !writeError_.empty()) return;
    const int error = errno;
    writeError_ = error != 0 ? std::strerror(error) : "the file could not be written";
}

void clsWriteToText::PutToFile(const std::string& text) {
    if (!IsOpen()) return;
    if (!AutoFlush) {
        held_ += text;
        held_ += '\n';
        return;
    }
    if (!held_.empty()) Flush();
    errno = 0;
    *stream_ << text << '\n';
    stream_->flush();
    CheckStream();
}

void clsWriteToText::Flush() {
    if (!IsOpen()) return;
    errno = 0;
    if (!held_.empty()) {
        stream_->write(held_.data(), static_cast<std::streamsize>(held_.size()));
        held_.clear();
    }
    stream_->flush();
    CheckStream();
}

bool clsWriteToText::close_file() {
    try {
        Flush();
        if (stream_) {
            errno = 0;
            stream_->close();
            CheckStream();
        }
        stream_.reset();
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
