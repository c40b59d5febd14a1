#include "platform/ado/jet_values.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace ado {

DataTypeEnum JetAdoType(int mdbType) {
    switch (mdbType) {
        case kMdbBool: return adBoolean;
        case kMdbByte: return adUnsignedTinyInt;
        case kMdbInt: return adSmallInt;
        case kMdbLongInt: return adInteger;
        case kMdbMoney: return adCurrency;
        case kMdbFloat: return adSingle;
        case kMdbDouble: return adDouble;
        case kMdbDateTime: return adDate;
        case kMdbBinary: return adBinary;
        case kMdbText: return adVarWChar;
        case kMdbOle: return adLongVarBinary;
        case kMdbMemo: return adLongVarWChar;
        case kMdbRepId: return adGUID;
        case kMdbNumeric: return adNumeric;
        case kMdbComplex: return adInteger;  // the key of the row's values in a hidden table
        default: return adVarWChar;
    }
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
        case kMdbMoney:
        case kMdbFloat:
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
