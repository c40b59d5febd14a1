#pragma once
// How the source-database model appends an ErrorLog row: description, formula name, Access
// formula, Crystal formula, report name (the store's AppendErrorLog over the lists file, or
// a recorder in tests). True when the row was written.
#include <functional>
#include <string>

#include "platform/ado/ado.h"

namespace tolvaran {

using ErrorLogWriter = std::function<bool(const std::string& errorDesc, const std::string& formulaName,
                                          const std::string& accessFormula, const std::string& crystalFormula,
                                          const std::string& reportName)>;

// A writer that appends through AppendErrorLog on the lists file; the connection is shared.
ErrorLogWriter ListsFileErrorLog(const ado::ConnectionPtr& listsDb);

}  // namespace tolvaran
