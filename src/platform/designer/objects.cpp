#include "platform/designer/objects.h"

#include "platform/common/com_error.h"
#include "platform/designer/database.h"
#include "platform/designer/report.h"

namespace designer {

namespace {
bool IsBraceReference(const std::string& s) {
    return s.size() >= 3 && s.front() == '{' && s.back() == '}' && s.find('}') == s.size() - 1;
}
}  // namespace

void SubreportLinks::Add(const DatabaseFieldDefinition* mainReportField,
                         const DatabaseFieldDefinition* subreportField) {
    if (!mainReportField || !subreportField)
        throw vb::ComError(kErrLinkField,
                           "A subreport link needs a field of the main report and one of the subreport.");
    links_.push_back({mainReportField->FormulaName(), subreportField->FormulaName()});
}

void SubreportLinks::Add(const std::string& mainReportField, const std::string& subreportField) {
    if (!IsBraceReference(mainReportField) || !IsBraceReference(subreportField))
        throw vb::ComError(kErrLinkField, "Invalid subreport link fields \"" + mainReportField + "\" and \"" +
                                              subreportField + "\".");
    links_.push_back({mainReportField, subreportField});
}

const SubreportLink& SubreportLinks::Item(int index) const {
    if (index < 1 || index > Count())
        throw vb::ComError(kErrInvalidIndex,
                           "Invalid index " + std::to_string(index) + " for subreport links.");
    return links_[index - 1];
}

SubreportObject::SubreportObject(Section& parent, std::unique_ptr<Report> report)
    : ReportObject(ObjectKind::Subreport, parent), report_(std::move(report)) {}

SubreportObject::~SubreportObject() = default;

}  // namespace designer
