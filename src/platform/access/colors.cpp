#include "platform/access/colors.h"

#include <cstdint>
#include <iterator>

namespace tolvaran::access {

namespace {

constexpr long Rgb(int r, int g, int b) {
    return static_cast<long>(r) | (static_cast<long>(g) << 8) | (static_cast<long>(b) << 16);
}

// Index n of the table is the colour of 0x80000000 + n.
constexpr long kIndexed[] = {
    // Windows system colours (GetSysColor's defaults).
    Rgb(200, 200, 200),  // 0 scroll bar
    Rgb(0, 0, 0),        // 1 desktop
    Rgb(153, 180, 209),  // 2 active title bar
    Rgb(191, 205, 219),  // 3 inactive title bar
    Rgb(240, 240, 240),  // 4 menu
    Rgb(255, 255, 255),  // 5 window
    Rgb(100, 100, 100),  // 6 window frame
    Rgb(0, 0, 0),        // 7 menu text
    Rgb(0, 0, 0),        // 8 window text
    Rgb(0, 0, 0),        // 9 title bar text
    Rgb(180, 180, 180),  // 10 active border
    Rgb(244, 247, 252),  // 11 inactive border
    Rgb(171, 171, 171),  // 12 application background
    Rgb(51, 153, 255),   // 13 highlight
    Rgb(255, 255, 255),  // 14 highlight text
    Rgb(240, 240, 240),  // 15 button face
    Rgb(160, 160, 160),  // 16 button shadow
    Rgb(109, 109, 109),  // 17 grey text
    Rgb(0, 0, 0),        // 18 button text
    Rgb(67, 78, 84),     // 19 inactive title bar text
    Rgb(255, 255, 255),  // 20 button highlight
    Rgb(105, 105, 105),  // 21 3D dark shadow
    Rgb(227, 227, 227),  // 22 3D light
    Rgb(0, 0, 0),        // 23 tooltip text
    Rgb(255, 255, 225),  // 24 tooltip background
    Rgb(0, 0, 0),        // 25 (unused)
    Rgb(0, 102, 204),    // 26 hot-tracked item
    Rgb(185, 209, 234),  // 27 active title bar gradient
    Rgb(215, 228, 242),  // 28 inactive title bar gradient
    Rgb(51, 153, 255),   // 29 menu highlight
    Rgb(240, 240, 240),  // 30 menu bar
    // Access theme colours: the ten named ones, then the ten shades from light to dark.
    Rgb(0, 0, 0),        // 31 text black
    Rgb(255, 255, 255),  // 32 text light
    Rgb(64, 64, 64),     // 33 text dark
    Rgb(89, 89, 89),     // 34 text description
    Rgb(141, 179, 226),  // 35 background dark header
    Rgb(219, 229, 241),  // 36 background light header
    Rgb(255, 255, 255),  // 37 background form
    Rgb(242, 242, 242),  // 38 alternate row
    Rgb(165, 165, 165),  // 39 borders and gridlines
    Rgb(255, 210, 127),  // 40 selection
    Rgb(234, 241, 251),  // 41 access theme 1
    Rgb(219, 229, 241),  // 42
    Rgb(198, 217, 241),  // 43
    Rgb(184, 204, 228),  // 44
    Rgb(149, 179, 215),  // 45
    Rgb(141, 179, 226),  // 46
    Rgb(84, 141, 212),   // 47
    Rgb(54, 96, 146),    // 48
    Rgb(23, 54, 93),     // 49
    Rgb(15, 36, 62),     // 50 access theme 10
};

}  // namespace

long ShownColor(long value) {
    const auto bits = static_cast<std::uint32_t>(value);
    if ((bits & 0x80000000u) == 0) return value;
    const std::uint32_t index = bits & 0x7FFFFFFFu;
    return index < std::size(kIndexed) ? kIndexed[index] : 0;
}

}  // namespace tolvaran::access
