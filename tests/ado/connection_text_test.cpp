// The one reader and writer of connection texts: the texts the program has stored read as
// before, and values that hold the grammar's own characters come back as they were.
#include "platform/ado/connection_text.h"

#include <gtest/gtest.h>

namespace {

using ado::ConnectionText;
using ado::QuoteStyle;

TEST(ConnectionText, ParsesKeysWithoutCaseAndUnquotes) {
    const auto s = ado::ConnectionText::Read(
        "Provider=Microsoft.Jet.OLEDB.4.0; Data Source = \"C:\\a;b.mdb\" ;"
        "Jet OLEDB:Database Password=*&!tmz%$#;Driver={SQL Server};PWD={a;b}");
    EXPECT_EQ(s.Get({"data source"}), "C:\\a;b.mdb");
    EXPECT_EQ(s.Get({"JET OLEDB:DATABASE PASSWORD"}), "*&!tmz%$#");
    EXPECT_EQ(s.Get({"Driver"}), "SQL Server");
    EXPECT_EQ(s.Get({"Nope", "PWD"}), "a;b");
    EXPECT_TRUE(s.Has("provider"));
    EXPECT_FALSE(s.Has("DSN"));
}

struct StoredCase {
    const char* text;
    const char* key;
    const char* value;
};

// Texts in the forms the lists file, a data project's connection.txt and report files hold:
// each value reads as it did, and each text is written back unchanged.
TEST(ConnectionText, StoredTextsReadAsBeforeAndWriteBackUnchanged) {
    const StoredCase cases[] = {
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Data\\Orders.mdb;User ID=Admin;Password=",
         "Data Source", "C:\\Data\\Orders.mdb"},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Data\\Orders.mdb;User ID=Admin;Password=",
         "Password", ""},
        {"Data Source=/opt/tolvaran/TOLVARAN.ADL;Jet OLEDB:Database Password=*&!tmz%$#",
         "Jet OLEDB:Database Password", "*&!tmz%$#"},
        {"DSN=Sales;User ID=sa;Password=x", "User ID", "sa"},
        {";User ID=sa;Password=pw", "Password", "pw"},
        {"DSN=Sales;Integrated Security=SSPI", "Integrated Security", "SSPI"},
        {"ODBC;DSN=Sales;UID=sa;PWD=;APP=Report", "APP", "Report"},
        {"Provider=SQLOLEDB.1;Data Source=srv;Database=Northwind;User ID=sa;Password=pw", "Database",
         "Northwind"},
        {"Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial "
         "Catalog=Sales;Data "
         "Source=SRV\\SQL2000",
         "Data Source", "SRV\\SQL2000"},
        {"Provider=Microsoft.Access.OLEDB.10.0;Persist Security Info=False;Data Source=srv;User "
         "ID=sa;Initial "
         "Catalog=db;Data Provider=SQLOLEDB.1",
         "Data Provider", "SQLOLEDB.1"},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"C:\\a;b.mdb\";User Id=Admin;Password=",
         "Data Source", "C:\\a;b.mdb"},
        {"DSN=TolvaranSales;User Id=report;Password={p;q=r}", "Password", "p;q=r"},
        {"Provider=SQLOLEDB.1;Data Source={srv;1};Initial Catalog={d}}b}", "Initial Catalog", "d}b"},
        {"Provider=sqloledb;Data Source=srv;Initial Catalog=db;User Id=sa;Password=\"x\"\";y\"", "Password",
         "x\";y"},
        {"Provider=SQLOLEDB.1; DSN=Sales; Database =db;UID=sa;pwd=p", "Database", "db"},
        {"Driver={SQLite3};Database=/tmp/a.db", "Driver", "SQLite3"},
    };
    for (const auto& c : cases) {
        const ConnectionText text = ConnectionText::Read(c.text);
        EXPECT_EQ(text.Get({c.key}), c.value) << c.text;
        EXPECT_EQ(text.Text(), c.text);
    }
}

struct QuoteCase {
    const char* value;
    const char* ado;
    const char* odbc;
};

TEST(ConnectionText, EachGrammarQuotesOnlyWhatWouldNotReadBack) {
    const QuoteCase cases[] = {
        {"plain value", "plain value", "plain value"},
        {"/srv/a;b.mdb", "\"/srv/a;b.mdb\"", "{/srv/a;b.mdb}"},
        {"a;b=c", "\"a;b=c\"", "{a;b=c}"},
        {"a=b", "a=b", "{a=b}"},
        {"O'Neil", "\"O'Neil\"", "O'Neil"},
        {"say \"hi\"", "'say \"hi\"'", "say \"hi\""},
        {"it's \"x\"", "\"it's \"\"x\"\"\"", "it's \"x\""},
        {"{braced}", "\"{braced}\"", "{{braced}}}"},
        {"\"lead", "'\"lead'", "{\"lead}"},
        {" pad ", "\" pad \"", "{ pad }"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        for (QuoteStyle style : {QuoteStyle::Ado, QuoteStyle::Odbc}) {
            ConnectionText text(style);
            text.Add("Password", c.value).Add("User ID", "u");
            const std::string written = text.Text();
            EXPECT_EQ(written,
                      std::string("Password=") + (style == QuoteStyle::Ado ? c.ado : c.odbc) + ";User ID=u");
            const ConnectionText back = ConnectionText::Read(written);
            EXPECT_EQ(back.Get({"Password"}), c.value) << written;
            EXPECT_EQ(back.Get({"User ID"}), "u") << written;
        }
    }
}

}  // namespace
