#include "shell/qt/results_list.h"

#include <QTimer>

namespace tolvaran {

ResultsList::ResultsList(QWidget* parent) : QListWidget(parent) {
    setUniformItemSizes(true);
}

QString ResultsList::Shown(const QString& line) {
    int end = static_cast<int>(std::min<qsizetype>(line.size(), kMaxChars));
    // Never half of a character written as two UTF-16 units.
    if (end < line.size() && end > 0 && line.at(end).isLowSurrogate()) --end;
    QString shown = line.left(end);
    for (QChar& c : shown)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t')) c = QLatin1Char(' ');
    if (end < line.size()) shown += QChar(0x2026);
    return shown;
}

void ResultsList::AddLine(const QString& line) {
    auto* item = new QListWidgetItem(Shown(line), this);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QSize natural = itemDelegate()->sizeHint(option, indexFromItem(item));
    widest_ = std::max(widest_, natural.width());
    item->setSizeHint(QSize(widest_, natural.height()));
    // Scrolling lays the list out and paints it at once: it is done once the message loop
    // runs, for all the lines added until then.
    if (scrollPending_) return;
    scrollPending_ = true;
    QTimer::singleShot(0, this, [this] {
        scrollPending_ = false;
        scrollToBottom();
    });
}

void ResultsList::ClearLines() {
    clear();
    widest_ = 0;
}

}  // namespace tolvaran
