#include "store/record_classes.h"

#include "map_form.h"
#include "platform/ado/ado.h"
#include "store_fixture.h"

using tolvaran::ControlKind;

class Records : public ProgramFolder {
  protected:
    void SetUp() override {
        ProgramFolder::SetUp();
        OpenStore();
        report.setDb(ctx.gDb);
        report.prompt = &prompt;
        options.setDb(ctx.gInternalDb);
        options.prompt = &prompt;
        entry.setDb(ctx.gDb);
        entry.prompt = &prompt;
    }
    long AddReport(const std::string& name, long entryId) {
        tolvaran::clsReport r;
        r.setDb(ctx.gDb);
        r.ReportName = name;
        r.DatabaseListId = entryId;
        long id = 0;
        EXPECT_TRUE(r.SaveRecord(0, &id));
        return id;
    }
    tolvaran::clsReport report;
    tolvaran::clsOptions options;
    tolvaran::clsDatabaseList entry;
};

TEST_F(Records, ReportRoundTripWithNewAutonumberKey) {
    report.DatabaseListId = 7;
    report.HasSubReports = true;
    report.LinkedToReportId = 3;
    report.ReportName = "O'Brien's \"Best\"";
    report.Reportpath = "/data/north wind.mdb";
    report.ReportQueryType = "TABLE";
    report.ReportSQL = "SELECT * FROM [Order Details] WHERE x = 'y'";
    report.ReportType = "R";
    report.Selected = true;
    report.SuppressSectionsWithNoControls = true;
    report.UpdatedOn = vb::Date::FromParts(2026, 12, 7, 9, 30, 0);
    long id = 0;
    ASSERT_TRUE(report.SaveRecord(0, &id));
    EXPECT_GT(report.ReportId, 0);
    EXPECT_EQ(id, report.ReportId);
    EXPECT_GT(AddReport("second", 7), id);

    tolvaran::clsReport back;
    back.setDb(ctx.gDb);
    ASSERT_TRUE(back.LoadRecord(id));
    EXPECT_EQ(back.DatabaseListId, 7);
    EXPECT_TRUE(back.HasSubReports);
    EXPECT_EQ(back.LinkedToReportId, 3);
    EXPECT_EQ(back.ReportName, report.ReportName);
    EXPECT_EQ(back.Reportpath, report.Reportpath);
    EXPECT_EQ(back.ReportSQL, report.ReportSQL);
    EXPECT_TRUE(back.Selected);
    EXPECT_EQ(back.UpdatedOn, report.UpdatedOn);

    back.ReportName = "renamed";
    ASSERT_TRUE(back.SaveRecord(id));
    tolvaran::clsReport again;
    again.setDb(ctx.gDb);
    ASSERT_TRUE(again.LoadRecord(id));
    EXPECT_EQ(again.ReportName, "renamed");
    EXPECT_TRUE(again.DeleteRecord(id));
    EXPECT_FALSE(again.LoadRecord(id));
}

