#include "installer/package/unpacker.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "installer/package/deflated_entry.h"
#include "installer/package/entry_data.h"
#include "installer/package/entry_offsets.h"
#include "installer/package/whole_entry.h"
#include "platform/unique_fd.h"

namespace tarnel {

namespace {

constexpr std::size_t kBufferSize = 256 << 10;
constexpr std::uint64_t kStoredLarge = 1 << 20;
constexpr auto kProgressInterval = std::chrono::milliseconds(100);

// Large stored entries are copied straight from the package file in pieces of a buffer; small
// ones are read whole.
bool StoredLarge(const UnpackItem& item) {
    return item.stored && item.size >= kStoredLarge && item.dataStart;
}

EntrySpan Span(const UnpackItem& item) {
    return {item.dataStart.value_or(0), item.compressedSize, item.size, item.crc, item.stored};
}

class UnpackRun {
  public:
    UnpackRun(const std::filesystem::path& package, int packageFd, const OutputTree& tree,
              UnpackPlan& plan, std::stop_token stop)
        : package_(package),
          packageFd_(packageFd),
          tree_(tree),
          plan_(plan),
          stop_(std::move(stop)) {}

    // Even workers start on the large items, odd ones on the small files, so that a lone large
    // file is not written by all of them at once (writes to one file take its lock in turn).
    void Work(unsigned worker) {
        try {
            WorkOn(worker);
        } catch (const std::exception& error) {
            // Out of memory and the like end this unpack, not the program.
            Fail(std::string("unpack worker failed: ") + error.what());
        }
        std::lock_guard lock(mutex_);
        ++workersDone_;
        finished_.notify_all();
    }

    void WorkOn(unsigned worker) {
        Tools tools;
        const CopyHooks hooks{&bytesDone_, stop_};
        while (!failed_.load() && !stop_.stop_requested()) {
            const std::optional<std::size_t> next = NextItem(worker % 2 == 0);
            if (!next) {
                break;
            }
            const UnpackItem& item = plan_.items[*next];
            const CopyStatus status =
                item.split ? CopyPiece(tools, item, hooks) : CopyWhole(tools, item, hooks);
            if (status == CopyStatus::Done) {
                filesDone_.fetch_add(item.split ? 0 : 1);
            }
        }
    }

    // Reports progress until all workers have ended.
    void Watch(unsigned workers, const UnpackOptions& options) {
        std::unique_lock lock(mutex_);
        while (workersDone_ < workers) {
            finished_.wait_for(lock, kProgressInterval);
            if (options.progress && workersDone_ < workers) {
                lock.unlock();
                options.progress(bytesDone_.load(), plan_.totalBytes);
                lock.lock();
            }
        }
    }

    bool Failed() const { return failed_.load(); }
    std::uint64_t BytesDone() const { return bytesDone_.load(); }
    std::uint64_t FilesDone() const { return filesDone_.load(); }
    std::string FirstFailure() {
        std::lock_guard lock(mutex_);
        return firstFailure_;
    }

  private:
    // One worker's own: its buffers, and its handle on the archive, opened when an entry first
    // needs the archive reader.
    struct Tools {
        std::vector<char> buffer = std::vector<char>(kBufferSize);
        WholeEntryReader reader;
        std::optional<PackageArchive> archive;
    };

    zip* ArchiveReader(Tools& tools, std::string* error) {
        if (!tools.archive) {
            tools.archive = PackageArchive::Open(package_, error, PackageArchive::Check::Light);
            if (!tools.archive) {
                *error = "cannot open package: " + *error;
                return nullptr;
            }
        }
        return tools.archive->Handle();
    }

    std::optional<std::size_t> NextItem(bool largeFirst) {
        for (int queue = 0; queue < 2; ++queue) {
            if (largeFirst == (queue == 0)) {
                const std::size_t next = nextLarge_.fetch_add(1);
                if (next < plan_.largeItems) {
                    return next;
                }
            } else {
                const std::size_t next = plan_.largeItems + nextSmall_.fetch_add(1);
                if (next < plan_.items.size()) {
                    return next;
                }
            }
        }
        return std::nullopt;
    }

