#include "shell/qt/qt_prompt.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <utility>
#include <vector>

#include "shell/qt/qt_text.h"

namespace tolvaran {
namespace {

QString TitleOf(const std::string& title) {
    return Q(title.empty() ? std::string(ui::kProgramTitle) : title);
}

}  // namespace

int QtPrompt::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    QMessageBox box(owner_ ? owner_.data() : QApplication::activeWindow());
    box.setWindowTitle(TitleOf(title));
    box.setText(QLines(prompt));
    switch (buttons & 0x70) {
        case ui::vbCritical:
            box.setIcon(QMessageBox::Critical);
            break;
        case ui::vbQuestion:
            box.setIcon(QMessageBox::Question);
            break;
        case ui::vbExclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case ui::vbInformation:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
            break;
    }
    using B = QMessageBox::StandardButton;
    std::vector<std::pair<B, int>> set;
    switch (buttons & 7) {
        case ui::vbOKCancel:
            set = {{B::Ok, ui::vbOK}, {B::Cancel, ui::vbCancel}};
            break;
        case ui::vbAbortRetryIgnore:
            set = {{B::Abort, ui::vbAbort}, {B::Retry, ui::vbRetry}, {B::Ignore, ui::vbIgnore}};
            break;
        case ui::vbYesNoCancel:
            set = {{B::Yes, ui::vbYes}, {B::No, ui::vbNo}, {B::Cancel, ui::vbCancel}};
            break;
        case ui::vbYesNo:
            set = {{B::Yes, ui::vbYes}, {B::No, ui::vbNo}};
            break;
        case ui::vbRetryCancel:
            set = {{B::Retry, ui::vbRetry}, {B::Cancel, ui::vbCancel}};
            break;
        default:
            set = {{B::Ok, ui::vbOK}};
            break;
    }
    QMessageBox::StandardButtons all;
    for (const auto& [b, _] : set) all |= b;
    box.setStandardButtons(all);
    const size_t def = static_cast<size_t>((buttons & 0x300) >> 8);
    box.setDefaultButton(set[def < set.size() ? def : 0].first);
    const auto clicked = static_cast<B>(box.exec());
    for (const auto& [b, answer] : set) {
        if (b == clicked) return answer;
    }
    // Closed with Escape or the title bar: Cancel where the set has one, else its first.
    for (const auto& [b, answer] : set) {
        if (answer == ui::vbCancel) return answer;
    }
    return set.front().second;
}

std::string QtPrompt::InputBox(const std::string& prompt, const std::string& title,
                               const std::string& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(owner_ ? owner_.data() : QApplication::activeWindow(), TitleOf(title),
                              QLines(prompt), QLineEdit::Normal, Q(defaultText), &ok);
    return ok ? S(text) : std::string();
}

}  // namespace tolvaran
