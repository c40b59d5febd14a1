#pragma once
// A common dialog and folder browser for tests: every request is recorded and answered from a
// script, never blocking. Without a scripted answer a dialog is cancelled.
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/common_dialog.h"

namespace ui {

class FakeCommonDialog : public CommonDialog, public FolderBrowser {
  public:
    // A notification the scripted dialog raises through the hook before it answers.
    struct Event {
        HookMessage msg;
        std::string text;
        long index = 0;
    };
    struct ScriptedFile {
        FileAnswer answer;
        std::vector<Event> events;
    };
    struct FolderRequest {
        long owner;
        std::string prompt;
        long options;
    };

    std::vector<FileRequest> fileRequests;
    std::deque<ScriptedFile> fileScript;
    std::vector<ColorRequest> colorRequests;
    std::deque<ColorAnswer> colorScript;
    std::vector<FontRequest> fontRequests;
    std::deque<FontAnswer> fontScript;
    std::vector<PrintRequest> printRequests;
    std::deque<PrintAnswer> printScript;
    std::vector<FolderRequest> folderRequests;
    std::deque<std::optional<std::string>> folderScript;
    long hDlg = 4242;  // the handle the scripted dialogs report to InitDialog

    // The next file dialog chooses these files with that filter (from 1) and returned flags.
    void ChooseFiles(std::vector<std::string> files, long filterIndex = 1, long flags = 0,
                     std::vector<Event> events = {}) {
        ScriptedFile s;
        s.answer.result = 1;
        s.answer.files = std::move(files);
        s.answer.filterIndex = filterIndex;
        s.answer.flags = flags;
        s.events = std::move(events);
        fileScript.push_back(std::move(s));
    }
    void Choose(const std::string& file, long filterIndex = 1) { ChooseFiles({file}, filterIndex); }
    // The next file dialog is cancelled (result 0) or fails with result and extendedError.
    void Cancel(long result = 0, long extendedError = 0) {
        ScriptedFile s;
        s.answer.result = result;
        s.answer.extendedError = extendedError;
        fileScript.push_back(std::move(s));
    }

    std::optional<std::string> BrowseForFolder(long owner, const std::string& prompt, long options) override {
        folderRequests.push_back({owner, prompt, options});
        if (folderScript.empty()) return std::nullopt;
        auto answer = folderScript.front();
        folderScript.pop_front();
        return answer;
    }

  protected:
    FileAnswer ShowFileDialog(const FileRequest& request) override {
        fileRequests.push_back(request);
        ScriptedFile s;
        s.answer.flags = request.flags;
        if (!fileScript.empty()) {
            s = fileScript.front();
            fileScript.pop_front();
        }
        DialogHook(hDlg, HookMessage::InitDialog);
        for (const Event& e : s.events) {
            // A refused OK leaves the dialog to be cancelled.
            if (!DialogHook(hDlg, e.msg, e.text, e.index) && e.msg == HookMessage::FileOK)
                s.answer = FileAnswer{};
        }
        DialogHook(hDlg, HookMessage::Close);
        if (s.answer.result == 0) s.answer.flags = request.flags;
        return s.answer;
    }
    ColorAnswer ShowColorDialog(const ColorRequest& request, std::array<long, 16>&) override {
        colorRequests.push_back(request);
        return next(colorScript);
    }
    FontAnswer ShowFontDialog(const FontRequest& request) override {
        fontRequests.push_back(request);
        return next(fontScript);
    }
    PrintAnswer ShowPrintDialog(const PrintRequest& request) override {
        printRequests.push_back(request);
        return next(printScript);
    }
    // Fixed system colours: index i gives i * 0x010101.
    long SysColor(int index) override { return static_cast<long>(index) * 0x010101; }

  private:
    template <class T>
    static T next(std::deque<T>& script) {
        if (script.empty()) return T{};
        T a = script.front();
        script.pop_front();
        return a;
    }
};

}  // namespace ui
