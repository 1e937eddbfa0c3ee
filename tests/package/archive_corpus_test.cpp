// Real zip files made by other tools, as described in tests/data/zip/README.md. Archives whose
// headers disagree with each other are refused when opened; damaged data fails the unpack.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "installer/package/package_archive.h"
#include "installer/package/unpacker.h"
#include "tests/package/test_folder.h"

namespace tarnel {
namespace {

using test::CorpusFile;
using test::ReadFile;
using test::TestFolder;

struct CorpusCase {
    const char* file;
    bool opens;
    std::uint64_t entries = 0;
    UnpackStatus unpack = UnpackStatus::CannotOpen;
    std::uint64_t files = 0;
    std::size_t skipped = 0;
    std::vector<std::pair<std::string, std::string>> contents = {};
};

const char kAbac[] = "aaaaaaaaaaaaaa\nbbbbbbbbbbbbbb\naaaaaaaaaaaaaa\ncccccccccccccc\n";

const CorpusCase kCases[] = {
    {"libzip-teststored.zip", true, 1, UnpackStatus::Done, 1, 0, {{"abac-repeat.txt", kAbac}}},
    {"libzip-testdeflated.zip", true, 1, UnpackStatus::Done, 1, 0, {{"abac-repeat.txt", kAbac}}},
    {"libzip-testcomment.zip",
     true,
     4,
     UnpackStatus::Done,
     4,
     0,
     {{"file1", "Contents of first file.\n"}, {"file4", "Contents of fourth file.\n"}}},
    {"libzip-testempty.zip", true, 0, UnpackStatus::Done, 0, 0},
    {"libzip-streamed.zip", true, 1, UnpackStatus::Done, 1, 0, {{"-", "a\n"}}},
    {"yauzl-streaming.zip",
     true,
     2,
     UnpackStatus::Done,
     2,
     0,
     {{"test1.txt", "foofoofoofoofoofoofoofoo\n"}, {"test2.txt", "barbarbarbarbarbarbarbar\n"}}},
    {"libzip-zip64.zip", true, 1, UnpackStatus::Done, 1, 0, {{"-", "a\n"}}},
    {"yauzl-zip64.zip",
     true,
     2,
     UnpackStatus::Done,
     2,
     0,
     {{"test1.txt", "foo"}, {"test2.txt", "bar"}}},
    {"ziprs-linux-7z.zip", true, 1, UnpackStatus::Done, 1, 0, {{"你好.txt", ""}}},
    {"ziprs-windows-7zip.zip", true, 1, UnpackStatus::Done, 1, 0, {{"你好.txt", ""}}},
    {"ziprs-symlink.zip", true, 1, UnpackStatus::Done, 0, 1},
    {"yauzl-directories.zip", true, 3, UnpackStatus::Done, 1, 0, {{"a/a.txt", ""}}},
    {"ziprs-extended_timestamp.zip",
     true,
     2,
     UnpackStatus::Done,
     2,
     0,
     {{"mimetype", "application/vnd.oasis.opendocument.text"}}},
    {"yauzl-NtfsTimestamp.zip", true, 1, UnpackStatus::Done, 1, 0, {{"a", ""}}},
    {"libzip-test-utf8.zip", true, 1, UnpackStatus::Done, 1, 0, {{"ÄÖÜäöüßćçĉéèêëē", ""}}},
    // CP437 names come out as UTF-8; '/' and '\' in them make folders.
    {"libzip-test-cp437.zip",
     true,
     16,
     UnpackStatus::Done,
     16,
     0,
     {{"üéâäàåçêëèïîìÄÅÉ", ""}, {"!\"#$%&'()*+,-./0", ""}}},
    {"libzip-zip-in-archive-comment.zip", true, 1, UnpackStatus::Done, 1, 0, {{"test", "test\n"}}},
    {"libzip-incons-gap-before-cd.zip", true, 1, UnpackStatus::Done, 1, 0, {{"test", "tes"}}},
    {"libzip-incons-trailing-garbage.zip", true, 1, UnpackStatus::Done, 1, 0, {{"test", "test\n"}}},
    {"libzip-incons-data.zip", true, 1, UnpackStatus::Failed, 0, 0},
    {"yauzl-invalid-code-lengths-set.zip", true, 1, UnpackStatus::Failed, 0, 0},
    {"libzip-bogus.zip", false},
    {"libzip-testfile-truncated.zip", false},
    {"libzip-incons-cdoffset.zip", false},
    {"libzip-incons-file-count-high.zip", false},
    {"libzip-multidisk.zip", false},
    {"libzip-junk-at-start.zip", false},
    {"libzip-testextrabytes.zip", false},
    {"libzip-filename_duplicate.zip", false},
    {"libzip-incons-central-crc.zip", false},
    {"yauzl-not-enough-bytes-in-stream.zip", false},
    {"ziprs-extended_timestamp_bad.zip", false},
    {"ziprs-comment_garbage.zip", false},
    {"ziprs-zip64_demo.zip", false},
    {"yauzl-unicode-path-extra-field.zip", false},
    // Central names edited to point outside; the local headers disagree.
    {"yauzl-invalid-relative-path.zip", false},
    {"yauzl-absolute-path-unix.zip", false},
    {"yauzl-absolute-path-windows.zip", false},
    {"yauzl-sloppy-filenames.zip", false},
};

class CorpusTest : public ::testing::TestWithParam<CorpusCase> {};

TEST_P(CorpusTest, OpensAndUnpacksAsDescribed) {
    const CorpusCase& c = GetParam();
    std::string error;
    const std::optional<PackageArchive> archive = PackageArchive::Open(CorpusFile(c.file), &error);
    ASSERT_EQ(archive.has_value(), c.opens) << error;
    if (archive) {
        EXPECT_EQ(archive->Count(), c.entries);
    } else {
        EXPECT_FALSE(error.empty());
    }
    TestFolder folder;
    const UnpackReport report = UnpackArchive(CorpusFile(c.file), folder / "out");
    EXPECT_EQ(report.status, c.unpack) << report.message;
    EXPECT_EQ(report.skipped.size(), c.skipped);
    if (c.unpack == UnpackStatus::Done) {
        EXPECT_EQ(report.files, c.files);
    } else {
        EXPECT_FALSE(report.message.empty());
    }
    for (const auto& [name, content] : c.contents) {
        EXPECT_EQ(ReadFile(folder / "out" / name), content) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CorpusCase>& info) {
                             std::string name = info.param.file;
                             for (char& c : name) {
                                 if (!isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return name;
                         });

TEST(CorpusDetails, DamagedDataNamesTheCrcAndLeavesNoFile) {
    TestFolder folder;
    const UnpackReport report = UnpackArchive(CorpusFile("libzip-incons-data.zip"), folder / "out");
    EXPECT_NE(report.message.find("CRC"), std::string::npos) << report.message;
    EXPECT_FALSE(std::filesystem::exists(folder / "out" / "a"));
}

TEST(CorpusDetails, SymbolicLinkIsNeverCreated) {
    TestFolder folder;
    const UnpackReport report = UnpackArchive(CorpusFile("ziprs-symlink.zip"), folder / "out");
    ASSERT_EQ(report.skipped.size(), 1u);
    EXPECT_EQ(report.skipped[0].name, "bar");
    EXPECT_EQ(report.skipped[0].reason, "symbolic link");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(folder / "out" / "bar")));
}

TEST(CorpusDetails, FifoEntryBecomesARegularFile) {
    TestFolder folder;
    UnpackArchive(CorpusFile("libzip-streamed.zip"), folder / "out");
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "out" / "-"));
}

