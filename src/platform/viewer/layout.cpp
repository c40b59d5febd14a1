// Pages: the report's areas walked in the model's order for its records, each section laid out
// as a strip and put on pages, page headers and footers on every page; subreports laid out as
// strips inside the section that holds them.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "platform/designer/report.h"
#include "platform/viewer/engine.h"
#include "platform/viewer/run.h"
#include "platform/viewer/strip.h"
#include "platform/viewer/text_metrics.h"

namespace viewer {

namespace detail {

namespace {

constexpr int kMaxSubreportDepth = 8;
constexpr size_t kBorderLines = 4;            // a subreport object's border, drawn after its strip
constexpr long kUnreachableColor = 0x0000B0;  // dark red (0x00BBGGRR)

// Where the walk through a report's areas delivers its sections.
class BandSink {
  public:
    virtual ~BandSink() = default;
    virtual void Section(const designer::Section& section) = 0;
    // A group at level (0 outermost) starts at the current record, before its header.
    virtual void GroupStart(int level, const std::string& name) { (void)level, (void)name; }
};

// The sections that print of the areas of a kind (of one group when group is not 0), in the
// model's order.
std::vector<const designer::Section*> SectionsOf(const designer::Report& report, designer::AreaKind kind,
                                                 int group = 0) {
    std::vector<const designer::Section*> out;
    for (const auto& area : report.Areas()) {
        if (area->Kind() != kind || area->Suppress) continue;
        if (group != 0 && area->GroupNumber() != group) continue;
        for (const auto& section : area->Sections())
            if (!section->Suppress) out.push_back(section.get());
    }
    return out;
}

void EmitArea(ReportRun& run, BandSink& sink, designer::AreaKind kind, int group = 0) {
    for (const designer::Section* section : SectionsOf(run.Model(), kind, group)) sink.Section(*section);
}

// The report's areas for its selected records, a part at a time: report header (and page
// header); for each record the headers of the groups it starts, the details, the footers of
// the groups it ends; then (page footer) and report footer.
class Walker {
  public:
    Walker(ReportRun& run, BandSink& sink, bool pageAreas) : run_(run), sink_(sink), pageAreas_(pageAreas) {}

    // Delivers the next part; false when the walk is over.
    bool Next() {
        using designer::AreaKind;
        const size_t n = run_.Count();
        if (step_ > n + 1) return false;
        const size_t step = step_++;
        if (step == 0) {
            run_.SetCurrent(0);
            EmitArea(run_, sink_, AreaKind::ReportHeader);
            if (pageAreas_) EmitArea(run_, sink_, AreaKind::PageHeader);
        } else if (step <= n) {
            const size_t k = step - 1;
            const int levels = run_.GroupLevels();
            run_.SetCurrent(k);
            for (int l = 0; l < levels; ++l)
                if (run_.StartsGroup(l, k)) {
                    sink_.GroupStart(l, run_.GroupLabel(l, k));
                    EmitArea(run_, sink_, AreaKind::GroupHeader, l + 1);
                }
            EmitArea(run_, sink_, AreaKind::Detail);
            for (int l = levels; l-- > 0;)
                if (run_.EndsGroup(l, k)) EmitArea(run_, sink_, AreaKind::GroupFooter, l + 1);
        } else {
            run_.SetCurrent(n > 0 ? n - 1 : 0);
            if (pageAreas_) EmitArea(run_, sink_, AreaKind::PageFooter);
            EmitArea(run_, sink_, AreaKind::ReportFooter);
        }
        return true;
    }