TEST_F(Records, LoadOfMissingKeyChangesOnlyTheKey) {
    report.ReportName = "kept";
    EXPECT_FALSE(report.LoadRecord(999));
    EXPECT_EQ(report.ReportId, 999);
    EXPECT_EQ(report.ReportName, "kept");
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(Records, NullColumnsLoadAsZeroFalseEmptyAndNoDate) {
    ctx.gDb->Execute(
        "INSERT INTO Report (ReportId, ReportName, HasSubReports, Selected, UpdatedOn) "
        "VALUES (5, NULL, NULL, NULL, NULL)");
    report.ReportSQL = "old";
    report.UpdatedOn = vb::Date::Now();
    ASSERT_TRUE(report.LoadRecord(5));
    EXPECT_EQ(report.ReportName, "");
    EXPECT_EQ(report.ReportSQL, "");
    EXPECT_FALSE(report.HasSubReports);
    EXPECT_FALSE(report.Selected);
    EXPECT_EQ(report.LinkedToReportId, 0);
    EXPECT_FALSE(report.UpdatedOn.has_value());
}

TEST_F(Records, FindByBindsTheValueAndTakesTheFirstRow) {
    const long a = AddReport("Sales", 1);
    AddReport("Sales", 2);
    AddReport("O'Brien's \"Best\"", 2);
    struct {
        const char* name;
        std::string extra;
        std::vector<vb::Variant> params;
        bool found;
        long entryId;
    } cases[] = {
        {"Sales", "", {}, true, 1},
        {"Sales", "DatabaseListId = 2", {}, true, 2},
        {"Sales", "DatabaseListId = ?", {2}, true, 2},
        {"O'Brien's \"Best\"", "DatabaseListId = 2", {}, true, 2},
        {"x' OR '1'='1", "", {}, false, 0},
        {"Sales", "DatabaseListId = 3", {}, false, 0},
    };
    for (const auto& c : cases) {
        tolvaran::clsReport r;
        r.setDb(ctx.gDb);
        r.prompt = &prompt;
        EXPECT_EQ(r.FindBy(c.name, "ReportName", c.extra, c.params), c.found) << c.name << " " << c.extra;
        if (c.found) {
            EXPECT_EQ(r.ReportName, c.name);
            EXPECT_EQ(r.DatabaseListId, c.entryId);
        }
    }
    tolvaran::clsReport first;
    first.setDb(ctx.gDb);
    ASSERT_TRUE(first.FindBy("Sales", "ReportName"));
    EXPECT_EQ(first.ReportId, a);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(Records, ErrorsShowTheClassNameAndReturnFalse) {
    EXPECT_FALSE(report.FindBy("x", "NoSuchColumn"));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].prompt.rfind("clsReport\r\n", 0), 0u);
    EXPECT_EQ(prompt.messages[0].title, "");
    EXPECT_EQ(report.ErrorMessage, prompt.messages[0].prompt);

    // Options row 1 missing: saving fails with the record-class message.
    ctx.gInternalDb->Execute("DELETE FROM Options");
    EXPECT_FALSE(options.SaveRecord(1));
    EXPECT_EQ(options.ErrorMessage.rfind("clsOptions\r\n", 0), 0u);

    tolvaran::clsReport unconnected;
    EXPECT_EQ(unconnected.db()->State(), ado::adStateClosed);
    EXPECT_FALSE(unconnected.LoadRecord(1));
    EXPECT_FALSE(unconnected.Add());
    EXPECT_FALSE(unconnected.Load(&unconnected, "", "", "", 0));
}

TEST_F(Records, OptionsLoadAndSaveRowOne) {
    ASSERT_TRUE(options.LoadRecord(1));
    EXPECT_TRUE(options.SuppressSectionsWithNoControls);
    options.SuppressSectionsWithNoControls = false;
    options.LoadReportsOnOpen = false;
    ASSERT_TRUE(options.SaveRecord(1));
    tolvaran::clsOptions back;
    back.setoSystemConfig(&options);
    ASSERT_TRUE(back.LoadRecord(1));
    EXPECT_FALSE(back.SuppressSectionsWithNoControls);
    EXPECT_FALSE(back.LoadReportsOnOpen);
    EXPECT_EQ(back.SystemConfigId, 1);

    // Key 0 adds a row under the next key; row 1 keeps its key and values.
    tolvaran::clsOptions added;
    added.setDb(ctx.gInternalDb);
    added.SuppressSectionsWithNoControls = true;
    long id = 0;
    ASSERT_TRUE(added.SaveRecord(0, &id)) << added.ErrorMessage;
    EXPECT_EQ(id, 2);
    EXPECT_EQ(added.SystemConfigId, 2);
    ASSERT_TRUE(back.LoadRecord(2));
    EXPECT_TRUE(back.SuppressSectionsWithNoControls);
    ASSERT_TRUE(back.LoadRecord(1));
    EXPECT_FALSE(back.SuppressSectionsWithNoControls);
}

TEST_F(Records, ReportFormRoundTripTakesComboItemData) {
    MapForm form;
    for (const char* n :
         {"ReportName", "ReportPath", "ReportQueryType", "ReportSQL", "ReportType", "UpdatedOn"})
        form.Add(n, ControlKind::TextBox);
    for (const char* n : {"HasSubReports", "Selected", "SuppressSectionsWithNoControls"})
        form.Add(n, ControlKind::CheckBox, 0);
    form.Add("ReportId", ControlKind::TextBox);
    form.Add("LinkedToReportId", ControlKind::TextBox);
    form.Add("DatabaseListId", ControlKind::ComboBox, "North", 42);

    report.ReportId = 12;
    report.ReportName = "Invoice";
    report.Selected = true;
    report.UpdatedOn = vb::Date::FromParts(2026, 1, 2, 3, 4, 5);
    ASSERT_TRUE(report.PopulateForm(form));
    EXPECT_EQ(form.at("Selected").value, vb::Variant(1));
    EXPECT_EQ(form.at("UpdatedOn").value, vb::Variant("1/2/2026 3:04:05 AM"));

    tolvaran::clsReport back;
    ASSERT_TRUE(back.PopulatePropertiesFromForm(form));
    EXPECT_EQ(back.ReportId, 12);
    EXPECT_EQ(back.DatabaseListId, 42);  // item data, not the shown text
    EXPECT_EQ(back.ReportName, "Invoice");
    EXPECT_TRUE(back.Selected);
    EXPECT_EQ(back.UpdatedOn, report.UpdatedOn);

    form.at("UpdatedOn").value = "";
    ASSERT_TRUE(back.PopulatePropertiesFromForm(form));
    EXPECT_FALSE(back.UpdatedOn.has_value());

    form.controls.erase("REPORTSQL");
    back.prompt = &prompt;
    EXPECT_FALSE(back.PopulateForm(form));
    EXPECT_EQ(back.ErrorMessage.rfind("clsReport\r\n", 0), 0u);
}

