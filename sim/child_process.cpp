#include "sim/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <array>
#include <cerrno>
#include <cstring>
#include <map>

extern char** environ;

namespace tarnel::sim {

namespace {

struct Pipe {
    int read = -1;
    int write = -1;
};

bool MakePipe(Pipe& pipe) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return false;
    }
    pipe.read = fds[0];
    pipe.write = fds[1];
    return true;
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
    std::map<std::string, std::string> byName;
    std::vector<std::string> order;
    auto put = [&](const std::string& entry) {
        const std::string name = entry.substr(0, entry.find('='));
        if (!byName.contains(name)) {
            order.push_back(name);
        }
        byName[name] = entry;
    };
    for (char** each = environ; *each; ++each) {
        put(*each);
    }
    for (const std::string& entry : extra) {
        put(entry);
    }
    std::vector<std::string> merged;
    for (const std::string& name : order) {
        merged.push_back(byName[name]);
    }
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& each : strings) {
        pointers.push_back(each.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Drains what a pipe holds now; false at end of stream.
bool ReadAvailable(int fd, std::string& into) {
    std::array<char, 65536> buffer;
    for (;;) {
        const ssize_t got = read(fd, buffer.data(), buffer.size());
        if (got > 0) {
            into.append(buffer.data(), static_cast<size_t>(got));
            continue;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        return got < 0 && errno == EAGAIN;
    }
}

int StatusCode(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

}  // namespace

ChildResult RunChild(const std::vector<std::string>& argv, std::chrono::milliseconds timeLimit,
                     const std::vector<std::string>& extraEnvironment) {
    ChildResult result;
    Pipe out, err;
    if (argv.empty() || !MakePipe(out) || !MakePipe(err)) {
        CloseFd(out.read);
        CloseFd(out.write);
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.write, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.write, STDERR_FILENO);
    std::vector<std::string> arguments = argv;
    std::vector<std::string> environment = MergedEnvironment(extraEnvironment);
    std::vector<char*> argumentPointers = Pointers(arguments);
    std::vector<char*> environmentPointers = Pointers(environment);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0].c_str(), &actions, nullptr,
                                     argumentPointers.data(), environmentPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    CloseFd(out.write);
    CloseFd(err.write);
    if (spawned != 0) {
        CloseFd(out.read);
        CloseFd(err.read);
        return result;
    }
    result.started = true;
    fcntl(out.read, F_SETFL, O_NONBLOCK);
    fcntl(err.read, F_SETFL, O_NONBLOCK);

    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    int status = 0;
    bool exited = false;
    while (!exited) {
        std::array<pollfd, 2> fds = {pollfd{out.read, POLLIN, 0}, pollfd{err.read, POLLIN, 0}};
        // A short tick, so that a child that exits while a daemon keeps the pipes is noticed.
        const bool reading = out.read >= 0 || err.read >= 0;
        poll(fds.data(), fds.size(), reading ? 20 : 2);
        if (out.read >= 0 && !ReadAvailable(out.read, result.standardOutput)) {
            CloseFd(out.read);
        }
        if (err.read >= 0 && !ReadAvailable(err.read, result.standardError)) {
            CloseFd(err.read);
        }
        exited = waitpid(pid, &status, WNOHANG) == pid;
        if (!exited && std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.timedOut = true;
            exited = true;
        }
    }
    for (int* fd : {&out.read, &err.read}) {
        if (*fd >= 0) {
            ReadAvailable(*fd, fd == &out.read ? result.standardOutput : result.standardError);
            CloseFd(*fd);
        }
    }
    result.exitStatus = StatusCode(status);
    return result;
}

}  // namespace tarnel::sim