  private:
    ReportRun& run_;
    BandSink& sink_;
    bool pageAreas_;
    size_t step_ = 0;  // 0 the headers, 1..n the records, n + 1 the footers
};

void Walk(ReportRun& run, BandSink& sink, bool pageAreas) {
    Walker walker(run, sink, pageAreas);
    while (walker.Next()) {
    }
}

// What a subreport shows depends on the records its links select, unless its formulas read
// the page number or a Global or Shared variable: such a strip is kept by the linked values,
// so that the records of the main report that link the same records (or a subreport without
// links in every record), on either pass, get it again without laying it out again. At most
// kItems items are kept in all.
struct KeptStrips {
    static constexpr size_t kItems = 1 << 16;
    using LinkKey = std::tuple<int, double, std::string>;  // a linked value: kind, number, text
    using Key = std::tuple<const designer::SubreportObject*, long, std::vector<LinkKey>>;
    std::map<Key, Strip> strips;
    size_t items = 0;
};

// The runs of the subreports of one pass, made on first use and reused for every record.
class Subreports {
  public:
    Subreports(RenderContext& ctx, KeptStrips& kept) : ctx_(ctx), kept_(kept) {}

    Strip Layout(ReportRun& parent, const designer::SubreportObject& object, long x);

  private:
    RenderContext& ctx_;
    KeptStrips& kept_;
    std::map<const designer::SubreportObject*, std::unique_ptr<ReportRun>> runs_;
};

// A subreport's sections stacked into one strip.
class StripSink : public BandSink {
  public:
    StripSink(ReportRun& run, Subreports& subs, long x) : run_(run), subs_(subs), x_(x) {}
    void Section(const designer::Section& section) override {
        Strip s = RenderSection(run_, section, x_, [this](const designer::SubreportObject& o, long x) {
            return subs_.Layout(run_, o, x);
        });
        if (section.SuppressIfBlank && s.blank) return;
        strips.push_back(std::move(s));
    }
    std::vector<Strip> strips;  // in print order

  private:
    ReportRun& run_;
    Subreports& subs_;
    long x_;
};

Strip Subreports::Layout(ReportRun& parent, const designer::SubreportObject& object, long x) {
    if (ctx_.depth >= kMaxSubreportDepth) {
        ctx_.Note("Subreports nested deeper than " + std::to_string(kMaxSubreportDepth) + " are not shown.");
        return {};
    }
    std::vector<std::pair<std::string, Value>> links;
    KeptStrips::Key key{&object, x, {}};
    bool keep = true;
    for (const designer::SubreportLink& link : object.Links) {
        std::string main = link.MainReportField, sub = link.SubreportField;
        auto body = [](std::string s) {
            if (s.size() >= 2 && s.front() == '{' && s.back() == '}') s = s.substr(1, s.size() - 2);
            return s;
        };
        links.push_back({body(sub), parent.Field(body(main))});
        const Value& v = links.back().second;
        keep = keep && v.kind != ValueKind::Array && v.kind != ValueKind::Range && !std::isnan(v.number);
        std::get<2>(key).emplace_back(static_cast<int>(v.kind), v.number, v.text);
    }
    if (keep)
        if (auto it = kept_.strips.find(key); it != kept_.strips.end()) {
            const Strip& kept = it->second;
            Strip strip;
            strip.height = kept.height;
            strip.items.reserve(kept.items.size() + kBorderLines);
            strip.items.insert(strip.items.end(), kept.items.begin(), kept.items.end());
            strip.breaks = kept.breaks;
            strip.keepTogether = kept.keepTogether;
            strip.blank = kept.blank;
            strip.pageDependent = kept.pageDependent;
            return strip;
        }
    auto& run = runs_[&object];
    if (!run) run = std::make_unique<ReportRun>(object.OpenSubreport(), ctx_);
    if (links.empty())
        run->SelectAll();
    else
        run->SelectLinked(links);
    // The parent's current record stays where it is while the subreport walks its own.
    const long pageQueries = ctx_.pageQueries, variableUses = ctx_.variableUses;
    ++ctx_.depth;
    StripSink sink(*run, *this, x);
    Walk(*run, sink, true);
    --ctx_.depth;
    Strip strip = Stack(std::move(sink.strips), kBorderLines);
    keep = keep && ctx_.pageQueries == pageQueries && ctx_.variableUses == variableUses;
    if (keep && kept_.items + strip.items.size() <= KeptStrips::kItems) {
        kept_.items += strip.items.size();
        kept_.strips.emplace(std::move(key), strip);
    }
    return strip;
}

// Thrown when the page limit is reached; the pages made so far are kept.
struct PageLimit {};
// Thrown when the pages' items pass the memory limit; the pages made so far are kept.
struct MemoryLimit {};

// Bytes an item takes on its page: the item and the texts it owns (a picture's bytes are
// shared by every page that shows it and counted nowhere here).
size_t Footprint(const Item& item) {
    size_t bytes = sizeof(Item);
    if (const auto* text = std::get_if<TextItem>(&item)) {
        bytes += text->text.capacity() + text->font.Name.capacity();
        for (const std::string& line : text->lines) bytes += sizeof(std::string) + line.capacity();
    }
    return bytes;
}

class PageLayout : public BandSink {
  public:
    PageLayout(const designer::Report& report, RenderContext& ctx, KeptStrips& kept)
        : report_(report), ctx_(ctx), run_(report, ctx), subs_(ctx, kept), walker_(run_, *this, false) {
        long w = std::clamp(report.PaperWidth, 1440L, 1440L * 200);
        long h = std::clamp(report.PaperHeight, 1440L, 1440L * 200);
        if (report.PaperOrientation == designer::crLandscape) std::swap(w, h);
        width_ = w;
        height_ = h;
        left_ = std::clamp(report.LeftMargin, 0L, w / 3);
        top_ = std::clamp(report.TopMargin, 0L, h / 3);
        long bottomMargin = std::clamp(report.BottomMargin, 0L, h / 3);
        long footer = 0;
        for (const designer::Section* s : SectionsOf(report, designer::AreaKind::PageFooter))
            footer += StaticHeight(*s, MeasureOf(ctx.options));
        footerTop_ = h - bottomMargin - std::min(footer, (h - bottomMargin - top_) / 2);
    }