TEST(CorpusDetails, DirectoryEntriesMakeFolders) {
    TestFolder folder;
    UnpackArchive(CorpusFile("yauzl-directories.zip"), folder / "out");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "out" / "b"));
    EXPECT_TRUE(std::filesystem::is_empty(folder / "out" / "b"));
}

TEST(CorpusDetails, WindowsMadeFileIsReadOnlyYetReplaceable) {
    const std::optional<PackageArchive> archive =
        PackageArchive::Open(CorpusFile("ziprs-windows-7zip.zip"));
    ASSERT_TRUE(archive);
    EXPECT_TRUE(archive->Entry(0)->IsReadOnly());
    TestFolder folder;
    ASSERT_EQ(UnpackArchive(CorpusFile("ziprs-windows-7zip.zip"), folder / "out").status,
              UnpackStatus::Done);
    struct stat info {};
    ASSERT_EQ(stat((folder / "out" / "你好.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
    // Unpacking again over the read-only copy replaces it.
    EXPECT_EQ(UnpackArchive(CorpusFile("ziprs-windows-7zip.zip"), folder / "out").status,
              UnpackStatus::Done);
}

TEST(CorpusDetails, ExtendedTimestampGivesModificationTime) {
    const std::optional<PackageArchive> archive =
        PackageArchive::Open(CorpusFile("ziprs-extended_timestamp.zip"));
    ASSERT_TRUE(archive);
    const std::optional<std::uint64_t> index = archive->Find("TEST.TXT");
    ASSERT_TRUE(index);
    const ArchiveEntry entry = *archive->Entry(*index);
    EXPECT_EQ(entry.times.modification, 1714635025);
    // The central field holds no access time although its flags name one.
    EXPECT_EQ(entry.times.access, entry.times.creation);
    TestFolder folder;
    UnpackArchive(CorpusFile("ziprs-extended_timestamp.zip"), folder / "out");
    struct stat info {};
    ASSERT_EQ(stat((folder / "out" / "test.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, 1714635025);
}

TEST(CorpusDetails, EntryIndexOutsideTheArchiveIsRefused) {
    const std::optional<PackageArchive> archive =
        PackageArchive::Open(CorpusFile("libzip-testcomment.zip"));
    ASSERT_TRUE(archive);
    EXPECT_TRUE(archive->Entry(3));
    EXPECT_FALSE(archive->Entry(4));
    EXPECT_FALSE(archive->Find("file5"));
}

}  // namespace
}  // namespace tarnel
