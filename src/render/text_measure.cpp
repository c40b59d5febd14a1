#include "render/text_measure.h"

#include <algorithm>
#include <cmath>

namespace tolvaran {

QFont PageFont(const designer::Font& font, double scale) {
    QFont f(QString::fromStdString(font.Name));
    const double size = font.Size > 0 && font.Size < 1000 ? font.Size : 10;
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(size * 20 * scale))));
    f.setBold(font.Bold);
    f.setItalic(font.Italic);
    f.setUnderline(font.Underline);
    f.setStrikeOut(font.Strikethrough);
    return f;
}

const PageTextMeasure::FontMetrics& PageTextMeasure::Metrics(const designer::Font& font) const {
    const Key key{font.Name, font.Size, font.Bold, font.Italic, font.Underline, font.Strikethrough};
    auto it = metrics_.find(key);
    if (it == metrics_.end()) {
        QFontMetricsF metrics(PageFont(font, 1.0));
        const double lineSpacing = metrics.lineSpacing();
        it = metrics_.emplace(key, FontMetrics{metrics, lineSpacing}).first;
    }
    return it->second;
}

double PageTextMeasure::Width(const std::string& text, const designer::Font& font) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return Metrics(font).metrics.horizontalAdvance(QString::fromStdString(text));
}

double PageTextMeasure::LineHeight(const designer::Font& font) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return Metrics(font).lineSpacing;
}

}  // namespace tolvaran
