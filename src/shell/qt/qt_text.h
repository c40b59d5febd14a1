#pragma once
// The one place where the core's UTF-8 std::string meets QString.
#include <QString>
#include <string>

namespace tolvaran {

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string S(const QString& s) {
    return s.toStdString();
}

// Text whose line breaks are CR LF (as the system writes them) shown with Qt's line breaks.
inline QString QLines(const std::string& s) {
    QString q = Q(s);
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return q;
}

}  // namespace tolvaran
