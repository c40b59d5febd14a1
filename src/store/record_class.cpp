#include "platform/common/com_error.h"
#include "platform/ui/prompt.h"
#include "store/record_classes.h"

namespace tolvaran {

const ado::ConnectionPtr& RecordClass::db() {
    if (!db_) db_ = std::make_shared<ado::Connection>();
    return db_;
}

void RecordClass::setoSystemConfig(RecordClass* object) {
    oSystemConfig_ = object;
    if (object) db_ = object->db();
}

bool RecordClass::Load(RecordClass* object, const std::string& text1, const std::string& text2,
                       const std::string& text3, long number) {
    return services_.LoadRecord(object, db(), text1, text2, text3, number);
}

bool RecordClass::Save(RecordClass* object, const std::string& text1, const std::string& text2,
                       const std::string& text3, long number) {
    return services_.SaveRecord(object, db(), text1, text2, text3, number);
}

vb::Variant RecordClass::NZ(const vb::Variant& value, const vb::Variant& def) {
    return vb::NZ(value, def);
}

std::optional<vb::Date> RecordClass::DateOf(const vb::Variant& v) {
    if (IsBlank(v)) return std::nullopt;
    return v.ToDate();
}

long RecordClass::FormLong(Form& form, const std::string& name) {
    if (form.Kind(name) == ControlKind::ComboBox) return LongOf(form.ItemData(name));
    return LongOf(form.Value(name));
}

bool RecordClass::fail(const std::exception& e, const std::string& title) {
    ErrorMessage = className_ + "\r\n" + e.what();
    if (prompt) prompt->MsgBox(ErrorMessage, ui::vbOKOnly, title);
    return false;
}

std::string RecordClass::selectByKey() const {
    return "SELECT * FROM " + table_ + " WHERE " + keyColumn_ + " = ?";
}

bool RecordClass::DeleteRecord(long id) {
    try {
        setKey(id);
        ado::Command cmd;
        cmd.ActiveConnection = db();
        cmd.CommandText = "Delete from " + table_ + " where " + keyColumn_ + " = ?";
        cmd.Parameters = {id};
        cmd.Execute();
        return true;
    } catch (const std::exception& e) {
        return fail(e);
    }
}

bool RecordClass::LoadRecord(long id) {
    try {
        setKey(id);
        return LoadFromRecordset(id);
    } catch (const std::exception& e) {
        return fail(e);
    }
}

bool RecordClass::LoadFromRecordset(long id) {
    try {
        ado::Recordset rs;
        rs.Open(selectByKey(), db(), ado::adOpenUnspecified, ado::adLockUnspecified, {id});
        const bool found = !rs.Eof() && PopulatePropertiesFromSP(rs);
        rs.Close();
        return found;
    } catch (const std::exception& e) {
        return fail(e);
    }
}

bool RecordClass::SaveRecord(long id, long* idVar) {
    try {
        setKey(id);
        return SaveToRecordset(id, idVar);
    } catch (const std::exception& e) {
        return fail(e);
    }
}

bool RecordClass::SaveToRecordset(long id, long* idVar) {
    try {
        ado::Recordset rs;
        if (id != 0) {
            rs.Open("SELECT * FROM " + table_ + " where " + keyColumn_ + "=?", db(), ado::adOpenDynamic,
                    ado::adLockOptimistic, {id});
        } else {
            // A key the engine does not number (Options) takes the number after the highest
            // one stored, so the rows already there keep theirs.
            long next = 0;
            if (!KeyIsAutonumber()) next = LastKey() + 1;
            // A new row needs none of the existing ones read.
            rs.Open("SELECT * FROM " + table_ + " WHERE 1 = 0", db(), ado::adOpenDynamic,
                    ado::adLockOptimistic);
            rs.AddNew();
            if (next != 0) rs.set(keyColumn_, next);
        }
        writeRow(rs);
        rs.Update();
        rs.MoveLast();
        setKey(LongOf(rs[keyColumn_]));
        if (idVar) *idVar = key();
        rs.Close();
        return true;
    } catch (const std::exception& e) {
        return fail(e);
    }
}

long RecordClass::LastKey() {
    ado::Recordset rs;
    rs.Open("SELECT MAX(" + keyColumn_ + ") AS LastKey FROM " + table_, db(), ado::adOpenForwardOnly,
            ado::adLockReadOnly);
    const long last = rs.Eof() ? 0 : LongOf(rs["LastKey"]);
    rs.Close();
    return last;
}

bool RecordClass::FindBy(const std::string& value, const std::string& field, const std::string& extra,
                         const std::vector<vb::Variant>& extraParams) {
    bool result = false;
    ado::Recordset rs;
    try {
        std::string sql = "SELECT * From " + table_ + "  Where " + db()->driver().quoteName(field) + " = ?";
        if (!extra.empty()) sql += " And " + extra;
        std::vector<vb::Variant> params{value};
        params.insert(params.end(), extraParams.begin(), extraParams.end());
        rs.Open(sql, db(), ado::adOpenForwardOnly, ado::adLockOptimistic, params);
        if (!rs.Eof()) result = PopulatePropertiesFromSP(rs);
    } catch (const std::exception& e) {
        result = fail(e);
    }
    try {
        if (rs.State() == ado::adStateOpen) rs.Close();
    } catch (const std::exception&) {
    }
    return result;
}

bool RecordClass::PopulatePropertiesFromSP(ado::Recordset& rs) {
    try {
        readRow(rs);
        return true;
    } catch (const std::exception& e) {
        return fail(e, "PopulatePropertiesFromSP");
    }
}

bool RecordClass::PopulatePropertiesFromForm(Form& form) {
    try {
        readForm(form);
        return true;
    } catch (const std::exception& e) {
        return fail(e);
    }
}

bool RecordClass::PopulateForm(Form& form) {
    try {
        writeForm(form);
        return true;
    } catch (const std::exception& e) {
        return fail(e);
    }
}

}  // namespace tolvaran
