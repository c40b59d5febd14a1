#include <map>
#include <set>

#include "platform/ado/ado.h"
#include "store_fixture.h"

namespace {

std::set<std::string> ColumnsOf(const ado::ConnectionPtr& c, const std::string& table) {
    std::set<std::string> out;
    ado::Recordset rs;
    rs.Open("SELECT * FROM " + table + " WHERE 1 = 0", c);
    for (int i = 0; i < rs.FieldCount(); ++i) out.insert(rs.Fields(i).Name());
    return out;
}

void ExpectColumns(const ado::ConnectionPtr& c, const std::string& table,
                   const std::vector<std::string>& expected) {
    const auto have = ColumnsOf(c, table);
    for (const auto& col : expected) EXPECT_TRUE(have.count(col)) << table << "." << col;
}

ado::ConnectionPtr OpenTemplate(const char* name) {
    return tolvaran::SetConn(std::string(TOLVARAN_BIN_DIR) + "/" + name, tolvaran::kStorePassword);
}

}  // namespace

TEST(Templates, SettingsFileHoldsEveryTableColumnAndShippedRow) {
    auto c = OpenTemplate(tolvaran::kSettingsTemplate);
    ExpectColumns(c, "Options", {"SystemConfigId", "LoadReportsOnOpen", "SuppressSectionsWithNoControls"});
    ExpectColumns(c, "ToolBars",
                  {"ToolBarId", "FormName", "ButtonOrder", "Level", "ButtonNAME", "ButtonType", "ImageNo",
                   "ToolTip", "QuickKey", "IsCheckBox", "IsDropMenu", "BackColor", "ForeColor", "Enabled"});
    ExpectColumns(c, "HotButtons",
                  {"HotButtonsId", "FormName", "ButtonName", "Action", "ButtonOrder", "ForeignKeyId",
                   "ToolTip", "ImageNo", "QuickKey", "ButtonType", "Level"});
    ExpectColumns(c, "Translations", {"EnglishSectionName", "LanguageSectionName"});
    ExpectColumns(c, "ImageList", {"Index"});

    ado::Recordset rs;
    rs.Open("SELECT * FROM Options", c, ado::adOpenStatic);
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs["SystemConfigId"].ToLong(), 1);
    EXPECT_EQ(rs.Fields("LoadReportsOnOpen").Type(), ado::adBoolean);
    rs.Close();

    rs.Open("SELECT count(*) AS n, min(\"Index\") AS lo, max(\"Index\") AS hi FROM ImageList", c);
    EXPECT_EQ(rs["n"].ToLong(), 30);
    EXPECT_EQ(rs["lo"].ToLong(), 1);
    EXPECT_EQ(rs["hi"].ToLong(), 30);
    rs.Close();
    rs.Open("SELECT count(*) AS n FROM HotButtons", c);
    EXPECT_EQ(rs["n"].ToLong(), 0);
}

TEST(Templates, ToolBarRowsGiveEveryWindowItsItemIds) {
    auto c = OpenTemplate(tolvaran::kSettingsTemplate);
    const std::map<std::string, std::vector<long>> expected = {
        {"MainMenu", {63, 70, 81, 84, 151, 233, 239, 240, 254, 260, 263}},
        {"GenericSaveCancel", {236, 237}},
        {"ErrorLog", {248, 251, 252, 253}},
        {"GenericCancel", {261}},
    };
    for (const auto& [form, ids] : expected) {
        ado::Recordset rs;
        rs.Open("SELECT * FROM ToolBars WHERE FormName = ? ORDER BY ButtonOrder", c, ado::adOpenStatic,
                ado::adLockReadOnly, {form});
        std::set<long> have;
        for (; !rs.Eof(); rs.MoveNext()) {
            have.insert(static_cast<long>(rs["ToolBarId"].ToLong()));
            EXPECT_EQ(rs["Level"].ToLong(), 1);
            EXPECT_FALSE(rs["ButtonNAME"].ToString().empty());
            EXPECT_GE(rs["ImageNo"].ToLong(), 1);
            EXPECT_LE(rs["ImageNo"].ToLong(), 30);
        }
        for (long id : ids) EXPECT_TRUE(have.count(id)) << form << " " << id;
    }
    ado::Recordset rs;
    rs.Open("SELECT ButtonNAME FROM ToolBars WHERE FormName = ? ORDER BY ButtonOrder", c, ado::adOpenStatic,
            ado::adLockReadOnly, {std::string("ViewReport")});
    std::vector<std::string> captions;
    for (; !rs.Eof(); rs.MoveNext()) captions.push_back(rs["ButtonNAME"].ToString());
    EXPECT_EQ(captions, (std::vector<std::string>{"Close", "Open in Designer", "Error Log"}));
}

