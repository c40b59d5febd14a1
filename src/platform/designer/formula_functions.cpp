#include "platform/designer/formula_functions.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "platform/common/text.h"

namespace designer::formula {

namespace {

constexpr Base N = Base::Number, C = Base::Currency, S = Base::String, B = Base::Boolean, D = Base::Date,
               T = Base::Time, DT = Base::DateTime, U = Base::Unknown;
constexpr Ret F = Ret::Fixed, A1 = Ret::Arg1, A2 = Ret::Arg2;

const FunctionInfo kFunctions[] = {
    // Control and conversion.
    {"IIF", 3, 3, A2, U},
    {"Switch", 2, 1000, F, U},
    {"Choose", 2, 1000, A2, U},
    {"ToText", 1, 5, F, S},
    {"CStr", 1, 5, F, S},
    {"ToNumber", 1, 1, F, N},
    {"Val", 1, 1, F, N},
    {"CDbl", 1, 1, F, N},
    {"CCur", 1, 1, F, C},
    {"CBool", 1, 1, F, B},
    {"CDate", 1, 3, F, D},
    {"Date", 1, 3, F, D},
    {"DateValue", 1, 3, F, D},
    {"CDateTime", 1, 6, F, DT},
    {"DateTime", 1, 6, F, DT},
    {"DateTimeValue", 1, 6, F, DT},
    {"CTime", 1, 3, F, T},
    {"Time", 1, 3, F, T},
    {"TimeValue", 1, 3, F, T},
    {"IsNumeric", 1, 1, F, B},
    {"NumericText", 1, 1, F, B},
    {"IsDate", 1, 1, F, B},
    {"IsTime", 1, 1, F, B},
    {"IsDateTime", 1, 1, F, B},
    {"ToWords", 1, 2, F, S},
    {"Roman", 1, 2, F, S},
    {"MakeArray", 1, 1000, F, U},
    {"UBound", 1, 1, F, N},
    {"HasValue", 1, 1, F, B},
    // Strings.
    {"Length", 1, 1, F, N},
    {"Len", 1, 1, F, N},
    {"Left", 2, 2, F, S},
    {"Right", 2, 2, F, S},
    {"Mid", 2, 3, F, S},
    {"InStr", 2, 4, F, N},
    {"InStrRev", 2, 4, F, N},
    {"Trim", 1, 1, F, S},
    {"TrimLeft", 1, 1, F, S},
    {"TrimRight", 1, 1, F, S},
    {"LTrim", 1, 1, F, S},
    {"RTrim", 1, 1, F, S},
    {"UpperCase", 1, 1, F, S},
    {"UCase", 1, 1, F, S},
    {"LowerCase", 1, 1, F, S},
    {"LCase", 1, 1, F, S},
    {"ProperCase", 1, 1, F, S},
    {"Replace", 3, 6, F, S},
    {"ReplicateString", 2, 2, F, S},
    {"Space", 1, 1, F, S},
    {"StrReverse", 1, 1, F, S},
    {"Split", 1, 4, F, U},
    {"Join", 1, 2, F, S},
    {"Filter", 2, 4, F, U},
    {"Chr", 1, 1, F, S},
    {"ChrW", 1, 1, F, S},
    {"Asc", 1, 1, F, N},
    {"AscW", 1, 1, F, N},
    {"Picture", 2, 2, F, S},
    {"StrCmp", 2, 3, F, N},
    {"ExtractString", 3, 3, F, S},
    // Math.
    {"Abs", 1, 1, A1, U},
    {"Round", 1, 2, A1, U},
    {"RoundUp", 1, 2, A1, U},
    {"Truncate", 1, 2, A1, U},
    {"Int", 1, 1, A1, U},
    {"Fix", 1, 2, A1, U},
    {"Remainder", 2, 2, F, N},
    {"Sqr", 1, 1, F, N},
    {"Exp", 1, 1, F, N},
    {"Log", 1, 1, F, N},
    {"Sgn", 1, 1, F, N},
    {"Pi", 0, 0, F, N},
    {"Rnd", 0, 1, F, N},
    {"Sin", 1, 1, F, N},
    {"Cos", 1, 1, F, N},
    {"Tan", 1, 1, F, N},
    {"Atn", 1, 1, F, N},
    // Dates and times.
    {"CurrentDate", 0, 0, F, D},
    {"CurrentTime", 0, 0, F, T},
    {"CurrentDateTime", 0, 0, F, DT},
    {"PrintDate", 0, 0, F, D},
    {"PrintTime", 0, 0, F, T},
    {"DataDate", 0, 0, F, D},
    {"DataTime", 0, 0, F, T},
    {"ModificationDate", 0, 0, F, D},
    {"ModificationTime", 0, 0, F, T},
    {"Year", 1, 1, F, N},
    {"Month", 1, 1, F, N},
    {"Day", 1, 1, F, N},
    {"Hour", 1, 1, F, N},
    {"Minute", 1, 1, F, N},
    {"Second", 1, 1, F, N},
    {"DayOfWeek", 1, 2, F, N},
    {"WeekDay", 1, 2, F, N},
    {"MonthName", 1, 2, F, S},
    {"WeekdayName", 1, 3, F, S},
    {"DateAdd", 3, 3, F, DT},
    {"DateDiff", 3, 4, F, N},
    {"DatePart", 2, 4, F, N},
    {"DateSerial", 3, 3, F, D},
    {"TimeSerial", 3, 3, F, T},
    {"LastFullMonth", 0, 0, F, D, true},
    {"MonthToDate", 0, 0, F, D, true},
    {"YearToDate", 0, 0, F, D, true},
    {"LastFullWeek", 0, 0, F, D, true},
    {"Last7Days", 0, 0, F, D, true},
    {"Last4WeeksToSun", 0, 0, F, D, true},
    {"WeekToDateFromSun", 0, 0, F, D, true},
    {"AllDatesToToday", 0, 0, F, D, true},
    {"AllDatesFromToday", 0, 0, F, D, true},
    {"AllDatesToYesterday", 0, 0, F, D, true},
    {"AllDatesFromTomorrow", 0, 0, F, D, true},
    {"Aged0To30Days", 0, 0, F, D, true},
    {"Aged31To60Days", 0, 0, F, D, true},
    {"Aged61To90Days", 0, 0, F, D, true},
    {"Over90Days", 0, 0, F, D, true},
    {"Next30Days", 0, 0, F, D, true},
    {"Next31To60Days", 0, 0, F, D, true},
    {"Next61To90Days", 0, 0, F, D, true},
    {"Next91To365Days", 0, 0, F, D, true},
    {"Calendar1stQtr", 0, 0, F, D, true},
    {"Calendar2ndQtr", 0, 0, F, D, true},
    {"Calendar3rdQtr", 0, 0, F, D, true},
    {"Calendar4thQtr", 0, 0, F, D, true},
    {"Calendar1stHalf", 0, 0, F, D, true},
    {"Calendar2ndHalf", 0, 0, F, D, true},
    {"LastYearMTD", 0, 0, F, D, true},
    {"LastYearYTD", 0, 0, F, D, true},
    // Print state.
    {"PageNumber", 0, 0, F, N},
    {"TotalPageCount", 0, 0, F, N},
    {"PageNofM", 0, 0, F, S},
    {"RecordNumber", 0, 0, F, N},
    {"GroupNumber", 0, 0, F, N},
    {"OnFirstRecord", 0, 0, F, B},
    {"OnLastRecord", 0, 0, F, B},
    {"InRepeatedGroupHeader", 0, 0, F, B},
    {"IsNull", 1, 1, F, B},
    {"Previous", 1, 1, A1, U},
    {"Next", 1, 1, A1, U},
    {"PreviousValue", 1, 1, A1, U},
    {"NextValue", 1, 1, A1, U},
    {"PreviousIsNull", 1, 1, F, B},
    {"NextIsNull", 1, 1, F, B},
    {"GroupName", 1, 3, F, S},
    // Evaluation time.
    {"BeforeReadingRecords", 0, 0, F, B},
    {"WhileReadingRecords", 0, 0, F, B},
    {"WhilePrintingRecords", 0, 0, F, B},
    {"EvaluateAfter", 1, 1, F, B},
    // Summaries: (field), (field, group field), (field, group field, "condition").
    {"Sum", 1, 3, A1, U, false, 2},
    {"Average", 1, 3, F, N, false, 2},
    {"Maximum", 1, 3, A1, U, false, 2},
    {"Minimum", 1, 3, A1, U, false, 2},
    {"Count", 1, 3, F, N, false, 2},
    {"DistinctCount", 1, 3, F, N, false, 2},
    {"StdDev", 1, 3, F, N, false, 2},
    {"PopulationStdDev", 1, 3, F, N, false, 2},
    {"Variance", 1, 3, F, N, false, 2},
    {"PopulationVariance", 1, 3, F, N, false, 2},
    {"Median", 1, 3, F, N, false, 2},
    {"Mode", 1, 3, A1, U, false, 2},
    // Percent of the grand total: (field, group field [, condition]).
    {"PercentOfSum", 2, 3, F, N},
    {"PercentOfAverage", 2, 3, F, N},
    {"PercentOfCount", 2, 3, F, N},
    {"PercentOfDistinctCount", 2, 3, F, N},
    {"PercentOfMaximum", 2, 3, F, N},
    {"PercentOfMinimum", 2, 3, F, N},
    {"NthLargest", 2, 4, A2, U, false, 3},
    {"NthSmallest", 2, 4, A2, U, false, 3},
    {"NthMostFrequent", 2, 4, A2, U, false, 3},
    // Of pairs of values: (field, field [, group field [, condition]]); PthPercentile takes P first.
    {"Correlation", 2, 4, F, N},
    {"Covariance", 2, 4, F, N},
    {"WeightedAverage", 2, 4, F, N},
    {"PthPercentile", 2, 4, F, N},
};

struct Constant {
    const char* name;
    Base type;
};

const Constant kConstants[] = {
    {"crBlack", N},          {"crMaroon", N},
    {"crGreen", N},          {"crOlive", N},
    {"crNavy", N},           {"crPurple", N},
    {"crTeal", N},           {"crGray", N},
    {"crSilver", N},         {"crRed", N},
    {"crLime", N},           {"crYellow", N},
    {"crBlue", N},           {"crFuchsia", N},
    {"crAqua", N},           {"crWhite", N},
    {"crNoColor", N},        {"crSunday", N},
    {"crMonday", N},         {"crTuesday", N},
    {"crWednesday", N},      {"crThursday", N},
    {"crFriday", N},         {"crSaturday", N},
    {"crUseSystem", N},      {"crLeftAlign", N},
    {"crRightAlign", N},     {"crCenteredHorizontally", N},
    {"crJustified", N},      {"crDefaultHorAligned", N},
    {"DefaultAttribute", U}, {"CurrentFieldValue", U},
    {"crNoLine", N},         {"crSingleLine", N},
    {"crDoubleLine", N},     {"crDashedLine", N},
    {"crDottedLine", N},
};

constexpr const char* kKeywords[] = {
    "If",     "Then",      "Else",        "Select",    "Case",       "Default",    "For",     "To",
    "Step",   "Do",        "While",       "Exit",      "And",        "Or",         "Not",     "Xor",
    "Eqv",    "Imp",       "Mod",         "In",        "Like",       "StartsWith", "Is",      "_To",
    "To_",    "_To_",      "UpTo",        "UpTo_",     "UpFrom",     "UpFrom_",    "Local",   "Global",
    "Shared", "NumberVar", "CurrencyVar", "StringVar", "BooleanVar", "DateVar",    "TimeVar", "DateTimeVar",
    "Array",  "Range",     "Redim",       "Preserve",  "True",       "False",
};

template <class T>
std::unordered_map<std::string, const T*> Index(const T* begin, const T* end) {
    std::unordered_map<std::string, const T*> m;
    for (const T* p = begin; p != end; ++p) m.emplace(tolvaran::UpperCase(p->name), p);
    return m;
}

}  // namespace

std::span<const FunctionInfo> AllFunctions() {
    return kFunctions;
}

const FunctionInfo* FindFunction(std::string_view name) {
    static const auto index = Index(std::begin(kFunctions), std::end(kFunctions));
    auto it = index.find(tolvaran::UpperCase(name));
    return it == index.end() ? nullptr : it->second;
}

bool FindConstant(std::string_view name, Base& type) {
    static const auto index = Index(std::begin(kConstants), std::end(kConstants));
    auto it = index.find(tolvaran::UpperCase(name));
    if (it == index.end()) return false;
    type = it->second->type;
    return true;
}

bool IsKeyword(std::string_view word) {
    static const auto index = [] {
        std::unordered_map<std::string, bool> m;
        for (const char* k : kKeywords) m.emplace(tolvaran::UpperCase(k), true);
        return m;
    }();
    if (word.size() > 11) return false;  // longer than the longest keyword
    return index.count(tolvaran::UpperCase(word)) > 0;
}

}  // namespace designer::formula
