#include "tests/support/phone_fixture.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "platform/process_runner.h"

extern char** environ;

namespace tarnel::test {

namespace {

using namespace std::chrono_literals;

std::filesystem::path MakeTempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarnel-phone-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder: " +
                                 std::string(std::strerror(errno)));
    }
    return pattern;
}

// A port nobody listens on right now; the kernel hands out a fresh one each time.
int FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot find a free port");
    }
    close(fd);
    return ntohs(address.sin_port);
}

std::string Describe(const AdbRun& run) {
    return "exit " + std::to_string(run.exitStatus) + (run.timedOut ? " (timed out)" : "") +
           ", stdout: " + run.out + ", stderr: " + run.err;
}

// Reads the line "ready 127.0.0.1:PORT" the simulator prints once it listens.
int ReadReadyPort(int fd, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::string text;
    while (text.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd waiting{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&waiting, 1, static_cast<int>(left.count())) <= 0) {
            return -1;
        }
        char buffer[256];
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            return -1;
        }
        text.append(buffer, static_cast<size_t>(got));
    }
    const std::string prefix = "ready 127.0.0.1:";
    return text.starts_with(prefix) ? std::atoi(text.c_str() + prefix.size()) : -1;
}

}  // namespace

bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

SimulatedPhone::SimulatedPhone(const Scenario& scenario, PhonePresence presence) {
    Start(scenario, presence);
}

SimulatedPhone::SimulatedPhone(const SimulatedPhone& server, const Scenario& scenario,
                               PhonePresence presence)
    : adbPort_(server.adbPort_), ownsServer_(false) {
    Start(scenario, presence);
}

void SimulatedPhone::Start(const Scenario& scenario, PhonePresence presence) {
    folder_ = MakeTempFolder();
    root_ = folder_ / "phone";
    work_ = folder_ / "work";
    std::filesystem::create_directories(work_);
    std::filesystem::create_directories(folder_ / "home");
    refusesHandshake_ = scenario.value("refuseHandshake", false);
    try {
        if (ownsServer_) {
            StartAdbServer();
        }
        StartPhone(scenario);
        if (presence == PhonePresence::Plugged) {
            Plug();
        }
    } catch (...) {
        Stop();
        throw;
    }
}

SimulatedPhone::~SimulatedPhone() {
    Stop();
}

void SimulatedPhone::Stop() {
    if (adbPort_ != 0) {
        if (!serial_.empty()) {
            AdbServer({"disconnect", serial_}, 10s);
        }
        if (ownsServer_) {
            AdbServer({"kill-server"}, 10s);
        }
        adbPort_ = 0;
    }
    if (phonePid_ > 0) {
        StopPhone();
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    folder_.clear();
}

// A phone that died on its own, or whose log shows a sanitizer's report, fails the test: its
// faults would otherwise only show as odd adb output.
void SimulatedPhone::StopPhone() {
    int status = 0;
    const bool diedEarly = waitpid(phonePid_, &status, WNOHANG) == phonePid_;
    if (!diedEarly) {
        kill(phonePid_, SIGTERM);
        const bool ended = Eventually([&] { return waitpid(phonePid_, &status, WNOHANG) != 0; });
        if (!ended) {
            kill(phonePid_, SIGKILL);
            waitpid(phonePid_, &status, 0);
        }
    }
    phonePid_ = -1;
    std::ifstream in(folder_ / "phonesim.log");
    const std::string log(std::istreambuf_iterator<char>(in), {});
    if (diedEarly || log.find("Sanitizer") != std::string::npos ||
        log.find("runtime error:") != std::string::npos) {
        ADD_FAILURE() << "tarnel-phonesim " << (diedEarly ? "died during the test" : "misbehaved")
                      << ":\n"
                      << log;
    }
}

std::vector<std::string> SimulatedPhone::Environment() const {
    const std::filesystem::path home = folder_ / "home";
    return {"HOME=" + home.string(), "ANDROID_ADB_LOG_PATH=" + (folder_ / "adb.log").string()};
}

void SimulatedPhone::StartAdbServer() {
    // Two tests may pick the same free port in the same instant; the loser tries again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        adbPort_ = FreeLoopbackPort();
        setenv("ANDROID_ADB_SERVER_PORT", std::to_string(adbPort_).c_str(), 1);
        setenv("ADB_EMU", "0", 1);
        setenv("ADB_USB", "0", 1);
        setenv("ADB_MDNS", "0", 1);
        const AdbRun started = AdbServer({"start-server"}, 30s);
        if (started.exitStatus == 0 && !started.timedOut) {
            return;
        }
    }
    throw std::runtime_error("cannot start an adb server");
}

