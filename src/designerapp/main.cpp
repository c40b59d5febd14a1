// tolvaran-designer <file.rpt>: a report file in the report viewer control beside a tree of its
// structure.
#include <QApplication>
#include <cstdio>

#include "platform/registry/registry_file.h"
#include "shell/qt/qt_prompt.h"
#include "shell/report_windows/designer_window.h"
#include "store/cls_registry.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvaran Designer"));
    const QStringList args = QApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: tolvaran-designer <file.rpt>\n");
        return 2;
    }
    tolvaran::QtPrompt prompt;
    tolvaran::DesignerWindow window(prompt);
    prompt.setOwner(&window);
    // The program is started from the program folder, whose registry holds the settings.
    registry::RegistryFile registry(QCoreApplication::applicationDirPath().toStdString() + "/registry.reg");
    window.MaxFileMb = tolvaran::MaxReportFileMb(registry);
    if (!window.Open(args.at(1).toStdString())) return 1;
    window.show();
    return QApplication::exec();
}
