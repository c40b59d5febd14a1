#pragma once
// The common dialogs with Qt: QFileDialog for open and save (Qt's own dialog, so its signals
// feed the hook: a filter chosen is TypeChange, a folder entered FolderChange, the current
// file changed FileChange, the OK button ConfirmOK), QColorDialog, QFontDialog,
// QPrintDialog and QPageSetupDialog; and the folder browser as a directory-only QFileDialog.
// An owner handle is the window id of the widget the dialog is modal to; -1 gives none.
#include "platform/ui/common_dialog.h"

class QWidget;

namespace tolvaran {

class QtCommonDialog : public ui::CommonDialog, public ui::FolderBrowser {
  public:
    std::optional<std::string> BrowseForFolder(long owner, const std::string& prompt, long options) override;

    // The widget of an owner handle (-1, or no such window: none).
    static QWidget* OwnerWidget(long owner);
    // The handle of a widget's window, for the Owner arguments.
    static long HandleOf(QWidget& widget);

  protected:
    FileAnswer ShowFileDialog(const FileRequest& request) override;
    ColorAnswer ShowColorDialog(const ColorRequest& request, std::array<long, 16>& custom) override;
    FontAnswer ShowFontDialog(const FontRequest& request) override;
    PrintAnswer ShowPrintDialog(const PrintRequest& request) override;
    long SysColor(int index) override;
};

}  // namespace tolvaran
