// What the lists file holds when a conversion is killed, and when another process holds its
// write lock. Both run conversions in a child process of the test (fork), so that the one
// can be killed with SIGKILL and the other can hold a lock from outside the converter's
// process. The parent opens the lists file only while no child runs.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "convert/layout_support.h"
#include "support/lock_probe.h"

namespace convert_test {
namespace {

using namespace layout;

// A report with enough sections, controls and failing formulas for a conversion to last a
// while and write problem rows all along.
std::string BusySections() {
    std::string out;
    const char* keywords[] = {"FormHeader", "PageHeader", "Section", "PageFooter", "FormFooter"};
    const char* names[] = {"ReportHeader", "PageHeaderSection", "Detail", "PageFooterSection",
                           "ReportFooter"};
    for (int s = 0; s < 5; ++s) {
        std::vector<Ctl> controls;
        for (int c = 0; c < 12; ++c) {
            const std::string n = std::string(names[s]) + "_" + std::to_string(c);
            const long top = 50 + 350 * c;
            if (c % 3 == 0)
                controls.push_back(
                    Field(n, "=Nope([Amount]) + " + std::to_string(c), 100, top));  // fails the check
            else if (c % 3 == 1)
                controls.push_back(Field(n, "Customer", 2000, top));
            else
                controls.push_back(Label(n, "Caption " + std::to_string(c), 4000, top));
        }
        out += Section(keywords[s], names[s], controls);
    }
    return out;
}

// The text log of conversion n of run k, and the report id its rows carry.
std::string TextLogName(int k, long n) {
    return "Busy_" + std::to_string(k) + "_" + std::to_string(n) + "_ErrorLog";
}
long ReportIdOf(int k, long n) {
    return 100000L * (k + 1) + n;
}

// Conversions as the main window makes them, one after another until the process is killed.
[[noreturn]] void ConvertForever(JobRun& run, int k) {
    for (long n = 0;; ++n) {
        run.NewJob("Busy", ReportIdOf(k, n));
        run.text->Filename = TextLogName(k, n);
        run.text->Create_File();
        run.job->oText = run.text.get();
        run.Convert();
    }
}

struct TextLog {
    std::vector<std::string> steps;     // information lines
    std::vector<std::string> problems;  // descriptions of problem blocks
};

// Reads a text error log as it stands on disk; a last line without its line end is left out.
TextLog ParseTextLog(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = all.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = all.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    const std::string rule(79, '-');
    TextLog log;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const bool block = line == rule || line.rfind("--------------------< FORMULA ERROR >", 0) == 0;
        if (block) {
            size_t j = i + 1;
            std::string desc;
            bool inDesc = false;
            for (; j < lines.size() && lines[j] != rule; ++j) {
                if (lines[j].rfind("         Error:", 0) == 0) {
                    desc = lines[j].substr(15);
                    inDesc = true;
                } else if (lines[j].rfind("function call:", 0) == 0 ||
                           lines[j].rfind("Formula Name:", 0) == 0) {
                    inDesc = false;
                } else if (inDesc) {
                    desc += "\n" + lines[j];
                }
            }
            if (j < lines.size()) log.problems.push_back(desc);  // a whole block
            i = j;
        } else if (line.rfind("REPORT NAME:    ", 0) == 0) {
            while (i + 1 < lines.size() && lines[i].rfind("ErrorOn:", 0) != 0) ++i;
        } else if (line.rfind("SUBREPORT OF:   ", 0) == 0) {
            // A subreport's formula-check failure names its parent on a line of its own.
        } else {
            log.steps.push_back(line);
        }
    }
    return log;
}

std::string Unwrapped(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

// Kills a process converting reports at random moments; after each kill the lists file is
// whole, and every line its text log shows (problem blocks and the step lines that say where
// the job was) is a row of the lists file: what the text log shows on disk was committed
// before it.
TEST(Durability, AKilledConversionLeavesAWholeListsFileHoldingEveryRowItShowed) {
    // One conversion first, in a set-up of its own: its length spreads the kills over a whole
    // conversion.
    long conversionUs = 0;
    {
        JobRun probe;
        probe.AddInternalLink();
        probe.front.AddReport("Busy", "Orders", BusySections());
        probe.NewJob("Busy", 1);
        const auto started = std::chrono::steady_clock::now();
        ASSERT_TRUE(probe.Convert()) << ::testing::PrintToString(probe.Problems());
        conversionUs = std::max<long>(2000, std::chrono::duration_cast<std::chrono::microseconds>(
                                                std::chrono::steady_clock::now() - started)
                                                .count());
    }
    // The conversions to kill run in children; this process keeps nothing of the files open.
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("Busy", "Orders", BusySections());
    const std::string lists = run.store.listsFile;
    run.store.ctx.gDb.reset();
    run.store.ctx.gInternalDb.reset();

    std::mt19937 random(20260601);
    std::set<std::string> lastSteps;
    // At least 24 kills; more while they have all fallen into one step (a loaded machine runs the
    // children slower than the probe), up to 96.
    const int kills = 24, mostKills = 96;
    for (int k = 0; k < mostKills && (k < kills || lastSteps.size() < 2); ++k) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            run.store.ctx.gDb = ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + lists);
            run.store.ctx.gInternalDb =
                ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + run.store.settingsFile);
            ConvertForever(run, k);
        }
        // The child needs a moment to start; past that, a random point of some conversion.
        std::uniform_int_distribution<long> delay(conversionUs / 2, conversionUs * 4);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        auto db = ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + lists);
        {
            ado::Recordset check;
            check.Open("PRAGMA integrity_check", db);
            ASSERT_EQ(check.Fields(0).Value().ToString(), "ok") << "after kill " << k;
        }
        // The conversion under way: the last text log the child made.
        long n = 0;
        while (std::filesystem::exists(run.dir.File(TextLogName(k, n + 1) + ".txt"))) ++n;
        const TextLog text = ParseTextLog(run.dir.File(TextLogName(k, n) + ".txt"));
        std::map<std::string, int> stored, storedProblems;
        ado::Recordset rs;
        rs.Open("SELECT ErrorDesc, ErrorSeverityLevel FROM ErrorLog WHERE ReportId = ?", db,
                ado::adOpenForwardOnly, ado::adLockReadOnly, {vb::Variant(ReportIdOf(k, n))});
        for (; !rs.Eof(); rs.MoveNext()) {
            const std::string desc = Unwrapped(vb::NZ(rs.Fields(0).Value(), "").ToString());
            const vb::Variant level = rs.Fields(1).Value();
            (level.IsNull() || level.ToLong() != 5 ? storedProblems : stored)[desc]++;
        }
        rs.Close();
        std::map<std::string, int> shown, shownProblems;
        for (const std::string& s : text.steps) shown[s]++;
        for (const std::string& p : text.problems) shownProblems[p]++;
        for (const auto& [desc, count] : shown)
            EXPECT_LE(count, stored[desc]) << "kill " << k << ", conversion " << n << ": step line \"" << desc
                                           << "\" shown " << count << " times";
        for (const auto& [desc, count] : shownProblems)
            EXPECT_LE(count, storedProblems[desc]) << "kill " << k << ", conversion " << n << ": problem \""
                                                   << desc << "\" shown " << count << " times";
        // Where the job was: its last line of a lasting step.
        for (auto it = text.steps.rbegin(); it != text.steps.rend(); ++it)
            if (*it == "1. Start Conversion process" || *it == "Open Access" ||
                *it == "Add Database Reference(s)" || *it == "AddGroupLevel" || *it == "Add Sections" ||
                it->rfind("Saving Report...:", 0) == 0) {
                lastSteps.insert(it->substr(0, 17));
                break;
            }
    }
    // The kills fell into different steps of a conversion.
    EXPECT_GE(lastSteps.size(), 2u) << ::testing::PrintToString(lastSteps);
}

