#pragma once
// Column types and values of Access tables as the reader passes them: libmdb's type numbers
// become ADO types, and libmdb's value texts become Variants of the column's type.
#include <optional>
#include <string>

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

DataTypeEnum JetAdoType(int mdbType);

// The defined size ADO reports: characters for texts (Jet 4 and later store two bytes each),
// bytes otherwise.
long JetDefinedSize(int mdbType, long sizeBytes, int jetVersion);

// The reader's text of one value (nullopt for Null) as a Variant of the column's type. The
// reader writes dates as their day number (or, when it cannot read the number, as
// "YYYY-MM-DD hh:mm:ss") and Booleans as "1"/"0". A text that does not read as the column's
// type is kept as text.
vb::Variant JetValue(int mdbType, const std::optional<std::string>& text);

}  // namespace ado
