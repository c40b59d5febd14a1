#include "shell/qt/file_icon.h"

#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QPixmap>

#include "shell/qt/qt_text.h"

namespace tolvaran {

QIcon FileIcon(const std::string& file) {
    // The program's pictures do not change while it runs; a handful of entries.
    static QHash<QString, QIcon> decoded;
    const QString path = Q(file);
    if (auto it = decoded.constFind(path); it != decoded.constEnd()) return *it;
    // The extension's decoder first, so that the reader does not ask each decoder in turn.
    // Every picture the file holds (an .ico holds one per size), so that a toolbar draws the
    // one of its own size.
    QImageReader reader(path, QFileInfo(path).suffix().toLower().toLatin1());
    QIcon icon;
    constexpr int kMostPictures = 64;
    for (int n = 0; n < kMostPictures; ++n) {
        const QImage image = reader.read();
        if (image.isNull()) break;
        icon.addPixmap(QPixmap::fromImage(image));
        if (!reader.jumpToNextImage()) break;
    }
    decoded.insert(path, icon);
    return icon;
}

}  // namespace tolvaran
