#pragma once
// Built-in functions and named constants of Crystal-syntax formulas: the one table of
// functions the checker accepts and the report engine evaluates.
#include <span>
#include <string_view>

namespace designer::formula {

// Base value types the checker tracks.
enum class Base { Unknown, Number, Currency, String, Boolean, Date, Time, DateTime };

// How a function's result type is found.
enum class Ret { Fixed, Arg1, Arg2 };

struct FunctionInfo {
    const char* name;
    int minArgs;
    int maxArgs;
    Ret ret;
    Base type;           // for Ret::Fixed
    bool range = false;  // the result is a range of type (date ranges)
    int groupArg = 0;    // 1-based argument that names a group field in a per-group summary
};

// Every function, in the table's order; a call's node names its function as spelt here.
std::span<const FunctionInfo> AllFunctions();

// nullptr when the name is not a function (case-insensitive).
const FunctionInfo* FindFunction(std::string_view name);

// A named constant (crRed, crSunday, ...): true with its type.
bool FindConstant(std::string_view name, Base& type);

// Reserved words of the language (case-insensitive).
bool IsKeyword(std::string_view word);

}  // namespace designer::formula
