#pragma once
// Starting programs and opening files (ShellExecute "open"), and the help window that shows
// the program's topic file at a context id (WinHelp).
#include <QDialog>

#include "platform/ui/launcher.h"

class QTextBrowser;

namespace tolvaran {

class QtLauncher : public ui::Launcher {
  public:
    // An executable file is started with the parameters (split as a shell would) in
    // workingFolder; any other existing file is opened with the desktop's program for it.
    // False when the file is not there or could not be started.
    bool Open(const std::string& file, const std::string& parameters = {},
              const std::string& workingFolder = {}) override;
    // An executable program (ProgramFor) is started with the arguments, none split or unquoted.
    bool Start(const std::string& program, const std::vector<std::string>& arguments) override;

    // The program that stands in for a Windows program: the report designer's "crw32.exe"
    // (any case) is tolvaran-designer in the same folder; any other file is itself.
    static std::string ProgramFor(const std::string& file);
};

// The topic text for contextId from a topic file: topics start with a line "[<id>]" or
// "[<id>] <title>"; an id not in the file gives topic 1, and a file without topics is one
// topic. Empty when the file cannot be read.
std::string HelpTopicText(const std::string& helpFile, long contextId);

class HelpWindow : public QDialog {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);
    void ShowTopic(const std::string& helpFile, long contextId);
    QString Text() const;

  private:
    QTextBrowser* text_;
};

// The help service of the run: one help window, reused, shown without blocking.
class QtHelpService : public ui::HelpService {
  public:
    ~QtHelpService() override;
    void ShowTopic(const std::string& helpFile, long contextId) override;

  private:
    HelpWindow* window_ = nullptr;
};

}  // namespace tolvaran
