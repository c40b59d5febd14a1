#pragma once
// clsToolBar: fills a window's toolbar control from the ToolBars rows of the settings file
// that carry the window's form key, and copies the main window's images into it. One shared
// instance (gToolBar) lives for the whole run; the main window assigns conn and ImageList at
// start-up before any toolbar is built. Failures never throw: the members return False (or
// 0) and leave a text in ErrorMessage for the caller to show.
#include <string>

#include "platform/ado/ado.h"
#include "platform/ui/prompt.h"
#include "shell/toolbar/toolbar_control.h"

namespace tolvaran {

class clsToolBar {
  public:
    // prompt shows AddChild's "Button <caption> not added"; it must outlive the builder.
    explicit clsToolBar(ui::Prompt& prompt) : prompt_(prompt) {}

    // The settings-file connection; reading it before any assignment gives a new, unopened
    // connection.
    ado::ConnectionPtr conn();
    void setConn(ado::ConnectionPtr connection) { conn_ = std::move(connection); }
    // The main window's image list; not owned, it must outlive the builder's use of it.
    ImageListControl* ImageList() const { return imageList_; }
    void setImageList(ImageListControl* list) { imageList_ = list; }

    std::string ErrorMessage;  // last failure; not cleared by a later success

    // Rebuilds the control from the rows of key, then hands it every image of the image
    // list. The result is the build's; the image copy is not looked at.
    bool Load(ToolBarControl& toolbar, const std::string& key);
    bool LoadImages(ToolBarControl& toolbar);

    int AddItem(ToolBarControl& toolbar, int buttonType, const std::string& caption, int imageNo);
    // Inserts a child after the last child of the parentNumber-th top-level item; 0 when
    // nothing was inserted.
    int AddChild(ToolBarControl& toolbar, int parentNumber, int level, const std::string& caption,
                 int imageNo, int buttonType);
    int AddSeparator(ToolBarControl& toolbar, int parentNumber, int level, const std::string& caption,
                     int imageNo, int buttonType);
    void DeleteItem(ToolBarControl& toolbar, int index) { toolbar.DeleteItem(index); }
    void EnableItem(ToolBarControl& toolbar, int index, bool flag);

    // User-defined buttons (table HotButtons) and the drop-down menu; no window calls these.
    bool LoadHotButton(const std::string& formName, const std::string& buttonName);
    bool UpdateButton();
    bool LoadHotButtons(ToolBarControl& toolbar, const std::string& formName);
    bool DeleteButton(long hotButtonsId);
    bool ResetToolBar(const std::string& formName);
    bool LoadDropMenu(DropMenuControl& menu, const std::string& formName);

    std::string HotButtonsSQL;
    long HotButtonsId = 0;
    std::string Caption;
    int Action = 0;
    long ForeignKeyId = 0;
    std::string ToolTip;
    int QuickKey = 0;
    long ImageNo = 0;

  private:
    bool BuildToolBar(ToolBarControl& toolbar, const std::string& key);
    // Adds one row of a toolbar or hot-button table as a top-level item or a child of the
    // latest top-level item; returns the new index (0 when the row adds nothing).
    int AddRow(ToolBarControl& toolbar, ado::Recordset& rs, int& topLevelCount);

    ui::Prompt& prompt_;
    ado::ConnectionPtr conn_;
    ImageListControl* imageList_ = nullptr;
    long buttonOrder_ = 0;
};

}  // namespace tolvaran