    // Lays out the next part (the first page's start, then a record of the report at a time);
    // false once the document is complete.
    bool Step() {
        if (done_) return false;
        try {
            if (!begun_) {
                begun_ = true;
                StartPage(false);
                Banner();
                return true;
            }
            if (walker_.Next()) return true;
            if (!headerDone_) PageHeader();
        } catch (const PageLimit&) {
            ctx_.Note("The report was cut off at " + std::to_string(ctx_.options.maxPages) + " pages.");
        } catch (const MemoryLimit&) {
            ctx_.Note("The report was cut off at page " + std::to_string(doc_.pages.size()) +
                      ": its pages take more than " + std::to_string(ctx_.options.memoryMb) + " MB.");
        }
        FinishPage();
        doc_.groups = std::move(tree_);
        done_ = true;
        return false;
    }

    // The pages so far; those before Finished() are complete.
    const Document& Doc() const { return doc_; }
    size_t Finished() const { return finished_; }
    Document Take() { return std::move(doc_); }

    void Section(const designer::Section& section) override {
        // On the first page the page header follows the report header.
        if (section.Parent().Kind() != designer::AreaKind::ReportHeader && !headerDone_) PageHeader();
        if (section.NewPageBefore && hasBody_)
            NewPage();
        else if (pendingBreak_ && hasBody_)
            NewPage();
        pendingBreak_ = false;
        auto render = [&] { return Render(section); };
        Strip s = render();
        if (section.SuppressIfBlank && s.blank) return;
        Place(std::move(s), render);
        if (section.NewPageAfter) pendingBreak_ = true;
    }

    void GroupStart(int level, const std::string& name) override {
        std::vector<GroupNode>* list = &tree_;
        for (int l = 0; l < level && !list->empty(); ++l) list = &list->back().children;
        list->push_back(GroupNode{name, static_cast<int>(doc_.pages.size()) - 1, y_, {}});
        pendingGroup_ = &list->back();
    }

  private:
    Strip Render(const designer::Section& section) {
        return RenderSection(run_, section, left_, [this](const designer::SubreportObject& o, long x) {
            return subs_.Layout(run_, o, x);
        });
    }

