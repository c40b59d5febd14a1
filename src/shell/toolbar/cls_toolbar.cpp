#include "shell/toolbar/cls_toolbar.h"

#include <exception>

namespace tolvaran {
namespace {

constexpr const char* kCrLf = "\r\n";

long Rgb(int r, int g, int b) {
    return r + g * 256L + b * 65536L;
}

// A field as text, a missing (Null) value reading as def.
std::string Text(ado::Recordset& rs, const char* name, const std::string& def = {}) {
    const vb::Variant& v = rs[name];
    return v.IsNull() ? def : v.ToString();
}

long Number(ado::Recordset& rs, const char* name) {
    return vb::NZ(rs[name], 0).ToLong();
}

bool Flag(ado::Recordset& rs, const char* name) {
    return vb::NZ(rs[name], false).ToBool();
}

std::string ErrorText(const std::exception& e) {
    return e.what();
}

}  // namespace

ado::ConnectionPtr clsToolBar::conn() {
    if (!conn_) conn_ = std::make_shared<ado::Connection>();
    return conn_;
}

bool clsToolBar::Load(ToolBarControl& toolbar, const std::string& key) {
    toolbar.setBackColorTo(16102554);  // &HF5B49A
    const bool built = BuildToolBar(toolbar, key);
    if (built) LoadImages(toolbar);
    return built;
}

bool clsToolBar::BuildToolBar(ToolBarControl& toolbar, const std::string& key) {
    int step = 0;
    ado::Recordset rs;
    try {
        step = 1;
        toolbar.ClearItems();
        step = 2;
        toolbar.setTipsDisplay(true);
        step = 3;
        toolbar.setMenuMarginColor(Rgb(204, 168, 0));
        toolbar.setMarginFillType(0);
        toolbar.setSelectForeColor(Rgb(12, 45, 131));
        step = 4;
        rs.Open("SELECT * FROM ToolBars WHERE FormName = ? ORDER BY ButtonOrder", conn(), ado::adOpenStatic,
                ado::adLockPessimistic, {vb::Variant(key)});
        step = 5;
        if (!rs.Eof()) {
            step = 6;
            int topLevel = 0;
            while (!rs.Eof()) {
                AddRow(toolbar, rs, topLevel);
                rs.MoveNext();
            }
        }
        rs.Close();
        return true;
    } catch (const std::exception& e) {
        if (step == 4) {
            const ado::ConnectionPtr c = conn();
            std::string cs;
            try {
                cs = c->ConnectionString();
            } catch (const std::exception&) {
            }
            ErrorMessage = "State = " + std::to_string(c->State()) + kCrLf + "Connection=" + cs + kCrLf +
                           "Error=" + ErrorText(e);
        } else {
            ErrorMessage = "(" + std::to_string(step) + ") clsHotButtons.Load2:" + ErrorText(e);
        }
        if (rs.State() == ado::adStateOpen) rs.Close();
        return false;
    }
}

int clsToolBar::AddRow(ToolBarControl& toolbar, ado::Recordset& rs, int& topLevelCount) {
    const int image = static_cast<int>(Number(rs, "ImageNo"));
    const vb::Variant levelValue = rs["Level"];
    const long level = levelValue.IsNull() ? 0 : levelValue.ToLong();
    const std::string caption = Text(rs, "ButtonNAME");
    if (caption.empty()) return 0;
    int index = 0;
    if (level == 1) {
        index = AddItem(toolbar, static_cast<int>(Number(rs, "ButtonType")), caption, image);
        ++topLevelCount;
    } else if (level == 2 || level == 3) {
        index = AddChild(toolbar, topLevelCount, static_cast<int>(level), caption, image,
                         static_cast<int>(Number(rs, "ButtonType")));
    } else {
        return 0;
    }
    // A child that AddChild refused gives index 0, which names no item: the properties
    // below then change nothing.
    toolbar.setItemTips(index, Text(rs, "ToolTip"));
    toolbar.setItemShortcut(index, Text(rs, "QuickKey", "0"));
    if (rs.HasField("IsCheckBox")) toolbar.setItemToggle(index, Flag(rs, "IsCheckBox"));
    toolbar.setItemCtrlID(index, Number(rs, rs.HasField("ToolBarId") ? "ToolBarId" : "HotButtonsId"));
    return index;
}

bool clsToolBar::LoadImages(ToolBarControl& toolbar) {
    try {
        if (imageList_) {
            for (int i = 1; i <= imageList_->ImageListCount(); ++i)
                toolbar.AddImage(imageList_->ListImageRef(i));
        }
        return true;
    } catch (const std::exception& e) {
        ErrorMessage = "clsHotButtons.LoadImages:" + ErrorText(e);
        return false;
    }
}

int clsToolBar::AddItem(ToolBarControl& toolbar, int buttonType, const std::string& caption, int imageNo) {
    const int index = toolbar.AddItem(buttonType, caption, imageNo);
    toolbar.setItemTextPosition(index, 4);
    return index;
}

int clsToolBar::AddChild(ToolBarControl& toolbar, int parentNumber, int level, const std::string& caption,
                         int imageNo, int buttonType) {
    int index = 0;
    if (buttonType == kItemButton) {
        const int parent = toolbar.ButtonIndex(parentNumber);
        if (parent == 0) {
            prompt_.MsgBox("Button " + caption + " not added", ui::vbOKOnly);
            return 0;
        }
        index = toolbar.InsertItem(kItemButton, caption, imageNo, toolbar.LastChildIndex(parent) + 1);
    } else if (buttonType == kItemSeparator) {
        // A separator with no top-level item before it goes first in the bar.
        const int parent = toolbar.ButtonIndex(parentNumber);
        index = toolbar.InsertItem(kItemSeparator, "", imageNo, toolbar.LastChildIndex(parent) + 1);
    } else {
        return 0;
    }
    toolbar.setItemLevel(index, level);
    return index;
}

int clsToolBar::AddSeparator(ToolBarControl& toolbar, int parentNumber, int level, const std::string&,
                             int imageNo, int) {
    const int parent = toolbar.ButtonIndex(parentNumber);
    const int index = toolbar.InsertItem(kItemSeparator, "", imageNo, toolbar.LastChildIndex(parent) + 1);
    toolbar.setItemLevel(index, level);
    return index;
}

void clsToolBar::EnableItem(ToolBarControl& toolbar, int index, bool) {
    toolbar.setItemEnabled(index, true);
}

bool clsToolBar::LoadHotButton(const std::string& formName, const std::string& buttonName) {
    int step = 0;
    try {
        step = 1;
        ado::Recordset rs;
        rs.Open("SELECT * FROM HotButtons WHERE FormName = ? AND ButtonName = ?", conn(),
                ado::adOpenForwardOnly, ado::adLockReadOnly,
                {vb::Variant(formName), vb::Variant(buttonName)});
        step = 2;
        if (rs.Eof()) {
            ErrorMessage =
                "Could not retrieve button reference '" + buttonName + "' for form '" + formName + "'";
            rs.Close();
            return false;
        }
        HotButtonsId = Number(rs, "HotButtonsId");
        Action = static_cast<int>(Number(rs, "Action"));
        buttonOrder_ = Number(rs, "ButtonOrder");
        ForeignKeyId = Number(rs, "ForeignKeyId");
        Caption = Text(rs, "ButtonNAME", "Button #" + std::to_string(buttonOrder_));
        ToolTip = Text(rs, "ToolTip", Text(rs, "ButtonNAME"));
        ImageNo = Number(rs, "ImageNo");
        rs.Close();
        return true;
    } catch (const std::exception& e) {
        ErrorMessage = "(" + std::to_string(step) + "): " + ErrorText(e);
        return false;
    }
}

bool clsToolBar::UpdateButton() {
    try {
        ado::Recordset rs;
        rs.Open("SELECT * FROM HotButtons WHERE HotButtonsId = ?", conn(), ado::adOpenDynamic,
                ado::adLockOptimistic, {vb::Variant(HotButtonsId)});
        if (!rs.Eof()) {
            rs.set("Action", Action);
            rs.set("ForeignKeyId", ForeignKeyId);
            rs.set("ToolTip", ToolTip);
            rs.set("ButtonOrder", buttonOrder_);
            rs.set("QuickKey", QuickKey);
            rs.Update();
        }
        rs.Close();
        return true;
    } catch (const std::exception& e) {
        ErrorMessage = "clsHotButtons.UpdateButton:" + ErrorText(e);
        return false;
    }
}

bool clsToolBar::LoadHotButtons(ToolBarControl& toolbar, const std::string& formName) {
    try {
        HotButtonsSQL = "SELECT * From HotButtons Where FormName = ? ORDER BY ButtonOrder";
        ado::Recordset rs;
        rs.Open(HotButtonsSQL, conn(), ado::adOpenStatic, ado::adLockReadOnly, {vb::Variant(formName)});
        int topLevel = 0;
        while (!rs.Eof()) {
            AddRow(toolbar, rs, topLevel);
            rs.MoveNext();
        }
        rs.Close();
        return LoadImages(toolbar);
    } catch (const std::exception& e) {
        ErrorMessage = "clsHotButtons.LoadHotButtons:" + ErrorText(e);
        return false;
    }
}

bool clsToolBar::DeleteButton(long hotButtonsId) {
    try {
        conn()->Execute("DELETE FROM HotButtons WHERE HotButtonsId = ?", {vb::Variant(hotButtonsId)});
        return true;
    } catch (const std::exception& e) {
        ErrorMessage = "clsHotButtons:DeleteButton:" + ErrorText(e);
        return false;
    }
}

bool clsToolBar::ResetToolBar(const std::string& formName) {
    try {
        conn()->Execute("DELETE FROM HotButtons WHERE FormName = ?", {vb::Variant(formName)});
        return true;
    } catch (const std::exception& e) {
        ErrorMessage = "clsHotButtons:ResetToolBar:" + ErrorText(e);
        return false;
    }
}

bool clsToolBar::LoadDropMenu(DropMenuControl& menu, const std::string& formName) {
    int step = 0;
    try {
        step = 1;
        ado::Recordset rs;
        rs.Open("SELECT * FROM ToolBars WHERE FormName = ? AND IsDropMenu <> 0 ORDER BY ButtonOrder", conn(),
                ado::adOpenStatic, ado::adLockReadOnly, {vb::Variant(formName)});
        step = 2;
        while (!rs.Eof()) {
            const std::string caption = Text(rs, "ButtonNAME");
            if (!caption.empty()) {
                const int index = menu.AddItem(caption, static_cast<int>(Number(rs, "ButtonType")),
                                               static_cast<int>(Number(rs, "Level")));
                menu.setItemCtrlID(index, Number(rs, "ToolBarId"));
                if (const long back = Number(rs, "BackColor"); back != 0) menu.setItemBackColor(index, back);
                if (const long fore = Number(rs, "ForeColor"); fore != 0) menu.setItemForeColor(index, fore);
                menu.setItemEnabled(index, Flag(rs, "Enabled"));
            }
            rs.MoveNext();
        }
        rs.Close();
        return true;
    } catch (const std::exception& e) {
        ErrorMessage = "(" + std::to_string(step) + ") " + ErrorText(e);
        return false;
    }
}

}  // namespace tolvaran
