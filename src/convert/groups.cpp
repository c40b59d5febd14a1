// Groups: each Access group level with a header or a footer becomes a group of the new report
// on a field of its first data table. The group made for each level is remembered, so that
// the level's header and footer sections find the areas of their own group.
#include <string>

#include "convert/convert.h"
#include "convert/trap.h"
#include "platform/common/vbstring.h"

namespace tolvaran {

namespace {

constexpr int kLastConvertedLevel = 10;

}  // namespace

short clsConvert::AddGroupLevels() {
    short count = 0;
    levelGroups_.clear();
    for (int i = 0; i <= kLastConvertedLevel; ++i) {
        auto e = Try([&] {
            if (GetGroupLevel(i) && AddGroup(i)) ++count;
        });
        if (e) RecordError(e->description, ReportName, "", "", "AddGroupLevel");
    }
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
        const std::string source = level.ControlSource();
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
        if (!chosen) {
            WriteErrorLog("Group level " + std::to_string(i) + " on " + source + " finds no field of " +
                              table.Name() + ": no group was added",
                          "AddGroup", LogLevel::Problem);
            return false;
        }
        const int direction = level.SortOrder() ? designer::crDescendingOrder : designer::crAscendingOrder;
        if (level.GroupHeader() || level.GroupFooter()) {
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