    void StartPage(bool withHeader) {
        if (static_cast<int>(doc_.pages.size()) >= ctx_.options.maxPages) throw PageLimit{};
        Page page{width_, height_, {}};
        // Pages of a report mostly hold as many items as the one before.
        if (!doc_.pages.empty()) page.items.reserve(doc_.pages.back().items.size());
        doc_.pages.push_back(std::move(page));
        ctx_.page = static_cast<long>(doc_.pages.size());
        y_ = top_;
        bodyTop_ = top_;
        hasBody_ = false;
        if (withHeader) PageHeader();
    }

    void PageHeader() {
        headerDone_ = true;
        // A group waiting for its place takes the place of its header, not of the page header.
        GroupNode* waiting = pendingGroup_;
        pendingGroup_ = nullptr;
        for (const designer::Section* s : SectionsOf(report_, designer::AreaKind::PageHeader)) {
            Strip strip = Render(*s);
            if (s->SuppressIfBlank && strip.blank) continue;
            Emit(strip, std::min(strip.height, std::max(0L, footerTop_ - y_)));
        }
        bodyTop_ = y_;
        pendingGroup_ = waiting;
    }

    void FinishPage() {
        if (doc_.pages.empty() || finished_ == doc_.pages.size()) return;
        finished_ = doc_.pages.size();
        long y = footerTop_;
        for (const designer::Section* s : SectionsOf(report_, designer::AreaKind::PageFooter)) {
            Strip strip = Render(*s);
            if (s->SuppressIfBlank && strip.blank) continue;
            for (Item& i : strip.items) {
                Move(i, 0, y);
                bytes_ += Footprint(i);  // a page is finished whole; the next one stops at the limit
                doc_.pages.back().items.push_back(std::move(i));
            }
            y += strip.height;
        }
        // The pages are most of what a long report's layout holds: a finished page keeps no more
        // room than its items take (and an eighth).
        std::vector<Item>& items = doc_.pages.back().items;
        if (items.capacity() - items.size() > items.size() / 8) items.shrink_to_fit();
        if (ctx_.options.pageFinished)
            ctx_.options.pageFinished(ctx_.totalPages > 0 ? 2 : 1, static_cast<int>(doc_.pages.size()) - 1);
    }

    void NewPage() {
        FinishPage();
        StartPage(true);
    }

    // Puts the items (at y from the top of what they belong to) at y_ on the current page; y_
    // moves down by height.
    void Emit(std::vector<Item>& items, long height) {
        if (pendingGroup_) {
            pendingGroup_->page = static_cast<int>(doc_.pages.size()) - 1;
            pendingGroup_->top = y_;
            pendingGroup_ = nullptr;
        }
        // The page's list grows by doubling: a page filled by many small strips is not copied
        // again for each.
        std::vector<Item>& page = doc_.pages.back().items;
        for (Item& i : items) {
            Move(i, 0, y_);
            Charge(i);
            page.push_back(std::move(i));
        }
        y_ += height;
    }

    // Counts an item put on a page against the memory limit; past it the layout stops.
    void Charge(const Item& item) {
        bytes_ += Footprint(item);
        if (bytes_ > static_cast<size_t>(std::max(1L, ctx_.options.memoryMb)) * 1024 * 1024)
            throw MemoryLimit{};
    }
    void Emit(Strip& strip, long height) { Emit(strip.items, height); }

