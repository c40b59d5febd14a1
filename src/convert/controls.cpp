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

const clsConvert::RowShape kControlRow{
    "INSERT INTO Controls (ControlName, ReportId, SectionNo, LeftPos, TopPos, Height, ControlOrder, Width, "
    "ControlType, Caption) VALUES ",
    10};

constexpr const char* kFindControl =
    "SELECT ControlId FROM Controls Where ReportId = ? AND ControlName = ? ORDER BY ControlId LIMIT 1";

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
        // The section's rows are the ones stored here, together, in the order of the report's
        // controls (the others were deleted above, inside the job's transaction): they are
        // ordered as they were stored, by TopPos, LeftPos and ControlId, without being read
        // back.
        struct Row {
            long left, top, height;
            short type;
            std::string name, caption;
        };
        std::vector<Row> rows;
        std::vector<vb::Variant> values;
        for (const access::Control* c : accessReport_->Controls()) {
            if (c->Section() != sectionNo) continue;
            Row row{c->Left(), c->Top(), c->Height(), static_cast<short>(c->ControlType()), c->Name(), {}};
            if (c->ControlType() == access::acLabel)
                row.caption = c->Caption();
            else if (c->ControlType() == access::acSubform)
                row.caption = "<subform:" + row.name + ">";
            else
                row.caption = "<" + row.name + ">";
            for (vb::Variant v :
                 {vb::Variant(row.name), id, section, vb::Variant(row.left), vb::Variant(row.top),
                  vb::Variant(row.height), vb::Variant(-1L), vb::Variant(c->Width()),
                  vb::Variant(static_cast<long>(c->ControlType())), vb::Variant(row.caption)})
                values.push_back(std::move(v));
            rows.push_back(std::move(row));
        }
        StoreInsertRows(kControlRow, values);
        for (const Row& row : rows) storedControls_.insert(row.name);
        std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
            return a.top != b.top ? a.top < b.top : a.left < b.left;
        });
        long previousTop = 0;
        long previousHeight = 0;
        for (Row& row : rows) {
            const long shift =
                row.top < previousTop + previousHeight ? previousTop + previousHeight - row.top : 0;
            auto record = std::make_shared<clsControl>();
            record->ControlName = std::move(row.name);
            record->LeftPos = std::to_string(row.left);
            record->TopPos = std::to_string(row.top + shift);
            record->ControlType = row.type;
            record->Order = -1;
            record->Height = row.height;
            record->Caption = std::move(row.caption);
            controls_.push_back(std::move(record));
            previousTop = row.top;
            previousHeight = row.height;
        }
    } catch (...) {
        WriteErrorLog(CurrentError().description, "DiscoverControls", LogLevel::Error, "1");
    }
}

void clsConvert::UpdateControl(designer::ReportObject* object, access::Control& control, short heightFlag) {
    // The continuing trap: a failed step is logged and the next one runs, so the columns after
    // it are still recorded. Without an object or a row there is nothing to record.
    auto trap = [&](auto&& body) {
        if (auto e = Try(body)) {
            WriteErrorLog(e->description, "DiscoverControls", LogLevel::Error, "1");
            return false;
        }
        return true;
    };
    if (!trap([&] {
            if (!object) ThrowNotSet();
        }))
        return;
    // The first row of the control, found through the index on (ReportId, ControlName): a
    // control whose rows this job stored has one, and the UPDATE finds it itself; any other
    // is looked for first, straight through the driver. The table's columns are asked once
    // per job.
    const bool stored = storedControls_.count(control.Name()) > 0;
    vb::Variant id;
    if (!trap([&] {
            const std::vector<vb::Variant> key{vb::Variant(reportId()), vb::Variant(control.Name())};
            const ado::ConnectionPtr& c = db();
            if (c->State() != ado::adStateOpen) {
                ado::Recordset rs;  // says what is wrong with the connection
                rs.Open(kFindControl, c, ado::adOpenForwardOnly, ado::adLockReadOnly, key);
            }
            std::vector<vb::Variant> row;
            if (!stored && c->driver().query(kFindControl, key)->next(row)) id = row.at(0);
            if (!controlsColumnsRead_) {
                controlsColumns_ = c->driver().columns("Controls");
                controlsColumnsRead_ = true;
            }
        }))
        return;
    const std::vector<ado::ColumnInfo>& table = controlsColumns_;
    if (stored || !id.IsEmpty()) {
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
            if (stored) {
                values.emplace_back(reportId());
                values.emplace_back(control.Name());
                StoreExecute(sql + " WHERE ControlId = (" + kFindControl + ")", values);
            } else {
                values.push_back(id);
                StoreExecute(sql + " WHERE ControlId = ?", values);
            }
        });
    }
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
        WriteErrorLog(CurrentError().description, "AlignCrystalControls", LogLevel::Error, "1");
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
        WriteErrorLog(CurrentError().description, "AlignCrystalControls", LogLevel::Error, "1");
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
