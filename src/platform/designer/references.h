#pragma once
// Field references of the model ("{Table.Field}", "{@Formula}", "{?Parameter}") (internal).
#include <string>

namespace designer {

class Report;

// Throws vb::ComError (kErrFieldNotKnown) when text is not a brace reference the report
// knows. A field of a table whose fields could not be read resolves.
void ResolveFieldReference(const Report& report, const std::string& text);

}  // namespace designer
