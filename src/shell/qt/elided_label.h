#pragma once
// A one-line label that never asks for more width than it is given: a text longer than the
// label's width is cut with "…" at its end. text() is the whole text; the owner puts what the
// user reads on hover into the tooltip.
#include <QLabel>

namespace tolvaran {

class ElidedLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    // The text as drawn at the present width.
    QString ShownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// Text for a tooltip that wraps at the screen's width: each line a paragraph of rich text.
QString WrappingToolTip(const QStringList& lines);

}  // namespace tolvaran
