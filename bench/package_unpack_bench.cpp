// Unpacking a game package: ours against a plain cp of the package file (the floor: every byte
// read and written once), bsdtar (libarchive) and Info-ZIP unzip on the same file, page cache warm.
// Prints the wall and CPU times, the ratios and the peak memory of each; on a machine shared with
// other work the CPU times are the steadier figures.
//
//   package_unpack_bench [WORK_FOLDER] [OBB_MIB] [keep]   (keep: leave the package for next time)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "installer/package/folder_tree.h"
#include "installer/package/game_package_writer.h"
#include "installer/package/unpacker.h"

namespace fs = std::filesystem;
using namespace tarnel;

extern char** environ;

namespace {

constexpr int kRuns = 7;
constexpr int kSmallFiles = 1500;

struct Measure {
    double seconds = 0;
    double cpuSeconds = 0;  // user and system, all threads
    long peakKib = 0;
    bool ok = false;
};

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Text-like data that deflates about 3:1, as game scripts and configs do.
std::string SmallFile(std::mt19937& random, std::size_t size) {
    static const char* words[] = {"level", "enemy", "spawn", "texture", "shader", "0.25", "true",
                                  "{",     "}",     "\n",    "player",  "score",  "1024", "sound"};
    std::string data;
    while (data.size() < size) {
        data += words[random() % 14];
        data += random() % 3 ? ' ' : '\n';
        if (random() % 5 == 0) {
            data += static_cast<char>('a' + random() % 26);
        }
    }
    data.resize(size);
    return data;
}

void WriteRandomFile(const fs::path& path, std::uint64_t bytes, std::mt19937_64& random) {
    std::ofstream out(path, std::ios::binary);
    std::vector<std::uint64_t> block(1 << 17);
    for (std::uint64_t done = 0; done < bytes; done += block.size() * 8) {
        for (auto& word : block) {
            word = random();
        }
        const std::uint64_t size = std::min<std::uint64_t>(bytes - done, block.size() * 8);
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(size));
    }
}

bool BuildPackage(const fs::path& work, std::uint64_t obbBytes, const fs::path& package) {
    std::mt19937_64 random(42);
    std::mt19937 small(7);
    const fs::path obb = work / "main.obb";
    WriteRandomFile(obb, obbBytes, random);
    const fs::path apk = work / "game.apk";
    WriteRandomFile(apk, 24 << 20, random);
    std::optional<PackageWriter> writer = PackageWriter::Create(package);
    if (!writer) {
        return false;
    }
    const std::string name = "com.example.bench";
    writer->AddFile("manifest.data", CompressManifest(ManifestText({.packageName = name})));
    writer->AddFileFrom(name + ".apk", apk);
    writer->AddFileFrom("android/obb/" + name + "/main.1." + name + ".obb", obb, {.stored = true});
    for (int i = 0; i < kSmallFiles; ++i) {
        const std::size_t size = 512 + small() % (96 << 10);
        writer->AddFile("android/data/" + name + "/files/res" + std::to_string(i % 20) + "/f" +
                            std::to_string(i) + ".txt",
                        SmallFile(small, size));
    }
    const bool written = writer->Finish();
    fs::remove(obb);
    fs::remove(apk);
    return written;
}

pid_t SpawnTool(std::vector<std::string> argv) {
    std::vector<char*> args;
    for (std::string& arg : argv) {
        args.push_back(arg.data());
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int failure = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failure == 0 ? pid : -1;
}

Measure Wait(pid_t child, std::chrono::steady_clock::time_point start) {
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) < 0) {
        return {};
    }
    const auto end = std::chrono::steady_clock::now();
    return {std::chrono::duration<double>(end - start).count(),
            Seconds(usage.ru_utime) + Seconds(usage.ru_stime), usage.ru_maxrss,
            WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

// Runs job in a child process, so that its peak memory is its own.
Measure InChild(const std::function<int()>& job) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        _exit(job());
    }
    return Wait(child, start);
}

Measure Tool(std::vector<std::string> argv) {
    const auto start = std::chrono::steady_clock::now();
    return Wait(SpawnTool(std::move(argv)), start);
}

struct Contender {
    const char* name;
    std::function<Measure(const fs::path& out)> run;
    Measure best{1e9, 1e9, 0, true};
};

