// Unpacking packages made by our writer: hostile names, links, times, damage, progress.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <string>
#include <vector>

#include "installer/package/entry_data.h"
#include "installer/package/output_tree.h"
#include "installer/package/package_writer.h"
#include "installer/package/unpacker.h"
#include "tests/package/test_folder.h"

namespace tarnel {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TestFolder;

struct Entry {
    std::string name;
    std::string data;
    EntryOptions options = {};
};

void WriteArchive(const fs::path& path, const std::vector<Entry>& entries) {
    std::optional<PackageWriter> writer = PackageWriter::Create(path);
    ASSERT_TRUE(writer);
    for (const Entry& entry : entries) {
        ASSERT_TRUE(writer->AddFile(entry.name, entry.data, entry.options)) << entry.name;
    }
    std::string error;
    ASSERT_TRUE(writer->Finish(&error)) << error;
}

// Every path below root, for proving that nothing else appeared.
std::vector<std::string> TreeOf(const fs::path& root) {
    std::vector<std::string> paths;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        paths.push_back(fs::relative(item.path(), root).string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// The three ways an entry is skipped (each unsafe name is judged in the entry-name table). A link
// entry is neither made nor written through by a later entry; links left in a reused folder are
// replaced, never followed.
TEST(UnpackHostile, UnsafeEntriesAreSkippedAndLinksNeverFollowed) {
    TestFolder folder;
    const fs::path out = folder / "a" / "out";
    fs::create_directories(folder / "elsewhere");
    fs::create_directories(out);
    fs::create_directory_symlink(folder / "elsewhere", out / "android");
    fs::create_symlink(folder / "elsewhere" / "victim", out / "file.txt");
    std::optional<PackageWriter> writer = PackageWriter::Create(folder / "p.tpk");
    ASSERT_TRUE(writer);
    writer->AddSymbolicLink("link", folder.Path().string());
    writer->AddFile("link/planted.txt", "evil");
    writer->AddFile("android/data.bin", "data");
    writer->AddFile("file.txt", "text");
    writer->AddFile("android\\..\\..\\..\\escape", "evil");
    writer->AddFile(".\\file.txt", "evil");  // the same file under another spelling
    ASSERT_TRUE(writer->Finish());
    const UnpackReport report = UnpackArchive(folder / "p.tpk", out);
    EXPECT_EQ(report.status, UnpackStatus::Done) << report.message;
    std::vector<std::string> skipped;
    for (const SkippedEntry& entry : report.skipped)
        skipped.push_back(entry.name + ": " + entry.reason);
    EXPECT_EQ(skipped,
              (std::vector<std::string>{"link: symbolic link",
                                        "android\\..\\..\\..\\escape: parent folder reference",
                                        ".\\file.txt: duplicate name"}));
    // Nothing written elsewhere, no link made, the folder's own links replaced.
    EXPECT_EQ(TreeOf(folder.Path()),
              (std::vector<std::string>{"a", "a/out", "a/out/android", "a/out/android/data.bin",
                                        "a/out/file.txt", "a/out/link", "a/out/link/planted.txt",
                                        "elsewhere", "p.tpk"}));
    EXPECT_EQ(ReadFile(out / "android" / "data.bin"), "data");
    EXPECT_EQ(ReadFile(out / "file.txt"), "text");
}

// A folder swapped for a link after it was made (another process racing the unpack): files are
// neither created nor removed through it.
TEST(UnpackHostile, ALinkInAMiddleComponentIsNotFollowed) {
    TestFolder folder;
    std::string error;
    std::optional<OutputTree> tree = OutputTree::Open(folder / "out", &error);
    ASSERT_TRUE(tree) << error;
    ASSERT_TRUE(tree->MakeFolders({"a", "b"}, &error)) << error;
    fs::remove(folder / "out" / "a" / "b");
    fs::create_directories(folder / "elsewhere");
    test::WriteFile(folder / "elsewhere" / "victim", "keep");
    fs::create_directory_symlink(folder / "elsewhere", folder / "out" / "a" / "b");
    EXPECT_FALSE(tree->CreateFile({"a", "b", "planted"}, 0644, &error));
    EXPECT_NE(error.find("a/b/planted"), std::string::npos) << error;
    tree->RemoveFile({"a", "b", "victim"});
    EXPECT_EQ(TreeOf(folder / "elsewhere"), std::vector<std::string>{"victim"});
}

// Small pieces, so that splitting is tested on small entries.
constexpr std::uint64_t kPiece = 1 << 20;

// A flipped byte fails the unpack by name and leaves no partial file, in a small entry, in a
// large one copied whole, in one piece of an entry copied in pieces and in deflated ones (noise,
// so that deflate keeps the marker as it is).
TEST(UnpackDamage, CrcErrorFailsAndRemovesThePartialFile) {
    std::string big(kPiece * 2 + 4096, 'x');
    big.replace(kPiece + 100, 9, "DAMAGE-ME");
    std::string whole(kPiece, 'w');
    whole.replace(kPiece / 2, 9, "DAMAGE-ME");
    std::mt19937 random(3);
    const auto noise = [&](std::size_t size) {
        std::string data(size, '\0');
        std::generate(data.begin(), data.end(), [&] { return static_cast<char>(random()); });
        return data.replace(size / 2, 9, "DAMAGE-ME");
    };
    // Deflated: one read whole, one too large for that.
    const std::pair<std::string, bool> cases[] = {{"DAMAGE-ME-PLEASE", true},
                                                  {whole, true},
                                                  {big, true},
                                                  {noise(5000), false},
                                                  {noise(5 << 20), false}};
    for (const auto& [data, stored] : cases) {
        TestFolder folder;
        WriteArchive(folder / "p.tpk", {{"ok.txt", "fine"}, {"bad.obb", data, {.stored = stored}}});
        std::string bytes = ReadFile(folder / "p.tpk");
        const std::size_t at = bytes.find("DAMAGE-ME");
        ASSERT_NE(at, std::string::npos);
        bytes[at] ^= 0x01;
        test::WriteFile(folder / "p.tpk", bytes);
        const UnpackReport report =
            UnpackArchive(folder / "p.tpk", folder / "out", {.threads = 2, .pieceSize = kPiece});
        EXPECT_EQ(report.status, UnpackStatus::Failed);
        EXPECT_NE(report.message.find("bad.obb: CRC error"), std::string::npos) << report.message;
        EXPECT_FALSE(fs::exists(folder / "out" / "bad.obb"));
    }
}

// The kernel's copy (taken where file systems share blocks or copy on the server, so not on the
// test machine's) gives the range's bytes at the same offset and their CRC, and fails where the
// package ends before the range does.
TEST(UnpackStoredCopy, KernelCopyGivesTheBytesAndTheirCrc) {
    TestFolder folder;
    std::string data(3 << 20, '\0');  // a mebibyte of pattern, then zeros
    for (std::size_t i = 0; i < (1 << 20); ++i) {
        data[i] = static_cast<char>(i * 7 / 3);
    }
    test::WriteFile(folder / "package", std::string(123, 'p') + data);
    const unique_fd package(open((folder / "package").c_str(), O_RDONLY | O_CLOEXEC));
    const unique_fd out(open((folder / "out").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    ASSERT_EQ(ftruncate(out.Get(), static_cast<off_t>(data.size())), 0);
    const std::string range = data.substr(1000);
    std::uint32_t crc = 0;
    std::string error;
    ASSERT_EQ(CopyStoredRangeByKernel(package.Get(), 123, 1000, range.size(), out.Get(), {}, &crc,
                                      &error),
              CopyStatus::Done)
        << error;
    EXPECT_EQ(ReadFile(folder / "out").substr(1000), range);
    EXPECT_EQ(crc, crc32(0, reinterpret_cast<const Bytef*>(range.data()),
                         static_cast<uInt>(range.size())));
    EXPECT_EQ(
        CopyStoredRangeByKernel(package.Get(), 123, 1000, data.size(), out.Get(), {}, &crc, &error),
        CopyStatus::Failed);
    EXPECT_EQ(error, "entry data ends early");
}

// A large stored entry is copied in pieces by several threads; progress rises to the total. Times
// come from the "UT" field or the DOS time, whichever way the file was copied.
TEST(Unpack, EachWayOfCopyingKeepsBytesAndTimesAndReportsProgress) {
    TestFolder folder;
    std::string big(kPiece * 2 + 12345, '\0');
    for (std::size_t i = 0; i < big.size(); i += 4093) {
        big[i] = static_cast<char>(i / 4093);
    }
    // Zeros past the size read whole (streamed), and a zero tail on a file read whole.
    const std::string zeros(5 << 20, '\0');
    const std::string tail = "t" + std::string(600 << 10, '\0');
    const UtTimes ut{.flags = 3, .modification = 1234567890, .access = 1300000000};
    WriteArchive(folder / "p.tpk", {{"android/obb/main.obb", big, {.stored = true, .ut = ut}},
                                    {"small.txt", "s", {.dosTime = 1600000000}},
                                    {"zeros.bin", zeros},
                                    {"tail.bin", tail}});
    std::vector<std::pair<std::uint64_t, std::uint64_t>> seen;
    const UnpackReport report =
        UnpackArchive(folder / "p.tpk", folder / "out",
                      {.progress = [&](std::uint64_t done,
                                       std::uint64_t total) { seen.emplace_back(done, total); },
                       .threads = 3,
                       .pieceSize = kPiece});
    ASSERT_EQ(report.status, UnpackStatus::Done) << report.message;
    EXPECT_EQ(report.files, 4u);
    // Before the files are read, which moves their access times.
    struct stat info {};
    ASSERT_EQ(stat((folder / "out" / "small.txt").c_str(), &info), 0);
    EXPECT_NEAR(static_cast<double>(info.st_mtime), 1600000000.0, 2.0);
    ASSERT_EQ(stat((folder / "out" / "android" / "obb" / "main.obb").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, 1234567890);
    EXPECT_EQ(info.st_atime, 1300000000);
    EXPECT_EQ(ReadFile(folder / "out" / "android" / "obb" / "main.obb"), big);
    EXPECT_EQ(ReadFile(folder / "out" / "zeros.bin"), zeros);
    EXPECT_EQ(ReadFile(folder / "out" / "tail.bin"), tail);
    const std::uint64_t total = big.size() + 1 + zeros.size() + tail.size();
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), std::make_pair(total, total));
}

TEST(UnpackProgress, CancellingStopsAndLeavesNoPartialFile) {
    TestFolder folder;
    WriteArchive(folder / "p.tpk", {{"big.obb", std::string(100000, 'c'), {.stored = true}}});
    std::stop_source stop;
    UnpackOptions options{.progress = [&](std::uint64_t, std::uint64_t) { stop.request_stop(); },
                          .stop = stop.get_token(),
                          .threads = 1};
    stop.request_stop();
    const UnpackReport report = UnpackArchive(folder / "p.tpk", folder / "out", options);
    EXPECT_EQ(report.status, UnpackStatus::Cancelled);
    EXPECT_FALSE(fs::exists(folder / "out" / "big.obb"));
}

TEST(UnpackFolder, AFileInTheWayOfTheFolderFailsClearly) {
    TestFolder folder;
    test::WriteFile(folder / "out", "not a folder");
    WriteArchive(folder / "p.tpk", {{"a.txt", "a"}});
    const UnpackReport report = UnpackArchive(folder / "p.tpk", folder / "out");
    EXPECT_EQ(report.status, UnpackStatus::Failed);
    EXPECT_NE(report.message.find("cannot create folder"), std::string::npos) << report.message;
}

}  // namespace
}  // namespace tarnel