// The rows a conversion holds until it commits reach the lists file in the order they were
// written, also where a subreport's job (on the same connection) and the formula-failure
// recordset add rows between them: the text log, written as the rows come, shows the same
// sequence.
TEST(Durability, HeldRowsKeepTheirOrderAroundSubreportsAndFormulaFailures) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport(
        "rptChild", "Orders",
        Section("Section", "Detail", {Field("c1", "Amount"), Field("c2", "=Nope([Amount])", 2000)}));
    run.front.AddReport("Main", "Orders",
                        Section("Section", "Detail",
                                {Field("m1", "=Nope([Amount]) + 1"),
                                 Control("Subform", "subChild", 100, 600, 3000, 500,
                                         {Text("SourceObject", "Report.rptChild")}),
                                 Field("m2", "=Nope([Amount]) + 2", 100, 1200)}));
    run.NewJob("Main", 11);
    ASSERT_TRUE(run.Convert());
    std::vector<std::string> steps, problems;
    bool child = false;
    for (const LogRow& r : run.Rows()) {
        const std::string desc = Unwrapped(r.ErrorDesc);
        child = child || r.ReportName == "rptChild";
        (r.ErrorSeverityLevel.IsNull() || r.ErrorSeverityLevel.ToLong() != 5 ? problems : steps)
            .push_back(desc);
    }
    ASSERT_TRUE(child);
    ASSERT_GE(problems.size(), 3u);
    const TextLog text = ParseTextLog(run.text->FullName());
    EXPECT_EQ(text.steps, steps);
    EXPECT_EQ(text.problems, problems);
}

