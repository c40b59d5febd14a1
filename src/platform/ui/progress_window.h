#pragma once
// The window that long work (a source-database scan, a conversion) writes into: the main
// window's message list ReportResults, the meter ctProgress, the labels lblProgress, lblField
// and lblReports, the three status panels, and a yield to the message loop so they repaint.
#include <string>

namespace ui {

class ProgressWindow {
  public:
    virtual ~ProgressWindow() = default;

    // ReportResults
    virtual void AddResult(const std::string& line) = 0;
    virtual void ClearResults() = 0;
    // ctProgress
    virtual void SetProgressMin(long v) = 0;
    virtual void SetProgressMax(long v) = 0;
    virtual void SetProgressValue(long v) = 0;
    virtual long ProgressValue() const = 0;
    virtual long ProgressMax() const = 0;
    virtual void SetProgressVisible(bool visible) = 0;
    // Labels
    virtual void SetLblProgress(const std::string& caption) = 0;
    virtual void SetLblField(const std::string& caption) = 0;
    virtual void SetLblReports(const std::string& caption) = 0;
    // Status bar panels 1 to 3
    virtual void SetStatusPanel(int panel, const std::string& text) = 0;
    // Lets the message loop run once.
    virtual void DoEvents() = 0;
};

}  // namespace ui
