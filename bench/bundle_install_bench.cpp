// Installing a 300 MiB XAPK (base, three splits, one OBB) with tarnelInstall --no-gui on the
// simulated phone, against doing it by hand with the files already taken out: adb push of the OBB
// and adb install-multiple of the APKs the phone needs. Prints the median and best times and their
// ratios. The phone's cable carries CABLE_MIB_S mebibytes a second, the same for both: by default
// 40, what a phone on USB 2.0 moves; 0 is as fast as the machine goes, which shows what the
// installer adds (program start, aapt, listing the phone, taking the files out of the bundle).
//
//   bundle_install_bench [OBB_MIB [CABLE_MIB_S]]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "installer/package/package_writer.h"
#include "platform/process_runner.h"
#include "tests/apk/apk_builder.h"
#include "tests/support/phone_fixture.h"

namespace fs = std::filesystem;
using namespace tarnel;

namespace {

constexpr int kRuns = 5;
constexpr const char* kGame = "com.example.bench";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Media-like data that does not compress, written in pieces.
void WriteObb(const fs::path& path, std::uint64_t bytes) {
    std::mt19937_64 random(7);
    std::ofstream out(path, std::ios::binary);
    std::vector<std::uint64_t> block(1 << 17);
    for (std::uint64_t written = 0; written < bytes; written += block.size() * 8) {
        for (auto& word : block)
            word = random();
        out.write(reinterpret_cast<const char*>(block.data()),
                  static_cast<std::streamsize>(
                      std::min<std::uint64_t>(block.size() * 8, bytes - written)));
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Best(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

double Timed(const std::function<bool()>& run) {
    const auto start = std::chrono::steady_clock::now();
    if (!run()) {
        std::fprintf(stderr, "a run failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint64_t obbMib = argc > 1 ? std::stoull(argv[1]) : 300;
    const std::uint64_t cableMib = argc > 2 ? std::stoull(argv[2]) : 40;
    test::SimulatedPhone phone(test::Scenario{{"throughput", cableMib << 20}});
    const fs::path work = phone.WorkFolder() / "bench";
    fs::create_directories(work);
    ::setenv("XDG_CACHE_HOME", (work / "cache").c_str(), 1);

    const std::string obbName = std::string("main.3.") + kGame + ".obb";
    const std::string obbEntry = std::string("Android/obb/") + kGame + "/" + obbName;
    WriteObb(work / obbName, obbMib << 20);
    std::optional<PackageWriter> writer = PackageWriter::Create(work / "game.xapk");
    nlohmann::json splits = nlohmann::json::array();
    std::vector<std::string> chosen;  // what an arm64 phone at 440 dpi in Chinese gets
    for (const char* split : {"", "config.arm64_v8a", "config.xxhdpi", "config.zh"}) {
        test::ApkContents apk;
        apk.packageName = kGame;
        apk.split = split;
        const fs::path file = work / (std::string(*split ? split : "base") + ".apk");
        test::BuildApk(apk, file);
        writer->AddFile(file.filename().string(), ReadFile(file));
        splits.push_back({{"file", file.filename().string()}, {"id", *split ? split : "base"}});
        chosen.push_back(file.string());
    }
    writer->AddFileFrom(obbEntry, work / obbName, {.stored = true});
    writer->AddFile(
        "manifest.json",
        nlohmann::json({{"package_name", kGame},
                        {"split_apks", splits},
                        {"expansions", {{{"file", obbEntry}, {"install_path", obbEntry}}}}})
            .dump());
    if (!writer->Finish()) {
        std::fprintf(stderr, "cannot write the XAPK\n");
        return 1;
    }

    const auto reset = [&] {
        phone.Adb({"uninstall", kGame});
        phone.Adb({"shell", "rm", "-rf", std::string("/sdcard/Android/obb/") + kGame});
    };
    std::vector<double> ours;
    std::vector<double> byHand;
    for (int run = 0; run < kRuns; ++run) {
        reset();
        ours.push_back(Timed([&] {
            return RunProcess(
                       {TARNEL_INSTALL, "--no-gui", "--internal", (work / "game.xapk").string()})
                       .exitStatus == 0;
        }));
        reset();
        byHand.push_back(Timed([&] {
            const test::AdbRun push =
                phone.Adb({"push", (work / obbName).string(),
                           std::string("/sdcard/Android/obb/") + kGame + "/" + obbName},
                          std::chrono::minutes(10));
            std::vector<std::string> install = {"install-multiple", "-r"};
            install.insert(install.end(), chosen.begin(), chosen.end());
            return push.exitStatus == 0 && phone.Adb(install).exitStatus == 0;
        }));
    }
    std::printf("XAPK of %llu MiB OBB, cable %s, %d runs: median (best)\n",
                static_cast<unsigned long long>(obbMib),
                cableMib ? (std::to_string(cableMib) + " MiB/s").c_str() : "unlimited", kRuns);
    std::printf("  tarnelInstall --no-gui:             %.2f s (%.2f s)\n", Median(ours),
                Best(ours));
    std::printf("  adb push + adb install-multiple:    %.2f s (%.2f s)\n", Median(byHand),
                Best(byHand));
    std::printf("  ratio: %.2f (%.2f); target at most 1.2\n", Median(ours) / Median(byHand),
                Best(ours) / Best(byHand));
    return 0;
}
