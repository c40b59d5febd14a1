#pragma once
// References to controls of open Access forms in a control source: "[Forms]![frmDates]!
// [StartDate]", "Forms!frmDates!StartDate", in any case and any mix of brackets. A report file
// cannot read a form, so each such reference stands for a parameter field of the report, named
// after the form's control.
#include <cstddef>
#include <string>
#include <vector>

namespace tolvaran {

struct FormReference {
    std::size_t begin = 0;  // byte range of the reference in the text
    std::size_t end = 0;
    std::string parameter;  // the form control's name, without brackets
};

// Every form reference of the text, in order; none for a text that cannot be read as an
// expression.
std::vector<FormReference> FindFormReferences(const std::string& text);

// The text with each form reference replaced by its parameter field's reference "{?name}".
std::string ReplaceFormReferences(const std::string& text);

// True when the text, blanks and one leading "=" aside, is one form reference and nothing else.
bool IsOnlyFormReference(const std::string& text);

}  // namespace tolvaran
