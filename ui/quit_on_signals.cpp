#include "ui/quit_on_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>

namespace tarnel {
namespace {

constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};

// The pipe's writing end, for the handler: nothing but a write and errno happen there.
std::atomic<int> signalPipe{-1};

void OnSignal(int signal) {
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe.load(), &number, 1);
    errno = saved;
}

}  // namespace

QuitOnSignals::QuitOnSignals(std::function<void()> quit, QObject* parent)
    : QObject(parent), quit_(std::move(quit)) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    readEnd_ = unique_fd(fds[0]);
    writeEnd_ = unique_fd(fds[1]);
    signalPipe.store(writeEnd_.Get());
    notifier_ = new QSocketNotifier(readEnd_.Get(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitOnSignals::Take);

    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int at = 0; at < 3; ++at) {
        if (::sigaction(kSignals[at], nullptr, &previous_[at]) != 0 ||
            previous_[at].sa_handler == SIG_IGN)
            continue;
        installed_[at] = ::sigaction(kSignals[at], &action, nullptr) == 0;
    }
    sigset_t ours;
    sigemptyset(&ours);
    for (int signal : kSignals)
        sigaddset(&ours, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &ours, nullptr);
}

QuitOnSignals::~QuitOnSignals() {
    RestoreHandlers();
    signalPipe.store(-1);
}

void QuitOnSignals::RestoreHandlers() {
    for (int at = 0; at < 3; ++at) {
        if (installed_[at])
            ::sigaction(kSignals[at], &previous_[at], nullptr);
        installed_[at] = false;
    }
}

void QuitOnSignals::Take() {
    unsigned char numbers[16];
    while (::read(readEnd_.Get(), numbers, sizeof numbers) > 0) {
    }
    notifier_->setEnabled(false);
    RestoreHandlers();
    quit_();
}

}  // namespace tarnel