    template <class Render>
    void Place(Strip strip, Render& render) {
        // Until it is cut, a strip that does not fit moves whole to the next page (laid out
        // again there when it shows page numbers).
        for (;;) {
            const long room = footerTop_ - y_;
            if (strip.height <= room) {
                // A section of no height and no items (an empty report header) takes no room.
                if (strip.height > 0 || !strip.items.empty()) hasBody_ = true;
                Emit(strip, strip.height);
                return;
            }
            long cut = 0;
            for (long b : strip.breaks)
                if (b <= room) cut = b;
            const bool moveWhole = strip.keepTogether && strip.height <= footerTop_ - bodyTop_;
            if (!hasBody_ || !(moveWhole || cut <= 0)) break;
            NewPage();
            if (strip.pageDependent) strip = render();
        }
        // Cut page by page at the lowest break that fits; without one where the page ends, or
        // let a page without room overflow rather than make pages without end.
        StripCutter rest(std::move(strip));
        for (;;) {
            const long room = footerTop_ - y_;
            if (rest.Height() <= room) {
                Strip last = rest.Rest();
                if (last.height > 0 || !last.items.empty()) hasBody_ = true;
                Emit(last, last.height);
                return;
            }
            long cut = rest.BreakWithin(room);
            if (cut <= 0) cut = room > 0 ? room : rest.Height();
            Strip piece = rest.Cut(cut);
            Emit(piece, cut);
            hasBody_ = true;
            if (rest.Empty()) return;
            NewPage();
        }
    }

    // The reasons records could not be read, in dark red at the top of the first page.
    void Banner() {
        std::vector<std::string> reasons;
        for (const std::string& n : ctx_.Notes())
            if (n.rfind("The records of ", 0) == 0) reasons.push_back(n);
        if (reasons.empty()) return;
        std::string text = "The field names are shown in place of their values.";
        for (const std::string& r : reasons) text += "\n" + r;
        designer::Font font;
        font.Size = 9;
        font.Bold = true;
        const TextMeasure& measure = MeasureOf(ctx_.options);
        long width = width_ - 2 * left_;
        std::vector<std::string> lines = WrapText(text, font, width, measure);
        const long lineHeight = LineHeight(font, measure);
        long height = static_cast<long>(lines.size()) * lineHeight + 120;
        Strip strip;
        strip.height = height;
        strip.blank = false;
        strip.items.push_back(TextItem{Rect{left_, 0, width, height - 120}, text, font, kUnreachableColor,
                                       TextAlign::Left, true, std::move(lines), lineHeight});
        Emit(strip, height);
    }

