#pragma once
// The record classes: one object holds one row of a store table, with one public member per
// column, and moves it between the table, the object and a form. clsOptions (Options of the
// settings file), clsReport (Report of the lists file) and clsDatabaseList (DatabaseList of
// the lists file) share the shape of RecordClass, each driven by one table of its columns.
//
// Every operation but NZ, Add, Load and Save traps its errors: a message box with the class
// name, CR LF and the error text (no title of its own; "PopulatePropertiesFromSP" for that
// operation), the same text in ErrorMessage, and the result False. All SQL values are bound.
// A Null column loads as 0, False, the empty text or no date.
#include <optional>
#include <span>
#include <string>
#include <variant>
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
    // One column of the class's table and the property that holds it. The property's type is
    // the column's: long (Long), int (Integer), bool (Boolean, stored 0 or 1), std::string
    // (text) or std::optional<vb::Date> (date; no date is Null). A long column's form control
    // may be a combo box listing rows, whose selected item's data is then the value.
    struct Column {
        enum Role {
            Plain,
            Key,           // the key: read, never written; a new row's key is read back
            OwnFormMoves,  // the class moves it to and from a form itself
        };
        using Member = std::variant<long RecordClass::*, int RecordClass::*, bool RecordClass::*,
                                    std::string RecordClass::*, std::optional<vb::Date> RecordClass::*>;

        // member is a property of the record class R that owns the table; the object a
        // table is applied to is always an R.
        template <class R, class T>
        Column(const char* name, T R::*member, Role role = Plain)
            : name(name), member(static_cast<T RecordClass::*>(member)), role(role) {}

        const char* name;
        Member member;
        Role role;
    };
    // How a row added with key 0 gets its key.
    enum class KeyNumbering { ByEngine, NextAfterHighest };

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
    // Every column property, the key included, from the current row.
    bool PopulatePropertiesFromSP(ado::Recordset& rs);
    // Every column property from the form's control named after the column.
    bool PopulatePropertiesFromForm(Form& form);
    // Every column property into the form's control named after the column.
    bool PopulateForm(Form& form);
    bool LoadFromRecordset(long id);
    // Opens the row by key (id not 0) or adds one (id 0), stores every column but the key in
    // table order, saves, and reads the key back into the key property and *idVar.
    bool SaveToRecordset(long id, long* idVar = nullptr);
    static vb::Variant NZ(const vb::Variant& value, const vb::Variant& def = vb::Variant(0));

    const std::string& ClassName() const { return className_; }
    const std::string& Table() const { return table_; }
    const std::string& KeyColumn() const { return keyColumn_; }

  protected:
    // columns is the class's table (static storage), in property order; one column has the
    // role Key and a long property.
    RecordClass(std::string className, std::string table, std::span<const Column> columns,
                KeyNumbering numbering = KeyNumbering::ByEngine);

    long key() const { return this->*key_; }
    void setKey(long id) { this->*key_ = id; }

    // Calls sink(column name, value) for every column but the key, in table order: what a
    // save writes.
    template <class Sink>
    void eachStoredValue(Sink&& sink) const {
        for (const Column& c : columns_)
            if (c.role != Column::Key) sink(c.name, valueOf(c));
    }
    // The form moves of the columns with the role OwnFormMoves, after the others.
    virtual void readOwnFormControls(Form&) {}
    virtual void writeOwnFormControls(Form&) {}

    // Runs body; an exception it throws is shown and kept (fail) and gives False.
    template <class Body>
    bool trapped(Body&& body, const std::string& title = {}) {
        try {
            return body();
        } catch (const std::exception& e) {
            return fail(e, title);
        }
    }
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

  private:
    vb::Variant valueOf(const Column& c) const;
    void assign(const Column& c, const vb::Variant& value);
    long LastKey();

    std::string className_, table_, keyColumn_;
    std::span<const Column> columns_;
    long RecordClass::*key_ = nullptr;
    KeyNumbering numbering_;
    ado::ConnectionPtr db_;
    RecordClass* oSystemConfig_ = nullptr;
    RecordServices services_;
};

// Row 1 of Options in the settings file; its key is not numbered by the engine.
class clsOptions : public RecordClass {
  public:
    clsOptions();

    bool LoadReportsOnOpen = false;
    bool SuppressSectionsWithNoControls = false;
    long SystemConfigId = 0;
};

class clsReport : public RecordClass {
  public:
    clsReport();

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
};

class clsDatabaseList : public RecordClass {
  public:
    clsDatabaseList();

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

  protected:
    // CaptureErrorLevel on the form: its own control and the two option buttons.
    void readOwnFormControls(Form& form) override;
    void writeOwnFormControls(Form& form) override;
};

}  // namespace tolvaran