    void Fail(std::string message) {
        std::lock_guard lock(mutex_);
        if (!failed_.exchange(true)) {
            firstFailure_ = std::move(message);
        }
    }

    void FailEntry(const UnpackItem& item, const std::string& error) {
        Fail(JoinComponents(item.components) + ": " + error);
    }

    CopyStatus CopyWhole(Tools& tools, const UnpackItem& item, const CopyHooks& hooks) {
        std::string error;
        unique_fd fd = tree_.CreateFile(item.components, item.readOnly ? 0444 : 0644, &error);
        if (!fd) {
            FailEntry(item, error);
            return CopyStatus::Failed;
        }
        CopyStatus status = CopyStatus::Failed;
        const EntrySpan span = Span(item);
        if (!StoredLarge(item) && item.dataStart && FitsWhole(span)) {
            status = CopyWholeEntry(tools.reader, packageFd_, span, fd.Get(), hooks, &error);
        } else if (ReserveFileSize(fd.Get(), item.size, &error)) {
            if (StoredLarge(item)) {
                status = CopyStoredLarge(item, fd.Get(), tools.buffer, hooks, error);
            } else if (item.dataStart && item.deflated) {
                status = CopyDeflatedFromPackage(packageFd_, span, fd.Get(), tools.buffer, hooks,
                                                 &error);
            } else if (zip* archive = ArchiveReader(tools, &error)) {
                status = CopyEntryToFile(archive, item.index, item.size, fd.Get(), tools.buffer,
                                         hooks, &error);
            }
        }
        if (status == CopyStatus::Done && !SetFileTimes(fd.Get(), item.times)) {
            error = kTimesFailure;
            status = CopyStatus::Failed;
        }
        if (!fd.Close() && status == CopyStatus::Done) {
            error = "cannot write the file";
            status = CopyStatus::Failed;
        }
        if (status != CopyStatus::Done) {
            tree_.RemoveFile(item.components);
        }
        if (status == CopyStatus::Failed) {
            FailEntry(item, error);
        }
        return status;
    }

    CopyStatus CopyStoredLarge(const UnpackItem& item, int fd, std::span<char> buffer,
                               const CopyHooks& hooks, std::string& error) {
        std::uint32_t crc = 0;
        const CopyStatus status = CopyStoredRangeFromPackage(
            packageFd_, *item.dataStart, 0, item.size, fd, buffer, hooks, &crc, &error);
        if (status == CopyStatus::Done && crc != item.crc) {
            error = "CRC error: the data is damaged";
            return CopyStatus::Failed;
        }
        return status;
    }

    CopyStatus CopyPiece(Tools& tools, const UnpackItem& item, const CopyHooks& hooks) {
        SplitFile& split = *item.split;
        std::uint32_t* pieceCrc = &split.pieceCrcs[item.piece];
        std::string error;
        CopyStatus status = CopyStatus::Failed;
        if (StoredLarge(item)) {
            status =
                CopyStoredRangeFromPackage(packageFd_, *item.dataStart, item.offset, item.length,
                                           split.fd.Get(), tools.buffer, hooks, pieceCrc, &error);
        } else if (zip* archive = ArchiveReader(tools, &error)) {
            status = CopyStoredRange(archive, item.index, item.offset, item.length, split.fd.Get(),
                                     tools.buffer, hooks, pieceCrc, &error);
        }
        if (status == CopyStatus::Failed) {
            FailEntry(item, error);
        }
        if (status != CopyStatus::Done || split.piecesLeft.fetch_sub(1) != 1) {
            return status;
        }
        // The last piece checks the whole entry.
        uLong crc = split.pieceCrcs[0];
        for (std::size_t piece = 1; piece < split.pieceCrcs.size(); ++piece) {
            crc = crc32_combine64(crc, split.pieceCrcs[piece],
                                  static_cast<z_off64_t>(split.pieceLengths[piece]));
        }
        if (crc != item.crc) {
            FailEntry(item, "CRC error: the data is damaged");
            return CopyStatus::Failed;
        }
        if (!SetFileTimes(split.fd.Get(), item.times)) {
            FailEntry(item, kTimesFailure);
            return CopyStatus::Failed;
        }
        split.complete = true;
        filesDone_.fetch_add(1);
        return CopyStatus::Done;
    }

