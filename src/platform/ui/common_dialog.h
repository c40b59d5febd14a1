#pragma once
// CDLG: the common dialogs (open file, save file, file title, colour, font, print, page setup)
// behind functions that take and return plain texts, numbers and flags by reference, with a
// hook that relays each dialog's notifications to an owner object; and the shell's folder
// browser.
//
// The contract of every function (the flags it builds, the filter text it splits and hands
// back, its outputs on cancel) lives in this class. An implementation supplies only the
// dialogs themselves, through the protected Show* primitives: Qt in the shell
// (QtCommonDialog), FakeCommonDialog in the tests' support library.
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ui {

// OPENFILENAME flags.
enum OpenFileFlags : long {
    OFN_READONLY = 0x1,
    OFN_OVERWRITEPROMPT = 0x2,
    OFN_HIDEREADONLY = 0x4,
    OFN_ENABLEHOOK = 0x20,
    OFN_ENABLETEMPLATE = 0x40,
    OFN_ALLOWMULTISELECT = 0x200,
    OFN_FILEMUSTEXIST = 0x1000,
};
// CHOOSECOLOR flags.
enum ChooseColorFlags : long {
    CC_RGBINIT = 0x1,
    CC_FULLOPEN = 0x2,
    CC_PREVENTFULLOPEN = 0x4,
    CC_ENABLEHOOK = 0x10,
    CC_ENABLETEMPLATE = 0x20,
    CC_SOLIDCOLOR = 0x80,
    CC_ANYCOLOR = 0x100,
};

// The notifications the dialog hook relays.
enum class HookMessage {
    InitDialog,    // WM_INITDIALOG (272)
    Close,         // WM_NCDESTROY (130)
    TypeChange,    // CDN_TYPECHANGE (-607): another filter was chosen
    FileOK,        // CDN_FILEOK (-606): the user confirms a choice
    FolderChange,  // CDN_FOLDERCHANGE (-603)
    SelChange,     // CDN_SELCHANGE (-602)
};

// The owner object the hook relays to. Every member does nothing by default; ConfirmOK
// answering false refuses the OK and keeps the dialog open.
class CommonDialogOwner {
  public:
    virtual ~CommonDialogOwner() = default;
    virtual void InitDialog(long hDlg) { (void)hDlg; }
    virtual void DialogClose() {}
    // filterIndex counts from 1.
    virtual void TypeChange(long filterIndex) { (void)filterIndex; }
    virtual bool ConfirmOK(const std::string& path) {
        (void)path;
        return true;
    }
    virtual void FolderChange(const std::string& folder) { (void)folder; }
    virtual void FileChange(const std::string& path) { (void)path; }
};

// A font as the font dialog edits it; Size in points.
struct FontSpec {
    std::string Name = "Arial";
    double Size = 8;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strikethrough = false;
};

// The printer object the print and page-setup dialogs read and set. Orientation 1 portrait,
// 2 landscape; PaperSize a Windows paper number (1 Letter, 9 A4); PrintQuality in dots per
// inch, or -4 (high) to -1 (draft).
struct PrinterObject {
    std::string DeviceName;
    int Copies = 1;
    int Orientation = 1;
    int PaperSize = 1;
    int PrintQuality = -4;
};

class CommonDialog {
  public:
    virtual ~CommonDialog() = default;

    // The result of the last dialog call: 1 chosen, 0 cancelled, other values a failure whose
    // code is then in ExtendedError.
    long APIReturn() const { return apiReturn_; }
    long ExtendedError() const { return extendedError_; }
    // The object the hook relays to (not owned; null relays nothing).
    void setOwner(CommonDialogOwner* owner) { owner_ = owner; }

    // Open dialog. Arguments by reference, in the host language's order:
    //  Filename     in: initial name            out: chosen path (several files: their folder)
    //  FileTitle    out: the chosen file's name without its folder
    //  FileMustExist, MultiSelect, HideReadOnly: add OFN_FILEMUSTEXIST, _ALLOWMULTISELECT,
    //               _HIDEREADONLY
    //  ReadOnly     in: adds OFN_READONLY       out: whether the returned flags carry it
    //  Filter       in: description and pattern pairs separated by "|" or ":"
    //               out: the chosen pair, description NUL pattern
    //  FilterIndex  in: the filter shown first, from 1   out: the chosen one
    //  Owner        the window handle the dialog is modal to; -1 for none
    //  Flags        in: added after clearing OFN_ENABLEHOOK and OFN_ENABLETEMPLATE
    //               out: the flags the dialog returned
    // True when a file was chosen. Otherwise Filename, FileTitle and Filter are emptied and
    // FilterIndex is -1. Paths come back whole, whatever their length.
    bool VBGetOpenFileName(std::string& Filename, std::string& FileTitle, bool FileMustExist,
                           bool MultiSelect, bool& ReadOnly, bool HideReadOnly, std::string& Filter,
                           long& FilterIndex, const std::string& InitDir, const std::string& DlgTitle,
                           const std::string& DefaultExt, long Owner, long& Flags);
    // Save dialog: the same pattern; OFN_OVERWRITEPROMPT when OverWritePrompt, always
    // OFN_HIDEREADONLY.
    bool VBGetSaveFileName(std::string& Filename, std::string& FileTitle, bool OverWritePrompt,
                           std::string& Filter, long& FilterIndex, const std::string& InitDir,
                           const std::string& DlgTitle, const std::string& DefaultExt, long Owner,
                           long& Flags);
    // The file name of a path without its folder.
    static std::string VBGetFileTitle(const std::string& path);

    // Colour dialog with the 16 custom colours. Colours are numbers with red in the low byte.
    // AnyColor adds CC_ANYCOLOR, else CC_SOLIDCOLOR; Flags lose CC_ENABLEHOOK and
    // CC_ENABLETEMPLATE. True (Color set) when the user chose one.
    bool VBChooseColor(long& Color, bool AnyColor = true, bool FullOpen = false, bool DisableFullOpen = false,
                       long Owner = -1, long Flags = 0);
    // Custom colour i for 0 <= i <= 15 (the system colours 0 to 15 until set); -1 outside.
    long CustomColor(int i);
    // Outside 0 to 15 nothing happens.
    void setCustomColor(int i, long color);

    // Font dialog; sizes limited to MinSize..MaxSize points when MaxSize > 0. True (CurFont
    // and Color set) when the user chose a font.
    bool VBChooseFont(FontSpec& CurFont, long& Color, long Owner = -1, long MinSize = 0, long MaxSize = 0,
                      long Flags = 0);
    // Print dialog for the printer named by printer.DeviceName; afterwards its Copies,
    // Orientation, PaperSize and PrintQuality. FromPage and ToPage: the page range asked for
    // and chosen.
    bool VBPrintDlg(PrinterObject& printer, long& FromPage, long& ToPage, long Owner = -1, long Flags = 0);
    // Page-setup dialog; afterwards the printer's Copies, Orientation, PaperSize and
    // PrintQuality.
    bool VBPageSetupDlg2(PrinterObject& printer, long Owner = -1, long Flags = 0);
    bool VBPageSetupDlg(PrinterObject& printer, long Owner = -1, long Flags = 0) {
        return VBPageSetupDlg2(printer, Owner, Flags);
    }

    // Relays one notification to the owner. False only when ConfirmOK refuses a FileOK.
    bool DialogHook(long hDlg, HookMessage msg, const std::string& text = {}, long index = 0);

    // The filter text as pairs: every "|" and ":" separates; a description without a pattern
    // after it is dropped.
    static std::vector<std::pair<std::string, std::string>> ParseFilter(const std::string& filter);

    // What an implementation is asked to show and what it answers.
    struct FileRequest {
        bool save = false;
        std::string fileName;
        std::vector<std::pair<std::string, std::string>> filters;
        long filterIndex = 1;
        std::string initDir, title, defaultExt;
        long owner = -1;
        long flags = 0;
    };
    struct FileAnswer {
        long result = 0;  // 1 chosen, 0 cancelled, else a failure
        long extendedError = 0;
        std::vector<std::string> files;  // whole paths
        long filterIndex = 1;
        long flags = 0;  // as returned; OFN_READONLY when the read-only box was ticked
    };
    struct ColorRequest {
        long color = 0;
        long owner = -1;
        long flags = 0;
    };
    struct ColorAnswer {
        long result = 0;
        long color = 0;
    };
    struct FontRequest {
        FontSpec font;
        long color = 0;
        long owner = -1;
        long minSize = 0, maxSize = 0;
        long flags = 0;
    };
    struct FontAnswer {
        long result = 0;
        FontSpec font;
        long color = 0;
    };
    struct PrintRequest {
        bool pageSetup = false;
        PrinterObject printer;
        long fromPage = 0, toPage = 0;
        long owner = -1;
        long flags = 0;
    };
    struct PrintAnswer {
        long result = 0;
        PrinterObject printer;
        long fromPage = 0, toPage = 0;
    };

  protected:
    // The dialogs. The hook notifications are raised by the implementation through
    // DialogHook while its dialog is open.
    virtual FileAnswer ShowFileDialog(const FileRequest& request) = 0;
    // custom: the 16 custom colours, which the dialog may change.
    virtual ColorAnswer ShowColorDialog(const ColorRequest& request, std::array<long, 16>& custom) = 0;
    virtual FontAnswer ShowFontDialog(const FontRequest& request) = 0;
    virtual PrintAnswer ShowPrintDialog(const PrintRequest& request) = 0;
    // The system colour of a GetSysColor index (0 to 15), red in the low byte.
    virtual long SysColor(int index) = 0;

  private:
    bool fileDialog(FileRequest request, std::string& Filename, std::string& FileTitle, std::string& Filter,
                    long& FilterIndex, long& Flags, bool* ReadOnly);
    void finish(long result, long extendedError);
    std::array<long, 16>& customColors();

    long apiReturn_ = 0;
    long extendedError_ = 0;
    CommonDialogOwner* owner_ = nullptr;
    std::optional<std::array<long, 16>> custom_;
};

// The shell's folder browser (BrowseForFolder): the chosen folder, or nothing when the user
// cancels. options 1 lists file-system folders only.
class FolderBrowser {
  public:
    virtual ~FolderBrowser() = default;
    virtual std::optional<std::string> BrowseForFolder(long owner, const std::string& prompt,
                                                       long options) = 0;
};

}  // namespace ui
