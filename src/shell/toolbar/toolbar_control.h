#pragma once
// The toolbar control every window carries as EToolBar, the image list of the main window,
// and the drop-down menu control, as the toolbar builder (clsToolBar) drives them. Item
// indexes count from 1 in display order (a child sits right after its parent's earlier
// children); index 0 names no item. No Qt here: the shell implements these with Qt widgets,
// tests with ToolBarModel.
#include <string>

namespace tolvaran {

// An image handed from the image list to a toolbar: the picture file it was loaded from.
struct Picture {
    std::string file;
};

class ImageListControl {
  public:
    virtual ~ImageListControl() = default;
    virtual int ImageListCount() const = 0;
    virtual Picture ListImageRef(int i) const = 0;  // i from 1
};

// Item types as the toolbar rows store them.
inline constexpr int kItemButton = 0;
inline constexpr int kItemSeparator = 2;

class ToolBarControl {
  public:
    virtual ~ToolBarControl() = default;

    virtual void ClearItems() = 0;
    virtual void setTipsDisplay(bool on) = 0;
    virtual void setMenuMarginColor(long rgb) = 0;  // colours as VB numbers (red in the low byte)
    virtual void setMarginFillType(long type) = 0;
    virtual void setSelectForeColor(long rgb) = 0;
    virtual void setBackColorTo(long rgb) = 0;

    // Adds an item at the end as a top-level item; returns its index.
    virtual int AddItem(int type, const std::string& caption, int imageNo) = 0;
    // Inserts an item so that it gets index position (the items from there move one on);
    // returns its index.
    virtual int InsertItem(int type, const std::string& caption, int imageNo, int position) = 0;
    // Index of the n-th top-level item (n from 1), 0 when there is none.
    virtual int ButtonIndex(int n) const = 0;
    // Index of the item's last child; the item's own index when it has none.
    virtual int LastChildIndex(int index) const = 0;

    // Indexed item properties. An index that names no item is ignored.
    virtual void setItemTextPosition(int index, int position) = 0;
    virtual void setItemTips(int index, const std::string& tip) = 0;
    virtual void setItemShortcut(int index, const std::string& quickKey) = 0;
    virtual void setItemToggle(int index, bool toggles) = 0;
    virtual void setItemCtrlID(int index, long id) = 0;
    virtual long ItemCtrlID(int index) const = 0;
    virtual void setItemLevel(int index, int level) = 0;
    virtual void setItemEnabled(int index, bool enabled) = 0;
    virtual void DeleteItem(int index) = 0;
    // Appends an image; items refer to images by number from 1 in the order added.
    virtual void AddImage(const Picture& picture) = 0;
};

// The drop-down menu control (ctDropMenu) that LoadDropMenu fills.
class DropMenuControl {
  public:
    virtual ~DropMenuControl() = default;
    virtual int AddItem(const std::string& caption, int type, int level) = 0;
    virtual void setItemCtrlID(int index, long id) = 0;
    virtual void setItemBackColor(int index, long rgb) = 0;
    virtual void setItemForeColor(int index, long rgb) = 0;
    virtual void setItemEnabled(int index, bool enabled) = 0;
};

}  // namespace tolvaran
