#pragma once
// Strips: a section laid out for one record, before it is put on a page (internal to
// platform/viewer). A strip is as wide as the page; its items lie at their page x and at y
// from the strip's top. The pages take strips whole, or cut them at their break points.
#include <functional>
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
// Splits s at y: the items above y stay in s, the rest (moved up by y) go to the result.
Strip CutAt(Strip& s, long y);

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
