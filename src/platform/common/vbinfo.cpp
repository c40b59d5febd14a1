#include "platform/common/vbinfo.h"

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

int VarTypeOf(const Variant& v) {
    switch (v.Type()) {
        case VarType::Empty:
            return 0;
        case VarType::Null:
            return 1;
        case VarType::Long:
            return 3;
        case VarType::Double:
            return 5;
        case VarType::Date:
            return 7;
        case VarType::String:
            return 8;
        case VarType::Boolean:
            return 11;
        case VarType::Bytes:
            return 8192 + 17;
    }
    return 0;
}

std::string TypeName(const Variant& v) {
    switch (v.Type()) {
        case VarType::Empty:
            return "Empty";
        case VarType::Null:
            return "Null";
        case VarType::Long:
            return "Long";
        case VarType::Double:
            return "Double";
        case VarType::Date:
            return "Date";
        case VarType::String:
            return "String";
        case VarType::Boolean:
            return "Boolean";
        case VarType::Bytes:
            return "Byte()";
    }
    return "Empty";
}

}  // namespace vb
