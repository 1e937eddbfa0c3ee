#include "installer/cli/headless_install.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <ostream>
#include <thread>

#include "bridge/phone_choice.h"
#include "installer/cli/terminal_view.h"
#include "installer/flow/install_flow.h"
#include "platform/tool_locator.h"

namespace tarnel {
namespace {

using namespace std::chrono_literals;

// Turns Ctrl-C, SIGTERM and SIGHUP (the terminal was closed) into a call on the view's thread. The
// signals are blocked in every thread and taken here with sigtimedwait, so no handler runs in a
// random thread.
class InterruptWatch {
  public:
    explicit InterruptWatch(TerminalView& view, std::function<void()> onInterrupt) {
        sigemptyset(&signals_);
        sigaddset(&signals_, SIGINT);
        sigaddset(&signals_, SIGTERM);
        sigaddset(&signals_, SIGHUP);
        sigaddset(&signals_, kWake);
        ::pthread_sigmask(SIG_BLOCK, &signals_, &previous_);
        watcher_ = std::jthread([this, &view, onInterrupt](std::stop_token stop) {
            const timespec tick{0, 200'000'000};
            while (!stop.stop_requested()) {
                const int signal = ::sigtimedwait(&signals_, nullptr, &tick);
                if (signal > 0 && signal != kWake)
                    view.Post(onInterrupt);
            }
        });
    }
    ~InterruptWatch() {
        watcher_.request_stop();
        // Ends the wait at once rather than at its next tick: the program's exit waits for it.
        ::pthread_kill(watcher_.native_handle(), kWake);
        watcher_.join();
        ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }

  private:
    static constexpr int kWake = SIGUSR2;
    sigset_t signals_;
    sigset_t previous_;
    std::jthread watcher_;
};

void RunUntil(TerminalView& view, const std::function<bool()>& done) {
    while (!done())
        view.queue.RunFor(100ms);
}

}  // namespace

int RunHeadlessInstall(const std::string& path, bool internal, std::ostream& out, std::ostream& err,
                       const std::string& serial) {
    TerminalView view(out, err, ::isatty(STDOUT_FILENO) == 1);
    InstallerState state;
    state.bridge.adbPath = FindTool("adb", "TARNEL_ADB");
    state.bridge.aaptPath = FindTool("aapt", "TARNEL_AAPT");
    state.installToSdCard = internal ? 0 : 1;
    state.wantedSerial = WantedSerial(serial, std::getenv("ANDROID_SERIAL"));
    if (state.bridge.adbPath.empty()) {
        err << "tarnelInstall: adb was not found (install Debian's adb package, or set "
               "TARNEL_ADB)\n";
        return kFailedExit;
    }

    bool interrupted = false;
    InstallFlow flow(view, state);
    InterruptWatch watch(view, [&] {
        interrupted = true;
        flow.Stop();
    });

    std::error_code error;
    flow.OpenPackage(std::filesystem::absolute(path, error).string());
    if (state.packageLoaded == 0)
        return kFailedExit;
    RunUntil(view, [&] { return state.loading == 0; });
    if (state.loadSucceeded == 0 || interrupted)
        return kFailedExit;

    flow.StartInstall();
    RunUntil(view, [&] { return state.busy == 0; });
    if (interrupted) {
        err << "tarnelInstall: stopped\n";
        return kFailedExit;
    }
    if (state.lastInstall == InstallOutcome::Installed)
        return kInstalledExit;
    if (state.lastInstall == InstallOutcome::SeveralPhones)
        return kSeveralPhonesExit;
    return state.lastInstall == InstallOutcome::NoPhone ? kNoPhoneExit : kFailedExit;
}

}  // namespace tarnel
