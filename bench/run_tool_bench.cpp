// RunTool on a child writing 8 MiB, against the bare cost of reading `cat` of the same bytes
// through a pipe. Prints both medians and their ratio (target: within 1.3x).
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bridge/device_bridge.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

size_t BareCat(const std::string& file) {
    int fds[2];
    if (::pipe(fds) != 0)
        return 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    char cat[] = "cat";
    std::vector<char*> argv = {cat, const_cast<char*>(file.c_str()), nullptr};
    pid_t pid = 0;
    ::posix_spawnp(&pid, "cat", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    std::string output;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, n);
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    return output.size();
}

template <typename F>
double MedianMs(int runs, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main() {
    const auto file = std::filesystem::temp_directory_path() / "tarnel-bench-8mib.txt";
    {
        std::ofstream out(file, std::ios::binary);
        std::string line = "package:com.example.some.long.package.name.for.the.benchmark\n";
        for (size_t written = 0; written < 8u << 20; written += line.size())
            out << line;
    }
    tarnel::DeviceBridge bridge(tarnel::BridgeVariant::Installer);
    const std::string command = "cat " + file.string();
    size_t sizeOurs = 0, sizeBare = 0;
    const double ours = MedianMs(15, [&] { sizeOurs = bridge.RunTool(command).size(); });
    const double bare = MedianMs(15, [&] { sizeBare = BareCat(file.string()); });
    std::filesystem::remove(file);
    std::printf("RunTool, 8 MiB:        %.1f ms (%zu bytes)\n", ours, sizeOurs);
    std::printf("cat through a pipe:    %.1f ms (%zu bytes)\n", bare, sizeBare);
    std::printf("ratio RunTool / bare:  %.2fx (target 1.30x or less)\n", ours / bare);
    return sizeOurs == sizeBare ? 0 : 1;
}
