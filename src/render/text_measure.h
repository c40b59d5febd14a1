#pragma once
// Text measured with the fonts the page painter draws with (Qt Gui only), so that the report
// engine breaks and grows text as it will be drawn. Needs a QGuiApplication.
#include <QFont>
#include <QFontMetricsF>
#include <map>
#include <mutex>
#include <string>
#include <tuple>

#include "platform/viewer/text_metrics.h"

namespace tolvaran {

// The font the pages draw a designer font with, sized for scale device pixels per twip.
QFont PageFont(const designer::Font& font, double scale);

class PageTextMeasure : public viewer::TextMeasure {
  public:
    double Width(const std::string& text, const designer::Font& font) const override;
    double LineHeight(const designer::Font& font) const override;

  private:
    // Metrics at one pixel per twip, by font, with the font's line spacing asked once; layouts
    // on other threads may share the measure.
    struct FontMetrics {
        QFontMetricsF metrics;
        double lineSpacing;
    };
    const FontMetrics& Metrics(const designer::Font& font) const;
    using Key = std::tuple<std::string, double, bool, bool, bool, bool>;
    mutable std::mutex mutex_;
    mutable std::map<Key, FontMetrics> metrics_;
};

}  // namespace tolvaran
