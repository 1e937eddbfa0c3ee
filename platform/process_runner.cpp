#include "platform/process_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <utility>

#include "platform/unique_fd.h"

extern char** environ;

namespace tarnel {
namespace {

using Clock = std::chrono::steady_clock;

// After the child has exited, a grandchild (an adb server it started, say) may still hold the
// output open; this is how long we keep listening for the child's last words.
constexpr std::chrono::milliseconds kAfterExitGrace{2000};

struct OutputChannel {
    unique_fd readEnd;
    unique_fd writeEnd;     // the child's side; closed in the parent after the spawn
    std::string childPath;  // a terminal is opened by name in the child
};

std::optional<OutputChannel> OpenPipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return std::nullopt;
    OutputChannel channel;
    channel.readEnd = unique_fd(fds[0]);
    channel.writeEnd = unique_fd(fds[1]);
    return channel;
}

std::optional<OutputChannel> OpenTerminal() {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        return std::nullopt;
    OutputChannel channel;
    channel.readEnd = unique_fd(master);
    char name[128];
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0) {
        return std::nullopt;
    }
    channel.childPath = name;
    // Holding the child's side open keeps reads from failing before the child has opened it.
    channel.writeEnd = unique_fd(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (channel.writeEnd.Get() < 0)
        return std::nullopt;
    return channel;
}

std::vector<char*> Pointers(const std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (const std::string& each : strings)
        pointers.push_back(const_cast<char*>(each.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// Ours, with each extra "NAME=value" replacing a variable of the same name.
std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> merged;
    const auto named = [](std::string_view entry) { return entry.substr(0, entry.find('=') + 1); };
    for (char** each = environ; *each != nullptr; ++each) {
        const std::string_view entry = *each;
        if (std::none_of(extra.begin(), extra.end(),
                         [&](const std::string& e) { return named(e) == named(entry); }))
            merged.emplace_back(entry);
    }
    merged.insert(merged.end(), extra.begin(), extra.end());
    return merged;
}

// Every set-up call is checked: a child started with half its set-up (output not on our pipe,
// not in its own group) could neither be read nor stopped.
class SpawnSetup {
  public:
    SpawnSetup() {
        actionsReady_ = ::posix_spawn_file_actions_init(&actions_) == 0;
        attributesReady_ = ::posix_spawnattr_init(&attributes_) == 0;
    }
    ~SpawnSetup() {
        if (actionsReady_)
            ::posix_spawn_file_actions_destroy(&actions_);
        if (attributesReady_)
            ::posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    bool Prepare(const OutputChannel& channel, const OutputChannel* errors) {
        if (!actionsReady_ || !attributesReady_)
            return false;
        if (::posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0) != 0)
            return false;
        const int output =
            channel.childPath.empty()
                ? ::posix_spawn_file_actions_adddup2(&actions_, channel.writeEnd.Get(), 1)
                : ::posix_spawn_file_actions_addopen(&actions_, 1, channel.childPath.c_str(),
                                                     O_RDWR | O_NOCTTY, 0);
        const int errorOutput =
            errors != nullptr
                ? ::posix_spawn_file_actions_adddup2(&actions_, errors->writeEnd.Get(), 2)
                : ::posix_spawn_file_actions_adddup2(&actions_, 1, 2);
        if (output != 0 || errorOutput != 0)
            return false;

        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        sigaddset(&defaults, SIGINT);
        sigaddset(&defaults, SIGTERM);
        sigaddset(&defaults, SIGCHLD);
        sigset_t none;
        sigemptyset(&none);
        return ::posix_spawnattr_setsigdefault(&attributes_, &defaults) == 0 &&
               ::posix_spawnattr_setsigmask(&attributes_, &none) == 0 &&
               ::posix_spawnattr_setpgroup(&attributes_, 0) == 0 &&
               ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETPGROUP |
                                                            POSIX_SPAWN_SETSIGDEF |
                                                            POSIX_SPAWN_SETSIGMASK) == 0;
    }

    int Spawn(pid_t* pid, const std::vector<std::string>& argv,
              const std::vector<std::string>& environment) {
        std::vector<char*> args = Pointers(argv);
        if (environment.empty())
            return ::posix_spawnp(pid, args[0], &actions_, &attributes_, args.data(), environ);
        const std::vector<std::string> merged = MergedEnvironment(environment);
        std::vector<char*> variables = Pointers(merged);
        return ::posix_spawnp(pid, args[0], &actions_, &attributes_, args.data(), variables.data());
    }

  private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
    bool actionsReady_ = false;
    bool attributesReady_ = false;
};

int DecodeStatus(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

struct Stream {
    int fd;
    std::string* into;
    bool output;  // handed to onOutput as well
};

// Bytes the process has read, and read plus written, through any file or socket; -1 when unknown.
struct IoCounters {
    long long read = -1;
    long long moved = -1;
};
IoCounters ReadIoCounters(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/io", static_cast<int>(pid));
    std::FILE* file = std::fopen(path, "re");
    if (file == nullptr)
        return {};
    IoCounters counters{0, 0};
    long long value = 0;
    char name[32];
    while (std::fscanf(file, "%31[^:]: %lld\n", name, &value) == 2) {
        if (std::string_view(name) == "rchar")
            counters.read = value;
        if (std::string_view(name) == "rchar" || std::string_view(name) == "wchar")
            counters.moved += value;
    }
    std::fclose(file);
    return counters;
}

// Reads until end of output, the time limit, or (after the child's exit) a quiet grace period.
// A child that closes its output early is still held to the time limit.
void ReadOutput(std::vector<Stream> streams, pid_t pid, const RunOptions& options,
                RunResult& result) {
    const Clock::time_point deadline =
        options.timeLimit.count() > 0 ? Clock::now() + options.timeLimit : Clock::time_point::max();
    bool exited = false;
    Clock::time_point graceEnd = Clock::time_point::max();
    Clock::time_point lastActivity = Clock::now();
    long long lastCounter = -1;
    // Once the output has closed, the child's exit is what is waited for; its pidfd wakes the
    // poll at once rather than at the next tick (without one, every short tool run may lose one).
    const unique_fd exitWatch(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    bool watchIdle = options.idleLimit.count() > 0;
    char buffer[65536];
    while (true) {
        const Clock::time_point now = Clock::now();
        const bool stuck = watchIdle && !exited && now - lastActivity >= options.idleLimit;
        if (now >= deadline || stuck || options.stop.stop_requested()) {
            ::kill(-pid, SIGKILL);
            result.outcome = now >= deadline || stuck ? RunResult::Outcome::TimedOut
                                                      : RunResult::Outcome::Stopped;
            return;
        }
        if (now >= graceEnd || (exited && streams.empty()))
            return;
        std::vector<pollfd> entries;
        for (const Stream& stream : streams)
            entries.push_back({stream.fd, POLLIN, 0});
        if (streams.empty() && exitWatch)
            entries.push_back({exitWatch.Get(), POLLIN, 0});
        const int ready =
            ::poll(entries.data(), entries.size(), streams.empty() && !exitWatch ? 20 : 200);
        if (ready < 0 && errno != EINTR)
            return;
        // Output is progress; while there is none, the child's own I/O may still be.
        if (ready == 0 && watchIdle && !exited) {
            const IoCounters counters = ReadIoCounters(pid);
            if (counters.moved != lastCounter) {
                lastCounter = counters.moved;
                lastActivity = Clock::now();
            }
            // The upload is through: what remains is the other side's silent work.
            if (options.idleLimitUntilRead > 0 && counters.read >= 0 &&
                static_cast<std::uint64_t>(counters.read) >= options.idleLimitUntilRead)
                watchIdle = false;
        }
        for (size_t at = streams.size(); ready > 0 && at-- > 0;) {
            if (entries[at].revents == 0)
                continue;
            const ssize_t n = ::read(entries[at].fd, buffer, sizeof buffer);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            // A terminal reports EIO once the last writer has gone: the end of output.
            if (n <= 0) {
                streams.erase(streams.begin() + static_cast<std::ptrdiff_t>(at));
                continue;
            }
            std::string_view piece(buffer, static_cast<size_t>(n));
            streams[at].into->append(piece);
            lastActivity = Clock::now();
            if (streams[at].output && options.onOutput)
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
    std::optional<OutputChannel> errors = options.separateErrors ? OpenPipe() : std::nullopt;
    if (!channel || (options.separateErrors && !errors))
        return result;

    SpawnSetup setup;
    pid_t pid = 0;
    if (!setup.Prepare(*channel, errors ? &*errors : nullptr) ||
        setup.Spawn(&pid, argv, options.environment) != 0)
        return result;
    channel->writeEnd.Reset();
    std::vector<Stream> streams = {{channel->readEnd.Get(), &result.output, true}};
    if (errors) {
        errors->writeEnd.Reset();
        streams.push_back({errors->readEnd.Get(), &result.errors, false});
    }
    result.outcome = RunResult::Outcome::Finished;

    ReadOutput(std::move(streams), pid, options, result);
    if (result.exitStatus < 0) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        result.exitStatus = DecodeStatus(status);
    }
    return result;
}

}  // namespace tarnel
