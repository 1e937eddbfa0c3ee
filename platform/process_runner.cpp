#include "platform/process_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <utility>

extern char** environ;

namespace tarnel {
namespace {

using Clock = std::chrono::steady_clock;

// After the child has exited, a grandchild (an adb server it started, say) may still hold the
// output open; this is how long we keep listening for the child's last words.
constexpr std::chrono::milliseconds kAfterExitGrace{2000};

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            Close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    ~FileDescriptor() { Close(); }
    int Get() const { return fd_; }
    void Close() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

struct OutputChannel {
    FileDescriptor readEnd;
    FileDescriptor writeEnd;  // the child's side; closed in the parent after the spawn
    std::string childPath;    // a terminal is opened by name in the child
};

std::optional<OutputChannel> OpenPipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return std::nullopt;
    OutputChannel channel;
    channel.readEnd = FileDescriptor(fds[0]);
    channel.writeEnd = FileDescriptor(fds[1]);
    return channel;
}

std::optional<OutputChannel> OpenTerminal() {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        return std::nullopt;
    OutputChannel channel;
    channel.readEnd = FileDescriptor(master);
    char name[128];
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0) {
        return std::nullopt;
    }
    channel.childPath = name;
    // Holding the child's side open keeps reads from failing before the child has opened it.
    channel.writeEnd = FileDescriptor(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (channel.writeEnd.Get() < 0)
        return std::nullopt;
    return channel;
}

class SpawnSetup {
  public:
    SpawnSetup() {
        ::posix_spawn_file_actions_init(&actions_);
        ::posix_spawnattr_init(&attributes_);
    }
    ~SpawnSetup() {
        ::posix_spawn_file_actions_destroy(&actions_);
        ::posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    void Prepare(const OutputChannel& channel) {
        ::posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
        if (channel.childPath.empty()) {
            ::posix_spawn_file_actions_adddup2(&actions_, channel.writeEnd.Get(), 1);
        } else {
            ::posix_spawn_file_actions_addopen(&actions_, 1, channel.childPath.c_str(),
                                               O_RDWR | O_NOCTTY, 0);
        }
        ::posix_spawn_file_actions_adddup2(&actions_, 1, 2);

        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        sigaddset(&defaults, SIGINT);
        sigaddset(&defaults, SIGTERM);
        sigaddset(&defaults, SIGCHLD);
        sigset_t none;
        sigemptyset(&none);
        ::posix_spawnattr_setsigdefault(&attributes_, &defaults);
        ::posix_spawnattr_setsigmask(&attributes_, &none);
        ::posix_spawnattr_setpgroup(&attributes_, 0);
        ::posix_spawnattr_setflags(
            &attributes_, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }

    int Spawn(pid_t* pid, const std::vector<std::string>& argv) {
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        return ::posix_spawnp(pid, args[0], &actions_, &attributes_, args.data(), environ);
    }

  private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

int DecodeStatus(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

// Bytes the process has read and written through any file or socket; -1 when unknown.
long long IoCounter(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/io", static_cast<int>(pid));
    std::FILE* file = std::fopen(path, "re");
    if (file == nullptr)
        return -1;
    long long total = 0, value = 0;
    char name[32];
    while (std::fscanf(file, "%31[^:]: %lld\n", name, &value) == 2) {
        if (std::string_view(name) == "rchar" || std::string_view(name) == "wchar")
            total += value;
    }
    std::fclose(file);
    return total;
}

// Reads until end of output, the time limit, or (after the child's exit) a quiet grace period.
void ReadOutput(int fd, pid_t pid, const RunOptions& options, RunResult& result) {
    const Clock::time_point deadline =
        options.timeLimit.count() > 0 ? Clock::now() + options.timeLimit : Clock::time_point::max();
    bool exited = false;
    Clock::time_point graceEnd = Clock::time_point::max();
    Clock::time_point lastActivity = Clock::now();
    long long lastCounter = -1;
    char buffer[65536];
    while (true) {
        const Clock::time_point now = Clock::now();
        if (options.idleLimit.count() > 0 && !exited) {
            const long long counter = IoCounter(pid);
            if (counter != lastCounter) {
                lastCounter = counter;
                lastActivity = now;
            }
        }
        const bool stuck =
            options.idleLimit.count() > 0 && !exited && now - lastActivity >= options.idleLimit;
        if (now >= deadline || stuck || options.stop.stop_requested()) {
            ::kill(-pid, SIGKILL);
            result.outcome = now >= deadline || stuck ? RunResult::Outcome::TimedOut
                                                      : RunResult::Outcome::Stopped;
            return;
        }
        if (now >= graceEnd)
            return;
        pollfd entry{fd, POLLIN, 0};
        int ready = ::poll(&entry, 1, 200);
        if (ready < 0 && errno != EINTR)
            return;
        if (ready > 0) {
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n == 0)
                return;
            if (n < 0) {
                // A terminal reports EIO once the last writer has gone: the end of output.
                if (errno == EINTR || errno == EAGAIN)
                    continue;
                return;
            }
            std::string_view piece(buffer, static_cast<size_t>(n));
            result.output.append(piece);
            lastActivity = Clock::now();
            if (options.onOutput)
                options.onOutput(piece);
            if (exited)
                graceEnd = Clock::now() + kAfterExitGrace;
        }
        if (!exited) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                result.exitStatus = DecodeStatus(status);
                exited = true;
                graceEnd = Clock::now() + kAfterExitGrace;
            }
        }
    }
}

}  // namespace

RunResult RunProcess(const std::vector<std::string>& argv, const RunOptions& options) {
    RunResult result;
    if (argv.empty() || argv[0].empty())
        return result;
    std::optional<OutputChannel> channel = options.pseudoTerminal ? OpenTerminal() : OpenPipe();
    if (!channel)
        return result;

    SpawnSetup setup;
    setup.Prepare(*channel);
    pid_t pid = 0;
    if (setup.Spawn(&pid, argv) != 0)
        return result;
    channel->writeEnd.Close();
    result.outcome = RunResult::Outcome::Finished;

    ReadOutput(channel->readEnd.Get(), pid, options, result);
    if (result.exitStatus < 0) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        result.exitStatus = DecodeStatus(status);
    }
    return result;
}

}  // namespace tarnel
