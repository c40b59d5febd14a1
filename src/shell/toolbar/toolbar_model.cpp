#include "shell/toolbar/toolbar_model.h"

#include <algorithm>

namespace tolvaran {

void ToolBarModel::ClearItems() {
    items_.clear();
    ++clearCount_;
    Changed();
}

void ToolBarModel::setBackColorTo(long rgb) {
    backColorTo_ = rgb;
    Changed();
}

int ToolBarModel::AddItem(int type, const std::string& caption, int imageNo) {
    ToolBarItem item;
    item.type = type;
    item.caption = caption;
    item.imageNo = imageNo;
    items_.push_back(item);
    Changed();
    return ItemCount();
}

int ToolBarModel::InsertItem(int type, const std::string& caption, int imageNo, int position) {
    position = std::clamp(position, 1, ItemCount() + 1);
    ToolBarItem item;
    item.type = type;
    item.caption = caption;
    item.imageNo = imageNo;
    items_.insert(items_.begin() + (position - 1), item);
    Changed();
    return position;
}

int ToolBarModel::ButtonIndex(int n) const {
    if (n < 1) return 0;
    int seen = 0;
    for (int i = 1; i <= ItemCount(); ++i) {
        if (items_[static_cast<size_t>(i - 1)].level <= 1 && ++seen == n) return i;
    }
    return 0;
}

int ToolBarModel::LastChildIndex(int index) const {
    if (index < 1 || index > ItemCount()) return index;
    const int level = items_[static_cast<size_t>(index - 1)].level;
    int last = index;
    while (last < ItemCount() && items_[static_cast<size_t>(last)].level > level) ++last;
    return last;
}

ToolBarItem* ToolBarModel::at(int index) {
    if (index < 1 || index > ItemCount()) return nullptr;
    return &items_[static_cast<size_t>(index - 1)];
}

#define TOOLBAR_SET(member, value)       \
    if (ToolBarItem* item = at(index)) { \
        item->member = value;            \
        Changed();                       \
    }

void ToolBarModel::setItemTextPosition(int index, int position) {
    TOOLBAR_SET(textPosition, position)
}
void ToolBarModel::setItemTips(int index, const std::string& tip) {
    TOOLBAR_SET(tip, tip)
}
void ToolBarModel::setItemShortcut(int index, const std::string& key) {
    TOOLBAR_SET(shortcut, key)
}
void ToolBarModel::setItemToggle(int index, bool toggles) {
    TOOLBAR_SET(toggle, toggles)
}
void ToolBarModel::setItemCtrlID(int index, long id) {
    TOOLBAR_SET(ctrlId, id)
}
void ToolBarModel::setItemLevel(int index, int level) {
    TOOLBAR_SET(level, level)
}
void ToolBarModel::setItemEnabled(int index, bool enabled) {
    TOOLBAR_SET(enabled, enabled)
}

#undef TOOLBAR_SET

long ToolBarModel::ItemCtrlID(int index) const {
    if (index < 1 || index > ItemCount()) return 0;
    return items_[static_cast<size_t>(index - 1)].ctrlId;
}

void ToolBarModel::DeleteItem(int index) {
    if (index < 1 || index > ItemCount()) return;
    items_.erase(items_.begin() + (index - 1));
    Changed();
}

void ToolBarModel::AddImage(const Picture& picture) {
    images_.push_back(picture);
    Changed();
}

}  // namespace tolvaran
