#include "shell/main_window/app_run.h"

#include <QCoreApplication>

#include "store/cls_registry.h"

namespace tolvaran {

AppRun::AppRun(std::string programFolder) : reportWindows_(ReportWindowServices{}) {
    ctx_.programFolder = std::move(programFolder);
    registry_ = std::make_unique<registry::RegistryFile>(ctx_.InFolder("registry.reg"));
    ctx_.prompt = &prompt_;
    ctx_.help = &help_;
    ctx_.registry = registry_.get();
    ApplySqlServerOdbcTemplate(*registry_, ctx_.connections);
    ctx_.maxReportFileMb = MaxReportFileMb(*registry_);
    reportWindows_.Services().ctx = &ctx_;
    reportWindows_.Services().saveFile = &saveFile_;
    sqldmo_ =
        std::make_unique<sqldmo::OdbcFactory>(sqldmo::ServersFromRegistry(*registry_), ctx_.connections);
    selectDatabase_ =
        std::make_unique<SelectDatabaseDialogs>(commonDialog_, commonDialog_, launcher_, *sqldmo_);
}

AppRun::~AppRun() {
    window_.reset();
    ctx_.gDb.reset();
    ctx_.gInternalDb.reset();
}

bool AppRun::Start() {
    StartupServices services;
    services.ctx = &ctx_;
    services.launcher = &launcher_;
    services.accessFactory = [options = ctx_.connections] {
        auto app = std::make_unique<access::Application>();
        app->setConnectionOptions(options);
        return app;
    };
    services.endProgram = [] { QCoreApplication::exit(0); };
    services.reportWindows = &reportWindows_;
    services.selectDatabase = selectDatabase_.get();
    window_ = std::make_unique<Startup>(std::move(services));
    Startup* window = window_.get();
    reportWindows_.Bind(
        window->gToolBar(), window->Env(), [window] { return window->gCrystalVersion; }, window);
    prompt_.setOwner(window);
    saveFile_.setOwner(window);
    window_->Form_Load();
    return !window_->Ended();
}

}  // namespace tolvaran
