#include <type_traits>

#include "platform/common/com_error.h"
#include "platform/ui/prompt.h"
#include "store/record_classes.h"

namespace tolvaran {

RecordClass::RecordClass(std::string className, std::string table, std::span<const Column> columns,
                         KeyNumbering numbering)
    : className_(std::move(className)), table_(std::move(table)), columns_(columns), numbering_(numbering) {
    for (const Column& c : columns_) {
        if (c.role != Column::Key) continue;
        keyColumn_ = c.name;
        key_ = std::get<long RecordClass::*>(c.member);
    }
}

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

vb::Variant RecordClass::valueOf(const Column& c) const {
    return std::visit(
        [this](auto member) -> vb::Variant {
            const auto& value = this->*member;
            if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::optional<vb::Date>>)
                return value ? vb::Variant(*value) : vb::Variant::null();
            else
                return vb::Variant(value);
        },
        c.member);
}

void RecordClass::assign(const Column& c, const vb::Variant& v) {
    std::visit(
        [this, &v](auto member) {
            auto& property = this->*member;
            using T = std::decay_t<decltype(property)>;
            if constexpr (std::is_same_v<T, bool>)
                property = BoolOf(v);
            else if constexpr (std::is_same_v<T, std::string>)
                property = NZ(v, "").ToString();
            else if constexpr (std::is_same_v<T, std::optional<vb::Date>>)
                property = IsBlank(v) ? std::nullopt : std::optional<vb::Date>(v.ToDate());
            else
                property = static_cast<T>(LongOf(v));
        },
        c.member);
}

bool RecordClass::fail(const std::exception& e, const std::string& title) {
    ErrorMessage = className_ + "\r\n" + e.what();
    if (prompt) prompt->MsgBox(ErrorMessage, ui::vbOKOnly, title);
    return false;
}

bool RecordClass::DeleteRecord(long id) {
    return trapped([&] {
        setKey(id);
        ado::Command cmd;
        cmd.ActiveConnection = db();
        cmd.CommandText = "Delete from " + table_ + " where " + keyColumn_ + " = ?";
        cmd.Parameters = {id};
        cmd.Execute();
        return true;
    });
}

bool RecordClass::LoadRecord(long id) {
    return trapped([&] {
        setKey(id);
        return LoadFromRecordset(id);
    });
}

bool RecordClass::LoadFromRecordset(long id) {
    return trapped([&] {
        ado::Recordset rs;
        rs.Open("SELECT * FROM " + table_ + " WHERE " + keyColumn_ + " = ?", db(), ado::adOpenUnspecified,
                ado::adLockUnspecified, {id});
        const bool found = !rs.Eof() && PopulatePropertiesFromSP(rs);
        rs.Close();
        return found;
    });
}

bool RecordClass::SaveRecord(long id, long* idVar) {
    return trapped([&] {
        setKey(id);
        return SaveToRecordset(id, idVar);
    });
}

bool RecordClass::SaveToRecordset(long id, long* idVar) {
    return trapped([&] {
        ado::Recordset rs;
        if (id != 0) {
            rs.Open("SELECT * FROM " + table_ + " where " + keyColumn_ + "=?", db(), ado::adOpenDynamic,
                    ado::adLockOptimistic, {id});
        } else {
            // A key the engine does not number (Options) takes the number after the highest
            // one stored, so the rows already there keep theirs.
            const long next = numbering_ == KeyNumbering::NextAfterHighest ? LastKey() + 1 : 0;
            // A new row needs none of the existing ones read.
            rs.Open("SELECT * FROM " + table_ + " WHERE 1 = 0", db(), ado::adOpenDynamic,
                    ado::adLockOptimistic);
            rs.AddNew();
            if (next != 0) rs.set(keyColumn_, next);
        }
        eachStoredValue([&rs](const std::string& name, const vb::Variant& value) { rs.set(name, value); });
        rs.Update();
        rs.MoveLast();
        // The engine numbers a new row when it is written, so the key is read after the save.
        setKey(LongOf(rs[keyColumn_]));
        if (idVar) *idVar = key();
        rs.Close();
        return true;
    });
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
    ado::Recordset rs;
    const bool result = trapped([&] {
        std::string sql = "SELECT * From " + table_ + "  Where " + db()->driver().quoteName(field) + " = ?";
        if (!extra.empty()) sql += " And " + extra;
        std::vector<vb::Variant> params{value};
        params.insert(params.end(), extraParams.begin(), extraParams.end());
        rs.Open(sql, db(), ado::adOpenForwardOnly, ado::adLockOptimistic, params);
        return !rs.Eof() && PopulatePropertiesFromSP(rs);
    });
    try {
        if (rs.State() == ado::adStateOpen) rs.Close();
    } catch (const std::exception&) {
    }
    return result;
}

bool RecordClass::PopulatePropertiesFromSP(ado::Recordset& rs) {
    return trapped(
        [&] {
            for (const Column& c : columns_) assign(c, rs[c.name]);
            return true;
        },
        "PopulatePropertiesFromSP");
}

bool RecordClass::PopulatePropertiesFromForm(Form& form) {
    return trapped([&] {
        for (const Column& c : columns_) {
            if (c.role == Column::OwnFormMoves) continue;
            const bool comboRow = std::holds_alternative<long RecordClass::*>(c.member) &&
                                  form.Kind(c.name) == ControlKind::ComboBox;
            assign(c, comboRow ? form.ItemData(c.name) : form.Value(c.name));
        }
        readOwnFormControls(form);
        return true;
    });
}

bool RecordClass::PopulateForm(Form& form) {
    return trapped([&] {
        for (const Column& c : columns_)
            if (c.role != Column::OwnFormMoves) form.SetValue(c.name, valueOf(c));
        writeOwnFormControls(form);
        return true;
    });
}

}  // namespace tolvaran
