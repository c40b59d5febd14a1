#pragma once
// The record classes: one object holds one row of a store table, with one public member per
// column, and moves it between the table, the object and a form. clsOptions (Options of the
// settings file), clsReport (Report of the lists file) and clsDatabaseList (DatabaseList of
// the lists file) share the shape of RecordClass.
//
// Every operation but NZ, Add, Load and Save traps its errors: a message box with the class
// name, CR LF and the error text (no title of its own; "PopulatePropertiesFromSP" for that
// operation), the same text in ErrorMessage, and the result False. All SQL values are bound.
// A Null column loads as 0, False, the empty text or no date.
#include <optional>
#include <string>
#include <vector>

#include "platform/ado/ado.h"
#include "store/form.h"
#include "store/grid_dataset.h"

namespace ui {
class Prompt;
}

namespace tolvaran {

class RecordClass;

// The record-services component the Load and Save members hand their work to; outside the
// system and never called by it: both answer False.
class RecordServices {
  public:
    bool LoadRecord(RecordClass*, const ado::ConnectionPtr&, const std::string&, const std::string&,
                    const std::string&, long) {
        return false;
    }
    bool SaveRecord(RecordClass*, const ado::ConnectionPtr&, const std::string&, const std::string&,
                    const std::string&, long) {
        return false;
    }
};

class RecordClass {
  public:
    virtual ~RecordClass() = default;
    RecordClass(const RecordClass&) = delete;
    RecordClass& operator=(const RecordClass&) = delete;

    // The connection to the table's file; before any assignment a new, unopened connection.
    const ado::ConnectionPtr& db();
    void setDb(ado::ConnectionPtr connection) { db_ = std::move(connection); }
    // Stores the object (not owned) and takes its connection.
    RecordClass* oSystemConfig() const { return oSystemConfig_; }
    void setoSystemConfig(RecordClass* object);

    std::string ErrorMessage;
    bool UseSP = false;
    std::string InsProc, SelProc, UpdProc, DelProc;
    // Where trapped errors are shown; not owned; null shows nothing (ErrorMessage still set).
    ui::Prompt* prompt = nullptr;

    bool Load(RecordClass* object, const std::string& text1, const std::string& text2,
              const std::string& text3, long number);
    bool Save(RecordClass* object, const std::string& text1, const std::string& text2,
              const std::string& text3, long number);

    bool DeleteRecord(long id);
    // Sets the key, then loads the row; False (other properties unchanged) when there is none.
    bool LoadRecord(long id);
    // Sets the key and saves; key 0 adds a row and leaves its new key in the key property and
    // in *idVar when given.
    virtual bool SaveRecord(long id, long* idVar = nullptr);
    bool Add(const vb::Variant& = {}, const vb::Variant& = {}, const vb::Variant& = {},
             const vb::Variant& = {}, const vb::Variant& = {}) {
        return false;
    }
    // Loads the first row whose column field equals value (bound, so any text works), with
    // " And " extra appended when extra is not empty; extra's own '?' take extraParams.
    bool FindBy(const std::string& value, const std::string& field, const std::string& extra = {},
                const std::vector<vb::Variant>& extraParams = {});
    bool PopulatePropertiesFromSP(ado::Recordset& rs);
    bool PopulatePropertiesFromForm(Form& form);
    bool PopulateForm(Form& form);
    bool LoadFromRecordset(long id);
    virtual bool SaveToRecordset(long id, long* idVar = nullptr);
    static vb::Variant NZ(const vb::Variant& value, const vb::Variant& def = vb::Variant(0));

    const std::string& ClassName() const { return className_; }
    const std::string& Table() const { return table_; }
    const std::string& KeyColumn() const { return keyColumn_; }

  protected:
    RecordClass(std::string className, std::string table, std::string keyColumn)
        : className_(std::move(className)), table_(std::move(table)), keyColumn_(std::move(keyColumn)) {}

    virtual long key() const = 0;
    virtual void setKey(long id) = 0;
    // False for a key column the engine does not number: a new row is given the highest
    // stored key + 1.
    virtual bool KeyIsAutonumber() const { return true; }
    // Every column property from the current row, the key included.
    virtual void readRow(ado::Recordset& rs) = 0;
    // Every column property but the key into the current row, in property order.
    virtual void writeRow(ado::Recordset& rs) = 0;
    virtual void readForm(Form& form) = 0;
    virtual void writeForm(Form& form) = 0;

