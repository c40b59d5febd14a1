#pragma once
// clsWriteToText: a text file created anew and written line by line (the start-up log and
// each report's text error log). AppendErrorLog: one ErrorLog row in the lists file.
#include <memory>
#include <string>

#include "platform/ado/ado.h"
#include "platform/common/file_beside.h"

namespace ui {
class Prompt;
}

namespace tolvaran {

struct AppContext;

class clsWriteToText {
  public:
    explicit clsWriteToText(ui::Prompt* prompt = nullptr) : prompt_(prompt) {}

    std::string FilePath;   // folder, with or without a trailing separator
    std::string Filename;   // without extension; made safe with MakeSafeName
    std::string Extension;  // with its dot: ".log", ".txt"

    // Creates the file anew and opens it for writing: a new file is made beside the name and
    // moved over it, so whatever stood under the name (an earlier log, a link to another
    // file) is replaced and never written through. A missing folder one level deep is
    // created; any failure shows its text in a message box and leaves the log without a
    // stream, so later lines are dropped.
    void Create_File();
    // Writes text and a line break; does nothing when no stream is open. Each line reaches
    // the file at once unless AutoFlush is off; then the lines are held, however many, until
    // Flush (or close_file) hands them to the file together: none reaches it before.
    void PutToFile(const std::string& text);
    bool AutoFlush = true;
    // Hands the lines held so far to the file.
    void Flush();
    // Closes the file. Returns false.
    bool close_file();

    // The full name Create_File uses.
    std::string FullName() const;
    bool IsOpen() const { return file_ && file_->IsOpen(); }
    // True when the file could not be created or a line could not be written to it (a full
    // disk): lines were lost. WriteError says why. Create_File starts afresh.
    bool WriteFailed() const { return !writeError_.empty(); }
    const std::string& WriteError() const { return writeError_; }

  private:
    // Writes text to the file; notes the first failure.
    void Write(const std::string& text);

    ui::Prompt* prompt_;
    std::unique_ptr<FileBeside> file_;
    std::string held_;  // lines written while AutoFlush was off
    std::string writeError_;
};

// Appends one ErrorLog row (ReportName, FormulaName, AccessFormula, CrystalFormula, ErrorDesc,
// ErrorOn = now) through the lists-file connection. True when the row was saved; false after
// any error, which is not reported.
bool AppendErrorLog(const ado::ConnectionPtr& listsDb, const std::string& ErrorDesc,
                    const std::string& FormulaName, const std::string& AccessFormula,
                    const std::string& CrystalFormula, const std::string& ReportName);
// The same through the run's lists file (ctx.gDb).
bool AppendErrorLog(AppContext& ctx, const std::string& ErrorDesc, const std::string& FormulaName,
                    const std::string& AccessFormula, const std::string& CrystalFormula,
                    const std::string& ReportName);

}  // namespace tolvaran
