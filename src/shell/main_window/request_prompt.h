#pragma once
// The prompt a conversion request hands to the work it runs (converters, record classes, the
// lists file's appender) for the length of the request, so that a fault met by every report of
// a batch is told once, not once a report. A question reaches the user whenever it is put. A
// message (an OK button alone) is shown the first time the request meets it; met again, under
// the same title and with the same text once the name of the report in hand is set aside, it
// is handed to the keeper (which writes it to that report's log) and counted.
#include <functional>
#include <set>
#include <string>

#include "platform/ui/prompt.h"

namespace tolvaran {

class RequestPrompt : public ui::Prompt {
  public:
    using Keeper = std::function<void(const std::string& text, const std::string& title)>;

    // user: the prompt that reaches the user; not owned.
    RequestPrompt(ui::Prompt& user, Keeper keeper) : user_(user), keeper_(std::move(keeper)) {}

    int MsgBox(const std::string& prompt, int buttons = ui::vbOKOnly, const std::string& title = {}) override;
    std::string InputBox(const std::string& prompt, const std::string& title = {},
                         const std::string& defaultText = {}) override {
        return user_.InputBox(prompt, title, defaultText);
    }

    // The report being converted (empty between reports).
    void SetReportInHand(std::string name) { report_ = std::move(name); }
    // The messages kept rather than shown.
    int Kept() const { return kept_; }

  private:
    // The message with each whole-word occurrence of the report's name marked alike.
    std::string Key(const std::string& prompt, const std::string& title) const;

    ui::Prompt& user_;
    Keeper keeper_;
    std::string report_;
    std::set<std::string> shown_;
    int kept_ = 0;
};

}  // namespace tolvaran
