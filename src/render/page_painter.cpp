#include "render/page_painter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "render/text_measure.h"

namespace tolvaran {

namespace {

QColor ColorOf(long bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

QRectF RectOf(const viewer::Rect& r, double s) {
    return QRectF(r.left * s, r.top * s, r.width * s, r.height * s);
}

Qt::PenStyle PenStyleOf(int style) {
    switch (style) {
        case designer::crLSDashLine:
            return Qt::DashLine;
        case designer::crLSDotLine:
            return Qt::DotLine;
        case designer::crLSNoLine:
            return Qt::NoPen;
        default:
            return Qt::SolidLine;
    }
}

QPen PenOf(long color, long thickness, int style, double s) {
    QPen pen(ColorOf(color));
    pen.setWidthF(std::max(1.0, thickness * s));
    pen.setStyle(PenStyleOf(style));
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

// One line of text in r. A line the font draws wider than r (the font that stands in for the
// designed one may run wider) is squeezed to r's width rather than losing its start or its end.
void DrawLine(QPainter& p, const QRectF& r, int flags, const QString& text) {
    const double natural = QFontMetricsF(p.font()).horizontalAdvance(text);
    if (r.width() <= 0 || natural <= r.width()) {
        p.drawText(r, flags, text);
        return;
    }
    p.save();
    p.translate(r.left(), 0);
    p.scale(r.width() / natural, 1);
    p.drawText(QRectF(0, r.top(), natural, r.height()), flags, text);
    p.restore();
}

void DrawText(QPainter& p, const viewer::TextItem& t, double s) {
    p.setFont(PageFont(t.font, s));
    p.setPen(ColorOf(t.color));
    int flags = Qt::AlignTop | Qt::TextSingleLine;
    switch (t.align) {
        case viewer::TextAlign::Left:
        case viewer::TextAlign::Justified:
            flags |= Qt::AlignLeft;
            break;
        case viewer::TextAlign::Center:
            flags |= Qt::AlignHCenter;
            break;
        case viewer::TextAlign::Right:
            flags |= Qt::AlignRight;
            break;
    }
    const QRectF r = RectOf(t.rect, s);
    p.save();
    p.setClipRect(r.adjusted(-1, -1, 1, 1));
    if (t.wrap && !t.lines.empty()) {
        // The lines the engine broke the text into, at the engine's line height.
        const double step = t.lineHeight * s;
        for (size_t i = 0; i < t.lines.size(); ++i) {
            const QRectF line(r.left(), r.top() + static_cast<double>(i) * step, r.width(), step);
            if (line.top() > r.bottom()) break;
            DrawLine(p, line, flags, QString::fromStdString(t.lines[i]));
        }
    } else {
        DrawLine(p, r, flags, QString::fromStdString(t.text));
    }
    p.restore();
}

}  // namespace

const QImage& PagePainter::Picture(const std::shared_ptr<const std::vector<unsigned char>>& bytes) {
    auto it = pictures_.find(bytes.get());
    if (it == pictures_.end()) {
        QImage image;
        image.loadFromData(bytes->data(), static_cast<int>(bytes->size()));
        it = pictures_.emplace(bytes.get(), std::make_pair(bytes, std::move(image))).first;
    }
    return it->second.second;
}

void PagePainter::Paint(QPainter& p, const viewer::Page& page, double s) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const viewer::Item& item : page.items) {
        if (auto* t = std::get_if<viewer::TextItem>(&item)) {
            DrawText(p, *t, s);
        } else if (auto* l = std::get_if<viewer::LineItem>(&item)) {
            if (l->style == designer::crLSNoLine) continue;
            p.setPen(PenOf(l->color, l->thickness, l->style, s));
            QLineF line(l->x1 * s, l->y1 * s, l->x2 * s, l->y2 * s);
            if (l->style == designer::crLSDoubleLine) {
                // Two thin lines a line's width apart.
                QPen pen = p.pen();
                double w = pen.widthF();
                pen.setWidthF(std::max(1.0, w / 2));
                p.setPen(pen);
                QLineF normal = line.normalVector().unitVector();
                QPointF d((normal.dx()) * w, (normal.dy()) * w);
                p.drawLine(line.translated(-d / 2));
                p.drawLine(line.translated(d / 2));
            } else {
                p.drawLine(line);
            }
        } else if (auto* b = std::get_if<viewer::BoxItem>(&item)) {
            QRectF r = RectOf(b->rect, s);
            if (b->fillColor != designer::kNoColor) p.fillRect(r, ColorOf(b->fillColor));
            if (b->style != designer::crLSNoLine && b->thickness > 0) {
                p.setPen(PenOf(b->lineColor, b->thickness, b->style, s));
                p.setBrush(Qt::NoBrush);
                p.drawRect(r);
            }
        } else if (auto* i = std::get_if<viewer::ImageItem>(&item)) {
            if (!i->bytes || i->bytes->empty()) continue;
            const QImage& image = Picture(i->bytes);
            if (!image.isNull()) p.drawImage(RectOf(i->rect, s), image);
        }
    }
    p.restore();
}

QImage PagePainter::Image(const viewer::Page& page, double dpi) {
    double s = dpi / 1440.0;
    int w = std::max(1, static_cast<int>(std::lround(page.width * s)));
    int h = std::max(1, static_cast<int>(std::lround(page.height * s)));
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    Paint(p, page, s);
    return image;
}

}  // namespace tolvaran
