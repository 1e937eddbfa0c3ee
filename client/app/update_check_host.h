#pragma once

#include <QObject>
#include <QPointer>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "client/core/update_check.h"

class QWidget;

namespace tarnel {

struct UpdateCheckHostOptions {
    UpdateCheckFolders folders;  // default: the program folder and the user's cache folder
    std::chrono::milliseconds limit = kReceiveLimit;
    // Ends the program at once, without the window's clean-up; tests record the code.
    std::function<void(int exitCode)> exitProgram;
};

// Runs the update check once on a thread of its own and presents its reports on the GUI thread:
// each message in a box of its own, one after the other, without blocking the window; a newer
// version starts the updater and ends the program.
class UpdateCheckHost : public QObject {
    Q_OBJECT

  public:
    explicit UpdateCheckHost(QWidget* window, UpdateCheckHostOptions options = {});
    ~UpdateCheckHost() override;

    // Starts the check. The thread is not waited for: it ends by itself or with the process, and
    // its reports are dropped once this object is gone.
    void Start();

  private:
    class Relay;
    // A message text, or nothing for the new-version report.
    using Report = std::optional<std::string>;

    void Receive(Report report);
    void PresentNext();
    void PresentNewVersion();

    QPointer<QWidget> window_;
    UpdateCheckHostOptions options_;
    std::shared_ptr<Relay> relay_;
    std::deque<Report> pending_;
    bool presenting_ = false;
};

}  // namespace tarnel
