#include "client/core/close_logic.h"

namespace tarnel {

CloseAction CloseButtonAction(int askPrompt, int exitApp) {
    if (askPrompt != 1) {
        return CloseAction::AskExitQuestion;
    }
    return exitApp == 1 ? CloseAction::EndProgram : CloseAction::HideToTray;
}

CloseAction AfterExitQuestion(int exitChoice) {
    switch (exitChoice) {
        case 1:
            return CloseAction::HideToTray;
        case 0:
            return CloseAction::EndProgram;
        default:
            return CloseAction::StayOpen;
    }
}

}  // namespace tarnel
