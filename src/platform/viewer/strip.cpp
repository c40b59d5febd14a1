// A section laid out for one record: its objects as page items, grown to hold their content.
#include "platform/viewer/strip.h"

#include <algorithm>
#include <cassert>
#include <functional>
#include <limits>
#include <queue>

#include "platform/designer/report.h"
#include "platform/viewer/run.h"
#include "platform/viewer/text_metrics.h"

namespace viewer::detail {

namespace {

// Objects larger than this (about 23 m) are taken to be damaged and drawn at this size.
constexpr long kMaxExtent = 1440L * 900;

long Clamp(long v) {
    return std::clamp(v, -kMaxExtent, kMaxExtent);
}

TextAlign AlignOf(int alignment, bool numeric) {
    switch (alignment) {
        case designer::crHorCenterAlign:
            return TextAlign::Center;
        case designer::crRightAlign:
            return TextAlign::Right;
        case designer::crJustified:
            return TextAlign::Justified;
        case designer::crLeftAlign:
            return TextAlign::Left;
        default:
            return numeric ? TextAlign::Right : TextAlign::Left;
    }
}

// One object laid out: its items (at the section's coordinates, before any push down) are
// items[first, last) of the section's list; the height its content needs and the height it
// was designed with.
struct Placed {
    const designer::ReportObject* object = nullptr;
    size_t first = 0, last = 0;
    long top = 0;
    long designed = 0;
    long needed = 0;
    std::vector<long> breaks;  // a subreport's own break points, from its top
    bool shows = false;        // prints text, a picture or subreport content
    bool pageDependent = false;
};

void Borders(const designer::ReportObject& o, const Rect& r, std::vector<Item>& items) {
    auto edge = [&](int style, long x1, long y1, long x2, long y2) {
        if (style != designer::crLSNoLine)
            items.push_back(LineItem{x1, y1, x2, y2, o.BorderColor, 15, style});
    };
    edge(o.TopLineStyle, r.left, r.top, r.right(), r.top);
    edge(o.BottomLineStyle, r.left, r.bottom(), r.right(), r.bottom());
    edge(o.LeftLineStyle, r.left, r.top, r.left, r.bottom());
    edge(o.RightLineStyle, r.right(), r.top, r.right(), r.bottom());
}

// A picture scaled into the object's box; nothing but the borders when there is none.
Placed PictureLike(const designer::ReportObject& o, std::shared_ptr<const std::vector<unsigned char>> bytes,
                   long x, std::vector<Item>& items) {
    Placed p;
    p.object = &o;
    p.first = items.size();
    p.top = Clamp(o.Top);
    p.designed = p.needed = std::max(0L, Clamp(o.Height));
    Rect r{x + Clamp(o.Left), p.top, std::max(0L, Clamp(o.Width)), p.designed};
    if (!bytes->empty()) {
        items.push_back(ImageItem{r, std::move(bytes)});
        p.shows = true;
    }
    Borders(o, r, items);
    p.last = items.size();
    return p;
}

Placed TextLike(const designer::ReportObject& o, std::string text, bool numeric, long x, RenderContext& ctx,
                std::vector<Item>& items) {
    Placed p;
    p.object = &o;
    p.first = items.size();
    p.top = Clamp(o.Top);
    const TextMeasure& measure = MeasureOf(ctx.options);
    const long lineHeight = std::max(1L, ctx.LineHeightOf(o));
    long width = o.Width > 0 ? Clamp(o.Width) : TextWidth(text, o.Font, measure) + 30;
    p.designed = o.Height > 0 ? Clamp(o.Height) : lineHeight;
    p.needed = p.designed;
    // The text breaks into lines where it grows, holds line breaks, or has room for a second
    // line, as Access draws labels and text boxes.
    const bool wrap =
        o.CanGrow || text.find_first_of("\r\n") != std::string::npos || p.designed >= 2 * lineHeight;
    std::vector<std::string> lines;
    if (wrap && !text.empty()) {
        lines = WrapText(text, o.Font, width, measure);
        if (o.CanGrow) {
            const long count = static_cast<long>(std::min<size_t>(lines.size(), kMaxExtent));
            p.needed = std::max(p.designed, std::min(count * lineHeight, kMaxExtent));
        }
    }
    Rect r{x + Clamp(o.Left), p.top, width, p.needed};
    if (o.BackStyle != 0 && o.BackColor != designer::kNoColor)
        items.push_back(BoxItem{r, designer::kBlack, 0, designer::crLSNoLine, o.BackColor});
    if (!text.empty()) {
        items.push_back(TextItem{r, std::move(text), o.Font, o.TextColor, AlignOf(o.HorAlignment, numeric),
                                 wrap, std::move(lines), lineHeight});
        p.shows = true;
    }
    Borders(o, r, items);
    p.last = items.size();
    return p;
}

}  // namespace

long TopOf(const Item& item) {
    struct V {
        long operator()(const TextItem& i) const { return i.rect.top; }
        long operator()(const LineItem& i) const { return std::min(i.y1, i.y2); }
        long operator()(const BoxItem& i) const { return i.rect.top; }
        long operator()(const ImageItem& i) const { return i.rect.top; }
    };
    return std::visit(V{}, item);
}

void Move(Item& item, long dx, long dy) {
    struct V {
        long dx, dy;
        void operator()(TextItem& i) const { i.rect.left += dx, i.rect.top += dy; }
        void operator()(LineItem& i) const { i.x1 += dx, i.x2 += dx, i.y1 += dy, i.y2 += dy; }
        void operator()(BoxItem& i) const { i.rect.left += dx, i.rect.top += dy; }
        void operator()(ImageItem& i) const { i.rect.left += dx, i.rect.top += dy; }
    };
    std::visit(V{dx, dy}, item);
}

Strip Stack(std::vector<Strip> strips, size_t spare) {
    Strip a;
    size_t items = 0, breaks = 0;
    for (const Strip& b : strips) {
        items += b.items.size();
        breaks += b.breaks.size() + 1;
    }
    a.items.reserve(items + spare);
    a.breaks.reserve(breaks);
    for (Strip& b : strips) {
        const long offset = a.height;
        if (offset > 0 && b.height > 0) a.breaks.push_back(offset);
        for (Item& i : b.items) {
            Move(i, 0, offset);
            a.items.push_back(std::move(i));
        }
        for (long y : b.breaks) a.breaks.push_back(y + offset);
        a.height += b.height;
        a.blank = a.blank && b.blank;
        a.pageDependent = a.pageDependent || b.pageDependent;
    }
    return a;
}

StripCutter::StripCutter(Strip strip) : strip_(std::move(strip)), order_(strip_.items.size()) {
    for (size_t i = 0; i < order_.size(); ++i) order_[i] = i;
    std::vector<long> tops(order_.size());
    for (size_t i = 0; i < tops.size(); ++i) tops[i] = TopOf(strip_.items[i]);
    std::stable_sort(order_.begin(), order_.end(), [&](size_t a, size_t b) { return tops[a] < tops[b]; });
    assert(std::is_sorted(strip_.breaks.begin(), strip_.breaks.end()));
}

long StripCutter::BreakWithin(long room) const {
    auto from = strip_.breaks.begin() + static_cast<std::ptrdiff_t>(nextBreak_);
    auto past = std::upper_bound(from, strip_.breaks.end(), offset_ + room);
    return past == from ? 0 : *(past - 1) - offset_;
}

Strip StripCutter::Cut(long y) {
    size_t end = next_;
    while (end < order_.size() && TopOf(strip_.items[order_[end]]) - offset_ < y) ++end;
    return Take(end, y);
}

Strip StripCutter::Rest() {
    return Take(order_.size(), Height());
}

Strip StripCutter::Take(size_t end, long y) {
    Strip piece;
    piece.keepTogether = strip_.keepTogether;
    piece.blank = strip_.blank;
    piece.pageDependent = strip_.pageDependent;
    piece.height = y;
    // The items keep the order they are drawn in.
    std::vector<size_t> taken(order_.begin() + static_cast<std::ptrdiff_t>(next_),
                              order_.begin() + static_cast<std::ptrdiff_t>(end));
    std::sort(taken.begin(), taken.end());
    piece.items.reserve(taken.size());
    for (size_t i : taken) {
        Item item = std::move(strip_.items[i]);
        Move(item, 0, -offset_);
        piece.items.push_back(std::move(item));
    }
    next_ = end;
    for (; nextBreak_ < strip_.breaks.size() && strip_.breaks[nextBreak_] - offset_ <= y; ++nextBreak_)
        if (strip_.breaks[nextBreak_] - offset_ < y)
            piece.breaks.push_back(strip_.breaks[nextBreak_] - offset_);
    offset_ += y;
    return piece;
}

const TextMeasure& MeasureOf(const RenderOptions& options) {
    return options.measure ? *options.measure : BuiltInMeasure();
}

long StaticHeight(const designer::Section& section, const TextMeasure& measure) {
    long h = std::max(0L, Clamp(section.Height));
    for (const auto& o : section.ReportObjects()) {
        if (o->Suppress) continue;
        long bottom = Clamp(o->Top) + Clamp(o->Height);
        if (o->Kind() == designer::ObjectKind::Text || o->Kind() == designer::ObjectKind::Field)
            bottom = Clamp(o->Top) + std::max(Clamp(o->Height), LineHeight(o->Font, measure));
        if (o->Kind() == designer::ObjectKind::Line)
            bottom = std::max(bottom, Clamp(static_cast<const designer::LineObject&>(*o).Bottom));
        if (o->Kind() == designer::ObjectKind::Box)
            bottom = std::max(bottom, Clamp(static_cast<const designer::BoxObject&>(*o).Bottom));
        h = std::max(h, bottom);
    }
    return h;
}

Strip RenderSection(ReportRun& run, const designer::Section& section, long x,
                    const SubreportLayout& subreport) {
    run.BeginSection();
    long queriesBefore = run.Context().pageQueries;
    Strip strip;
    std::vector<Item>& items = strip.items;  // every object's items, in the objects' order
    std::vector<Placed> placed;
    placed.reserve(static_cast<size_t>(section.ReportObjects().Count()));
    items.reserve(2 * static_cast<size_t>(section.ReportObjects().Count()));
    for (const auto& obj : section.ReportObjects()) {
        const designer::ReportObject& o = *obj;
        if (o.Suppress) continue;
        switch (o.Kind()) {
            case designer::ObjectKind::Text:
                placed.push_back(TextLike(o, static_cast<const designer::TextObject&>(o).Text, false, x,
                                          run.Context(), items));
                break;
            case designer::ObjectKind::Field: {
                const auto& f = static_cast<const designer::FieldObject&>(o);
                const ReportRun::Reference& reference = run.Refer(f.Field);
                // A field of pictures (an OLE Object or binary column) shows the picture.
                const vb::Variant* stored = run.StoredValue(reference);
                if (stored && stored->Type() == vb::VarType::Bytes) {
                    placed.push_back(PictureLike(o, run.Context().Picture(*stored), x, items));
                    break;
                }
                std::string text;
                bool numeric = false;
                if (run.Placeholders() && !run.PlaceholderName(reference).empty()) {
                    text = run.PlaceholderName(reference);
                } else {
                    Value v = run.ReferenceValue(reference);
                    numeric = v.IsNumeric();
                    text = DisplayText(v, f.DateWindowsDefaultType, run.ShowsFractionalColumn(reference));
                }
                placed.push_back(TextLike(o, std::move(text), numeric, x, run.Context(), items));
                break;
            }
            case designer::ObjectKind::Line: {
                const auto& l = static_cast<const designer::LineObject&>(o);
                Placed p;
                p.object = &o;
                p.first = items.size();
                p.top = std::min(Clamp(l.Top), Clamp(l.Bottom));
                p.designed = p.needed = std::abs(Clamp(l.Bottom) - Clamp(l.Top));
                items.push_back(LineItem{x + Clamp(l.Left), Clamp(l.Top), x + Clamp(l.Right), Clamp(l.Bottom),
                                         l.LineColor, std::clamp(l.LineThickness, 0L, 1440L), l.LineStyle});
                p.last = items.size();
                placed.push_back(std::move(p));
                break;
            }
            case designer::ObjectKind::Box: {
                const auto& b = static_cast<const designer::BoxObject&>(o);
                Placed p;
                p.object = &o;
                p.first = items.size();
                long left = std::min(Clamp(b.Left), Clamp(b.Right)),
                     top = std::min(Clamp(b.Top), Clamp(b.Bottom));
                Rect r{x + left, top, std::abs(Clamp(b.Right) - Clamp(b.Left)),
                       std::abs(Clamp(b.Bottom) - Clamp(b.Top))};
                p.top = top;
                p.designed = p.needed = r.height;
                items.push_back(BoxItem{r, b.LineColor, std::clamp(b.LineThickness, 0L, 1440L), b.LineStyle,
                                        b.FillColor});
                p.last = items.size();
                placed.push_back(std::move(p));
                break;
            }
            case designer::ObjectKind::Picture:
                placed.push_back(PictureLike(
                    o, run.Context().Picture(static_cast<const designer::PictureObject&>(o)), x, items));
                break;
            case designer::ObjectKind::Subreport: {
                const auto& sub = static_cast<const designer::SubreportObject&>(o);
                Placed p;
                p.object = &o;
                p.top = Clamp(o.Top);
                p.designed = std::max(0L, Clamp(o.Height));
                Strip content = subreport ? subreport(sub, x + Clamp(o.Left)) : Strip{};
                p.needed = std::max(p.designed, content.height);
                p.shows = !content.blank;
                p.pageDependent = content.pageDependent;
                // A subreport alone in its section (as it mostly is) hands its list over whole.
                if (items.empty()) {
                    items = std::move(content.items);
                    for (Item& i : items) Move(i, 0, p.top);
                } else {
                    if (const size_t needed = items.size() + content.items.size() + 4;
                        needed > items.capacity())
                        items.reserve(std::max(needed, 2 * items.capacity()));
                    for (Item& i : content.items) {
                        Move(i, 0, p.top);
                        items.push_back(std::move(i));
                    }
                }
                p.breaks = std::move(content.breaks);
                Borders(o, Rect{x + Clamp(o.Left), p.top, std::max(0L, Clamp(o.Width)), p.needed}, items);
                p.last = items.size();
                placed.push_back(std::move(p));
                break;
            }
        }
    }

    // Objects below one that grew move down by its growth (and by what moved it). Taken by
    // top, an object moves by the most that a grown object before it, whose designed bottom is
    // at or above its top, moves with its growth: grown objects wait by designed bottom until
    // the tops reach it, so each object is looked at a bounded number of times.
    std::vector<size_t> byTop(placed.size());
    for (size_t i = 0; i < placed.size(); ++i) byTop[i] = i;
    std::stable_sort(byTop.begin(), byTop.end(),
                     [&](size_t a, size_t b) { return placed[a].top < placed[b].top; });
    std::vector<long> shift(placed.size(), 0);
    using Grown = std::pair<long, long>;  // designed bottom, shift plus growth
    std::priority_queue<Grown, std::vector<Grown>, std::greater<>> waiting;
    long reached = 0;
    for (size_t index : byTop) {
        const Placed& p = placed[index];
        for (; !waiting.empty() && waiting.top().first <= p.top; waiting.pop())
            reached = std::max(reached, waiting.top().second);
        shift[index] = reached;
        const long grew = p.needed - p.designed;
        if (grew > 0) waiting.push({p.top + p.designed, reached + grew});
    }

    strip.keepTogether = section.KeepTogether;
    strip.height = std::max(0L, Clamp(section.Height));
    std::vector<std::pair<long, long>> spans;  // [top, bottom) of each object as placed
    spans.reserve(placed.size());
    for (size_t i = 0; i < placed.size(); ++i) {
        Placed& p = placed[i];
        long bottom = p.top + shift[i] + p.needed;
        strip.height = std::max(strip.height, bottom);
        if (shift[i] != 0)
            for (size_t k = p.first; k < p.last; ++k) Move(items[k], 0, shift[i]);
        if (p.shows) strip.blank = false;
        if (p.pageDependent) strip.pageDependent = true;
        spans.push_back({p.top + shift[i], bottom});
    }
    if (run.Context().pageQueries != queriesBefore) strip.pageDependent = true;

    // Break points: between rows of objects, and inside subreports, where nothing else spans.
    std::vector<long> candidates;
    for (size_t i = 0; i < placed.size(); ++i) {
        candidates.push_back(spans[i].second);
        for (long b : placed[i].breaks) candidates.push_back(spans[i].first + b);
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    // A point is inside an object that spans it, unless it is a break point of that object's
    // own (a subreport's). The candidates are taken upwards: the objects without break points
    // that start above a point are summed up in the lowest bottom among them; the few with
    // break points are looked at one by one.
    std::vector<size_t> plain, broken;
    for (size_t i = 0; i < placed.size(); ++i) (placed[i].breaks.empty() ? plain : broken).push_back(i);
    std::sort(plain.begin(), plain.end(),
              [&](size_t a, size_t b) { return spans[a].first < spans[b].first; });
    size_t started = 0;
    long lowestBottom = std::numeric_limits<long>::min();
    for (long y : candidates) {
        if (y <= 0 || y >= strip.height) continue;
        for (; started < plain.size() && spans[plain[started]].first < y; ++started)
            lowestBottom = std::max(lowestBottom, spans[plain[started]].second);
        bool inside = lowestBottom > y;
        for (size_t k = 0; k < broken.size() && !inside; ++k) {
            const size_t i = broken[k];
            bool isSubBreak =
                std::binary_search(placed[i].breaks.begin(), placed[i].breaks.end(), y - spans[i].first);
            inside = spans[i].first < y && y < spans[i].second && !isSubBreak;
        }
        if (!inside) strip.breaks.push_back(y);
    }
    return strip;
}

}  // namespace viewer::detail
