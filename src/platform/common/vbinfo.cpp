#include "platform/common/vbinfo.h"

#include <iterator>

namespace vb {

bool IsNumeric(const Variant& v) {
    return v.IsNumeric();
}

bool IsDate(const Variant& v) {
    if (v.Type() == VarType::Date) return true;
    Date d;
    return v.IsText() && ReadsAsDate(*v.AsString(), d);
}

bool IsEmpty(const Variant& v) {
    return v.IsEmpty();
}

bool IsError(const Variant&) {
    return false;
}

namespace {

// The host language's number and name of each kind of value, in the order of vb::VarType.
struct TypeInfo {
    int number;
    const char* name;
};
constexpr TypeInfo kTypes[] = {{0, "Empty"},  {1, "Null"},   {11, "Boolean"}, {3, "Long"},
                               {5, "Double"}, {8, "String"}, {7, "Date"},     {8192 + 17, "Byte()"}};
static_assert(std::size(kTypes) == static_cast<size_t>(VarType::Bytes) + 1, "one row for each kind");

const TypeInfo& InfoOf(const Variant& v) {
    return kTypes[static_cast<size_t>(v.Type())];
}

}  // namespace

int VarTypeOf(const Variant& v) {
    return InfoOf(v).number;
}

std::string TypeName(const Variant& v) {
    return InfoOf(v).name;
}

}  // namespace vb