TEST(Templates, TranslationsCoverLocalisedSectionNames) {
    auto c = OpenTemplate(tolvaran::kSettingsTemplate);
    const std::pair<const char*, const char*> pairs[] = {
        {"ReportHeader", "Berichtskopf"},
        {"PageHeader", "Seitenkopfbereich"},
        {"Detail", "Detailbereich"},
        {"GroupHeader", "Gruppenkopf0"},
        {"GroupHeader", "Gruppenkopf9"},
        {"GroupFooter", "Gruppenfuß3"},
        {"PageHeader", "SecciónEncabezadoDePágina"},
        {"Detail", "Corpo"},
        {"PageFooter", "SezionePièDiPaginaPagina"},
        {"Detail", "Tiedot"},
        {"GroupHeader", "RyhmänYlätunniste2"},
        {"ReportFooter", "RaportinAlatunniste"},
        {"GroupHeader", "Groepskoptekst1"},
        {"GroupFooter", "RodapéDoGrupo4"},
        {"PageFooter", "LapasKājene"},
    };
    for (const auto& [english, local] : pairs) {
        ado::Recordset rs;
        rs.Open("SELECT * FROM Translations WHERE EnglishSectionName = ? AND LanguageSectionName = ?", c,
                ado::adOpenForwardOnly, ado::adLockReadOnly, {english, local});
        EXPECT_FALSE(rs.Eof()) << english << " / " << local;
    }
}

TEST(Templates, ListsFileHoldsEveryTableAndTheErrorQuery) {
    auto c = OpenTemplate(tolvaran::kListsTemplate);
    ExpectColumns(c, "DatabaseList",
                  {"DatabaseListId", "ReportDatabase", "SourceTablesDatabase", "ConvertedReportsPath",
                   "IsDataProject", "IsSQL", "UpdatedOn", "CaptureErrorLevel"});
    ExpectColumns(
        c, "DatabaseConnections",
        {"DatabaseListId", "LinkName", "LinkDatabase", "BackEndType", "Server", "SQLDatabaseName", "DSN",
         "LoginId", "Password", "UseNTAuth", "SecurityFile", "ConnectionString", "Provider"});
    ExpectColumns(c, "Report",
                  {"ReportId", "DatabaseListId", "ReportName", "ReportPath", "HasSubReports",
                   "SuppressSectionsWithNoControls", "UpdatedOn", "LinkedToReportId", "ReportQueryType",
                   "ReportSQL", "ReportType", "Selected"});
    ExpectColumns(c, "Controls",
                  {"ControlId", "ReportId", "SectionNo", "ControlName", "LeftPos", "TopPos", "Height",
                   "Width", "ControlType", "Caption", "ControlOrder", "CrystalControlName", "CrystalTopPos",
                   "CrystalLeftPos", "CrystalHeight"});
    ExpectColumns(c, "ErrorLog",
                  {"ErrorLogId", "ReportId", "DatabaseListId", "ReportName", "SubReportOf", "FormulaName",
                   "AccessFormula", "CrystalFormula", "ErrorDesc", "ErrorOn", "ErrorSeverityLevel",
                   "ErrorOccuredInFunction"});
    ExpectColumns(c, "ShowReportErrors",
                  {"ReportDatabase", "ErrorSeverityDesc", "ReportName", "ErrorOccuredInFunction", "ErrorDesc",
                   "SubReportOf", "ErrorLogId", "ReportId", "ErrorSeverityLevel"});
    for (const char* table : {"DatabaseList", "Report", "Controls", "ErrorLog"}) {
        int keys = 0;
        for (const auto& col : c->driver().columns(table)) keys += col.autoIncrement ? 1 : 0;
        EXPECT_EQ(keys, 1) << table << " has an autonumber key";
    }
    bool isView = false;
    for (const auto& t : c->driver().tables())
        if (t.name == "ShowReportErrors") isView = t.type == "VIEW";
    EXPECT_TRUE(isView);
}
