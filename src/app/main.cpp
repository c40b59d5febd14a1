// Tolvaran: the main window is the start-up object; its load handler performs start-up.
#include <QApplication>

#include "shell/main_window/app_run.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvaran"));
    tolvaran::AppRun run(QCoreApplication::applicationDirPath().toStdString());
    if (!run.Start()) return 0;
    run.Window().show();
    return QApplication::exec();
}
