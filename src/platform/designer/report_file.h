#pragma once
// The report file: a versioned XML document holding the whole model, with every subreport
// embedded in its parent. Writing is deterministic, so saving, opening and saving again gives
// the same bytes. Passwords are never written.
//
// Root element <TolvaranReport version="1">; a newer version, another root, or text that is
// not XML fails to open with ComError (kErrReportFile) naming the file and the reason.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/designer/database.h"

namespace designer {

class Report;

inline constexpr int kReportFileVersion = 1;

// The largest report file opened unless the run states another: the file of a real report
// holds some hundred kilobytes, one of a million objects about a hundred megabytes, and the
// model read from a file takes several times its size.
inline constexpr long kDefaultMaxReportFileMb = 64;

// The document as text.
std::string WriteReportDocument(const Report& report);
// Reads a document; source names it in error messages.
std::unique_ptr<Report> ReadReportDocument(const std::string& xml, const std::string& source,
                                           FieldReader reader);

void WriteReportFile(const Report& report, const std::string& path);
// Only a regular file of at most maxFileMb megabytes is read; anything else (a directory, a
// FIFO, a device, a larger file) fails with ComError (kErrReportFile) saying what it is.
std::unique_ptr<Report> ReadReportFile(const std::string& path, FieldReader reader,
                                       long maxFileMb = kDefaultMaxReportFileMb);

}  // namespace designer