void SimulatedPhone::StartPhone(const Scenario& scenario) {
    const std::filesystem::path scenarioFile = folder_ / "scenario.json";
    std::ofstream(scenarioFile) << scenario.dump(2);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe: " + std::string(std::strerror(errno)));
    }
    const std::string program = TARNEL_PHONESIM_PATH;
    const std::string log = (folder_ / "phonesim.log").string();
    std::vector<std::string> arguments = {
        program, "--port", "0", "--root", root_.string(), "--scenario", scenarioFile.string()};
    std::vector<char*> argv;
    for (std::string& each : arguments) {
        argv.push_back(each.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(spawned));
    }
    phonePid_ = pid;
    const int port = ReadReadyPort(fds[0], 30s);
    close(fds[0]);
    if (port <= 0) {
        std::ifstream in(log);
        throw std::runtime_error("tarnel-phonesim did not start: " +
                                 std::string(std::istreambuf_iterator<char>(in), {}));
    }
    serial_ = "127.0.0.1:" + std::to_string(port);
}

void SimulatedPhone::Plug() {
    const AdbRun connected = AdbServer({"connect", serial_}, 30s);
    if (refusesHandshake_) {
        // adb gives up at once on a phone that wants authentication it cannot get.
        if (!WaitForState("unauthorized")) {
            throw std::runtime_error("the phone did not show as unauthorized: " +
                                     Describe(connected));
        }
        return;
    }
    if (!WaitForState("device")) {
        throw std::runtime_error("adb did not list the phone as a device: " + Describe(connected));
    }
}

void SimulatedPhone::Unplug() {
    AdbServer({"disconnect", serial_}, 30s);
}

std::filesystem::path SimulatedPhone::HostPath(std::string_view devicePath) const {
    return root_ / std::filesystem::path(devicePath).relative_path();
}

AdbRun SimulatedPhone::Adb(const std::vector<std::string>& arguments,
                           std::chrono::milliseconds limit) const {
    std::vector<std::string> withSerial = {"-s", serial_};
    withSerial.insert(withSerial.end(), arguments.begin(), arguments.end());
    return AdbServer(withSerial, limit);
}

AdbRun SimulatedPhone::AdbServer(const std::vector<std::string>& arguments,
                                 std::chrono::milliseconds limit) const {
    std::vector<std::string> argv = {"adb"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    RunOptions options;
    options.timeLimit = limit;
    options.separateErrors = true;
    options.environment = Environment();
    const RunResult run = RunProcess(argv, options);
    if (run.outcome == RunResult::Outcome::CouldNotStart) {
        throw std::runtime_error("cannot run adb; is the adb package installed?");
    }
    return {run.outcome == RunResult::Outcome::TimedOut, run.exitStatus, run.output, run.errors};
}

std::string SimulatedPhone::State() const {
    const AdbRun devices = AdbServer({"devices"}, 30s);
    const std::string prefix = serial_ + "\t";
    for (size_t at = devices.out.find(prefix); at != std::string::npos;
         at = devices.out.find(prefix, at + 1)) {
        if (at == 0 || devices.out[at - 1] == '\n') {
            const size_t from = at + prefix.size();
            return devices.out.substr(from, devices.out.find('\n', from) - from);
        }
    }
    return {};
}

bool SimulatedPhone::WaitForState(std::string_view state, std::chrono::milliseconds limit) const {
    return Eventually([&] { return State() == state; }, limit);
}

}  // namespace tarnel::test
