#include <gtest/gtest.h>

#include "support/recording.h"

using namespace ui;

TEST(RecordingPrompt, AnswersFromTheScriptThenWithTheDefaultButton) {
    const struct {
        int buttons;
        int answer;
    } cases[] = {
        {vbOKOnly, vbOK},
        {vbOKCancel + vbDefaultButton2, vbCancel},
        {vbYesNoCancel + vbQuestion, vbYes},
        {vbYesNoCancel + vbDefaultButton3, vbCancel},
        {vbYesNo + vbDefaultButton2 + vbExclamation, vbNo},
        {vbRetryCancel, vbRetry},
        {vbAbortRetryIgnore + vbDefaultButton2, vbRetry},
    };
    RecordingPrompt p;
    for (const auto& c : cases) EXPECT_EQ(p.MsgBox("q", c.buttons, "t"), c.answer) << c.buttons;
    p.answers = {vbNo};
    EXPECT_EQ(p.MsgBox("Are you sure?", vbYesNoCancel + vbQuestion, "Remove Database from List"), vbNo);
    EXPECT_EQ(p.messages.back().title, "Remove Database from List");
    EXPECT_EQ(p.InputBox("Name?", "", "def"), "def");
    p.inputAnswers = {""};
    EXPECT_EQ(p.InputBox("Name?"), "");  // Cancel
    EXPECT_EQ(p.inputs.size(), 2u);
}
