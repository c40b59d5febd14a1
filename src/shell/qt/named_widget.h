#pragma once
// Widgets made with their control name as objectName, so that record classes and tests find
// them by name: Named<QLineEdit>("DSN", parent), Named<QLabel>("lblDSN", "DSN:", parent).
#include <QString>
#include <utility>

namespace tolvaran {

template <class W, class... Args>
W* Named(const char* name, Args&&... args) {
    auto* widget = new W(std::forward<Args>(args)...);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace tolvaran
