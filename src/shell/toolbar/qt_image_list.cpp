#include "shell/toolbar/qt_image_list.h"

#include <QImageReader>

#include "platform/common/com_error.h"
#include "shell/qt/qt_text.h"

namespace tolvaran {

int QtImageList::Add(const std::string& file) {
    QImageReader reader(Q(file));
    const QImage image = reader.read();
    if (image.isNull()) return 0;
    slots_.push_back({Picture{file}, QIcon(QPixmap::fromImage(image))});
    return ImageListCount();
}

Picture QtImageList::ListImageRef(int i) const {
    if (i < 1 || i > ImageListCount()) throw vb::ComError(35600, "Index out of bounds");
    return slots_[static_cast<size_t>(i - 1)].picture;
}

QIcon QtImageList::Icon(int i) const {
    if (i < 1 || i > ImageListCount()) return {};
    return slots_[static_cast<size_t>(i - 1)].icon;
}

}  // namespace tolvaran