// A lock another process holds for a while is waited for: every row is written and the
// conversion succeeds.
TEST(Durability, AWriteLockHeldElsewhereForAWhileIsWaitedFor) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("Busy", "Orders", BusySections());
    run.store.gDb()->Execute("PRAGMA journal_mode=WAL");

    // Held 1.5 s; the connection waits up to 30 s.
    {
        const pid_t holder = test::HoldSqliteLock(run.store.listsFile, "BEGIN IMMEDIATE", 1500);
        ASSERT_GT(holder, 0);
        run.NewJob("Busy", 1);
        const bool ok = run.Convert();
        waitpid(holder, nullptr, 0);
        EXPECT_TRUE(ok) << ::testing::PrintToString(run.Problems());
        EXPECT_FALSE(run.job->StoreWriteFailed());
        EXPECT_TRUE(run.store.prompt.messages.empty());
        const TextLog text = ParseTextLog(run.text->FullName());
        long rows = 0;
        for (const LogRow& r : run.Rows()) rows += r.ReportId == 1;
        EXPECT_EQ(static_cast<size_t>(rows), text.steps.size() + text.problems.size());
        EXPECT_GT(rows, 100);
    }
}

// A lock held longer than the connection waits fails the conversion with a message and a
// text-log entry; the rows it could not write are in the text log.
TEST(Durability, AWriteLockHeldLongerThanTheWaitFailsTheConversionAloud) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("Busy", "Orders", BusySections());
    run.store.gDb()->Execute("PRAGMA journal_mode=WAL");

    // Held 4 s, or until the conversion has failed; the connection waits 1 s.
    {
        run.store.gDb()->setCommandTimeout(1);
        const pid_t holder = test::HoldSqliteLock(run.store.listsFile, "BEGIN IMMEDIATE", 4000);
        ASSERT_GT(holder, 0);
        run.NewJob("Busy", 2);
        const bool ok = run.Convert();
        test::EndHolder(holder);
        EXPECT_FALSE(ok);
        EXPECT_TRUE(run.job->StoreWriteFailed());
        EXPECT_FALSE(run.job->success());
        ASSERT_EQ(run.store.prompt.messages.size(), 1u);
        EXPECT_NE(run.store.prompt.messages[0].prompt.find(
                      "The lists file could not be written while converting Busy"),
                  std::string::npos)
            << run.store.prompt.messages[0].prompt;
        const auto lines = run.TextLog();
        bool said = false;
        for (const std::string& l : lines)
            said = said || l.rfind("         Error:The lists file could not be written: ", 0) == 0;
        EXPECT_TRUE(said);
        EXPECT_EQ(lines.back(), "Did not complete");  // the rows after the failure are in the text log
        EXPECT_FALSE(std::filesystem::exists(run.Output() + "/Busy.rpt"));
        EXPECT_EQ(run.store.gDb()->CommandTimeout(), 1);  // the connection waits as it did before
    }
}

}  // namespace
}  // namespace convert_test
