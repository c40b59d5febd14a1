#pragma once
// Date routines with the host language's meaning, on vb::Date (days since 1899-12-30, the
// fraction being the time of day; before that day the fraction counts forward from the whole
// day as the host language stores it). Names of days and months are the English ones.
//
// Intervals of DateAdd, DateDiff and DatePart: "yyyy" year, "q" quarter, "m" month, "y" day of
// the year, "d" day, "w" weekday, "ww" week, "h" hour, "n" minute, "s" second (any case); any
// other text throws ComError 5.
#include <string>

#include "platform/common/variant.h"

namespace vb {

// First day of the week (vbSunday = 1 ... vbSaturday = 7; 0, the system's, is Sunday here).
enum FirstDayOfWeek { vbUseSystemDayOfWeek = 0, vbSunday = 1, vbMonday = 2, vbSaturday = 7 };
// First week of the year: the one holding January 1 (the system's, 0, is the same), the first
// with four days, the first full week.
enum FirstWeekOfYear { vbUseSystem = 0, vbFirstJan1 = 1, vbFirstFourDays = 2, vbFirstFullWeek = 3 };

int Year(Date d);
int Month(Date d);
int Day(Date d);
int Hour(Date d);
int Minute(Date d);
int Second(Date d);
// 1 to 7, counted from firstDayOfWeek.
int Weekday(Date d, int firstDayOfWeek = vbSunday);

// Today without a time (the host language's Date function).
Date Today();

// number is truncated to whole intervals. Months and years keep the day, or take the last day
// of a shorter month. A result outside the years 100 to 9999 throws ComError 5.
Date DateAdd(const std::string& interval, double number, Date date);
// Intervals crossed from d1 to d2 (negative when d2 is earlier): calendar boundaries for
// years, quarters, months, days, hours, minutes, seconds and "ww" weeks (weeks starting on
// firstDayOfWeek); "w" counts whole seven-day spans.
long long DateDiff(const std::string& interval, Date d1, Date d2, int firstDayOfWeek = vbSunday,
                   int firstWeekOfYear = vbFirstJan1);
long DatePart(const std::string& interval, Date date, int firstDayOfWeek = vbSunday,
              int firstWeekOfYear = vbFirstJan1);
// Months and days outside their range roll into the next or previous year or month; years 0 to
// 29 are 2000 to 2029 and 30 to 99 are 1930 to 1999.
Date DateSerial(long year, long month, long day);
// The date part of a date text (as CDate reads it) or of a date value.
Date DateValue(const Variant& value);
// The time of hour, minute and second, each rolling into the next (TimeSerial(12, -15, 0) is
// 11:45), a total past a day or below zero giving a time of another day.
Date TimeSerial(long hour, long minute, long second);
// The time part of a date text (as CDate reads it) or of a date value.
Date TimeValue(const Variant& value);
// The time of day now, without a date (the host language's Time function).
Date Time();
// Seconds since midnight, with their hundredths (the host language's Timer function).
double Timer();
// "January" ... "December" ("Jan" ... "Dec" abbreviated); a month outside 1 to 12 throws 5.
std::string MonthName(long month, bool abbreviate = false);
std::string WeekdayName(long weekday, bool abbreviate = false, int firstDayOfWeek = vbSunday);

}  // namespace vb