    const designer::Report& report_;
    RenderContext& ctx_;
    ReportRun run_;
    Subreports subs_;
    Walker walker_;
    Document doc_;
    std::vector<GroupNode> tree_;
    GroupNode* pendingGroup_ = nullptr;
    long width_ = 0, height_ = 0, left_ = 0, top_ = 0, footerTop_ = 0, bodyTop_ = 0, y_ = 0;
    size_t finished_ = 0;  // pages whose footer is drawn
    size_t bytes_ = 0;     // taken by the items of the pages (Footprint)
    bool hasBody_ = false;
    bool headerDone_ = false;
    bool pendingBreak_ = false;
    bool begun_ = false;
    bool done_ = false;
};

// Reads every table of the report and its subreports first, so that the first page can name
// every source that could not be read.
void ReadAll(const designer::Report& report, RenderContext& ctx, int depth) {
    if (depth > kMaxSubreportDepth) return;
    if (report.Database().Tables().Count() > 0) {
        const auto& data = ctx.Table(report.Database().Tables().Item(1));
        if (!data.rows)
            ctx.Note("The records of \"" + report.Database().Tables().Item(1).Name() +
                     "\" could not be read: " + data.error);
    }
    for (designer::Section* s : report.Sections().List())
        for (const auto& o : s->ReportObjects())
            if (o->Kind() == designer::ObjectKind::Subreport)
                ReadAll(static_cast<const designer::SubreportObject&>(*o).OpenSubreport(), ctx, depth + 1);
}

}  // namespace

}  // namespace detail

// One layout: the context shared by its passes, the pass in progress and, while the second pass
// runs, the first pass's pages.
struct ReportLayout::State {
    State(const designer::Report& r, const RenderOptions& options) : report(r), ctx(options) {
        if (ctx.options.maxPages < 1) ctx.options.maxPages = 1;
    }
    const designer::Report& report;
    detail::RenderContext ctx;
    detail::KeptStrips kept;  // for both passes
    std::unique_ptr<detail::PageLayout> pass;
    int passNumber = 0;   // 0 before the first step
    Document first;       // the first pass's pages while the second pass runs
    size_t replaced = 0;  // first.pages before this are let go: the second pass finished them
    Document result;
    bool done = false;
};

ReportLayout::ReportLayout(const designer::Report& report, const RenderOptions& options)
    : state_(std::make_unique<State>(report, options)) {}

ReportLayout::~ReportLayout() = default;

bool ReportLayout::Step() {
    State& s = *state_;
    if (s.done) return false;
    try {
        if (s.passNumber == 0) {
            detail::ReadAll(s.report, s.ctx, 0);
            s.ctx.Parameters(s.report);
            s.pass = std::make_unique<detail::PageLayout>(s.report, s.ctx, s.kept);
            s.passNumber = 1;
            return true;
        }
        if (s.pass->Step()) {
            // The first pass's pages that the second has finished again are shown no more: a
            // long report is not held twice.
            if (s.passNumber == 2)
                for (; s.replaced < s.pass->Finished() && s.replaced < s.first.pages.size(); ++s.replaced)
                    std::vector<Item>().swap(s.first.pages[s.replaced].items);
            return true;
        }
        if (s.passNumber == 1 && s.ctx.totalPagesAsked) {
            // TotalPageCount: the pages are known now; lay the report out again with them.
            s.first = s.pass->Take();
            s.pass.reset();
            s.ctx.totalPages = static_cast<long>(s.first.pages.size());
            s.ctx.page = 1;
            s.ctx.pageQueries = 0;
            s.ctx.shared.clear();
            s.passNumber = 2;
            s.pass = std::make_unique<detail::PageLayout>(s.report, s.ctx, s.kept);
            return true;
        }
        s.result = s.pass->Take();
    } catch (const std::exception& e) {
        s.ctx.Note(std::string("The report could not be laid out: ") + e.what());
        // What a pass that failed laid out is dropped; the first pass's pages stay, those the
        // second pass had finished again as it finished them.
        if (s.replaced > 0) {
            Document second = s.pass->Take();
            for (size_t k = 0; k < s.replaced; ++k) s.first.pages[k] = std::move(second.pages[k]);
        }
        s.result = std::move(s.first);
    }
    s.pass.reset();
    s.first = Document{};
    s.result.notes = s.ctx.Notes();
    s.done = true;
    return false;
}

bool ReportLayout::Done() const {
    return state_->done;
}

int ReportLayout::ReadyPages() const {
    const State& s = *state_;
    if (s.done) return static_cast<int>(s.result.pages.size());
    const int finished = s.pass ? static_cast<int>(s.pass->Finished()) : 0;
    return std::max(finished, static_cast<int>(s.first.pages.size()));
}

const Page& ReportLayout::ReadyPage(int page) const {
    assert(page >= 0 && page < ReadyPages());
    const State& s = *state_;
    const auto k = static_cast<size_t>(page);
    if (s.done) return s.result.pages[k];
    if (s.pass && k < s.pass->Finished()) return s.pass->Doc().pages[k];
    return s.first.pages[k];
}

int ReportLayout::ReadyPass(int page) const {
    const State& s = *state_;
    if (s.passNumber == 2 && !s.done && static_cast<size_t>(page) >= (s.pass ? s.pass->Finished() : 0))
        return 1;
    return s.passNumber;
}

ReportLayout::Progress ReportLayout::Status() const {
    const State& s = *state_;
    Progress p;
    p.pass = s.passNumber;
    p.pages = s.done   ? static_cast<int>(s.result.pages.size())
              : s.pass ? static_cast<int>(s.pass->Finished())
                       : 0;
    p.of = static_cast<int>(s.first.pages.size());
    return p;
}

Document ReportLayout::Take() {
    assert(state_->done);
    return std::move(state_->result);
}

Document RenderReport(const designer::Report& report, const RenderOptions& options) {
    ReportLayout layout(report, options);
    while (layout.Step()) {
    }
    return layout.Take();
}

}  // namespace viewer
