#include "shell/main_window/system_information.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "shell/main_window/environment.h"
#include "shell/qt/guarded.h"
#include "shell/qt/qt_text.h"
#include "shell/toolbar/cls_toolbar.h"
#include "shell/toolbar/qt_toolbar.h"

namespace tolvaran {
namespace {

QListWidget* List(const char* name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    return list;
}

}  // namespace

SystemInformation::SystemInformation(Environment& env, clsToolBar& toolbars, QWidget* parent)
    : QDialog(parent),
      env_(env),
      toolbar_(new QtToolBar(this)),
      lstAccessVersions_(List("lstAccessVersions", this)),
      lstCrystalVersions_(List("lstCrystalVersions", this)),
      MDACVersion_(new QLineEdit(this)),
      lstDotNet_(List("lstDotNet", this)) {
    setObjectName(QStringLiteral("SystemInformation"));
    setWindowTitle(QStringLiteral("System Information"));
    MDACVersion_->setObjectName(QStringLiteral("MDACVersion"));
    MDACVersion_->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(toolbar_);
    auto* grid = new QGridLayout;
    grid->setContentsMargins(8, 4, 8, 0);
    grid->addWidget(new QLabel(QStringLiteral("Versions of Access Installed"), this), 0, 0);
    grid->addWidget(lstAccessVersions_, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Versions of Crystal Reports Installed"), this), 0, 1);
    grid->addWidget(lstCrystalVersions_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Version of MDAC Installed"), this), 2, 0);
    grid->addWidget(MDACVersion_, 3, 0);
    grid->addWidget(new QLabel(QStringLiteral("Versions of .NET Framework Installed"), this), 2, 1);
    grid->addWidget(lstDotNet_, 3, 1);
    layout->addLayout(grid);
    resize(560, 360);

    connect(toolbar_, &QtToolBar::ItemClick, this,
            Guard(&env_.Prompt(), "EToolBar_ItemClick", [this](int index) { EToolBar_ItemClick(index); }));
    toolbars.Load(*toolbar_, "GenericCancel");
    toolbar_->Render();
    showAccessInstalls();
    ShowCrystalInstalls();
    MDACVersion_->setText(Q(ShowMDACVersion()));
    lstDotNet_->addItem(QLines(env_.GetDotNetVersionsText()).trimmed());
}

void SystemInformation::showAccessInstalls() {
    lstAccessVersions_->clear();
    for (const std::string& line : env_.AccessInstalls()) lstAccessVersions_->addItem(Q(line));
}

void SystemInformation::ShowCrystalInstalls() {
    lstCrystalVersions_->clear();
    for (const std::string& line : env_.CrystalInstalls()) lstCrystalVersions_->addItem(Q(line));
}

std::string SystemInformation::ShowMDACVersion() {
    return env_.MDACVersion();
}

void SystemInformation::EToolBar_ItemClick(int index) {
    if (toolbar_->ItemCtrlID(index) == 261) close();
}

}  // namespace tolvaran
