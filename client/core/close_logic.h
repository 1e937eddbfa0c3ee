#pragma once

namespace tarnel {

// What the main window does when its close button is pressed.
enum class CloseAction {
    AskExitQuestion,  // run the exit question, then act on its answer
    EndProgram,
    HideToTray,  // add the notification-area icon and hide the window
    StayOpen,
};

// Before any question: with askprompt 1 the saved exitapp choice is acted on at once.
CloseAction CloseButtonAction(int askPrompt, int exitApp);

// The exit question's answer: 1 hide to the tray, 0 end the program, anything else (-1, the
// question cancelled) leaves the window as it is. The notification-area icon is added whatever
// the answer was.
CloseAction AfterExitQuestion(int exitChoice);

}  // namespace tarnel
