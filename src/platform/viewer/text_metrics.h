#pragma once
// How much room text needs. The engine grows objects that can grow and breaks their text into
// lines by a TextMeasure; whoever draws the pages gives the one that measures with the fonts it
// draws with, so that the lines it draws are the lines the engine laid out. Without one, the
// built-in measure takes the character widths of a Helvetica-like face (Arial and Liberation
// Sans have the same widths), scaled by the font size.
#include <string>
#include <vector>

#include "platform/designer/types.h"

namespace viewer {

class TextMeasure {
  public:
    virtual ~TextMeasure() = default;
    // Width of the text on one line, in twips.
    virtual double Width(const std::string& text, const designer::Font& font) const = 0;
    // Distance from one line of the font to the next, in twips.
    virtual double LineHeight(const designer::Font& font) const = 0;
};

// The measure that needs no window system (Helvetica widths). Lives for the whole run.
const TextMeasure& BuiltInMeasure();

// Width of the text on one line, in twips, rounded up.
long TextWidth(const std::string& text, const designer::Font& font,
               const TextMeasure& measure = BuiltInMeasure());
// Height of one line of the font, in twips, rounded up.
long LineHeight(const designer::Font& font, const TextMeasure& measure = BuiltInMeasure());
// The text broken into lines no wider than width (at blanks where it can, inside a word
// where a word alone is wider), line breaks in the text kept: CR LF, and CR or LF alone, each
// start a new line, as Windows draws text.
std::vector<std::string> WrapText(const std::string& text, const designer::Font& font, long width,
                                  const TextMeasure& measure = BuiltInMeasure());

}  // namespace viewer
