#pragma once
// The report engine: lays out a report of the designer model as pages filled with its data.
// One way through: the report and its record source go in, page primitives come out (page.h),
// and whoever draws them never calls back into the report, the data or the converter.
//
// Records are read through a RecordSource (platform/ado by default) from the tables the report
// holds, ordered by its groups and record sort fields, and laid out area by area in the
// model's order: report header, page header, group headers, details, group footers, page
// footer, report footer. Sections grow to hold their objects; a section kept together moves
// whole to the next page when it does not fit; subreports run for each record of the section
// that holds them, filtered by their links. Formulas are evaluated on the formula checker's
// parser; a report that shows TotalPageCount is laid out twice.
//
// ReportLayout lays a report out a step at a time, so that a viewer can show the first pages
// while it lays out the rest between the events of its window; RenderReport does every step.
#include <functional>
#include <memory>

#include "platform/ado/driver.h"
#include "platform/viewer/page.h"

namespace designer {
class Report;
}
namespace ui {
class Prompt;
}

namespace viewer {

class RecordSource;
class TextMeasure;

struct RenderOptions {
    // Asks for parameter values when the report prompts for them (EnableParameterPrompting);
    // without a prompt, or when the answer is empty, a parameter takes its default value.
    ui::Prompt* prompt = nullptr;
    // Where the rows come from; without one, through platform/ado with these options.
    RecordSource* source = nullptr;
    ado::ConnectionOptions connections;
    // Serial date-time that CurrentDate, CurrentDateTime, PrintDate... give; 0: the clock
    // when the layout starts.
    double now = 0;
    // How wide text is in the fonts the pages are drawn with (not owned; it outlives the
    // layout); without one, the built-in widths (text_metrics.h).
    const TextMeasure* measure = nullptr;
    // The layout stops at this many pages and says so in the notes.
    int maxPages = 5000;
    // The layout stops, and says so in the notes, once the items of its pages take more than
    // this many megabytes (as a statement stops past its QueryLimits::memoryMb): objects that
    // repeat on every page of a long report would otherwise take memory without end.
    long memoryMb = 512;
    // Called as each page is complete, with the pass (1, or 2 when TotalPageCount made the
    // report be laid out again) and the page's 0-based number; benchmarks time pages by it.
    std::function<void(int pass, int page)> pageFinished;
};

// A report being laid out. The report must stay unchanged, and the options' prompt, source and
// measure alive, while the layout lives.
class ReportLayout {
  public:
    explicit ReportLayout(const designer::Report& report, const RenderOptions& options = {});
    ~ReportLayout();
    ReportLayout(const ReportLayout&) = delete;
    ReportLayout& operator=(const ReportLayout&) = delete;

    // Lays out the next part and says whether anything is left: the first step reads the
    // records and asks for the parameter values, each later step lays out one record of the
    // report (its sections with their subreports), a page break or a pass's end.
    bool Step();
    bool Done() const;

    // The pages finished so far. A report that shows TotalPageCount is laid out twice: its
    // first pass's pages stand until the second pass has finished them again. A page is valid
    // until the next step.
    int ReadyPages() const;
    const Page& ReadyPage(int page) const;
    // The pass that laid out ReadyPage(page): 1, or 2 once the second pass has finished it.
    int ReadyPass(int page) const;
    // How far the layout is: the pass in progress (0 before the first step), the pages it has
    // finished and, in a second pass, the pages of the first.
    struct Progress {
        int pass = 0;
        int pages = 0;
        int of = 0;
    };
    Progress Status() const;

    // The laid-out report, once Done; the layout keeps nothing of it.
    Document Take();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// Lays the report out. A record source that cannot be read does not stop it: the pages are
// laid out with the field names in place of values and the reason on the first page (and in
// the notes). Never throws for what a report or its data hold.
Document RenderReport(const designer::Report& report, const RenderOptions& options = {});

}  // namespace viewer
