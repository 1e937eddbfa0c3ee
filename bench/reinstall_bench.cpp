// Installing a game package onto a simulated phone as slow as a real one on a USB 2.0 cable
// (40 MB/s): a fresh install, then the same package again, then an update of one small file.
// Before another install left out what the phone holds, each of them took as long as the fresh
// one. Target: the same package again in at most a fifth of the fresh install's time.
//
//   reinstall_bench [DATA_MIB] [BYTES_PER_SECOND]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "installer/flow/install_flow.h"
#include "installer/package/game_package_writer.h"
#include "platform/tool_locator.h"
#include "tests/apk/apk_builder.h"
#include "tests/flow/recording_view.h"
#include "tests/support/phone_fixture.h"

namespace fs = std::filesystem;
using namespace tarnel;

namespace {

constexpr const char* kGame = "com.example.bench";
constexpr int kSmallFiles = 200;

std::string RandomBytes(std::mt19937_64& random, std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t at = 0; at + 8 <= size; at += 8) {
        const std::uint64_t word = random();
        std::memcpy(data.data() + at, &word, 8);
    }
    return data;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Most of the data in one stored obb, the rest in small files, as games ship it.
GamePackage MakePackage(const fs::path& apk, std::uint64_t dataBytes) {
    std::mt19937_64 random(42);
    GamePackage package;
    package.manifest.packageName = kGame;
    package.manifest.appName = "bench";
    package.apk = ReadFile(apk);
    package.options.stored = true;
    const std::string folder = std::string("obb/") + kGame + "/";
    const std::size_t small = 64 << 10;
    package.dataFiles.push_back(
        {folder + "main.1.obb", RandomBytes(random, dataBytes - kSmallFiles * small)});
    for (int i = 0; i < kSmallFiles; ++i)
        package.dataFiles.push_back(
            {folder + "res/" + std::to_string(i) + ".dat", RandomBytes(random, small)});
    return package;
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint64_t mib = argc > 1 ? std::stoull(argv[1]) : 200;
    const std::uint64_t rate = argc > 2 ? std::stoull(argv[2]) : 40000000;
    test::SimulatedPhone phone(test::Scenario{{"throughput", rate}});
    const fs::path games = phone.WorkFolder() / "games";
    fs::create_directories(games);
    ::setenv("XDG_CACHE_HOME", (phone.WorkFolder() / "cache").c_str(), 1);
    test::ApkContents apk;
    apk.packageName = kGame;
    apk.label = "bench";
    test::BuildApk(apk, games / "bench.apk");
    GamePackage package = MakePackage(games / "bench.apk", mib << 20);

    test::RecordingView view;
    InstallerState state;
    state.bridge.adbPath = FindTool("adb", "TARNEL_ADB");
    state.bridge.aaptPath = FindTool("aapt", "TARNEL_AAPT");
    InstallFlow flow(view, state);
    const auto install = [&](const char* what) {
        const fs::path path = games / "bench.tpk";
        if (!WriteGamePackage(path, package)) {
            std::fprintf(stderr, "cannot write the package\n");
            std::exit(1);
        }
        flow.OpenPackage(path.string());
        view.RunUntil([&] { return state.loading == 0; });
        const auto start = std::chrono::steady_clock::now();
        flow.PressInstallButton();
        view.RunUntil([&] { return state.busy == 0; });
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%-28s %7.2f s  %s\n", what, seconds, view.lastStatus.c_str());
        return seconds;
    };
    std::printf("data: %llu MiB; phone: %llu bytes a second\n",
                static_cast<unsigned long long>(mib), static_cast<unsigned long long>(rate));
    const double fresh = install("fresh install");
    const double again = install("the same package again");
    package.dataFiles[1].second[0] ^= 1;
    install("one small file changed");
    std::printf("again / fresh: %.3f (target: at most 0.2)\n", again / fresh);
    return again <= fresh / 5 ? 0 : 1;
}
