// Date and time functions of the formula language, and the reading of date texts.
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "platform/common/vbdate.h"
#include "platform/common/vbstring.h"
#include "platform/designer/formula_functions.h"
#include "platform/designer/types.h"
#include "platform/viewer/evaluator_internal.h"

namespace viewer {

using designer::FormulaNode;

namespace {

constexpr const char* kMonthNames[] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
                                       "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
struct Parts {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
};

Parts Split(double serial) {
    Parts p;
    vb::Date{serial}.ToParts(p.y, p.mo, p.d, p.h, p.mi, p.s);
    return p;
}

double Serial(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    // Months, days, hours... out of range roll over, as DateSerial does.
    int yy = y + (mo - 1) / 12 - ((mo - 1) % 12 < 0 ? 1 : 0);
    int mm = ((mo - 1) % 12 + 12) % 12 + 1;
    double day = vb::Date::FromParts(yy, mm, 1).serial + (d - 1);
    return day + (h * 3600.0 + mi * 60.0 + s) / 86400.0;
}

// Weekday 1..7 of a serial date counted from firstDay (1 = Sunday).
int WeekdayOf(double serial, int firstDay = 1) {
    return vb::Weekday(vb::Date{serial}, firstDay);
}

int DaysInMonth(int y, int m) {
    return static_cast<int>(Serial(y, m + 1, 1) - Serial(y, m, 1));
}

// The date ranges of the language, relative to today.
bool DateRange(const std::string& name, double today, Value& out) {
    double t = std::floor(today);
    Parts p = Split(t);
    int wd = WeekdayOf(t);  // 1 = Sunday
    auto range = [&](double lo, double hi) {
        out = Value::Range(Value::Date(lo), Value::Date(hi));
        return true;
    };
    auto quarter = [&](int q) { return range(Serial(p.y, q * 3 - 2, 1), Serial(p.y, q * 3 + 1, 1) - 1); };
    if (name == "LastFullMonth") return range(Serial(p.y, p.mo - 1, 1), Serial(p.y, p.mo, 1) - 1);
    if (name == "MonthToDate") return range(Serial(p.y, p.mo, 1), t);
    if (name == "YearToDate") return range(Serial(p.y, 1, 1), t);
    if (name == "LastFullWeek") return range(t - wd - 6, t - wd);
    if (name == "Last7Days") return range(t - 6, t);
    if (name == "Last4WeeksToSun") return range(t - (wd - 1) - 27, t - (wd - 1));
    if (name == "WeekToDateFromSun") return range(t - (wd - 1), t);
    if (name == "AllDatesToToday") {
        out = Value::Range(Value::Null(), Value::Date(t));
        return true;
    }
    if (name == "AllDatesFromToday") {
        out = Value::Range(Value::Date(t), Value::Null());
        return true;
    }
    if (name == "AllDatesToYesterday") {
        out = Value::Range(Value::Null(), Value::Date(t - 1));
        return true;
    }
    if (name == "AllDatesFromTomorrow") {
        out = Value::Range(Value::Date(t + 1), Value::Null());
        return true;
    }
    if (name == "Aged0To30Days") return range(t - 30, t);
    if (name == "Aged31To60Days") return range(t - 60, t - 31);
    if (name == "Aged61To90Days") return range(t - 90, t - 61);
    if (name == "Over90Days") {
        out = Value::Range(Value::Null(), Value::Date(t - 91));
        return true;
    }
    if (name == "Next30Days") return range(t, t + 30);
    if (name == "Next31To60Days") return range(t + 31, t + 60);
    if (name == "Next61To90Days") return range(t + 61, t + 90);
    if (name == "Next91To365Days") return range(t + 91, t + 365);
    if (name == "Calendar1stQtr") return quarter(1);
    if (name == "Calendar2ndQtr") return quarter(2);
    if (name == "Calendar3rdQtr") return quarter(3);
    if (name == "Calendar4thQtr") return quarter(4);
    if (name == "Calendar1stHalf") return range(Serial(p.y, 1, 1), Serial(p.y, 7, 1) - 1);
    if (name == "Calendar2ndHalf") return range(Serial(p.y, 7, 1), Serial(p.y + 1, 1, 1) - 1);
    if (name == "LastYearMTD") return range(Serial(p.y - 1, p.mo, 1), Serial(p.y - 1, p.mo, p.d));
    if (name == "LastYearYTD") return range(Serial(p.y - 1, 1, 1), Serial(p.y - 1, p.mo, p.d));
    return false;
}

}  // namespace

bool ParseDateTimeText(const std::string& text, double& serial, bool& hasDate, bool& hasTime) {
    // Words (month names, AM/PM) and numbers with the separator that follows each.
    std::vector<std::pair<std::string, char>> tokens;
    std::string s = vb::Trim(text);
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (std::isdigit(c) || std::isalpha(c)) {
            size_t j = i;
            bool digits = std::isdigit(c);
            while (j < s.size() && (digits ? std::isdigit(static_cast<unsigned char>(s[j]))
                                           : std::isalpha(static_cast<unsigned char>(s[j]))))
                ++j;
            char sep = j < s.size() ? s[j] : '\0';
            tokens.push_back({s.substr(i, j - i), sep});
            i = j;
        } else if (c == ' ' || c == ',' || c == '/' || c == '-' || c == ':' || c == '.' || c == 'T') {
            ++i;
        } else {
            return false;
        }
    }
    std::vector<int> dateNums, timeNums;
    int month = 0;
    int ampm = 0;  // 1 AM, 2 PM
    for (size_t k = 0; k < tokens.size(); ++k) {
        const std::string& t = tokens[k].first;
        if (std::isdigit(static_cast<unsigned char>(t[0]))) {
            if (t.size() > 4) return false;
            int v = std::atoi(t.c_str());
            bool timePart =
                tokens[k].second == ':' || (k > 0 && tokens[k - 1].second == ':' && !timeNums.empty());
            (timePart ? timeNums : dateNums).push_back(v);
            if (t.size() == 4 && dateNums.size() == 1 && !timePart) dateNums.back() = -v;  // a leading year
            continue;
        }
        std::string up = vb::UCase(t);
        if (up == "AM" || up == "A") {
            ampm = 1;
            continue;
        }
        if (up == "PM" || up == "P") {
            ampm = 2;
            continue;
        }
        if (up == "T") continue;
        bool found = false;
        for (int m = 0; m < 12 && !found; ++m)
            if (up.size() >= 3 && std::string(kMonthNames[m]).compare(0, up.size(), up) == 0) {
                month = m + 1;
                found = true;
            }
        if (!found && up == "SEPT") {
            month = 9;
            found = true;
        }
        if (!found) return false;
    }
    int y = 0, mo = 0, d = 0;
    hasDate = month != 0 || !dateNums.empty();
    if (month != 0) {
        if (dateNums.size() != 2) return false;
        mo = month;
        int a = std::abs(dateNums[0]), b = std::abs(dateNums[1]);
        if (a > 31) std::swap(a, b);
        d = a;
        y = b;
    } else if (!dateNums.empty()) {
        if (dateNums.size() != 3) return false;
        if (dateNums[0] < 0) {
            y = -dateNums[0];
            mo = dateNums[1];
            d = dateNums[2];
        } else {
            mo = dateNums[0];
            d = dateNums[1];
            y = dateNums[2];
        }
    }
    if (hasDate) {
        if (y < 100 && y >= 0) y += y < 30 ? 2000 : 1900;
        if (mo < 1 || mo > 12 || d < 1 || y < 1 || y > 9999 || d > DaysInMonth(y, mo)) return false;
    }
    int h = 0, mi = 0, se = 0;
    hasTime = !timeNums.empty() || (ampm != 0 && !hasDate);
    if (!timeNums.empty()) {
        if (timeNums.size() > 3) return false;
        h = timeNums[0];
        mi = timeNums.size() > 1 ? timeNums[1] : 0;
        se = timeNums.size() > 2 ? timeNums[2] : 0;
    } else if (ampm != 0 && !dateNums.empty() && !hasDate) {
        h = dateNums[0];
    }
    if (ampm != 0) {
        if (h < 1 || h > 12) return false;
        if (h == 12) h = 0;
        if (ampm == 2) h += 12;
    }
    if (h > 23 || mi > 59 || se > 59) return false;
    if (!hasDate && !hasTime) return false;
    double time = (h * 3600.0 + mi * 60.0 + se) / 86400.0;
    serial = hasDate ? Serial(y, mo, d) + time : time;
    return true;
}

