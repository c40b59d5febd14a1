#include "platform/ado/jet_values.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/common/text.h"
#include "platform/common/vbconvert.h"

namespace ado {

JetType JetTypeOfMdb(int mdbType) {
    switch (mdbType) {
        case kMdbBool:
            return JetType::Boolean;
        case kMdbByte:
            return JetType::Byte;
        case kMdbInt:
            return JetType::Integer;
        case kMdbLongInt:
            return JetType::Long;
        case kMdbMoney:
            return JetType::Currency;
        case kMdbFloat:
            return JetType::Single;
        case kMdbDouble:
            return JetType::Double;
        case kMdbDateTime:
            return JetType::Date;
        case kMdbBinary:
            return JetType::Binary;
        case kMdbText:
            return JetType::Text;
        case kMdbOle:
            return JetType::LongBinary;
        case kMdbMemo:
            return JetType::Memo;
        case kMdbRepId:
            return JetType::Guid;
        case kMdbNumeric:
            return JetType::Decimal;
        case kMdbComplex:
            return JetType::Long;  // the key of the row's values in a hidden table
        default:
            return JetType::Text;
    }
}

DataTypeEnum JetAdoType(int mdbType) {
    return JetAdoType(JetTypeOfMdb(mdbType));
}

DataTypeEnum JetAdoType(JetType type) {
    switch (type) {
        case JetType::Boolean:
            return adBoolean;
        case JetType::Byte:
            return adUnsignedTinyInt;
        case JetType::Integer:
            return adSmallInt;
        case JetType::Long:
            return adInteger;
        case JetType::Currency:
            return adCurrency;
        case JetType::Single:
            return adSingle;
        case JetType::Double:
            return adDouble;
        case JetType::Decimal:
            return adNumeric;
        case JetType::Date:
            return adDate;
        case JetType::Text:
            return adVarWChar;
        case JetType::Memo:
            return adLongVarWChar;
        case JetType::Binary:
            return adBinary;
        case JetType::LongBinary:
            return adLongVarBinary;
        case JetType::Guid:
            return adGUID;
        case JetType::Null:
        case JetType::Value:
            return adVariant;
    }
    return adVariant;
}

namespace {

struct TypeWord {
    const char* word;
    JetType type;
};
// The first word of each type is the one Access writes.
const TypeWord kTypeWords[] = {
    {"Bit", JetType::Boolean},
    {"YesNo", JetType::Boolean},
    {"Logical", JetType::Boolean},
    {"Boolean", JetType::Boolean},
    {"Byte", JetType::Byte},
    {"TinyInt", JetType::Byte},
    {"Short", JetType::Integer},
    {"SmallInt", JetType::Integer},
    {"Integer2", JetType::Integer},
    {"Long", JetType::Long},
    {"Integer", JetType::Long},
    {"Int", JetType::Long},
    {"Integer4", JetType::Long},
    {"Counter", JetType::Long},
    {"AutoIncrement", JetType::Long},
    {"Currency", JetType::Currency},
    {"Money", JetType::Currency},
    {"IEEESingle", JetType::Single},
    {"Single", JetType::Single},
    {"Real", JetType::Single},
    {"Float4", JetType::Single},
    {"IEEEDouble", JetType::Double},
    {"Double", JetType::Double},
    {"Float", JetType::Double},
    {"Float8", JetType::Double},
    {"Number", JetType::Double},
    {"Numeric", JetType::Double},
    {"Decimal", JetType::Decimal},
    {"DateTime", JetType::Date},
    {"Date", JetType::Date},
    {"Time", JetType::Date},
    {"TimeStamp", JetType::Date},
    {"Text", JetType::Text},
    {"Char", JetType::Text},
    {"VarChar", JetType::Text},
    {"String", JetType::Text},
    {"Alphanumeric", JetType::Text},
    {"Memo", JetType::Memo},
    {"LongText", JetType::Memo},
    {"LongChar", JetType::Memo},
    {"Note", JetType::Memo},
    {"Binary", JetType::Binary},
    {"VarBinary", JetType::Binary},
    {"LongBinary", JetType::LongBinary},
    {"OLEObject", JetType::LongBinary},
    {"General", JetType::LongBinary},
    {"Image", JetType::LongBinary},
    {"Guid", JetType::Guid},
    {"UniqueIdentifier", JetType::Guid},
    {"Value", JetType::Value},
};

}  // namespace

const char* JetTypeText(JetType type) {
    for (const auto& w : kTypeWords)
        if (w.type == type) return w.word;
    return "Value";
}

JetType JetTypeFromText(const std::string& word) {
    for (const auto& w : kTypeWords)
        if (tolvaran::EqualsNoCase(word, w.word)) return w.type;
    return JetType::Value;
}

bool IsJetNumeric(JetType type) {
    switch (type) {
        case JetType::Boolean:
        case JetType::Byte:
        case JetType::Integer:
        case JetType::Long:
        case JetType::Currency:
        case JetType::Single:
        case JetType::Double:
        case JetType::Decimal:
            return true;
        default:
            return false;
    }
}

std::vector<ColumnInfo> JetColumnInfos(const std::vector<JetField>& fields) {
    std::vector<ColumnInfo> out;
    for (const auto& f : fields) {
        ColumnInfo c;
        c.name = f.name;
        c.type = JetAdoType(f.type);
        c.size = f.size;
        out.push_back(std::move(c));
    }
    return out;
}

bool IsJetText(JetType type) {
    return type == JetType::Text || type == JetType::Memo || type == JetType::Guid;
}

long JetDefinedSize(int mdbType, long sizeBytes, int jetVersion) {
    if ((mdbType == kMdbText || mdbType == kMdbMemo) && jetVersion >= 1) return sizeBytes / 2;
    return sizeBytes;
}

namespace {

std::optional<long long> WholeNumber(const std::string& s) {
    long long v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
    return v;
}

std::optional<double> Number(const std::string& s) {
    if (s.empty()) return std::nullopt;
    char* end = nullptr;
    double d = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size()) return std::nullopt;
    return d;
}

std::optional<vb::Date> DateTime(const std::string& s) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;
    char tail = 0;
    int n = std::sscanf(s.c_str(), "%d-%d-%d %d:%d:%d%c", &y, &mo, &d, &h, &mi, &se, &tail);
    if (n != 6 && n != 3) return std::nullopt;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59 || se < 0 || se > 59)
        return std::nullopt;
    return vb::Date::FromParts(y, mo, d, h, mi, se);
}

}  // namespace

double JetSingleValue(double exact) {
    return vb::SingleShown(exact);
}

vb::Variant JetValue(int mdbType, const std::optional<std::string>& text) {
    if (!text) return vb::Variant::null();
    const std::string& s = *text;
    switch (mdbType) {
        case kMdbBool:
            return vb::Variant(s == "1" || s == "-1" || s == "true" || s == "True");
        case kMdbByte:
        case kMdbInt:
        case kMdbLongInt:
        case kMdbComplex:
            if (auto v = WholeNumber(s)) return vb::Variant(*v);
            break;
        case kMdbFloat:
            if (auto v = Number(s)) return vb::Variant(static_cast<double>(static_cast<float>(*v)));
            break;
        case kMdbMoney:
        case kMdbDouble:
        case kMdbNumeric:
            if (auto v = Number(s)) return vb::Variant(*v);
            break;
        case kMdbDateTime:
            if (auto serial = Number(s)) return vb::Variant(vb::Date{*serial});
            if (auto v = DateTime(s)) return vb::Variant(*v);
            break;
        case kMdbBinary:
        case kMdbOle:
            return vb::Variant(vb::Bytes(s.begin(), s.end()));
        default:
            break;
    }
    return vb::Variant(s);
}

}  // namespace ado
