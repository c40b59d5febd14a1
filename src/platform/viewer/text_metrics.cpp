#include "platform/viewer/text_metrics.h"

#include <cmath>

namespace viewer {

namespace {

// Advance widths of the printable ASCII characters (space to tilde), per 1000 units of the em.
constexpr short kWidths[95] = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // space to /
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,  // 0 to ?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // @ to O
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,  // P to _
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,  // ` to o
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584,       // p to ~
};
constexpr int kOtherWidth = 556;  // characters beyond ASCII

// Length in bytes of the UTF-8 character that starts with c.
size_t CharLength(unsigned char c) {
    if (c < 0x80) return 1;
    if ((c >> 5) == 6) return 2;
    if ((c >> 4) == 14) return 3;
    if ((c >> 3) == 30) return 4;
    return 1;
}

double FontSize(const designer::Font& font) {
    return font.Size > 0 && font.Size < 1000 ? font.Size : 10;
}

class HelveticaMeasure : public TextMeasure {
  public:
    double Width(const std::string& text, const designer::Font& font) const override {
        double units = 0;
        for (size_t i = 0; i < text.size();) {
            unsigned char c = static_cast<unsigned char>(text[i]);
            if (c >= 32 && c < 127)
                units += kWidths[c - 32];
            else if (c >= 0x80)
                units += kOtherWidth;
            i += CharLength(c);
        }
        return units * FontSize(font) * 20.0 / 1000.0 * (font.Bold ? 1.06 : 1.0);
    }
    double LineHeight(const designer::Font& font) const override { return FontSize(font) * 20.0 * 1.15; }
};

}  // namespace

const TextMeasure& BuiltInMeasure() {
    static const HelveticaMeasure measure;
    return measure;
}

long TextWidth(const std::string& text, const designer::Font& font, const TextMeasure& measure) {
    return static_cast<long>(std::ceil(measure.Width(text, font)));
}

long LineHeight(const designer::Font& font, const TextMeasure& measure) {
    return static_cast<long>(std::ceil(measure.LineHeight(font)));
}

std::vector<std::string> WrapText(const std::string& text, const designer::Font& font, long width,
                                  const TextMeasure& measure) {
    std::vector<std::string> lines;
    const double limit = width > 0 ? static_cast<double>(width) : 0;  // twips; 0: no limit
    auto over = [&](double w) { return limit > 0 && w > limit; };
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        const std::string paragraph =
            text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        // Break the paragraph at blanks; a word wider than the line breaks where it must. Widths
        // add up piece by piece, so a long text costs no more than its length.
        std::string line;
        double lineWidth = 0;
        size_t i = 0;
        while (i < paragraph.size()) {
            size_t j = paragraph.find(' ', i);
            if (j == std::string::npos) j = paragraph.size();
            const std::string word = paragraph.substr(i, j - i);
            std::string piece = line.empty() ? word : " " + word;
            double w = measure.Width(piece, font);
            if (!line.empty() && over(lineWidth + w)) {
                lines.push_back(line);
                line.clear();
                lineWidth = 0;
                piece = word;
                w = measure.Width(word, font);
            }
            if (line.empty() && over(w)) {
                // Cut the word into pieces that fit.
                std::string part;
                double partWidth = 0;
                for (size_t k = 0; k < word.size();) {
                    const size_t n = CharLength(static_cast<unsigned char>(word[k]));
                    const std::string ch = word.substr(k, n);
                    const double cw = measure.Width(ch, font);
                    if (!part.empty() && over(partWidth + cw)) {
                        lines.push_back(part);
                        part.clear();
                        partWidth = 0;
                    }
                    part += ch;
                    partWidth += cw;
                    k += n;
                }
                line = part;
                lineWidth = partWidth;
            } else {
                line += piece;
                lineWidth += w;
            }
            i = j + 1;
        }
        lines.push_back(line);
        if (end == std::string::npos) break;
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

}  // namespace viewer