namespace detail {

namespace {

int Int(Evaluator& ev, const FormulaNode& call, size_t i) {
    double d = ev.NeedNumber(Arg(call, i));
    if (std::fabs(d) > 1e7) Fail("A number in a smaller range is required here.");
    return static_cast<int>(std::trunc(d));
}

// CDate/Date, CDateTime/DateTime, CTime/Time with their argument forms.
Value MakeDate(Evaluator& ev, const FormulaNode& call, ValueKind kind) {
    size_t n = call.kids.size();
    if (n >= 3) {
        int a = Int(ev, call, 0), b = Int(ev, call, 1), c = Int(ev, call, 2);
        if (kind == ValueKind::Time) {
            if (a < 0 || a > 23 || b < 0 || b > 59 || c < 0 || c > 59) Fail("Bad time format string.");
            return Value::Time((a * 3600.0 + b * 60.0 + c) / 86400.0);
        }
        if (b < 1 || b > 12 || c < 1 || a < 1 || a > 9999 || c > DaysInMonth(a, b))
            Fail("Bad date format string.");
        if (kind == ValueKind::Date) return Value::Date(Serial(a, b, c));
        int h = n > 3 ? Int(ev, call, 3) : 0, mi = n > 4 ? Int(ev, call, 4) : 0,
            s = n > 5 ? Int(ev, call, 5) : 0;
        return Value::DateTime(Serial(a, b, c, h, mi, s));
    }
    Value v = ev.Need(Arg(call, 0));
    double serial = 0;
    if (n == 2) {
        double time = ev.NeedDate(Arg(call, 1));
        serial = std::floor(ev.NeedDate(Arg(call, 0))) + (time - std::floor(time));
    } else if (v.kind == ValueKind::String) {
        bool d = false, t = false;
        if (!ParseDateTimeText(v.text, serial, d, t)) Fail("Bad date format string.");
    } else if (v.IsNumeric() || v.IsDateLike() || v.kind == ValueKind::Time) {
        serial = v.number;
    } else {
        Fail("A date is required here.");
    }
    if (kind == ValueKind::Date) return Value::Date(serial);
    if (kind == ValueKind::Time) return Value::Time(serial);
    return Value::DateTime(serial);
}

// The first day of the week an optional argument gives (Sunday when none, or out of range).
int FirstDay(Evaluator& ev, const FormulaNode& call, size_t i) {
    const int first = Has(call, i) ? Int(ev, call, i) : 1;
    return first < 1 || first > 7 ? 1 : first;
}

}  // namespace

void AddDateFunctions(Implementations& t) {
    t["CurrentDate"] = [](Evaluator& ev, const FormulaNode&) { return Value::Date(ev.Scope().Now()); };
    t["CurrentTime"] = [](Evaluator& ev, const FormulaNode&) { return Value::Time(ev.Scope().Now()); };
    t["CurrentDateTime"] = [](Evaluator& ev, const FormulaNode&) {
        return Value::DateTime(ev.Scope().Now());
    };
    t["PrintDate"] = t["DataDate"] = t["ModificationDate"] = t["CurrentDate"];
    t["PrintTime"] = t["DataTime"] = t["ModificationTime"] = t["CurrentTime"];
    for (const char* name : {"CDate", "Date", "DateValue"})
        t[name] = [](Evaluator& ev, const FormulaNode& c) { return MakeDate(ev, c, ValueKind::Date); };
    for (const char* name : {"CDateTime", "DateTime", "DateTimeValue"})
        t[name] = [](Evaluator& ev, const FormulaNode& c) { return MakeDate(ev, c, ValueKind::DateTime); };
    for (const char* name : {"CTime", "Time", "TimeValue"})
        t[name] = [](Evaluator& ev, const FormulaNode& c) { return MakeDate(ev, c, ValueKind::Time); };
    auto isKind = [](bool wantDate, bool wantTime) {
        return [wantDate, wantTime](Evaluator& ev, const FormulaNode& c) {
            double serial;
            bool d = false, tm = false;
            bool ok = ParseDateTimeText(ev.NeedString(Arg(c, 0)), serial, d, tm);
            return Value::Boolean(ok && (!wantDate || d) && (!wantTime || tm));
        };
    };
    t["IsDate"] = isKind(true, false);
    t["IsTime"] = isKind(false, true);
    t["IsDateTime"] = isKind(false, false);
    auto part = [](int which) {
        return [which](Evaluator& ev, const FormulaNode& c) {
            Parts p = Split(ev.NeedDate(Arg(c, 0)));
            int v[] = {p.y, p.mo, p.d, p.h, p.mi, p.s};
            return Value::Number(v[which]);
        };
    };
    t["Year"] = part(0);
    t["Month"] = part(1);
    t["Day"] = part(2);
    t["Hour"] = part(3);
    t["Minute"] = part(4);
    t["Second"] = part(5);
    t["DayOfWeek"] = [](Evaluator& ev, const FormulaNode& c) {
        return Value::Number(WeekdayOf(ev.NeedDate(Arg(c, 0)), FirstDay(ev, c, 1)));
    };
    t["WeekDay"] = t["DayOfWeek"];
    t["MonthName"] = [](Evaluator& ev, const FormulaNode& c) {
        int m = Int(ev, c, 0);
        if (m < 1 || m > 12) Fail("A month number must be between 1 and 12.");
        return Value::String(vb::MonthName(m, Has(c, 1) && ev.NeedBool(Arg(c, 1))));
    };
    t["WeekdayName"] = [](Evaluator& ev, const FormulaNode& c) {
        int d = Int(ev, c, 0);
        if (d < 1 || d > 7) Fail("A weekday number must be between 1 and 7.");
        const bool abbreviate = Has(c, 1) && ev.NeedBool(Arg(c, 1));
        return Value::String(vb::WeekdayName(d, abbreviate, FirstDay(ev, c, 2)));
    };
    t["DateAdd"] = [](Evaluator& ev, const FormulaNode& c) {
        std::string interval = ev.NeedString(Arg(c, 0));
        double n = ev.NeedNumber(Arg(c, 1));
        return Value::DateTime(vb::DateAdd(interval, n, vb::Date{ev.NeedDate(Arg(c, 2))}).serial);
    };
    t["DateDiff"] = [](Evaluator& ev, const FormulaNode& c) {
        std::string interval = ev.NeedString(Arg(c, 0));
        double a = ev.NeedDate(Arg(c, 1)), b = ev.NeedDate(Arg(c, 2));
        return Value::Number(
            static_cast<double>(vb::DateDiff(interval, vb::Date{a}, vb::Date{b}, FirstDay(ev, c, 3))));
    };
    t["DatePart"] = [](Evaluator& ev, const FormulaNode& c) {
        std::string interval = ev.NeedString(Arg(c, 0));
        const double date = ev.NeedDate(Arg(c, 1));
        const int firstWeek = Has(c, 3) ? Int(ev, c, 3) : vb::vbFirstJan1;
        return Value::Number(vb::DatePart(interval, vb::Date{date}, FirstDay(ev, c, 2), firstWeek));
    };
    t["DateSerial"] = [](Evaluator& ev, const FormulaNode& c) {
        int y = Int(ev, c, 0), m = Int(ev, c, 1), d = Int(ev, c, 2);
        if (y < 1 || y > 9999) Fail("A year must be between 1 and 9999.");
        return Value::Date(Serial(y, m, d));
    };
    // The time of day: a total past a day, or below zero, keeps only its time.
    t["TimeSerial"] = [](Evaluator& ev, const FormulaNode& c) {
        const vb::Date time = vb::TimeSerial(Int(ev, c, 0), Int(ev, c, 1), Int(ev, c, 2));
        return Value::Time(vb::TimeValue(vb::Variant(time)).serial);
    };
    for (const auto& f : designer::formula::AllFunctions()) {
        if (!f.range) continue;
        const std::string name = f.name;
        t[name] = [name](Evaluator& ev, const FormulaNode&) {
            Value range;
            if (!DateRange(name, ev.Scope().Now(), range)) Fail("The function " + name + " has no range.");
            return range;
        };
    }
}

}  // namespace detail

}  // namespace viewer