TEST_F(Records, NewEntryIsAppendedThroughTheGrid) {
    tolvaran::RecordsetDataset grid(ctx.gDb, "DatabaseList");
    entry.EntryGrid = &grid;
    entry.ReportDatabase = "/data/O'Neil.mdb";
    entry.ConvertedReportsPath = "/out";
    entry.IsDataProject = true;
    entry.CaptureErrorLevel = 2;
    entry.UpdatedOn = vb::Date::FromParts(2026, 12, 7);
    long id = 0;
    ASSERT_TRUE(entry.SaveRecord(0, &id));
    EXPECT_GT(id, 0);
    EXPECT_EQ(entry.DatabaseListId, id);

    tolvaran::clsDatabaseList back;
    back.setDb(ctx.gDb);
    ASSERT_TRUE(back.LoadRecord(id));
    EXPECT_EQ(back.ReportDatabase, "/data/O'Neil.mdb");
    EXPECT_TRUE(back.IsDataProject);
    EXPECT_FALSE(back.IsSQL);
    EXPECT_EQ(back.CaptureErrorLevel, 2);

    back.SourceTablesDatabase = "/data/back.mdb";
    back.IsSQL = true;
    ASSERT_TRUE(back.SaveRecord(id));
    ASSERT_TRUE(entry.LoadRecord(id));
    EXPECT_EQ(entry.SourceTablesDatabase, "/data/back.mdb");
    EXPECT_TRUE(entry.IsSQL);

    tolvaran::clsDatabaseList noGrid;
    noGrid.setDb(ctx.gDb);
    noGrid.prompt = &prompt;
    EXPECT_FALSE(noGrid.SaveRecord(0));
    EXPECT_EQ(noGrid.ErrorMessage.rfind("clsDatabaseList\r\n", 0), 0u);
}

TEST_F(Records, EntryFormSelectsTheLoggingOption) {
    auto makeForm = [] {
        MapForm form;
        for (const char* n : {"ConvertedReportsPath", "DatabaseListId", "ReportDatabase",
                              "SourceTablesDatabase", "UpdatedOn", "CaptureErrorLevel"})
            form.Add(n, ControlKind::TextBox);
        form.Add("IsDataProject", ControlKind::CheckBox, 0);
        form.Add("IsSQL", ControlKind::CheckBox, 0);
        form.Add("optConversionSteps", ControlKind::OptionButton, false);
        form.Add("OptErrorsOnly", ControlKind::OptionButton, false);
        return form;
    };
    for (int level : {0, 1, 2}) {
        MapForm form = makeForm();
        entry.CaptureErrorLevel = level;
        entry.ReportDatabase = "/a.mdb";
        ASSERT_TRUE(entry.PopulateForm(form));
        EXPECT_EQ(form.at("OptConversionSteps").value, vb::Variant(level == 1)) << level;
        EXPECT_EQ(form.at("OptErrorsOnly").value, vb::Variant(level == 2)) << level;

        tolvaran::clsDatabaseList back;
        ASSERT_TRUE(back.PopulatePropertiesFromForm(form));
        EXPECT_EQ(back.CaptureErrorLevel, level);
        EXPECT_EQ(back.ReportDatabase, "/a.mdb");
    }
    // The user's choice on the buttons reaches the record.
    MapForm form = makeForm();
    form.at("CaptureErrorLevel").value = "1";
    form.at("OptErrorsOnly").value = true;
    tolvaran::clsDatabaseList back;
    ASSERT_TRUE(back.PopulatePropertiesFromForm(form));
    EXPECT_EQ(back.CaptureErrorLevel, 2);
}
