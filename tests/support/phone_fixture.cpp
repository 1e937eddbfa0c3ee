#include "tests/support/phone_fixture.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "platform/process_runner.h"
#include "tests/package/test_folder.h"

extern char** environ;

namespace tarnel::test {

namespace {

using namespace std::chrono_literals;

std::filesystem::path MakeTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarnel-phone-XXXXXX").string();
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

// Polls `condition` until it holds (true) or `limit` has passed (false).
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

}  // namespace

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
        const bool ended =
            Eventually([&] { return waitpid(phonePid_, &status, WNOHANG) != 0; }, 10s);
        if (!ended) {
            kill(phonePid_, SIGKILL);
            waitpid(phonePid_, &status, 0);
        }
    }
    phonePid_ = -1;
    const std::string log = ReadFile(folder_ / "phonesim.log");
    if (diedEarly || log.find("Sanitizer") != std::string::npos ||
        log.find("runtime error:") != std::string::npos) {
        ADD_FAILURE() << "tarnel-phonesim " << (diedEarly ? "died during the test" : "misbehaved")
                      << ":\n"
                      << log;
    }
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
        if (started.exitStatus == 0) {
            return;
        }
    }
    throw std::runtime_error("cannot start an adb server");
}

void SimulatedPhone::StartPhone(const Scenario& scenario) {
    const std::filesystem::path scenarioFile = folder_ / "scenario.json";
    std::ofstream(scenarioFile) << scenario.dump(2);
    const std::string program = TARNEL_PHONESIM_PATH;
    const std::filesystem::path out = folder_ / "phonesim.out";
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
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(spawned));
    }
    phonePid_ = pid;
    // It prints "ready 127.0.0.1:PORT" once it listens; one that ends first has failed.
    std::string ready;
    bool ended = false;
    Eventually(
        [&] {
            ready = ReadFile(out);
            ended = waitpid(pid, nullptr, WNOHANG) == pid;
            return ended || ready.find('\n') != std::string::npos;
        },
        30s);
    if (ended) {
        phonePid_ = -1;
    }
    if (ended || !ready.starts_with("ready 127.0.0.1:")) {
        throw std::runtime_error("tarnel-phonesim did not start: " + ReadFile(log));
    }
    serial_ = ready.substr(6, ready.find('\n') - 6);
}

void SimulatedPhone::Plug() {
    const AdbRun connected = AdbServer({"connect", serial_}, 30s);
    // adb gives up at once on a phone that wants authentication it cannot get.
    const std::string expected = refusesHandshake_ ? "unauthorized" : "device";
    if (!Eventually([&] { return State() == expected; }, 30s)) {
        throw std::runtime_error("adb did not list the phone as " + expected + ": exit " +
                                 std::to_string(connected.exitStatus) + ", " + connected.Both());
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
    options.environment = {"HOME=" + (folder_ / "home").string(),
                           "ANDROID_ADB_LOG_PATH=" + (folder_ / "adb.log").string()};
    const RunResult run = RunProcess(argv, options);
    if (run.outcome == RunResult::Outcome::CouldNotStart) {
        throw std::runtime_error("cannot run adb; is the adb package installed?");
    }
    return {run.exitStatus, run.output, run.errors};
}

std::string SimulatedPhone::State() const {
    const AdbRun devices = AdbServer({"devices"}, 30s);
    std::istringstream lines(devices.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(serial_ + "\t")) {
            return line.substr(serial_.size() + 1);
        }
    }
    return {};
}

}  // namespace tarnel::test
