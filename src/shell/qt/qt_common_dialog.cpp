#include "shell/qt/qt_common_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QPageSetupDialog>
#include <QPalette>
#include <QPrintDialog>
#include <QPrinter>

#include "shell/qt/file_types.h"
#include "shell/qt/qt_text.h"

namespace tolvaran {
namespace {

QColor FromVb(long rgb) {
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>((rgb >> 16) & 0xFF));
}

long ToVb(const QColor& c) {
    return static_cast<long>(c.red()) | (static_cast<long>(c.green()) << 8) |
           (static_cast<long>(c.blue()) << 16);
}

// A filter pair as a Qt name filter: "Description (*.a *.b)"; the pattern's ";" separate.
QString NameFilter(const std::pair<std::string, std::string>& pair) {
    QString patterns = Q(pair.second);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return Q(pair.first) + QStringLiteral(" (") + patterns.simplified() + QLatin1Char(')');
}

// Qt's own file dialog asking the hook before it accepts a file.
class HookedFileDialog : public QFileDialog {
  public:
    HookedFileDialog(QWidget* parent, ui::CommonDialog& cdlg) : QFileDialog(parent), cdlg_(cdlg) {}
    long handle = 0;

    void accept() override {
        const QStringList files = selectedFiles();
        const QString first = files.isEmpty() ? QString() : files.first();
        // A folder chosen only opens that folder; the hook is asked about files.
        if (!first.isEmpty() && !QFileInfo(first).isDir() &&
            !cdlg_.DialogHook(handle, ui::HookMessage::FileOK, S(first)))
            return;
        QFileDialog::accept();
    }

  private:
    ui::CommonDialog& cdlg_;
};

}  // namespace

QWidget* QtCommonDialog::OwnerWidget(long owner) {
    if (owner == -1) return nullptr;
    return QWidget::find(static_cast<WId>(owner));
}

long QtCommonDialog::HandleOf(QWidget& widget) {
    return static_cast<long>(widget.window()->winId());
}

ui::CommonDialog::FileAnswer QtCommonDialog::ShowFileDialog(const FileRequest& request) {
    HookedFileDialog dlg(OwnerWidget(request.owner), *this);
    dlg.setObjectName(request.save ? QStringLiteral("SaveFileDialog") : QStringLiteral("OpenFileDialog"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    TellFileTypesByName(dlg);
    dlg.setWindowTitle(Q(request.title));
    if (!request.initDir.empty()) dlg.setDirectory(Q(request.initDir));
    dlg.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (request.save)
        dlg.setFileMode(QFileDialog::AnyFile);
    else if (request.flags & ui::OFN_ALLOWMULTISELECT)
        dlg.setFileMode(QFileDialog::ExistingFiles);
    else if (request.flags & ui::OFN_FILEMUSTEXIST)
        dlg.setFileMode(QFileDialog::ExistingFile);
    else
        dlg.setFileMode(QFileDialog::AnyFile);
    if (request.save && !(request.flags & ui::OFN_OVERWRITEPROMPT))
        dlg.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.defaultExt.empty()) dlg.setDefaultSuffix(Q(request.defaultExt));

    QStringList filters;
    for (const auto& pair : request.filters) filters << NameFilter(pair);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
            dlg.selectNameFilter(filters[static_cast<int>(request.filterIndex - 1)]);
    }
    if (!request.fileName.empty()) dlg.selectFile(Q(request.fileName));

    // The read-only box of the open dialog, unless hidden.
    QCheckBox* readOnly = nullptr;
    if (!request.save && !(request.flags & ui::OFN_HIDEREADONLY)) {
        readOnly = new QCheckBox(QStringLiteral("Open as &read-only"), &dlg);
        readOnly->setObjectName(QStringLiteral("chkReadOnly"));
        readOnly->setChecked(request.flags & ui::OFN_READONLY);
        if (auto* grid = qobject_cast<QGridLayout*>(dlg.layout()))
            grid->addWidget(readOnly, grid->rowCount(), 0, 1, -1);
    }

    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [this, &dlg, filters](const QString& f) {
        DialogHook(dlg.handle, ui::HookMessage::TypeChange, {}, filters.indexOf(f) + 1);
    });
    QObject::connect(&dlg, &QFileDialog::directoryEntered, &dlg, [this, &dlg](const QString& folder) {
        DialogHook(dlg.handle, ui::HookMessage::FolderChange, S(folder));
    });
    QObject::connect(&dlg, &QFileDialog::currentChanged, &dlg, [this, &dlg](const QString& path) {
        DialogHook(dlg.handle, ui::HookMessage::SelChange, S(path));
    });

    dlg.handle = HandleOf(dlg);
    DialogHook(dlg.handle, ui::HookMessage::InitDialog);
    const bool chosen = dlg.exec() == QDialog::Accepted;
    DialogHook(dlg.handle, ui::HookMessage::Close);

    FileAnswer answer;
    answer.flags = request.flags & ~static_cast<long>(ui::OFN_READONLY);
    if (readOnly && readOnly->isChecked()) answer.flags |= ui::OFN_READONLY;
    if (!chosen) {
        answer.flags = request.flags;
        return answer;
    }
    answer.result = 1;
    for (const QString& f : dlg.selectedFiles()) answer.files.push_back(S(QDir::toNativeSeparators(f)));
    answer.filterIndex =
        filters.isEmpty() ? request.filterIndex : filters.indexOf(dlg.selectedNameFilter()) + 1;
    return answer;
}

