#include "platform/ui/common_dialog.h"

namespace ui {
namespace {

// What the print dialogs hand back to the printer object they were given.
void SetPrinterSettings(PrinterObject& printer, const PrinterObject& chosen) {
    printer.Copies = chosen.Copies;
    printer.Orientation = chosen.Orientation;
    printer.PaperSize = chosen.PaperSize;
    printer.PrintQuality = chosen.PrintQuality;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> CommonDialog::ParseFilter(const std::string& filter) {
    // Every "|" and ":" becomes a NUL; the pieces then alternate description, pattern.
    std::vector<std::string> pieces;
    std::string piece;
    for (char c : filter) {
        if (c == '|' || c == ':') {
            pieces.push_back(piece);
            piece.clear();
        } else {
            piece += c;
        }
    }
    if (!piece.empty()) pieces.push_back(piece);
    std::vector<std::pair<std::string, std::string>> pairs;
    for (size_t i = 0; i + 1 < pieces.size(); i += 2) pairs.emplace_back(pieces[i], pieces[i + 1]);
    return pairs;
}

std::string CommonDialog::VBGetFileTitle(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

void CommonDialog::finish(long result, long extendedError) {
    apiReturn_ = result;
    if (result != 0 && result != 1) extendedError_ = extendedError;
}

bool CommonDialog::fileDialog(FileRequest request, std::string& Filename, std::string& FileTitle,
                              std::string& Filter, long& FilterIndex, long& Flags, bool* ReadOnly) {
    request.filters = ParseFilter(Filter);
    request.fileName = Filename;
    request.filterIndex = FilterIndex;
    const FileAnswer answer = ShowFileDialog(request);
    finish(answer.result, answer.extendedError);
    Flags = answer.flags;
    if (answer.result != 1 || answer.files.empty()) {
        Filename.clear();
        FileTitle.clear();
        Filter.clear();
        FilterIndex = -1;
        return false;
    }
    if (answer.files.size() == 1) {
        Filename = answer.files.front();
        FileTitle = VBGetFileTitle(Filename);
    } else {
        // Several files come back as their folder, then the names; the name is the text up to
        // the first separator of that list, the folder.
        const std::string& first = answer.files.front();
        const size_t cut = first.find_last_of("/\\");
        Filename = cut == std::string::npos ? std::string() : first.substr(0, cut);
        FileTitle.clear();
    }
    FilterIndex = answer.filterIndex;
    if (FilterIndex >= 1 && FilterIndex <= static_cast<long>(request.filters.size())) {
        const auto& pair = request.filters[static_cast<size_t>(FilterIndex - 1)];
        Filter = pair.first + std::string(1, '\0') + pair.second;
    } else {
        Filter.clear();
    }
    if (ReadOnly) *ReadOnly = (answer.flags & OFN_READONLY) != 0;
    return true;
}

bool CommonDialog::VBGetOpenFileName(std::string& Filename, std::string& FileTitle, bool FileMustExist,
                                     bool MultiSelect, bool& ReadOnly, bool HideReadOnly, std::string& Filter,
                                     long& FilterIndex, const std::string& InitDir,
                                     const std::string& DlgTitle, const std::string& DefaultExt, long Owner,
                                     long& Flags) {
    FileRequest request;
    request.flags = (FileMustExist ? long{OFN_FILEMUSTEXIST} : 0L) |
                    (MultiSelect ? long{OFN_ALLOWMULTISELECT} : 0L) | (ReadOnly ? long{OFN_READONLY} : 0L) |
                    (HideReadOnly ? long{OFN_HIDEREADONLY} : 0L) |
                    (Flags & ~(OFN_ENABLEHOOK | OFN_ENABLETEMPLATE));
    request.initDir = InitDir;
    request.title = DlgTitle;
    request.defaultExt = DefaultExt;
    request.owner = Owner;
    return fileDialog(std::move(request), Filename, FileTitle, Filter, FilterIndex, Flags, &ReadOnly);
}

bool CommonDialog::VBGetSaveFileName(std::string& Filename, std::string& FileTitle, bool OverWritePrompt,
                                     std::string& Filter, long& FilterIndex, const std::string& InitDir,
                                     const std::string& DlgTitle, const std::string& DefaultExt, long Owner,
                                     long& Flags) {
    FileRequest request;
    request.save = true;
    request.flags = (OverWritePrompt ? long{OFN_OVERWRITEPROMPT} : 0L) | OFN_HIDEREADONLY |
                    (Flags & ~(OFN_ENABLEHOOK | OFN_ENABLETEMPLATE));
    request.initDir = InitDir;
    request.title = DlgTitle;
    request.defaultExt = DefaultExt;
    request.owner = Owner;
    return fileDialog(std::move(request), Filename, FileTitle, Filter, FilterIndex, Flags, nullptr);
}

std::array<long, 16>& CommonDialog::customColors() {
    if (!custom_) {
        custom_.emplace();
        for (int i = 0; i < 16; ++i) (*custom_)[static_cast<size_t>(i)] = SysColor(i);
    }
    return *custom_;
}

long CommonDialog::CustomColor(int i) {
    if (i < 0 || i > 15) return -1;
    return customColors()[static_cast<size_t>(i)];
}

void CommonDialog::setCustomColor(int i, long color) {
    if (i < 0 || i > 15) return;
    customColors()[static_cast<size_t>(i)] = color;
}

bool CommonDialog::VBChooseColor(long& Color, bool AnyColor, bool FullOpen, bool DisableFullOpen, long Owner,
                                 long Flags) {
    ColorRequest request;
    request.color = Color;
    request.owner = Owner;
    request.flags =
        CC_RGBINIT | (FullOpen ? long{CC_FULLOPEN} : 0L) | (DisableFullOpen ? long{CC_PREVENTFULLOPEN} : 0L) |
        (AnyColor ? long{CC_ANYCOLOR} : long{CC_SOLIDCOLOR}) | (Flags & ~(CC_ENABLEHOOK | CC_ENABLETEMPLATE));
    const ColorAnswer answer = ShowColorDialog(request, customColors());
    finish(answer.result, 0);
    if (answer.result != 1) return false;
    Color = answer.color;
    return true;
}

bool CommonDialog::VBChooseFont(FontSpec& CurFont, long& Color, long Owner, long MinSize, long MaxSize,
                                long Flags) {
    FontRequest request;
    request.font = CurFont;
    request.color = Color;
    request.owner = Owner;
    request.minSize = MinSize;
    request.maxSize = MaxSize;
    request.flags = Flags;
    const FontAnswer answer = ShowFontDialog(request);
    finish(answer.result, 0);
    if (answer.result != 1) return false;
    CurFont = answer.font;
    Color = answer.color;
    return true;
}

bool CommonDialog::VBPrintDlg(PrinterObject& printer, long& FromPage, long& ToPage, long Owner, long Flags) {
    PrintRequest request;
    request.printer = printer;
    request.fromPage = FromPage;
    request.toPage = ToPage;
    request.owner = Owner;
    request.flags = Flags;
    const PrintAnswer answer = ShowPrintDialog(request);
    finish(answer.result, 0);
    if (answer.result != 1) return false;
    SetPrinterSettings(printer, answer.printer);
    FromPage = answer.fromPage;
    ToPage = answer.toPage;
    return true;
}

bool CommonDialog::VBPageSetupDlg2(PrinterObject& printer, long Owner, long Flags) {
    PrintRequest request;
    request.pageSetup = true;
    request.printer = printer;
    request.owner = Owner;
    request.flags = Flags;
    const PrintAnswer answer = ShowPrintDialog(request);
    finish(answer.result, 0);
    if (answer.result != 1) return false;
    SetPrinterSettings(printer, answer.printer);
    return true;
}

bool CommonDialog::DialogHook(long hDlg, HookMessage msg, const std::string& text, long index) {
    if (!owner_) return true;
    switch (msg) {
        case HookMessage::InitDialog:
            owner_->InitDialog(hDlg);
            break;
        case HookMessage::Close:
            owner_->DialogClose();
            break;
        case HookMessage::TypeChange:
            owner_->TypeChange(index);
            break;
        case HookMessage::FileOK:
            return owner_->ConfirmOK(text);
        case HookMessage::FolderChange:
            owner_->FolderChange(text);
            break;
        case HookMessage::SelChange:
            owner_->FileChange(text);
            break;
    }
    return true;
}

}  // namespace ui
