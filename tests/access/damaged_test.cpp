#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "export_fixtures.h"
#include "platform/access/errors.h"
#include "platform/access/export_reader.h"
#include "support/corpus.h"

using namespace tolvaran::access;
using access_test::Export;

namespace {

const std::string kGood = Export("    RecordSource =\"Orders\"\n",
                                 "        Begin Section\n"
                                 "            Begin\n"
                                 "                Begin TextBox\n"
                                 "                    Name =\"t\"\n"
                                 "                End\n"
                                 "            End\n"
                                 "        End\n");

}  // namespace

TEST(DamagedExport, ErrorNamesFileAndLine) {
    struct Case {
        const char* what;
        std::string bytes;
        int line;
        const char* fragment;
    };
    std::string truncated = kGood.substr(0, kGood.find("                End"));
    std::string missingEnd = kGood.substr(0, kGood.rfind("End"));
    std::string unclosedQuote = Export("    RecordSource =\"Orders\n", "");
    std::string badHex = Export("    PrtMip = Begin\n        0x12zz\n    End\n", "");
    std::string junkAfter = kGood + "garbage\n";
    // Bare Begin lines of one section nested 50,000 deep: the 65th (line 70) is one too many.
    std::string deepBegins = "        Begin Section\n";
    for (int i = 0; i < 50000; ++i) deepBegins += "            Begin\n";
    for (int i = 0; i < 50000; ++i) deepBegins += "            End\n";
    deepBegins = Export("", deepBegins + "        End\n");
    const Case cases[] = {
        {"empty file", "", 1, "empty"},
        {"only blank lines", "\n\n\n", 3, "Begin Report"},
        {"truncated inside a control", truncated, 9, "ends before the End"},
        {"missing final End", missingEnd, 13, "Begin Report"},
        {"binary junk", std::string("\x01\x02\x03\x04garbage\x00\x10", 13), 1, "binary"},
        {"not a report", "Version =20\nBegin Form\nEnd\n", 2, "Begin Report"},
        {"unclosed quote", unclosedQuote, 4, "closing quote"},
        {"bad hex", badHex, 5, "hexadecimal"},
        {"text after the report", junkAfter, 15, "after the End"},
        {"no property", Export("    what is this\n", ""), 4, "not a property line"},
        {"bare Begin lines nested deeply", deepBegins, 70, "nested too deeply"},
    };
    for (const Case& c : cases) {
        try {
            ReadReportBytes(c.bytes, "r", "dir/r.bas");
            ADD_FAILURE() << c.what << ": no error";
        } catch (const ExportError& e) {
            EXPECT_EQ(e.Number(), kErrBadExport) << c.what;
            EXPECT_EQ(e.File(), "dir/r.bas") << c.what;
            EXPECT_EQ(e.Line(), c.line) << c.what << ": " << e.what();
            std::string text = e.what();
            EXPECT_NE(text.find("dir/r.bas, line " + std::to_string(c.line)), std::string::npos) << text;
            EXPECT_NE(text.find(c.fragment), std::string::npos) << c.what << ": " << text;
        }
    }
}

TEST(DamagedExport, MissingFileIsAnExportError) {
    EXPECT_THROW(ReadReportFile("/nonexistent/folder/x.bas"), ExportError);
}

TEST(DamagedExport, EveryPrefixOfARealExportFailsCleanlyOrReads) {
    SKIP_WITHOUT_CORPUS();
    // Cut a real export at many points: every cut either reads or throws ExportError.
    const auto file =
        corpus::Path("reports") / "Jlr97470__Nwind2k.mdb__Sous-état ventes par catégorie.report";
    std::ifstream in(file, std::ios::binary);
    ASSERT_TRUE(in) << file;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t step = std::max<size_t>(1, bytes.size() / 300);
    int errors = 0;
    for (size_t cut = 0; cut < bytes.size(); cut += step) {
        try {
            ReadReportBytes(std::string_view(bytes).substr(0, cut), "r", "r.report");
        } catch (const ExportError&) {
            ++errors;
        }
    }
    EXPECT_GT(errors, 0);
}
