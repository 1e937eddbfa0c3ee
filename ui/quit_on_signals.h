#pragma once

#include <signal.h>

#include <QObject>
#include <functional>

#include "platform/unique_fd.h"

class QSocketNotifier;

namespace tarnel {

// Ends a windowed program in order when it is told to from outside: Ctrl-C in its terminal,
// kill (SIGTERM), the terminal closed (SIGHUP). The handler only writes the signal's number to a
// pipe; the GUI thread reads it and calls quit, which closes the windows, so that worker threads
// are joined and the web engine takes its helper processes down with it. A second signal while
// that runs ends the program at once, as it would have without this; a signal ignored from the
// start (nohup) stays ignored. The web engine puts these signals back to their defaults when it
// starts: create this once the first web view exists. One at a time.
class QuitOnSignals : public QObject {
  public:
    explicit QuitOnSignals(std::function<void()> quit, QObject* parent = nullptr);
    ~QuitOnSignals() override;
    QuitOnSignals(const QuitOnSignals&) = delete;
    QuitOnSignals& operator=(const QuitOnSignals&) = delete;

  private:
    void Take();
    void RestoreHandlers();

    std::function<void()> quit_;
    unique_fd readEnd_;
    unique_fd writeEnd_;
    QSocketNotifier* notifier_ = nullptr;
    struct sigaction previous_[3] = {};
    bool installed_[3] = {};
};

}  // namespace tarnel
