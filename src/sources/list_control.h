#pragma once
// The list and combo boxes of the source-database dialog as the source-database model uses
// them: clear, add an item (with item data for a combo), show and enable. The shell
// implements them over its widgets; tests record the calls.
#include <string>

namespace tolvaran {

class ListControl {
  public:
    virtual ~ListControl() = default;
    virtual void Clear() = 0;
    virtual void AddItem(const std::string& text) = 0;
};

class ComboControl : public ListControl {
  public:
    // ItemData of the item added last (the combo's NewIndex).
    virtual void SetNewItemData(long data) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void SetEnabled(bool enabled) = 0;
};

}  // namespace tolvaran
