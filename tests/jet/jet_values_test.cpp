// Values as the reader passes them, turned into Variants of the column's type.
#include "platform/ado/jet_values.h"

#include <gtest/gtest.h>

#include "jet_support.h"
#include "platform/ado/ado.h"
#include "platform/ado/jet_driver.h"
#include "platform/common/com_error.h"

namespace {

struct ValueCase {
    const char* label;
    int mdbType;
    std::optional<std::string> text;
    vb::Variant expected;
};

class JetValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(JetValueTest, Converts) {
    EXPECT_EQ(ado::JetValue(GetParam().mdbType, GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Types, JetValueTest,
    ::testing::Values(
        ValueCase{"NullText", ado::kMdbText, std::nullopt, vb::Variant::null()},
        ValueCase{"EmptyTextIsNotNull", ado::kMdbText, std::string(), vb::Variant("")},
        ValueCase{"NullNumber", ado::kMdbLongInt, std::nullopt, vb::Variant::null()},
        ValueCase{"BooleanTrue", ado::kMdbBool, std::string("1"), vb::Variant(true)},
        ValueCase{"BooleanFalse", ado::kMdbBool, std::string("0"), vb::Variant(false)},
        ValueCase{"Long", ado::kMdbLongInt, std::string("-42"), vb::Variant(-42)},
        ValueCase{"Money", ado::kMdbMoney, std::string("12.3400"), vb::Variant(12.34)},
        ValueCase{"DayNumber", ado::kMdbDateTime, std::string("2.5"), vb::Variant(vb::Date{2.5})},
        ValueCase{"DayNumberBefore1900", ado::kMdbDateTime, std::string("-365"), vb::Variant(vb::Date{-365})},
        ValueCase{"FormattedDate", ado::kMdbDateTime, std::string("2021-12-02 10:30:00"),
                  vb::Variant(vb::Date::FromParts(2021, 12, 2, 10, 30, 0))},
        ValueCase{"UnreadableNumberStaysText", ado::kMdbDouble, std::string("1.#INF"), vb::Variant("1.#INF")},
        ValueCase{"Guid", ado::kMdbRepId, std::string("{A-B}"), vb::Variant("{A-B}")}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(JetValueTypes, AdoTypesAndSizes) {
    EXPECT_EQ(ado::JetAdoType(ado::kMdbText), ado::adVarWChar);
    EXPECT_EQ(ado::JetAdoType(ado::kMdbMemo), ado::adLongVarWChar);
    EXPECT_EQ(ado::JetAdoType(ado::kMdbMoney), ado::adCurrency);
    EXPECT_EQ(ado::JetAdoType(ado::kMdbDateTime), ado::adDate);
    EXPECT_EQ(ado::JetDefinedSize(ado::kMdbText, 100, 1), 50);  // Jet 4 stores two bytes a character
    EXPECT_EQ(ado::JetDefinedSize(ado::kMdbText, 50, 0), 50);
    EXPECT_EQ(ado::JetDefinedSize(ado::kMdbLongInt, 4, 1), 4);
}

// libmdb's own date text is wrong outside 1900 to 9999; the stored day numbers are not.
TEST(JetValueFile, DatesOutsideLibmdbsYears) {
    SKIP_WITHOUT_CORPUS();
    auto driver = ado::OpenJetFile(jettest::Corpus("mdbtools__mdbtestdata__DateTestDatabase.mdb"));
    auto cursor = driver->query("SELECT IDCol, DateTimeCol FROM DateTest ORDER BY IDCol", {});
    std::map<long long, vb::Date> dates;
    std::vector<vb::Variant> row;
    while (cursor->next(row)) {
        ASSERT_EQ(row[1].Type(), vb::VarType::Date);
        dates[row[0].ToLong()] = row[1].ToDate();
    }
    int y, mo, d, h, mi, s;
    dates.at(2).ToParts(y, mo, d, h, mi, s);
    EXPECT_EQ(y, 9999);
    dates.at(3).ToParts(y, mo, d, h, mi, s);
    EXPECT_EQ(y, 1898);
    dates.at(1).ToParts(y, mo, d, h, mi, s);
    EXPECT_EQ(y, 2021);
    EXPECT_EQ(mo, 12);
}

// OLE objects arrive as their bytes: nwind's eight category pictures (mdb-export gives 10,746
// bytes each, Access's OLE header first) and nine employee photos.
TEST(JetValueFile, OleObjectsAreRead) {
    SKIP_WITHOUT_CORPUS();
    auto driver = ado::OpenJetFile(jettest::Corpus("mdbtools__mdbtestdata__nwind.mdb"));
    auto cursor = driver->query("SELECT Picture FROM Categories", {});
    std::vector<vb::Variant> row;
    int pictures = 0;
    while (cursor->next(row)) {
        ASSERT_EQ(row[0].Type(), vb::VarType::Bytes);
        const vb::Bytes& bytes = row[0].ToBytes();
        ASSERT_EQ(bytes.size(), 10746u);
        EXPECT_EQ(bytes[0], 0x15);
        EXPECT_EQ(bytes[1], 0x1C);
        ++pictures;
    }
    EXPECT_EQ(pictures, 8);
    cursor = driver->query("SELECT Count([Photo]) FROM Employees WHERE Not IsNull([Photo])", {});
    ASSERT_TRUE(cursor->next(row));
    EXPECT_EQ(row[0].ToLong(), 9);
}

TEST(JetValueFile, MemoryLimitReachesTheReader) {
    SKIP_WITHOUT_CORPUS();
    // Two runs' options side by side: each connection's reader keeps the limits it was opened with.
    ado::JetReaderLimits tiny;
    tiny.memoryMb = 4;
    const std::string file =
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + jettest::Corpus("mdbtools__mdbtestdata__nwind.mdb");
    const ado::ConnectionOptions small = jettest::BuiltReader(tiny), usual = jettest::BuiltReader();
    auto opened = ado::OpenConnection(file, usual);
    EXPECT_THROW(ado::OpenConnection(file, small), vb::ComError);
    EXPECT_NO_THROW(ado::OpenConnection(file, usual));
    EXPECT_THROW(ado::OpenConnection(file, small), vb::ComError);
    EXPECT_FALSE(opened->driver().tables().empty());
}

}  // namespace