    const std::filesystem::path& package_;
    const int packageFd_;
    const OutputTree& tree_;
    UnpackPlan& plan_;
    std::stop_token stop_;
    std::atomic<std::size_t> nextLarge_{0};
    std::atomic<std::size_t> nextSmall_{0};
    std::atomic<std::uint64_t> bytesDone_{0};
    std::atomic<std::uint64_t> filesDone_{0};
    std::atomic<bool> failed_{false};
    std::mutex mutex_;
    std::condition_variable finished_;
    unsigned workersDone_ = 0;
    std::string firstFailure_;
};

unsigned WorkerCount(const UnpackOptions& options, std::size_t items) {
    unsigned count = options.threads;
    if (count == 0) {
        count = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    }
    return static_cast<unsigned>(std::clamp<std::size_t>(items, 1, count));
}

// Closes the files that several workers shared; one that did not come out whole is removed.
bool FinishSplitFiles(const OutputTree& tree, const UnpackPlan& plan) {
    bool allClosed = true;
    for (const std::shared_ptr<SplitFile>& split : plan.splitFiles) {
        if (split->fd && !split->fd.Close()) {
            allClosed = false;
        }
    }
    for (const UnpackItem& item : plan.items) {
        if (item.split && item.piece == 0 && !item.split->complete) {
            tree.RemoveFile(item.components);
        }
    }
    return allClosed;
}

// Where the data of each plain stored or deflated entry begins, so that it can be read without
// the archive reader; the others (encrypted, other methods) take the archive reader's way.
void FindEntryData(int packageFd, UnpackPlan& plan) {
    if (packageFd < 0) {
        return;
    }
    const std::vector<std::optional<std::uint64_t>> offsets = EntryDataOffsets(packageFd);
    for (UnpackItem& item : plan.items) {
        if ((item.stored || item.deflated) && !item.encrypted && item.index < offsets.size()) {
            item.dataStart = offsets[item.index];
        }
    }
}

}  // namespace

UnpackReport UnpackArchive(const std::filesystem::path& package,
                           const std::filesystem::path& folder, const UnpackOptions& options) {
    UnpackReport report;
    std::string error;
    const std::optional<PackageArchive> archive = PackageArchive::Open(package, &error);
    if (!archive) {
        report.status = UnpackStatus::CannotOpen;
        report.message = "cannot open " + package.string() + ": " + error;
        return report;
    }
    std::optional<OutputTree> tree = OutputTree::Open(folder, &error);
    UnpackPlan plan;
    const bool planned =
        tree && MakeUnpackPlan(*archive, *tree, options.pieceSize, plan, &error, options.place);
    report.skipped = plan.skipped;
    if (!planned) {
        if (tree) {
            FinishSplitFiles(*tree, plan);
        }
        report.message = error;
        return report;
    }
    if (options.timesFromContent) {
        for (UnpackItem& item : plan.items) {
            item.times.access = item.times.modification = ContentTime(item.crc);
        }
    }
    const unique_fd packageFd(open(package.c_str(), O_RDONLY | O_CLOEXEC));
    FindEntryData(packageFd.Get(), plan);
    UnpackRun run(package, packageFd.Get(), *tree, plan, options.stop);
    const unsigned workers = WorkerCount(options, plan.items.size());
    {
        std::vector<std::jthread> threads;
        for (unsigned worker = 0; worker < workers; ++worker) {
            threads.emplace_back([&run, worker] { run.Work(worker); });
        }
        run.Watch(workers, options);
    }
    const bool closed = FinishSplitFiles(*tree, plan);
    report.files = run.FilesDone();
    report.bytes = run.BytesDone();
    if (run.Failed()) {
        report.message = run.FirstFailure();
    } else if (options.stop.stop_requested() && report.files < plan.fileCount) {
        report.status = UnpackStatus::Cancelled;
        report.message = "cancelled";
    } else if (!closed) {
        report.message = "cannot write the unpacked files";
    } else {
        report.status = UnpackStatus::Done;
    }
    if (options.progress) {
        options.progress(report.bytes, plan.totalBytes);
    }
    return report;
}

}  // namespace tarnel
