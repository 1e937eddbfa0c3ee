#pragma once

#include <iosfwd>
#include <string>

#include "installer/flow/installer_view.h"
#include "installer/flow/task_queue.h"

namespace tarnel {

// The installer's view on a terminal: status lines on out, boxes on err, progress as a
// percentage after the status when out is a terminal. Effects run when the owner drains queue.
class TerminalView : public InstallerView {
  public:
    TerminalView(std::ostream& out, std::ostream& err, bool outIsTerminal)
        : out_(out), err_(err), outIsTerminal_(outIsTerminal) {}

    TaskQueue queue;
    const std::string& LastStatus() const { return status_; }

    void Post(std::function<void()> effect) override { queue.Post(std::move(effect)); }
    void SetStatus(const std::string& text) override;
    void SetProgress(int percent) override;
    void EnableInstallButton(bool) override {}
    void ShowInstallDone(bool) override {}
    void EnablePermissionToggle(bool) override {}
    void ShowIcon(const std::string&) override {}
    void ShowFacts(const DeviceBridge&) override {}
    void ShowBox(const std::string& text) override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    // Nobody is there to answer: the installation goes on.
    bool AskQuestion(const std::string&, const std::string&) override { return true; }

  private:
    void EndProgressLine();

    std::ostream& out_;
    std::ostream& err_;
    const bool outIsTerminal_;
    std::string status_;
    bool progressShown_ = false;
};

}  // namespace tarnel
