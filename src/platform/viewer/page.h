#pragma once
// Page primitives: what the report engine hands to whoever draws a report. The engine lays a
// report out once into a Document of Pages; the viewer control paints them on the screen and
// the benchmark paints them into pictures, both from the same primitives, and neither looks
// back into the report model or the data.
//
// Units are twips (1/1440 inch) from the top-left corner of the page; colours are 0x00BBGGRR
// numbers as the report model keeps them, designer::kNoColor meaning "none".
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/designer/types.h"

namespace viewer {

struct Rect {
    long left = 0;
    long top = 0;
    long width = 0;
    long height = 0;
    long right() const { return left + width; }
    long bottom() const { return top + height; }
    bool operator==(const Rect&) const = default;
};

// How a text is placed in its rectangle.
enum class TextAlign { Left, Center, Right, Justified };

// Text inside a rectangle, drawn with the font and colour, clipped to the rectangle. With
// wrap the text is drawn as the lines the engine broke it into, one under another lineHeight
// twips apart from the top of the rectangle; without it stays on one line.
struct TextItem {
    Rect rect;
    std::string text;  // UTF-8, the whole text
    designer::Font font;
    long color = designer::kBlack;
    TextAlign align = TextAlign::Left;
    bool wrap = false;
    std::vector<std::string> lines;  // with wrap: the text's lines
    long lineHeight = 0;             // twips
};

// Line styles of lines, boxes and borders (designer::LineStyle numbers).
struct LineItem {
    long x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    long color = designer::kBlack;
    long thickness = 20;  // twips
    int style = designer::crLSSingleLine;
};

// A rectangle: its outline (none when style is crLSNoLine) over its fill (none when
// fillColor is kNoColor).
struct BoxItem {
    Rect rect;
    long lineColor = designer::kBlack;
    long thickness = 20;  // twips
    int style = designer::crLSSingleLine;
    long fillColor = designer::kNoColor;
};

// A picture scaled into its rectangle. The bytes are those of a picture file (BMP, PNG, GIF,
// JPEG, ICO); they are shared by every page that shows the same picture.
struct ImageItem {
    Rect rect;
    std::shared_ptr<const std::vector<unsigned char>> bytes;
};

using Item = std::variant<TextItem, LineItem, BoxItem, ImageItem>;

// One page, items in drawing order (later items over earlier ones).
struct Page {
    long width = 12240;  // twips, as the paper lies (landscape pages are wider than tall)
    long height = 15840;
    std::vector<Item> items;
};

// One group of the report for the viewer's group tree: its name (the group value as text),
// the page it starts on (0-based) and its place there, and its inner groups.
struct GroupNode {
    std::string name;
    int page = 0;
    long top = 0;
    std::vector<GroupNode> children;
};

// A laid-out report.
struct Document {
    std::vector<Page> pages;
    std::vector<GroupNode> groups;  // the outermost groups in print order; empty without groups
    // What went wrong while the report was read and laid out (a record source that could not
    // be opened, a formula that failed), one sentence each; the first page shows the reasons
    // a record source could not be read.
    std::vector<std::string> notes;
};

}  // namespace viewer
