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

// The strips stacked one under the other, with a break between each two; every item is moved
// once, however many strips there are. spare: room for as many more items (a subreport's strip
// gets its object's border lines).
Strip Stack(std::vector<Strip> strips, size_t spare = 0);
// A strip put on pages a piece at a time: each cut takes the items that begin above it and
// leaves the rest where it lies, so a strip that runs over many pages (a long subreport) costs
// each page what that page holds.
class StripCutter {
  public:
    explicit StripCutter(Strip strip);
    // The height left.
    long Height() const { return strip_.height - offset_; }
    // The lowest break point at most room below the top of what is left; 0 when there is none.
    long BreakWithin(long room) const;
    // The top y of what is left, as a strip of its own: the items that begin above y, moved up
    // to its top, and the breaks above y.
    Strip Cut(long y);
    // Everything left, as a strip of its own.
    Strip Rest();
    // Nothing is left: no height and no items.
    bool Empty() const { return Height() <= 0 && next_ == order_.size(); }

  private:
    Strip Take(size_t end, long y);

    Strip strip_;
    std::vector<size_t> order_;  // indices of strip_.items by their top, each once
    size_t next_ = 0;            // the first in order_ not yet cut off
    size_t nextBreak_ = 0;       // the first of strip_.breaks not yet cut off (they ascend)
    long offset_ = 0;            // the height cut off so far
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
