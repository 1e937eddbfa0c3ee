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

using Contents = std::vector<std::pair<std::string, std::string>>;

struct CorpusCase {
    const char* file;
    bool opens;
    std::uint64_t entries = 0;
    UnpackStatus unpack = UnpackStatus::CannotOpen;
    std::uint64_t files = 0;
    std::size_t skipped = 0;
    Contents contents = {};
};

const char kAbac[] = "aaaaaaaaaaaaaa\nbbbbbbbbbbbbbb\naaaaaaaaaaaaaa\ncccccccccccccc\n";
const Contents kComment = {{"file1", "Contents of first file.\n"},
                           {"file4", "Contents of fourth file.\n"}};
const Contents kYauzl = {{"test1.txt", "foofoofoofoofoofoofoofoo\n"},
                         {"test2.txt", "barbarbarbarbarbarbarbar\n"}};
const Contents kOdt = {{"mimetype", "application/vnd.oasis.opendocument.text"}};
// CP437 names come out as UTF-8; '/' and '\' in them make folders.
const Contents kCp437 = {{"üéâäàåçêëèïîìÄÅÉ", ""}, {"!\"#$%&'()*+,-./0", ""}};

using enum UnpackStatus;
const CorpusCase kCases[] = {
    {"libzip-teststored.zip", true, 1, Done, 1, 0, {{"abac-repeat.txt", kAbac}}},
    {"libzip-testdeflated.zip", true, 1, Done, 1, 0, {{"abac-repeat.txt", kAbac}}},
    {"libzip-testcomment.zip", true, 4, Done, 4, 0, kComment},
    {"libzip-testempty.zip", true, 0, Done, 0, 0},
    // A FIFO entry becomes a regular file.
    {"libzip-streamed.zip", true, 1, Done, 1, 0, {{"-", "a\n"}}},
    {"yauzl-streaming.zip", true, 2, Done, 2, 0, kYauzl},
    {"libzip-zip64.zip", true, 1, Done, 1, 0, {{"-", "a\n"}}},
    {"yauzl-zip64.zip", true, 2, Done, 2, 0, {{"test1.txt", "foo"}, {"test2.txt", "bar"}}},
    {"ziprs-linux-7z.zip", true, 1, Done, 1, 0, {{"你好.txt", ""}}},
    {"ziprs-windows-7zip.zip", true, 1, Done, 1, 0, {{"你好.txt", ""}}},
    {"ziprs-symlink.zip", true, 1, Done, 0, 1},
    {"yauzl-directories.zip", true, 3, Done, 1, 0, {{"a/a.txt", ""}}},
    {"ziprs-extended_timestamp.zip", true, 2, Done, 2, 0, kOdt},
    {"yauzl-NtfsTimestamp.zip", true, 1, Done, 1, 0, {{"a", ""}}},
    {"libzip-test-utf8.zip", true, 1, Done, 1, 0, {{"ÄÖÜäöüßćçĉéèêëē", ""}}},
    {"libzip-test-cp437.zip", true, 16, Done, 16, 0, kCp437},
    {"libzip-zip-in-archive-comment.zip", true, 1, Done, 1, 0, {{"test", "test\n"}}},
    {"libzip-incons-gap-before-cd.zip", true, 1, Done, 1, 0, {{"test", "tes"}}},
    {"libzip-incons-trailing-garbage.zip", true, 1, Done, 1, 0, {{"test", "test\n"}}},
    {"libzip-incons-data.zip", true, 1, Failed, 0, 0},
    {"yauzl-invalid-code-lengths-set.zip", true, 1, Failed, 0, 0},
    {"libzip-bogus.zip", false},
    {"libzip-testfile-truncated.zip", false},
    {"libzip-incons-cdoffset.zip", false},
    {"libzip-incons-file-count-high.zip", false},
    {"libzip-multidisk.zip", false},
    {"libzip-junk-at-start.zip", false},
    {"libzip-testextrabytes.zip", false},
    {"libzip-filename_duplicate.zip", false},
    {"libzip-incons-filename-nul-byte.zip", false},  // never under the name cut at the NUL
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

TEST(Corpus, EachFileOpensAndUnpacksAsDescribed) {
    for (const CorpusCase& c : kCases) {
        SCOPED_TRACE(c.file);
        std::string error;
        const std::optional<PackageArchive> archive =
            PackageArchive::Open(CorpusFile(c.file), &error);
        ASSERT_EQ(archive.has_value(), c.opens) << error;
        if (archive) {
            EXPECT_EQ(archive->Count(), c.entries);
            EXPECT_FALSE(archive->Entry(c.entries));  // one past the last
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
            EXPECT_TRUE(std::filesystem::is_regular_file(folder / "out" / name)) << name;
        }
    }
}

// An empty folder entry is made. Links are skipped and never made (the unpack tests' hostile
// entries).
TEST(CorpusDetails, EmptyFoldersAreMade) {
    TestFolder folder;
    UnpackArchive(CorpusFile("yauzl-directories.zip"), folder / "dirs");
    EXPECT_TRUE(std::filesystem::is_empty(folder / "dirs" / "b"));
}

TEST(CorpusDetails, WindowsMadeFileIsReadOnlyYetReplaceable) {
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

}  // namespace
}  // namespace tarnel
