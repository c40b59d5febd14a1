#include "shell/toolbar/qt_image_list.h"

#include "platform/common/com_error.h"
#include "shell/qt/file_icon.h"

namespace tolvaran {

int QtImageList::Add(const std::string& file) {
    const QIcon icon = FileIcon(file);
    if (icon.isNull()) return 0;
    slots_.push_back({Picture{file}, icon});
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
