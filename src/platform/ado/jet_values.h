#pragma once
// Column types and values of Access tables as the reader passes them: libmdb's type numbers
// become ADO types, and libmdb's value texts become Variants of the column's type.
#include <optional>
#include <string>
#include <vector>

#include "platform/ado/driver.h"
#include "platform/common/variant.h"

namespace ado {

// libmdb type numbers (mdbtools.h), repeated here so the driver needs no libmdb header.
enum JetMdbType {
    kMdbBool = 0x01,
    kMdbByte = 0x02,
    kMdbInt = 0x03,
    kMdbLongInt = 0x04,
    kMdbMoney = 0x05,
    kMdbFloat = 0x06,
    kMdbDouble = 0x07,
    kMdbDateTime = 0x08,
    kMdbBinary = 0x09,
    kMdbText = 0x0a,
    kMdbOle = 0x0b,
    kMdbMemo = 0x0c,
    kMdbRepId = 0x0f,
    kMdbNumeric = 0x10,
    kMdbComplex = 0x12,
};

// The value type of a column or an expression as Jet knows it. Value: the type is decided row
// by row (a parameter nobody declared, an IIf whose branches differ).
enum class JetType {
    Value,
    Null,
    Boolean,
    Byte,
    Integer,
    Long,
    Currency,
    Single,
    Double,
    Decimal,
    Date,
    Text,
    Memo,
    Binary,
    LongBinary,
    Guid,
};

JetType JetTypeOfMdb(int mdbType);
DataTypeEnum JetAdoType(int mdbType);
DataTypeEnum JetAdoType(JetType type);
// The type word of a PARAMETERS declaration: "Bit", "Byte", "Short", "Long", "Currency",
// "IEEESingle", "IEEEDouble", "Decimal", "DateTime", "Text", "Memo", "Binary", "LongBinary",
// "Guid", "Value".
const char* JetTypeText(JetType type);
// Reads a type word of a PARAMETERS declaration or of data definition ("DateTime", "Date",
// "Integer", "YesNo", "Char", ...); Value when the word is none of them.
JetType JetTypeFromText(const std::string& word);
bool IsJetNumeric(JetType type);  // Boolean, whole numbers, Currency, Single, Double, Decimal
bool IsJetText(JetType type);     // Text, Memo, Guid

// A column of a table, a saved query or a statement, with its Jet type.
struct JetField {
    std::string name;
    JetType type = JetType::Value;
    long size = 0;  // characters of a text column, 0 when unknown
};

// A parameter a statement or saved query asks for.
struct JetParameter {
    std::string name;  // as the statement writes it, without brackets; "?" for a placeholder
    JetType type = JetType::Value;
};

// The columns as ADO describes them.
std::vector<ColumnInfo> JetColumnInfos(const std::vector<JetField>& fields);

// The defined size ADO reports: characters for texts (Jet 4 and later store two bytes each),
// bytes otherwise.
long JetDefinedSize(int mdbType, long sizeBytes, int jetVersion);

// A Single as Access shows it: the value as a float, to the seven significant digits a Single
// prints with (0.15, where the float's exact value is 0.15000000596...). The engine keeps
// the exact value, so comparisons, conversions and arithmetic on it are Access's; a Single
// column handed to the caller, or made into a text, is this value.
double JetSingleValue(double exact);

// The reader's text of one value (nullopt for Null) as a Variant of the column's type. The
// reader writes dates as their day number (or, when it cannot read the number, as
// "YYYY-MM-DD hh:mm:ss"), Booleans as "1"/"0" and OLE objects as their bytes; a Single
// becomes the float's exact value. A text that does not read as the column's type is kept as
// text.
vb::Variant JetValue(int mdbType, const std::optional<std::string>& text);

}  // namespace ado
