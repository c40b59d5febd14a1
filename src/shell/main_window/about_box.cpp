#include "shell/main_window/about_box.h"

#include <QLabel>
#include <QVBoxLayout>
#include <filesystem>

#include "shell/main_window/environment.h"
#include "shell/qt/guarded.h"
#include "shell/qt/qt_text.h"
#include "shell/toolbar/qt_toolbar.h"

namespace tolvaran {

frmAbout::frmAbout(Environment& env, const std::string& versionCaption, std::function<void()> endProgram,
                   QWidget* parent)
    : QDialog(parent),
      env_(env),
      endProgram_(std::move(endProgram)),
      toolbar_(new QtToolBar(this)),
      title_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Tolvaran"));
    title_->setObjectName(QStringLiteral("TVNTitle"));
    title_->setText(Q(versionCaption));
    QFont f = title_->font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    f.setBold(true);
    title_->setFont(f);
    title_->setAlignment(Qt::AlignCenter);

    // The box's own items, part of its design: 2 closes, 4 ends the program.
    const int close = toolbar_->AddItem(kItemButton, "Close", 0);
    toolbar_->setItemCtrlID(close, 2);
    toolbar_->setItemTips(close, "Close this window");
    const int exit = toolbar_->AddItem(kItemButton, "Exit Tolvaran", 0);
    toolbar_->setItemCtrlID(exit, 4);
    toolbar_->setItemTips(exit, "End the program");
    toolbar_->setTipsDisplay(true);
    toolbar_->Render();
    connect(toolbar_, &QtToolBar::ItemClick, this,
            Guard(&env_.Prompt(), "EToolBar_ItemClick", [this](int index) { EToolBar_ItemClick(index); }));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 16);
    layout->addWidget(toolbar_);
    layout->addStretch();
    layout->addWidget(title_);
    auto* note =
        new QLabel(QStringLiteral("Converts Access reports into Crystal Reports report files."), this);
    note->setAlignment(Qt::AlignCenter);
    layout->addWidget(note);
    layout->addStretch();
    resize(460, 220);
}

QString frmAbout::TitleText() const {
    return title_->text();
}

void frmAbout::EToolBar_ItemClick(int index) {
    switch (toolbar_->ItemCtrlID(index)) {
        case 2:
            close();
            break;
        case 4:
            if (endProgram_) endProgram_();
            break;
        default:
            break;
    }
}

void frmAbout::StartSysInfo() {
    std::string path;
    if (GetKeyValue(env_.Keys(), "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", path)) {
        env_.Launch(path);
        return;
    }
    if (GetKeyValue(env_.Keys(), "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", path)) {
        const std::string tool = path + "/MSINFO32.EXE";
        if (std::filesystem::exists(tool)) {
            env_.Launch(tool);
            return;
        }
    }
    env_.Prompt().MsgBox("System Information Is Unavailable At This Time", ui::vbOKOnly);
}

}  // namespace tolvaran