    // Shows and keeps a trapped error; returns false.
    bool fail(const std::exception& e, const std::string& title = {});

    // Row and form values converted to the property types (Null: 0, False, "", no date).
    // An empty text (a cleared text box) counts as missing too.
    static bool IsBlank(const vb::Variant& v) {
        return v.IsNull() || v.IsEmpty() ||
               (v.IsText() && v.AsString()->find_first_not_of(' ') == std::string::npos);
    }
    static long LongOf(const vb::Variant& v) { return IsBlank(v) ? 0 : static_cast<long>(v.ToLong()); }
    static bool BoolOf(const vb::Variant& v) { return IsBlank(v) ? false : v.ToBool(); }
    static std::string TextOf(const vb::Variant& v) { return NZ(v, "").ToString(); }
    static std::optional<vb::Date> DateOf(const vb::Variant& v);
    static vb::Variant DateValue(const std::optional<vb::Date>& d) {
        return d ? vb::Variant(*d) : vb::Variant::null();
    }
    // A Long column's control: the selected item's data for a combo box, else its value.
    static long FormLong(Form& form, const std::string& name);

    std::string selectByKey() const;

  private:
    long LastKey();

    std::string className_, table_, keyColumn_;
    ado::ConnectionPtr db_;
    RecordClass* oSystemConfig_ = nullptr;
    RecordServices services_;
};

class clsOptions : public RecordClass {
  public:
    clsOptions() : RecordClass("clsOptions", "Options", "SystemConfigId") {}

    bool LoadReportsOnOpen = false;
    bool SuppressSectionsWithNoControls = false;
    long SystemConfigId = 0;

  protected:
    long key() const override { return SystemConfigId; }
    void setKey(long id) override { SystemConfigId = id; }
    bool KeyIsAutonumber() const override { return false; }
    void readRow(ado::Recordset& rs) override;
    void writeRow(ado::Recordset& rs) override;
    void readForm(Form& form) override;
    void writeForm(Form& form) override;
};

class clsReport : public RecordClass {
  public:
    clsReport() : RecordClass("clsReport", "Report", "ReportId") {}

    long DatabaseListId = 0;
    bool HasSubReports = false;
    long LinkedToReportId = 0;
    long ReportId = 0;
    std::string ReportName;
    std::string Reportpath;  // column ReportPath
    std::string ReportQueryType;
    std::string ReportSQL;
    std::string ReportType;
    bool Selected = false;
    bool SuppressSectionsWithNoControls = false;
    std::optional<vb::Date> UpdatedOn;

  protected:
    long key() const override { return ReportId; }
    void setKey(long id) override { ReportId = id; }
    void readRow(ado::Recordset& rs) override;
    void writeRow(ado::Recordset& rs) override;
    void readForm(Form& form) override;
    void writeForm(Form& form) override;
};

class clsDatabaseList : public RecordClass {
  public:
    clsDatabaseList() : RecordClass("clsDatabaseList", "DatabaseList", "DatabaseListId") {}

    std::string ConvertedReportsPath;
    long DatabaseListId = 0;
    bool IsDataProject = false;
    bool IsSQL = false;
    std::string ReportDatabase;
    std::string SourceTablesDatabase;
    std::optional<vb::Date> UpdatedOn;
    int CaptureErrorLevel = 0;  // 1 conversion steps, 2 errors only

    // The main window's entry grid dataset through which a new entry is appended; not owned.
    GridDataset* EntryGrid = nullptr;

    // id not 0: saves that row. id 0: appends the entry through EntryGrid; the new key goes
    // to DatabaseListId and to *idVar.
    bool SaveRecord(long id, long* idVar = nullptr) override;
    // Appends the entry through EntryGrid (errors go to the caller).
    void AddToGrid(long& id);
    bool SaveToRecordset(long id, long* idVar = nullptr) override;

  protected:
    long key() const override { return DatabaseListId; }
    void setKey(long id) override { DatabaseListId = id; }
    void readRow(ado::Recordset& rs) override;
    void writeRow(ado::Recordset& rs) override;
    void readForm(Form& form) override;
    void writeForm(Form& form) override;
};

}  // namespace tolvaran
