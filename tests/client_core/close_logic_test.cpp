#include "client/core/close_logic.h"

#include <gtest/gtest.h>

namespace tarnel {
namespace {

TEST(CloseLogic, CloseButtonActsOnTheSavedChoiceOnlyWhenNotAsking) {
    const struct {
        int askPrompt;
        int exitApp;
        CloseAction action;
    } cases[] = {
        {0, 0, CloseAction::AskExitQuestion},
        {0, 1, CloseAction::AskExitQuestion},
        {1, 0, CloseAction::HideToTray},
        {1, 1, CloseAction::EndProgram},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CloseButtonAction(c.askPrompt, c.exitApp), c.action)
            << "askprompt " << c.askPrompt << ", exitapp " << c.exitApp;
    }
}

TEST(CloseLogic, ExitQuestionAnswers) {
    const struct {
        int exitChoice;
        CloseAction action;
    } cases[] = {
        {1, CloseAction::HideToTray},
        {0, CloseAction::EndProgram},
        {-1, CloseAction::StayOpen},
        {7, CloseAction::StayOpen},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AfterExitQuestion(c.exitChoice), c.action) << "choice " << c.exitChoice;
    }
}

}  // namespace
}  // namespace tarnel
