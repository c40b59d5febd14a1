// clsDatabaseList: the source database entry record. A new entry is appended through the main
// window's entry grid; the level of logging shows as two option buttons.
#include "platform/common/com_error.h"
#include "store/record_classes.h"

namespace tolvaran {

namespace {
constexpr long kErrObjectNotSet = 91;
}

bool clsDatabaseList::SaveRecord(long id, long* idVar) {
    try {
        if (id != 0) {
            DatabaseListId = id;
            return SaveToRecordset(id, idVar);
        }
        AddToGrid(id);
        if (idVar) *idVar = id;
        return true;
    } catch (const std::exception& e) {
        return fail(e);
    }
}

void clsDatabaseList::AddToGrid(long& id) {
    if (!EntryGrid) throw vb::ComError(kErrObjectNotSet, "Object variable or With block variable not set");
    EntryGrid->BeginUpdate();
    EntryGrid->Append();
    EntryGrid->SetField("ConvertedReportsPath", ConvertedReportsPath);
    EntryGrid->SetField("IsDataProject", IsDataProject);
    EntryGrid->SetField("IsSQL", IsSQL);
    EntryGrid->SetField("ReportDatabase", ReportDatabase);
    EntryGrid->SetField("SourceTablesDatabase", SourceTablesDatabase);
    EntryGrid->SetField("UpdatedOn", DateValue(UpdatedOn));
    EntryGrid->SetField("CaptureErrorLevel", CaptureErrorLevel);
    EntryGrid->Post();
    EntryGrid->EndUpdate();
    DatabaseListId = LongOf(EntryGrid->Field("DatabaseListId"));
    id = DatabaseListId;
}

bool clsDatabaseList::SaveToRecordset(long id, long* idVar) {
    try {
        ado::Recordset rs;
        if (id != 0) {
            rs.Open("SELECT * FROM DatabaseList where DatabaseListId=?", db(), ado::adOpenDynamic,
                    ado::adLockOptimistic, {id});
        } else {
            rs.Open("SELECT * FROM DatabaseList WHERE 1 = 0", db(), ado::adOpenDynamic,
                    ado::adLockOptimistic);
            rs.AddNew();
        }
        writeRow(rs);
        rs.Update();
        rs.MoveLast();
        // The engine numbers a new row when it is written, so the key is read after the save.
        if (id == 0) {
            DatabaseListId = LongOf(rs["DatabaseListId"]);
            if (idVar) *idVar = DatabaseListId;
        }
        rs.Close();
        return true;
    } catch (const std::exception& e) {
        return fail(e);
    }
}

void clsDatabaseList::readRow(ado::Recordset& rs) {
    ConvertedReportsPath = TextOf(rs["ConvertedReportsPath"]);
    DatabaseListId = LongOf(rs["DatabaseListId"]);
    IsDataProject = BoolOf(rs["IsDataProject"]);
    IsSQL = BoolOf(rs["IsSQL"]);
    ReportDatabase = TextOf(rs["ReportDatabase"]);
    SourceTablesDatabase = TextOf(rs["SourceTablesDatabase"]);
    UpdatedOn = DateOf(rs["UpdatedOn"]);
    CaptureErrorLevel = static_cast<int>(LongOf(rs["CaptureErrorLevel"]));
}

void clsDatabaseList::writeRow(ado::Recordset& rs) {
    rs.set("ConvertedReportsPath", ConvertedReportsPath);
    rs.set("IsDataProject", IsDataProject);
    rs.set("IsSQL", IsSQL);
    rs.set("ReportDatabase", ReportDatabase);
    rs.set("SourceTablesDatabase", SourceTablesDatabase);
    rs.set("UpdatedOn", DateValue(UpdatedOn));
    rs.set("CaptureErrorLevel", CaptureErrorLevel);
}

void clsDatabaseList::readForm(Form& form) {
    ConvertedReportsPath = TextOf(form.Value("ConvertedReportsPath"));
    DatabaseListId = FormLong(form, "DatabaseListId");
    IsDataProject = BoolOf(form.Value("IsDataProject"));
    IsSQL = BoolOf(form.Value("IsSQL"));
    ReportDatabase = TextOf(form.Value("ReportDatabase"));
    SourceTablesDatabase = TextOf(form.Value("SourceTablesDatabase"));
    UpdatedOn = DateOf(form.Value("UpdatedOn"));
    // The level the user chose on the option buttons wins over the CaptureErrorLevel control.
    if (form.Kind("OptConversionSteps") == ControlKind::OptionButton &&
        BoolOf(form.Value("OptConversionSteps")))
        CaptureErrorLevel = 1;
    else if (form.Kind("OptErrorsOnly") == ControlKind::OptionButton && BoolOf(form.Value("OptErrorsOnly")))
        CaptureErrorLevel = 2;
    else
        CaptureErrorLevel = static_cast<int>(LongOf(form.Value("CaptureErrorLevel")));
}

void clsDatabaseList::writeForm(Form& form) {
    form.SetValue("ConvertedReportsPath", ConvertedReportsPath);
    form.SetValue("DatabaseListId", DatabaseListId);
    form.SetValue("IsDataProject", IsDataProject);
    form.SetValue("IsSQL", IsSQL);
    form.SetValue("ReportDatabase", ReportDatabase);
    form.SetValue("SourceTablesDatabase", SourceTablesDatabase);
    form.SetValue("UpdatedOn", DateValue(UpdatedOn));
    // The entry's level reaches the form through its CaptureErrorLevel control, which then
    // selects the option button.
    if (form.Kind("CaptureErrorLevel") != ControlKind::None)
        form.SetValue("CaptureErrorLevel", CaptureErrorLevel);
    const vb::Variant level = form.Kind("CaptureErrorLevel") != ControlKind::None
                                  ? form.Value("CaptureErrorLevel")
                                  : vb::Variant(CaptureErrorLevel);
    const long n = !IsBlank(level) && level.IsNumeric() ? LongOf(level) : 0;
    if (n == 1) form.SetValue("OptConversionSteps", true);
    if (n == 2) form.SetValue("OptErrorsOnly", true);
}

}  // namespace tolvaran
