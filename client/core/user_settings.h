#pragma once

#include <filesystem>
#include <string>

namespace tarnel {

// A setting's text as a value: the C library's decimal reading of at most 19 characters (leading
// blanks and a sign allowed, anything after the digits ignored); every result but 1 counts as 0.
int SettingValue(const std::string& text);

// The user's close behaviour, section "SET" of tarnelUser.ini. Every read goes to the file, so a
// change made by one window is seen by the next use in another; every write goes through at once,
// atomically. A missing file or key reads as 0.
class UserSettings {
  public:
    // tarnelUser.ini in UserConfigFolder().
    UserSettings();
    explicit UserSettings(std::filesystem::path file) : file_(std::move(file)) {}

    const std::filesystem::path& File() const { return file_; }

    // 1: the close button does not ask; it acts on ExitApp() at once.
    int AskPrompt() const;
    // 1: closing ends the program; 0: closing hides the window to the notification area.
    int ExitApp() const;

    // False when the file could not be written (it is then unchanged).
    bool WriteAskPrompt(int value) const;
    bool WriteExitApp(int value) const;

  private:
    int Read(const char* key) const;
    bool Write(const char* key, int value) const;

    std::filesystem::path file_;
};

}  // namespace tarnel
