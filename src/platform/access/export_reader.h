#pragma once
// Reader of report exports (the text Access writes with SaveAsText): a tokenizer of lines
// and a parser of the Begin/End structure. Accepts UTF-16LE or UTF-8 with a byte-order mark,
// UTF-16LE or UTF-8 without one, and ANSI text in Windows-1252 (or UTF-8, when so configured);
// CRLF or LF line ends. Damaged input throws ExportError naming the file and line.
#include <memory>
#include <string>
#include <string_view>

#include "platform/access/report.h"
#include "platform/common/com_error.h"

namespace tolvaran::access {

// A report export that cannot be read. Number 2128; the text names the file and the line.
class ExportError : public vb::ComError {
  public:
    ExportError(const std::string& file, int line, const std::string& what);
    const std::string& File() const { return file_; }
    int Line() const { return line_; }

  private:
    std::string file_;
    int line_;
};

struct ReadOptions {
    // How text without a byte-order mark that is not valid UTF-8 is decoded.
    enum class Ansi { Windows1252, Utf8 } ansi = Ansi::Windows1252;
    // Keep binary property blocks (PictureData, OleData, ...) as bytes. When false they are
    // skipped while reading; the printer blocks the model reads are always kept.
    bool keepBinary = true;
    // The export tool's sidecar (.json page setup or .pv print settings) consulted for the
    // orientation when the export has no PrtDevMode block. Empty: "<file stem>.json", then
    // "<file stem>.pv" beside the export.
    std::string sidecar;
};

// The report name an export file stands for: the file name without its extension, with the
// "%" escapes the version-control export tools write for characters a file name cannot hold
// ("%2F" for "/", "%5C" for "\\", "%25" for "%") decoded. A "%" not followed by two
// hexadecimal digits, or followed by the code of a control character ("%00"), stays as it is.
std::string ReportNameOfFile(const std::string& path);

// Reads the export file; the report's name is ReportNameOfFile(path).
ReportPtr ReadReportFile(const std::string& path, const ReadOptions& options = {});
// Reads export bytes; file is used in error texts and as the report's SourceFile.
ReportPtr ReadReportBytes(std::string_view bytes, const std::string& name, const std::string& file,
                          const ReadOptions& options = {});

// The orientation (1 or 2) a DEVMODE block gives, 0 when it gives none. wide: DEVMODEW.
int OrientationFromDevMode(const vb::Bytes& devmode, bool wide);

}  // namespace tolvaran::access