// Removes the large files below folder, keeping the small ones.
void RemoveLargeFiles(const fs::path& folder) {
    std::vector<fs::path> large;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.file_size() >= (1 << 20)) {
            large.push_back(entry.path());
        }
    }
    for (const fs::path& path : large) {
        fs::remove(path);
    }
}

// Rounds take the contenders in turn, so that a slow moment of the machine hits all of them.
// Every run writes into a fresh folder, and the small files of earlier runs stay until the end:
// ext4 without a journal reuses no inode within a minute of its deletion, and every file created
// meanwhile scans past those, so deleting the previous run's 1500 files would charge the next
// contender for them.
void RunRounds(const fs::path& package, const fs::path& outs, std::vector<Contender>& contenders) {
    for (int round = 0; round < kRuns; ++round) {
        for (Contender& contender : contenders) {
            const fs::path out = outs / (std::to_string(round) + "-" + contender.name);
            fs::create_directories(out);
            sync();
            // Pages of the package can drop out of the cache between runs; read it again.
            Tool({"cat", package.string()});
            const Measure m = contender.run(out);
            RemoveLargeFiles(out);
            contender.best.ok = contender.best.ok && m.ok;
            contender.best.seconds = std::min(contender.best.seconds, m.seconds);
            contender.best.cpuSeconds = std::min(contender.best.cpuSeconds, m.cpuSeconds);
            contender.best.peakKib = std::max(contender.best.peakKib, m.peakKib);
        }
    }
    // Written out, so that the next minute's file creations here, not the next five, skip them.
    RemoveFolderTree(outs);
    sync();
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path work = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "tarnel-bench";
    const std::uint64_t obbMib = argc > 2 ? std::stoull(argv[2]) : 320;
    fs::create_directories(work);
    const fs::path package = work / "bench.tpk";
    const bool keep = argc > 3 && std::string(argv[3]) == "keep";
    // Built in a child, so that this process stays small for the children it measures. A kept
    // package is used again.
    if (!(keep && fs::exists(package)) &&
        !InChild([&] { return BuildPackage(work, obbMib << 20, package) ? 0 : 1; }).ok) {
        std::fprintf(stderr, "cannot build %s\n", package.c_str());
        return 1;
    }
    const double mib = static_cast<double>(fs::file_size(package)) / (1 << 20);
    const fs::path outs = work / "out";
    std::vector<Contender> contenders = {
        {"tarnel",
         [&](const fs::path& out) {
             return InChild(
                 [&] { return UnpackArchive(package, out).status == UnpackStatus::Done ? 0 : 1; });
         }},
        {"cp",
         [&](const fs::path& out) {
             return Tool({"cp", package.string(), (out / "copy.tpk").string()});
         }},
        {"bsdtar",
         [&](const fs::path& out) {
             return Tool({"bsdtar", "-xf", package.string(), "-C", out.string()});
         }},
        {"unzip",
         [&](const fs::path& out) {
             return Tool({"unzip", "-o", "-q", package.string(), "-d", out.string()});
         }},
    };
    RunRounds(package, outs, contenders);
    std::printf("package: %.0f MiB (%d small deflated files, one stored obb of %llu MiB, an APK)\n",
                mib, kSmallFiles, static_cast<unsigned long long>(obbMib));
    for (const Contender& c : contenders) {
        std::printf("%-8s %7.3f s %8.0f MiB/s  cpu %6.3f s  peak %6.1f MiB%s\n", c.name,
                    c.best.seconds, mib / c.best.seconds, c.best.cpuSeconds,
                    static_cast<double>(c.best.peakKib) / 1024, c.best.ok ? "" : "  (FAILED)");
    }
    const double ours = contenders[0].best.seconds;
    const double cp = contenders[1].best.seconds;
    const double bsdtar = contenders[2].best.seconds;
    const double unzip = contenders[3].best.seconds;
    std::printf("tarnel takes %.2fx the time of cp (target: at most 3x)\n", ours / cp);
    std::printf("tarnel is %.2fx faster than bsdtar (target: at least 2.5x), %.2fx than unzip\n",
                bsdtar / ours, unzip / ours);
    if (!keep) {
        RemoveFolderTree(work);
    }
    return contenders[0].best.ok ? 0 : 1;
}
