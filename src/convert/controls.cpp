// Control discovery and layout bookkeeping: every control of the section being converted is
// recorded as a row of the lists file's Controls table and loaded back, ordered by position,
// into the job's control collection; the object builders record the object they made in the
// control's row (UpdateControl), and AlignCrystalControls moves objects of an area to their
// recorded Access left. Positions and sizes are twips. Every value goes in as a bound
// parameter, so control names holding quotes are recorded like any other.
#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "convert/convert.h"
#include "convert/trap.h"
#include "platform/access/properties.h"
#include "platform/common/text.h"
#include "platform/common/vbstring.h"
#include "store/record_classes.h"

namespace tolvaran {

namespace {

constexpr const char* kInsertControl =
    "INSERT INTO Controls (ControlName, ReportId, SectionNo, LeftPos, TopPos, Height, ControlOrder, Width, "
    "ControlType, Caption) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

long ToLong(const vb::Variant& v) {
    return vb::NZ(v, 0).ToLong();
}

}  // namespace

void clsConvert::DiscoverControls(short sectionNo) {
    try {
        const vb::Variant id(reportId());
        const vb::Variant section(static_cast<long>(sectionNo));
        StoreExecute("DELETE FROM Controls Where ReportId = ? AND SectionNo = ?", {id, section});
        controls_.clear();
        if (!accessReport_) ThrowNotSet();
        for (const access::Control* c : accessReport_->Controls()) {
            if (c->Section() != sectionNo) continue;
            const std::string name = c->Name();
            std::string caption;
            if (c->ControlType() == access::acLabel)
                caption = c->Caption();
            else if (c->ControlType() == access::acSubform)
                caption = "<subform:" + name + ">";
            else
                caption = "<" + name + ">";
            StoreExecute(kInsertControl,
                         {vb::Variant(name), id, section, vb::Variant(c->Left()), vb::Variant(c->Top()),
                          vb::Variant(c->Height()), vb::Variant(-1L), vb::Variant(c->Width()),
                          vb::Variant(static_cast<long>(c->ControlType())), vb::Variant(caption)});
        }
        // At equal top and left the order the rows were stored in decides.
        ado::Recordset rs;
        rs.Open(
            "SELECT * FROM Controls Where ReportId = ? AND SectionNo = ? ORDER BY TopPos,LeftPos,ControlId",
            db(), ado::adOpenForwardOnly, ado::adLockReadOnly, {id, section});
        long previousTop = 0;
        long previousHeight = 0;
        for (; !rs.Eof(); rs.MoveNext()) {
            const long top = ToLong(rs["TopPos"]);
            const long height = ToLong(rs["Height"]);
            const long shift = top < previousTop + previousHeight ? previousTop + previousHeight - top : 0;
            auto record = std::make_shared<clsControl>();
            record->ControlName = vb::NZ(rs["ControlName"], "").ToString();
            record->LeftPos = std::to_string(ToLong(rs["LeftPos"]));
            record->TopPos = std::to_string(top + shift);
            record->ControlType = static_cast<short>(ToLong(rs["ControlType"]));
            record->Order = static_cast<short>(ToLong(rs["ControlOrder"]));
            record->Height = height;
            record->Caption = vb::NZ(rs["Caption"], "").ToString();
            controls_.push_back(std::move(record));
            previousTop = top;
            previousHeight = height;
        }
        rs.Close();
    } catch (...) {
        WriteErrorLog(CurrentError().description, "DiscoverControls", "1", 1);
    }
}

void clsConvert::UpdateControl(designer::ReportObject* object, access::Control& control, short heightFlag) {
    // The continuing trap: a failed step is logged and the next one runs, so the columns after
    // it are still recorded. Without an object or a row there is nothing to record.
    auto trap = [&](auto&& body) {
        if (auto e = Try(body)) {
            WriteErrorLog(e->description, "DiscoverControls", "1", 1);
            return false;
        }
        return true;
    };
    if (!trap([&] {
            if (!object) ThrowNotSet();
        }))
        return;
    // The first row of the control, found through the index on (ReportId, ControlName).
    ado::Recordset rs;
    vb::Variant id;
    std::vector<ado::ColumnInfo> table;
    if (!trap([&] {
            rs.Open(
                "SELECT ControlId FROM Controls Where ReportId = ? AND ControlName = ? ORDER BY ControlId "
                "LIMIT 1",
                db(), ado::adOpenForwardOnly, ado::adLockReadOnly,
                {vb::Variant(reportId()), vb::Variant(control.Name())});
            if (!rs.Eof()) id = rs["ControlId"];
            table = db()->driver().columns("Controls");
        }))
        return;
    if (!id.IsEmpty()) {
        // Each column is one step, failing as a field the row does not have fails; one
        // statement writes the columns whose step went well.
        std::vector<std::pair<std::string, vb::Variant>> columns;
        auto column = [&](const char* name, const vb::Variant& value) {
            const bool known = std::any_of(table.begin(), table.end(), [&](const ado::ColumnInfo& c) {
                return EqualsNoCase(c.name, name);
            });
            if (!known)
                throw vb::ComError(
                    vb::kErrItemNotFound,
                    "Item cannot be found in the collection corresponding to the requested name or "
                    "ordinal.");
            columns.emplace_back(name, value);
        };
        trap([&] { column("CrystalControlName", vb::Variant(object->Name)); });
        trap([&] { column("CrystalTopPos", vb::Variant(object->Top)); });
        trap([&] {
            const long accessLeft = control.Left();
            if (object->Left < accessLeft) object->Left = accessLeft;
        });
        trap([&] { column("CrystalLeftPos", vb::Variant(object->Left)); });
        if (heightFlag != 1) trap([&] { column("CrystalHeight", vb::Variant(object->Height)); });
        trap([&] {
            if (columns.empty()) return;
            std::string sql = "UPDATE Controls SET ";
            std::vector<vb::Variant> values;
            for (const auto& [name, value] : columns) {
                sql += (values.empty() ? "" : ", ") + name + " = ?";
                values.push_back(value);
            }
            values.push_back(id);
            StoreExecute(sql + " WHERE ControlId = ?", values);
        });
    }
    trap([&] { rs.Close(); });
}

void clsConvert::AlignCrystalControls(const std::string& area) {
    if (area.empty()) return;
    try {
        if (!crReport_) ThrowNotSet();
        designer::Area& crArea = crReport_->Areas().Item(area);
        std::unordered_multimap<std::string, designer::ReportObject*> byName;
        for (const auto& section : crArea.Sections())
            for (const auto& object : section->ReportObjects()) byName.emplace(object->Name, object.get());
        // Only the rows whose object was recorded left of its Access position move anything.
        ado::Recordset rs;
        rs.Open(
            "SELECT CrystalControlName, LeftPos FROM Controls Where ReportId = ? AND CrystalControlName IS "
            "NOT NULL "
            "AND IFNULL(CrystalLeftPos, 0) < IFNULL(LeftPos, 0)",
            db(), ado::adOpenForwardOnly, ado::adLockReadOnly, {vb::Variant(reportId())});
        for (; !rs.Eof(); rs.MoveNext()) {
            const long left = ToLong(rs.Fields(1).Value());
            auto [first, last] = byName.equal_range(rs.Fields(0).Value().ToString());
            for (auto it = first; it != last; ++it) it->second->Left = left;
        }
        rs.Close();
    } catch (...) {
        WriteErrorLog(CurrentError().description, "AlignCrystalControls", "1", 1);
    }
}

void clsConvert::CheckCrystalReportAlignment() {
    try {
        if (!crReport_) ThrowNotSet();
        for (designer::Section* section : crReport_->Sections().List()) {
            // Lines are kept apart: a line may cross the fields it underlines.
            long previousBottom = 0;
            long previousLineBottom = 0;
            for (const auto& object : section->ReportObjects()) {
                ado::Recordset rs;
                rs.Open("SELECT * FROM Controls Where ReportId = ? AND ControlName = ?", db(),
                        ado::adOpenDynamic, ado::adLockOptimistic,
                        {vb::Variant(reportId()), vb::Variant(object->Name)});
                const bool isLine = vb::InStr(object->Name, "Line") > 0;
                long& bottom = isLine ? previousLineBottom : previousBottom;
                if (object->Top < bottom && bottom - object->Top < object->Height) object->Top = bottom;
                bottom = object->Top + object->Height;
                if (!rs.Eof()) {
                    rs.set("CrystalTopPos", vb::Variant(object->Top));
                    rs.set("CrystalLeftPos", vb::Variant(object->Left));
                    rs.set("CrystalHeight", vb::Variant(object->Height));
                    rs.Update();
                }
                rs.Close();
            }
            ShowControlsInDebug(*section);
        }
    } catch (...) {
        WriteErrorLog(CurrentError().description, "AlignCrystalControls", "1", 1);
    }
}

void clsConvert::ShowControlsInDebug(designer::Section& section) {
    for (const auto& object : section.ReportObjects()) {
        (void)object->Name;
        (void)object->Left;
        (void)object->Height;
    }
}

}  // namespace tolvaran
