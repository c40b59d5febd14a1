#pragma once
// Numbers and small value types of the report designer component. Positions and sizes are
// twips throughout; colours are 0x00BBGGRR values as Access and Windows write them.
#include <string>

namespace designer {

// Value types of database, formula and parameter fields.
enum FieldValueType {
    crInt8sField = 1,
    crInt8uField = 2,
    crInt16sField = 3,
    crInt16uField = 4,
    crInt32sField = 5,
    crInt32uField = 6,
    crNumberField = 7,
    crCurrencyField = 8,
    crBooleanField = 9,
    crDateField = 10,
    crTimeField = 11,
    crStringField = 12,
    crTransientMemoField = 13,
    crPersistentMemoField = 14,
    crBlobField = 15,
    crDateTimeField = 16,
    crBitmapField = 17,
    crIconField = 18,
    crPictureField = 19,
    crOleField = 20,
    crChartField = 21,
    crUnknownField = 255,
};

// Group conditions: how a group field's values are split into groups.
enum GroupCondition {
    crGCDaily = 0,  // date and date-time fields: one group per day
    crGCWeekly = 1,
    crGCBiweekly = 2,
    crGCSemimonthly = 3,
    crGCMonthly = 4,
    crGCQuarterly = 5,
    crGCSemiannually = 6,
    crGCAnnually = 7,
    crGCForSeconds = 8,
    crGCForMinutes = 9,
    crGCForHours = 10,
    crGCForAMPM = 11,
    crGCEveryYes = 12,
    crGCEveryNo = 13,
    crGCAnyValue = 14,  // every other field: one group per distinct value
};

enum SortDirection { crAscendingOrder = 0, crDescendingOrder = 1 };

enum PaperOrientation { crDefaultPaperOrientation = 0, crPortrait = 1, crLandscape = 2 };

enum LineStyle { crLSNoLine = 0, crLSSingleLine = 1, crLSDoubleLine = 2, crLSDashLine = 3, crLSDotLine = 4 };

enum HorAlignment {
    crDefaultAlign = 0,
    crLeftAlign = 1,
    crHorCenterAlign = 2,
    crRightAlign = 3,
    crJustified = 4,
};

// How a field object shows dates.
enum DateWindowsDefaultType {
    crUseWindowsLongDate = 0,
    crUseWindowsShortDate = 1,
    crNotUsingWindowsDefaults = 2,
};

// File format numbers accepted by SaveAs: both write the same document.
enum ReportFileFormat { crStandardReport = 0, crReportFormat2048 = 2048 };

// Table kinds of Tables.Add / AddStoredProcedure / AddCommand. A command is a table whose rows
// are those of an SQL statement the report keeps (TableSource::CommandText).
enum TableType { crTableTypeTable = 1, crTableTypeStoredProcedure = 2, crTableTypeCommand = 3 };

// Colour that means "no colour": the object's background is not filled.
inline constexpr long kNoColor = -1;
inline constexpr long kBlack = 0;
inline constexpr long kWhite = 0xFFFFFF;

// The areas of a report, in the order they print.
enum class AreaKind { ReportHeader, PageHeader, GroupHeader, Detail, GroupFooter, PageFooter, ReportFooter };

// Error numbers the component throws (vb::ComError). The picture number is the system's own.
inline constexpr long kErrPictureFileMissing = 0x80043AC4;  // AddPictureObject: the file is not there
inline constexpr long kErrInvalidIndex = 9;                 // Item(n) out of range, unknown code or name
inline constexpr long kErrInvalidArgument = 5;              // a value the component refuses
inline constexpr long kErrFieldNotKnown = 0x80043A01;       // a field reference that does not resolve
inline constexpr long kErrDuplicateName = 0x80043A02;       // a formula or parameter name already used
inline constexpr long kErrReportFile = 0x80043A03;          // a report file that cannot be opened or written
inline constexpr long kErrLinkField = 0x80043A04;           // a subreport link without a valid field

struct Font {
    std::string Name = "Arial";
    double Size = 10;  // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strikethrough = false;
    bool operator==(const Font&) const = default;
};

// Area codes as the Areas collection knows them: "RH", "PH", "GH"n, "D", "GF"n, "PF", "RF".
std::string AreaCode(AreaKind kind, int groupNumber = 0);

}  // namespace designer
