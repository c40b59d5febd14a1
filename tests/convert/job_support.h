#pragma once
// One conversion set up as the main window sets it up: store files, a front end with an
// Orders table, a links manager, a report record, a text error log and a recording window.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "convert/convert.h"
#include "convert/fixtures.h"
#include "sources/link.h"
#include "sources/links_manager.h"
#include "store/record_classes.h"
#include "store/text_log.h"

namespace convert_test {

class JobRun {
  public:
    JobRun() : store(dir), front(dir.File("Orders.mdb")), links(store.prompt) {
        front.Sql(
            "CREATE TABLE Orders (ID INTEGER PRIMARY KEY, Customer TEXT, Amount REAL, OrderDate DATETIME);"
            "INSERT INTO Orders (Customer, Amount, OrderDate) VALUES ('Alfreds', 12.5, '2004-01-02 "
            "00:00:00');");
        std::filesystem::create_directories(Output());
    }

    std::string Output() const { return dir.File("out"); }

    tolvaran::LinkPtr AddLink(long kind, const std::string& linkDatabase, const std::string& name = "Link") {
        auto link = std::make_shared<tolvaran::clsLink>();
        link->LinkType = kind;
        link->LinkDatabase = linkDatabase;
        link->Name = name;
        links.Add(link);
        return link;
    }
    tolvaran::LinkPtr AddInternalLink() { return AddLink(tolvaran::kLinkInternal, front.Path(), "Internal"); }

    // A new job for the report, filled in the main window's order.
    tolvaran::clsConvert& NewJob(const std::string& reportName, long reportId = 7, bool multiple = false) {
        job = std::make_unique<tolvaran::clsConvert>(store.ctx);
        report = std::make_shared<tolvaran::clsReport>();
        report->ReportId = reportId;
        report->DatabaseListId = 3;
        report->ReportName = reportName;
        text = std::make_unique<tolvaran::clsWriteToText>(&store.prompt);
        text->FilePath = dir.path().string();
        text->Filename = reportName + "_ErrorLog";
        text->Extension = ".txt";
        text->Create_File();

        job->MultipleReportsSelected = multiple;
        job->setOReport(report);
        job->SuppressSectionsWithNoControls = true;
        job->IsDataProject = false;
        job->oLinks = &links;
        job->SourceTablesDB = "";
        job->Database = front.Path();
        job->ReportName = reportName;
        job->Reportpath = Output();
        job->AskShowPageHeaderFooterForSubReportsQuestion = true;
        job->Form = &window;
        job->oText = text.get();
        job->ProgressMeter = &window;
        job->setDb(store.gDb());
        job->Internaldb = store.ctx.gInternalDb;
        return *job;
    }

    bool Convert() {
        const bool ok = job->Convert(window, false);
        text->close_file();
        return ok;
    }

    std::vector<std::string> TextLog() const { return ReadLines(text->FullName()); }
    std::vector<LogRow> Rows() const { return ReadErrorLog(store.gDb()); }
    // Rows whose level is not 5 (the main window's "had errors" test), as "function: text".
    std::vector<std::string> Problems() const {
        std::vector<std::string> out;
        for (const LogRow& r : Rows())
            if (r.ErrorSeverityLevel.IsNull() || r.ErrorSeverityLevel.ToLong() != 5)
                out.push_back(r.ErrorOccuredInFunction + ": " + r.ErrorDesc);
        return out;
    }

    TempFolder dir;
    Store store;
    FrontEnd front;
    tolvaran::clsManageLinks links;
    ui::RecordingWindow window;
    std::shared_ptr<tolvaran::clsReport> report;
    std::unique_ptr<tolvaran::clsWriteToText> text;
    std::unique_ptr<tolvaran::clsConvert> job;
};

}  // namespace convert_test
