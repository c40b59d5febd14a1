// tolvaran-designer <file.rpt>: a report file in the report viewer control beside a tree of its
// structure.
#include <QApplication>
#include <cstdio>

#include "shell/qt/qt_prompt.h"
#include "shell/report_windows/designer_window.h"

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
    if (!window.Open(args.at(1).toStdString())) return 1;
    window.show();
    return QApplication::exec();
}
