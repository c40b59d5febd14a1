// Groups: each Access group level with a header or a footer becomes a group of the new report
// on a field of its first data table; a level with neither only sorts the records and becomes a
// record sort field. The group made for each level is remembered, so that the level's header
// and footer sections find the areas of their own group.
#include <string>

#include "convert/convert.h"
#include "convert/trap.h"
#include "platform/common/vbstring.h"

namespace tolvaran {

namespace {

constexpr int kLastConvertedLevel = 10;

bool IsPlainName(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name) {
        const bool word = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                          c == '_' || static_cast<unsigned char>(c) >= 0x80;
        if (!word) return false;
    }
    return true;
}

// The field a level's control source names: the source itself, or the one field an expression
// made of nothing else names ("=[Customer Name]", "= CustomerID").
std::string LevelField(const std::string& source) {
    const std::string t = vb::Trim(source);
    if (t.empty() || t.front() != '=') return source;
    const std::string expression = vb::Trim(t.substr(1));
    if (expression.size() > 2 && expression.front() == '[' && expression.back() == ']') {
        const std::string inner = expression.substr(1, expression.size() - 2);
        return inner.find_first_of("[]") == std::string::npos ? inner : source;
    }
    return IsPlainName(expression) ? expression : source;
}

}  // namespace

short clsConvert::AddGroupLevels() {
    short count = 0;
    levelGroups_.clear();
    const int levels = accessReport_ ? accessReport_->GroupLevelCount() : 0;
    for (int i = 0; i <= kLastConvertedLevel && i < levels; ++i) {
        auto e = Try([&] {
            // A level without header or footer sorts the records: not a group, not counted.
            if (GetGroupLevel(i)) {
                if (AddGroup(i)) ++count;
            } else {
                AddGroup(i);
            }
        });
        if (e) RecordError(e->description, ReportName, "", "", "AddGroupLevel");
    }
    if (levels > kLastConvertedLevel + 1)
        WriteErrorLog("Group levels " + std::to_string(kLastConvertedLevel + 1) + " to " +
                          std::to_string(levels - 1) + " were not converted: only the first " +
                          std::to_string(kLastConvertedLevel + 1) + " group levels are",
                      "AddGroupLevel", LogLevel::Problem);
    try {
        LogStepError("There were " + std::to_string(count) + " group levels added", "");
    } catch (...) {
    }
    return count;
}

bool clsConvert::GetGroupLevel(int i) {
    try {
        if (!accessReport_ || i < 0 || i >= accessReport_->GroupLevelCount()) return false;
        const access::GroupLevel& level = accessReport_->GroupLevel(i);
        return level.GroupHeader() || level.GroupFooter();
    } catch (...) {
        return false;
    }
}

bool clsConvert::AddGroup(int i) {
    try {
        if (!crReport_ || !accessReport_) ThrowNotSet();
        const access::GroupLevel& level = accessReport_->GroupLevel(i);
        const designer::DatabaseTable& table = crReport_->Database().Tables().Item(1);
        const std::string source = LevelField(level.ControlSource());
        // The field named by the level, as Access names fields (without regard to case); a
        // field whose name merely holds the source only when none is named so.
        const designer::DatabaseFieldDefinition* chosen = nullptr;
        for (int f = 1; f <= table.Fields().Count() && !chosen; ++f) {
            const designer::DatabaseFieldDefinition& field = table.Fields().Item(f);
            if (vb::StrComp(field.Name(), source, vb::vbTextCompare) == 0) chosen = &field;
        }
        for (int f = 1; f <= table.Fields().Count() && !chosen; ++f) {
            const designer::DatabaseFieldDefinition& field = table.Fields().Item(f);
            if (vb::InStr(field.Name(), source) > 0) chosen = &field;
        }
        const bool grouped = level.GroupHeader() || level.GroupFooter();
        if (!chosen) {
            WriteErrorLog("Group level " + std::to_string(i) + " on " + level.ControlSource() +
                              " finds no field of " + table.Name() +
                              (grouped ? ": no group was added" : ": the records are not sorted on it"),
                          "AddGroup", LogLevel::Problem);
            return false;
        }
        const int direction = level.SortOrder() ? designer::crDescendingOrder : designer::crAscendingOrder;
        if (grouped) {
            const int condition = chosen->ValueType() == designer::crDateTimeField ? designer::crGCDaily
                                                                                   : designer::crGCAnyValue;
            crReport_->AddGroup(crReport_->GroupCount(), *chosen, condition, direction);
            levelGroups_.push_back({i, crReport_->GroupCount()});
        } else {
            crReport_->RecordSortFields().Add(*chosen, direction);
        }
        return true;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "AddGroup", LogLevel::Problem);
        return false;
    }
}

int clsConvert::GroupOfLevel(int level) const {
    for (const LevelGroup& lg : levelGroups_)
        if (lg.level == level) return lg.group;
    return 0;
}

short clsConvert::GetTotalNoOfGroups() {
    constexpr int kLastCountedLevel = 16;
    short count = 0;
    for (int i = 0; i <= kLastCountedLevel; ++i)
        if (GetGroupLevel(i)) ++count;
    return count;
}

bool clsConvert::IsValidGroupLevel(int i) {
    try {
        if (!accessReport_) ThrowNotSet();
        return !accessReport_->GroupLevel(i).ControlSource().empty();
    } catch (...) {
        WriteErrorLog(CurrentError().description, "IsValidGroupLevel", LogLevel::Problem);
        return false;
    }
}

}  // namespace tolvaran
