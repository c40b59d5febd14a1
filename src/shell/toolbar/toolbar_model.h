#pragma once
// The item list behind a toolbar control: every item operation of ToolBarControl on a plain
// list, so the Qt toolbar only has to draw it and tests can read it back.
#include <string>
#include <vector>

#include "shell/toolbar/toolbar_control.h"

namespace tolvaran {

struct ToolBarItem {
    int type = kItemButton;
    std::string caption;
    int imageNo = 0;
    int textPosition = 0;
    std::string tip;
    std::string shortcut;
    bool toggle = false;
    long ctrlId = 0;
    int level = 1;
    bool enabled = true;
};

class ToolBarModel : public ToolBarControl {
  public:
    void ClearItems() override;
    void setTipsDisplay(bool on) override { tipsDisplay_ = on; }
    void setMenuMarginColor(long rgb) override { menuMarginColor_ = rgb; }
    void setMarginFillType(long type) override { marginFillType_ = type; }
    void setSelectForeColor(long rgb) override { selectForeColor_ = rgb; }
    void setBackColorTo(long rgb) override;

    int AddItem(int type, const std::string& caption, int imageNo) override;
    int InsertItem(int type, const std::string& caption, int imageNo, int position) override;
    int ButtonIndex(int n) const override;
    int LastChildIndex(int index) const override;

    void setItemTextPosition(int index, int position) override;
    void setItemTips(int index, const std::string& tip) override;
    void setItemShortcut(int index, const std::string& quickKey) override;
    void setItemToggle(int index, bool toggles) override;
    void setItemCtrlID(int index, long id) override;
    long ItemCtrlID(int index) const override;
    void setItemLevel(int index, int level) override;
    void setItemEnabled(int index, bool enabled) override;
    void DeleteItem(int index) override;
    void AddImage(const Picture& picture) override;

    int ItemCount() const { return static_cast<int>(items_.size()); }
    const ToolBarItem& Item(int index) const { return items_.at(static_cast<size_t>(index - 1)); }
    const std::vector<ToolBarItem>& Items() const { return items_; }
    const std::vector<Picture>& Images() const { return images_; }
    bool TipsDisplay() const { return tipsDisplay_; }
    long BackColorTo() const { return backColorTo_; }
    long MenuMarginColor() const { return menuMarginColor_; }
    long SelectForeColor() const { return selectForeColor_; }
    int ClearCount() const { return clearCount_; }

  protected:
    // Called after every change; the Qt toolbar redraws from the list.
    virtual void Changed() {}
    ToolBarItem* at(int index);

  private:
    std::vector<ToolBarItem> items_;
    std::vector<Picture> images_;
    bool tipsDisplay_ = false;
    long menuMarginColor_ = 0, marginFillType_ = 0, selectForeColor_ = 0, backColorTo_ = 0;
    int clearCount_ = 0;
};

}  // namespace tolvaran
