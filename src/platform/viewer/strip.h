#pragma once
// Strips: a section laid out for one record, before it is put on a page (internal to
// platform/viewer). A strip is as wide as the page; its items lie at their page x and at y
// from the strip's top. The pages take strips whole, or cut them at their break points.
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "platform/viewer/engine.h"
#include "platform/viewer/page.h"
#include "platform/viewer/text_metrics.h"

namespace designer {
class Section;
class SubreportObject;
}  // namespace designer

namespace viewer::detail {

class ReportRun;

struct Strip {
    long height = 0;
    std::vector<Item> items;
    std::vector<long> breaks;    // ascending y in (0, height) where the strip may be cut
    bool keepTogether = true;    // moves whole to the next page when it does not fit
    bool blank = true;           // shows no text, field value, picture or subreport content
    bool pageDependent = false;  // shows page numbers (laid out again when it moves on)
};

long TopOf(const Item& item);
void Move(Item& item, long dx, long dy);

// Stacks b under a, with a break between them.
void Append(Strip& a, Strip b);
// A strip handed out in pieces from its top, as pages take it: a piece is the items whose top
// lies above the cut, in the strip's order, moved up by what was taken before. The items are
// ordered by top once, so a piece costs its own items and no more.
class StripPieces {
  public:
    explicit StripPieces(Strip strip);
    // The height of what is left.
    long Height() const { return std::max(0L, strip_.height - taken_); }
    // True when no item is left.
    bool Empty() const { return next_ == order_.size(); }
    // The lowest break point at most y below the top of what is left; 0 when there is none.
    long BreakWithin(long y) const;
    // The items of what is left whose top lies above y; what is left then starts y lower.
    std::vector<Item> Take(long y);
    // Every item left, wherever its top lies.
    std::vector<Item> TakeRest();

  private:
    // The items up to order_[end] (not included), in the strip's order, moved up by taken_.
    std::vector<Item> TakeUpTo(size_t end);

    Strip strip_;
    std::vector<std::pair<long, size_t>> order_;  // top, index in strip_.items; by top
    size_t next_ = 0;
    long taken_ = 0;
};

// Lays a subreport out for the current record of the run that holds it, at page x.
using SubreportLayout = std::function<Strip(const designer::SubreportObject&, long x)>;

// The section laid out for the run's current record, with its left edge at page x. Objects
// that can grow (text and fields marked CanGrow, subreports) take the room their content
// needs and push down the objects below them.
Strip RenderSection(ReportRun& run, const designer::Section& section, long x,
                    const SubreportLayout& subreport);

// The height a section takes without looking at data: its height, or the lowest bottom of its
// objects (text at least one line of its font, as the measure gives it).
long StaticHeight(const designer::Section& section, const TextMeasure& measure);

// The measure the run's options give, else the built-in one.
const TextMeasure& MeasureOf(const RenderOptions& options);

}  // namespace viewer::detail
