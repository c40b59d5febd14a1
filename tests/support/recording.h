#pragma once
// Test doubles of the user-interface seams: they record every call and answer from a script,
// never blocking. Part of the test-support library, which the product does not link.
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/ui/default_prompt.h"
#include "platform/ui/launcher.h"
#include "platform/ui/progress_window.h"
#include "platform/ui/prompt.h"

namespace ui {

// Without a scripted answer it answers as DefaultPrompt does.
class RecordingPrompt : public DefaultPrompt {
  public:
    struct Shown {
        std::string prompt;
        int buttons;
        std::string title;
    };
    std::vector<Shown> messages;
    std::vector<Shown> inputs;
    std::deque<int> answers;               // scripted MsgBox answers; when none, the default button
    std::deque<std::string> inputAnswers;  // scripted InputBox answers; when none, the default text

    int MsgBox(const std::string& prompt, int buttons = vbOKOnly, const std::string& title = {}) override;
    std::string InputBox(const std::string& prompt, const std::string& title = {},
                         const std::string& defaultText = {}) override;
};

class RecordingWindow : public ProgressWindow {
  public:
    std::vector<std::string> results;
    long progressMin = 0, progressMax = 100, progressValue = 0;
    bool progressVisible = false;
    std::string lblProgress, lblField, lblReports;
    std::map<int, std::string> statusPanels;
    std::vector<long> progressHistory;  // every value the meter was set to
    std::vector<std::string> lblProgressHistory;
    int doEvents = 0;

    void AddResult(const std::string& line) override { results.push_back(line); }
    void ClearResults() override { results.clear(); }
    void SetProgressMin(long v) override { progressMin = v; }
    void SetProgressMax(long v) override { progressMax = v; }
    void SetProgressValue(long v) override {
        progressValue = v;
        progressHistory.push_back(v);
    }
    long ProgressValue() const override { return progressValue; }
    long ProgressMax() const override { return progressMax; }
    void SetProgressVisible(bool v) override { progressVisible = v; }
    void SetLblProgress(const std::string& c) override {
        lblProgress = c;
        lblProgressHistory.push_back(c);
    }
    void SetLblField(const std::string& c) override { lblField = c; }
    void SetLblReports(const std::string& c) override { lblReports = c; }
    void SetStatusPanel(int p, const std::string& t) override { statusPanels[p] = t; }
    void DoEvents() override { ++doEvents; }
};

class RecordingLauncher : public Launcher {
  public:
    struct Call {
        std::string file, parameters, folder;
        std::vector<std::string> arguments;  // of Start
    };
    std::vector<Call> calls;
    bool result = true;
    bool Open(const std::string& f, const std::string& p = {}, const std::string& w = {}) override {
        calls.push_back({f, p, w, {}});
        return result;
    }
    bool Start(const std::string& program, const std::vector<std::string>& arguments) override {
        calls.push_back({program, {}, {}, arguments});
        return result;
    }
};

}  // namespace ui
