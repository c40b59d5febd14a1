#pragma once
// The report file: a versioned XML document holding the whole model, with every subreport
// embedded in its parent. Writing is deterministic, so saving, opening and saving again gives
// the same bytes. Passwords are never written.
//
// Root element <TolvaranReport version="1">; a newer version, another root, or text that is
// not XML fails to open with ComError (kErrReportFile) naming the file and the reason.
#include <memory>
#include <string>

#include "platform/designer/database.h"

namespace designer {

class Report;

inline constexpr int kReportFileVersion = 1;

// The document as text.
std::string WriteReportDocument(const Report& report);
// Reads a document; source names it in error messages.
std::unique_ptr<Report> ReadReportDocument(const std::string& xml, const std::string& source,
                                           FieldReader reader);

void WriteReportFile(const Report& report, const std::string& path);
std::unique_ptr<Report> ReadReportFile(const std::string& path, FieldReader reader);

}  // namespace designer
