#pragma once
// How much room text needs, measured without a window system: character widths of a
// Helvetica-like face (Arial has the same widths), scaled by the font size. The engine uses them
// to grow objects that can grow and to break their text into lines; whoever draws a page
// breaks lines with its own fonts inside the same rectangles.
#include <string>
#include <vector>

#include "platform/designer/types.h"

namespace viewer {

// Width of the text on one line, in twips.
long TextWidth(const std::string& text, const designer::Font& font);
// Height of one line of the font, in twips.
long LineHeight(const designer::Font& font);
// The text broken into lines no wider than width (at blanks where it can, inside a word
// where a word alone is wider), line breaks in the text kept.
std::vector<std::string> WrapText(const std::string& text, const designer::Font& font, long width);

}  // namespace viewer
