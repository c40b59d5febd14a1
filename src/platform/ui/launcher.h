#pragma once
// Starts programs and opens files (ShellExecute). A program that is not there is not an
// error unless the caller says so.
#include <string>
#include <vector>

namespace ui {

class Launcher {
  public:
    virtual ~Launcher() = default;
    // Opens file (a document or a program) with parameters, a command line. Returns false
    // when it could not be started.
    virtual bool Open(const std::string& file, const std::string& parameters = {},
                      const std::string& workingFolder = {}) = 0;
    // Starts program with arguments, each handed over as one argument as it stands (blanks and
    // quotes in it are its own): a file path goes this way. False when it could not be started.
    virtual bool Start(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

// Shows the program's help topic for a context id (WinHelp).
class HelpService {
  public:
    virtual ~HelpService() = default;
    virtual void ShowTopic(const std::string& helpFile, long contextId) = 0;
};

}  // namespace ui
