#include "shell/qt/elided_label.h"

#include <QPainter>
#include <QStyle>

namespace tolvaran {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setTextFormat(Qt::PlainText);
}

QString ElidedLabel::ShownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, std::max(0, contentsRect().width()));
}

QSize ElidedLabel::sizeHint() const {
    return {fontMetrics().horizontalAdvance(text()), QLabel::minimumSizeHint().height()};
}

QSize ElidedLabel::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(),
                          ShownText(), foregroundRole());
}

QString WrappingToolTip(const QStringList& lines) {
    QString html;
    for (const QString& line : lines)
        html += QStringLiteral("<p>") + line.toHtmlEscaped() + QStringLiteral("</p>");
    return html;
}

}  // namespace tolvaran
