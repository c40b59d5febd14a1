#pragma once
// A list of message lines that takes a line at the same cost however many it holds (the main
// window's ReportResults). Every line is one line of the same height: line breaks show as
// blanks and a line longer than kMaxChars characters is cut there, marked with "…" (whoever
// wrote it keeps the whole text in its logs). The view lays lines out by one size, that of
// the last line, which carries the width of the widest line so far: a line is measured once,
// when it is added, and the list still scrolls as wide as its widest line.
#include <QListWidget>

namespace tolvaran {

class ResultsList : public QListWidget {
    Q_OBJECT
  public:
    static constexpr int kMaxChars = 400;

    explicit ResultsList(QWidget* parent = nullptr);

    // Adds the line at the end; the list scrolls to its last line when the message loop runs.
    void AddLine(const QString& line);
    void ClearLines();
    // The line as the list shows it.
    static QString Shown(const QString& line);

  private:
    int widest_ = 0;  // pixels: the widest line's width since the list was last cleared
    bool scrollPending_ = false;
};

}  // namespace tolvaran
