#include "platform/common/vbdate.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "platform/common/com_error.h"
#include "platform/common/vbstring.h"

namespace vb {
namespace {

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

[[noreturn]] void BadCall() {
    throw ComError(kErrGeneric, "Invalid procedure call or argument");
}

Interval ParseInterval(const std::string& text) {
    const std::string s = LCase(Trim(text));
    if (s == "yyyy") return Interval::Year;
    if (s == "q") return Interval::Quarter;
    if (s == "m") return Interval::Month;
    if (s == "y") return Interval::DayOfYear;
    if (s == "d") return Interval::Day;
    if (s == "w") return Interval::Weekday;
    if (s == "ww") return Interval::Week;
    if (s == "h") return Interval::Hour;
    if (s == "n") return Interval::Minute;
    if (s == "s") return Interval::Second;
    BadCall();
}

// The serial as a continuous count of days: before the epoch the stored fraction counts forward
// from the whole day, so -1.25 (December 29, 1899, 6:00) is the instant -0.75.
double Linear(Date d) {
    if (!(d.serial > -657435.0 && d.serial < 2958466.0)) throw ComError(kErrOverflow, "Overflow");
    const double whole = std::trunc(d.serial);
    return whole + std::fabs(d.serial - whole);
}

Date FromLinear(double t) {
    const double whole = std::floor(t);
    const double frac = t - whole;
    return Date{whole >= 0 ? whole + frac : whole - frac};
}

long long WholeDays(Date d) {
    return static_cast<long long>(std::floor(Linear(d) + 1e-9));
}

// Seconds since the epoch, rounded to whole seconds as the host language keeps dates.
long long Seconds(Date d) {
    return std::llround(Linear(d) * 86400.0);
}

// Whole spans of seconds (an hour, a minute) since the epoch, counted down for earlier times.
long long Units(Date d, double seconds) {
    return static_cast<long long>(std::floor(Seconds(d) / seconds));
}

struct Parts {
    int year, month, day, hour, minute, second;
};

Parts Split(Date d) {
    Parts p{};
    d.ToParts(p.year, p.month, p.day, p.hour, p.minute, p.second);
    return p;
}

bool IsLeap(long y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(long y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

Date Checked(Date d) {
    const int y = Year(d);
    if (y < 100 || y > 9999) BadCall();
    return d;
}

int NormalFirstDay(int firstDayOfWeek) {
    if (firstDayOfWeek < 0 || firstDayOfWeek > 7) BadCall();
    return firstDayOfWeek == 0 ? vbSunday : firstDayOfWeek;
}

// Day of the year, 1-based.
int DayOfYear(Date d) {
    const Parts p = Split(d);
    return static_cast<int>(WholeDays(d) - WholeDays(Date::FromParts(p.year, 1, 1)) + 1);
}

// The week of the year a day falls in, 1-based; a day before the first week belongs to the
// last week of the year before.
int WeekOfYear(Date d, int firstDayOfWeek, int firstWeekOfYear) {
    if (firstWeekOfYear < 0 || firstWeekOfYear > 3) BadCall();
    const int year = Year(d);
    auto weekOneStart = [&](int y) {
        const Date jan1 = Date::FromParts(y, 1, 1);
        const int before = Weekday(jan1, firstDayOfWeek) - 1;  // days of Jan 1's week before it
        long long start = WholeDays(jan1) - before;
        if (firstWeekOfYear == vbFirstFourDays && before > 3) start += 7;
        if (firstWeekOfYear == vbFirstFullWeek && before > 0) start += 7;
        return start;
    };
    const long long day = WholeDays(d);
    long long start = weekOneStart(year);
    if (day < start) start = weekOneStart(year - 1);
    return static_cast<int>((day - start) / 7 + 1);
}

}  // namespace

int Year(Date d) {
    return Split(d).year;
}
int Month(Date d) {
    return Split(d).month;
}
int Day(Date d) {
    return Split(d).day;
}
int Hour(Date d) {
    return Split(d).hour;
}
int Minute(Date d) {
    return Split(d).minute;
}
int Second(Date d) {
    return Split(d).second;
}

int Weekday(Date d, int firstDayOfWeek) {
    const int first = NormalFirstDay(firstDayOfWeek);
    // Day 0 (December 30, 1899) was a Saturday: Sunday-based index 6.
    const long long sunday0 = ((WholeDays(d) + 6) % 7 + 7) % 7;
    return static_cast<int>((sunday0 - (first - 1) + 7) % 7) + 1;
}

Date Today() {
    return Date{std::floor(Date::Now().serial)};
}

Date DateAdd(const std::string& interval, double number, Date date) {
    const long long n = static_cast<long long>(std::trunc(number));
    const Interval iv = ParseInterval(interval);
    if (iv == Interval::Year || iv == Interval::Quarter || iv == Interval::Month) {
        const long long months = iv == Interval::Year ? n * 12 : iv == Interval::Quarter ? n * 3 : n;
        const Parts p = Split(date);
        const long long total = static_cast<long long>(p.year) * 12 + (p.month - 1) + months;
        const long long y = total >= 0 ? total / 12 : (total - 11) / 12;
        const int m = static_cast<int>(total - y * 12) + 1;
        if (y < 100 || y > 9999) BadCall();
        const int day = std::min(p.day, DaysInMonth(y, m));
        return Date::FromParts(static_cast<int>(y), m, day, p.hour, p.minute, p.second);
    }
    double seconds = 0;
    switch (iv) {
        case Interval::DayOfYear:
        case Interval::Day:
        case Interval::Weekday:
            seconds = n * 86400.0;
            break;
        case Interval::Week:
            seconds = n * 7 * 86400.0;
            break;
        case Interval::Hour:
            seconds = n * 3600.0;
            break;
        case Interval::Minute:
            seconds = n * 60.0;
            break;
        default:
            seconds = static_cast<double>(n);
            break;
    }
    return Checked(FromLinear((static_cast<double>(Seconds(date)) + seconds) / 86400.0));
}

long long DateDiff(const std::string& interval, Date d1, Date d2, int firstDayOfWeek, int firstWeekOfYear) {
    (void)firstWeekOfYear;
    const Interval iv = ParseInterval(interval);
    const Parts a = Split(d1), b = Split(d2);
    switch (iv) {
        case Interval::Year:
            return b.year - a.year;
        case Interval::Quarter:
            return (b.year * 4LL + (b.month - 1) / 3) - (a.year * 4LL + (a.month - 1) / 3);
        case Interval::Month:
            return (b.year * 12LL + b.month) - (a.year * 12LL + a.month);
        case Interval::DayOfYear:
        case Interval::Day:
            return WholeDays(d2) - WholeDays(d1);
        case Interval::Weekday:
            return (WholeDays(d2) - WholeDays(d1)) / 7;
        case Interval::Week: {
            // Week starts crossed: align both days to the start of their week.
            const int first = NormalFirstDay(firstDayOfWeek);
            const long long x = WholeDays(d1) - (Weekday(d1, first) - 1);
            const long long y = WholeDays(d2) - (Weekday(d2, first) - 1);
            return (y - x) / 7;
        }
        case Interval::Hour:
            return Units(d2, 3600) - Units(d1, 3600);
        case Interval::Minute:
            return Units(d2, 60) - Units(d1, 60);
        case Interval::Second:
            return Seconds(d2) - Seconds(d1);
    }
    return 0;
}

long DatePart(const std::string& interval, Date date, int firstDayOfWeek, int firstWeekOfYear) {
    const Parts p = Split(date);
    switch (ParseInterval(interval)) {
        case Interval::Year:
            return p.year;
        case Interval::Quarter:
            return (p.month - 1) / 3 + 1;
        case Interval::Month:
            return p.month;
        case Interval::DayOfYear:
            return DayOfYear(date);
        case Interval::Day:
            return p.day;
        case Interval::Weekday:
            return Weekday(date, firstDayOfWeek);
        case Interval::Week:
            return WeekOfYear(date, NormalFirstDay(firstDayOfWeek), firstWeekOfYear);
        case Interval::Hour:
            return p.hour;
        case Interval::Minute:
            return p.minute;
        case Interval::Second:
            return p.second;
    }
    return 0;
}

Date DateSerial(long year, long month, long day) {
    if (year >= 0 && year <= 29)
        year += 2000;
    else if (year >= 30 && year <= 99)
        year += 1900;
    const long long total = static_cast<long long>(year) * 12 + (month - 1);
    const long long y = total >= 0 ? total / 12 : (total - 11) / 12;
    const int m = static_cast<int>(total - y * 12) + 1;
    if (y < 100 || y > 9999) BadCall();
    const Date first = Date::FromParts(static_cast<int>(y), m, 1);
    return Checked(Date{static_cast<double>(WholeDays(first) + day - 1)});
}

Date DateValue(const Variant& value) {
    const Date d = value.ToDate();
    return Date{std::trunc(d.serial)};
}

Date TimeSerial(long hour, long minute, long second) {
    const long long seconds =
        static_cast<long long>(hour) * 3600 + static_cast<long long>(minute) * 60 + second;
    return Checked(FromLinear(static_cast<double>(seconds) / 86400.0));
}

Date TimeValue(const Variant& value) {
    const double t = Linear(value.ToDate());
    return Date{t - std::floor(t)};
}

Date Time() {
    const double now = Date::Now().serial;
    return Date{now - std::floor(now)};
}

double Timer() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    const double hundredths =
        static_cast<double>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000 / 10) / 100.0;
    return tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec + hundredths;
}

std::string MonthName(long month, bool abbreviate) {
    static const char* const kNames[] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};
    if (month < 1 || month > 12) BadCall();
    const std::string name = kNames[month - 1];
    return abbreviate ? name.substr(0, 3) : name;
}

std::string WeekdayName(long weekday, bool abbreviate, int firstDayOfWeek) {
    static const char* const kNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                         "Thursday", "Friday", "Saturday"};
    if (weekday < 1 || weekday > 7) BadCall();
    const int first = NormalFirstDay(firstDayOfWeek);
    const std::string name = kNames[(weekday - 1 + first - 1) % 7];
    return abbreviate ? name.substr(0, 3) : name;
}

}  // namespace vb
