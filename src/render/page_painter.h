#pragma once
// Draws the report engine's pages with QPainter (Qt Gui only): on the screen in the report
// viewer control and into pictures in the benchmark, from the same page primitives.
#include <QImage>
#include <map>
#include <memory>
#include <vector>

#include "platform/viewer/page.h"

class QPainter;

namespace tolvaran {

class PagePainter {
  public:
    // Paints the page with its top-left corner at the painter's origin; scale is device pixels
    // per twip. The paper itself is not painted.
    void Paint(QPainter& painter, const viewer::Page& page, double scale);
    // The page as a picture at dpi dots per inch, on white paper.
    QImage Image(const viewer::Page& page, double dpi);

  private:
    const QImage& Picture(const std::shared_ptr<const std::vector<unsigned char>>& bytes);
    // Decoded pictures by their bytes (held here so the keys stay valid).
    std::map<const std::vector<unsigned char>*,
             std::pair<std::shared_ptr<const std::vector<unsigned char>>, QImage>>
        pictures_;
};

}  // namespace tolvaran