std::optional<std::string> QtCommonDialog::BrowseForFolder(long owner, const std::string& prompt, long) {
    QFileDialog dlg(OwnerWidget(owner), Q(prompt), QDir::currentPath());
    dlg.setObjectName(QStringLiteral("BrowseForFolder"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setOption(QFileDialog::ShowDirsOnly);
    TellFileTypesByName(dlg);
    dlg.setFileMode(QFileDialog::Directory);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    return S(QDir::toNativeSeparators(dlg.selectedFiles().first()));
}

ui::CommonDialog::ColorAnswer QtCommonDialog::ShowColorDialog(const ColorRequest& request,
                                                              std::array<long, 16>& custom) {
    for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, FromVb(custom[static_cast<size_t>(i)]));
    QColorDialog dlg(FromVb(request.color), OwnerWidget(request.owner));
    dlg.setObjectName(QStringLiteral("ColorDialog"));
    dlg.setOption(QColorDialog::DontUseNativeDialog);
    ColorAnswer answer;
    if (dlg.exec() == QDialog::Accepted) {
        answer.result = 1;
        answer.color = ToVb(dlg.selectedColor());
    }
    for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i)
        custom[static_cast<size_t>(i)] = ToVb(QColorDialog::customColor(i));
    return answer;
}

ui::CommonDialog::FontAnswer QtCommonDialog::ShowFontDialog(const FontRequest& request) {
    QFont font(Q(request.font.Name));
    font.setPointSizeF(request.font.Size > 0 ? request.font.Size : 8);
    font.setBold(request.font.Bold);
    font.setItalic(request.font.Italic);
    font.setUnderline(request.font.Underline);
    font.setStrikeOut(request.font.Strikethrough);
    QFontDialog dlg(font, OwnerWidget(request.owner));
    dlg.setObjectName(QStringLiteral("FontDialog"));
    dlg.setOption(QFontDialog::DontUseNativeDialog);
    FontAnswer answer;
    answer.color = request.color;  // the Qt font dialog has no colour of its own
    if (dlg.exec() != QDialog::Accepted) return answer;
    const QFont chosen = dlg.selectedFont();
    answer.result = 1;
    answer.font.Name = S(chosen.family());
    double size = chosen.pointSizeF();
    if (request.minSize > 0 && size < request.minSize) size = static_cast<double>(request.minSize);
    if (request.maxSize > 0 && size > request.maxSize) size = static_cast<double>(request.maxSize);
    answer.font.Size = size;
    answer.font.Bold = chosen.bold();
    answer.font.Italic = chosen.italic();
    answer.font.Underline = chosen.underline();
    answer.font.Strikethrough = chosen.strikeOut();
    return answer;
}

ui::CommonDialog::PrintAnswer QtCommonDialog::ShowPrintDialog(const PrintRequest& request) {
    QPrinter printer;
    if (!request.printer.DeviceName.empty()) printer.setPrinterName(Q(request.printer.DeviceName));
    printer.setCopyCount(request.printer.Copies > 0 ? request.printer.Copies : 1);
    printer.setPageOrientation(request.printer.Orientation == 2 ? QPageLayout::Landscape
                                                                : QPageLayout::Portrait);
    const QPageSize::PageSizeId size = QPageSize::id(request.printer.PaperSize);
    if (size != QPageSize::Custom) printer.setPageSize(QPageSize(size));
    bool chosen = false;
    if (request.pageSetup) {
        QPageSetupDialog dlg(&printer, OwnerWidget(request.owner));
        dlg.setObjectName(QStringLiteral("PageSetupDialog"));
        chosen = dlg.exec() == QDialog::Accepted;
    } else {
        if (request.toPage > 0)
            printer.setFromTo(static_cast<int>(request.fromPage), static_cast<int>(request.toPage));
        QPrintDialog dlg(&printer, OwnerWidget(request.owner));
        dlg.setObjectName(QStringLiteral("PrintDialog"));
        if (request.toPage > 0) dlg.setMinMax(1, static_cast<int>(request.toPage));
        chosen = dlg.exec() == QDialog::Accepted;
    }
    PrintAnswer answer;
    if (!chosen) return answer;
    answer.result = 1;
    answer.printer.DeviceName = S(printer.printerName());
    answer.printer.Copies = printer.copyCount();
    answer.printer.Orientation = printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    answer.printer.PaperSize = printer.pageLayout().pageSize().windowsId();
    answer.printer.PrintQuality = printer.resolution();
    answer.fromPage = printer.fromPage();
    answer.toPage = printer.toPage();
    return answer;
}

long QtCommonDialog::SysColor(int index) {
    // GetSysColor indexes 0 to 15 in the nearest palette roles.
    static const QPalette::ColorRole roles[16] = {QPalette::Button,
                                                  QPalette::Dark,
                                                  QPalette::Highlight,
                                                  QPalette::Highlight,
                                                  QPalette::Window,
                                                  QPalette::Base,
                                                  QPalette::Shadow,
                                                  QPalette::WindowText,
                                                  QPalette::Text,
                                                  QPalette::HighlightedText,
                                                  QPalette::Mid,
                                                  QPalette::Midlight,
                                                  QPalette::Dark,
                                                  QPalette::Highlight,
                                                  QPalette::HighlightedText,
                                                  QPalette::Button};
    if (index < 0 || index > 15) return 0;
    const QPalette palette = QApplication::palette();
    const QPalette::ColorGroup group = index == 3 ? QPalette::Inactive : QPalette::Active;
    return ToVb(palette.color(group, roles[index]));
}

}  // namespace tolvaran
