// A game package past 4 GiB, built sparse: its obb is a hole, so the test needs little disk and
// time where the file system keeps holes, and is skipped where it does not.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <string>
#include <string_view>
#include <vector>

#include "bridge/device_bridge.h"
#include "installer/package/folder_tree.h"
#include "installer/package/package_archive.h"
#include "installer/package/package_writer.h"
#include "installer/package/unpack_package.h"
#include "installer/package/verify_unpacked.h"
#include "platform/unique_fd.h"
#include "tests/package/test_folder.h"

namespace tarnel {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kObbSize = (4ull << 30) + (96ull << 20) + 3;  // 4.09 GiB
constexpr const char* kObbName = "android/obb/com.example.big/main.1.com.example.big.obb";

std::uint32_t CrcOfZeros(std::uint64_t length) {
    static const std::vector<Bytef> block(1 << 20, 0);
    const uLong blockCrc = crc32(0, block.data(), static_cast<uInt>(block.size()));
    uLong crc = crc32(0, Z_NULL, 0);
    std::uint64_t done = 0;
    for (; done + block.size() <= length; done += block.size()) {
        crc = crc32_combine64(crc, blockCrc, static_cast<z_off64_t>(block.size()));
    }
    return static_cast<std::uint32_t>(crc32(crc, block.data(), static_cast<uInt>(length - done)));
}

// Little-endian fields: widths names the size in bytes of each value, one digit apiece.
std::string Fields(std::string_view widths, std::initializer_list<std::uint64_t> values) {
    std::string out;
    const std::uint64_t* value = values.begin();
    for (const char width : widths) {
        for (int i = 0; i < width - '0'; ++i) {
            out += static_cast<char>((*value >> (8 * i)) & 0xFF);
        }
        ++value;
    }
    return out;
}

std::uint32_t Crc(const std::string& data) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

// Writes the package, stored, version 4.5, every size and offset in zip64 fields; the obb's data
// is left a hole. False when the file system stores the hole as real blocks.
bool WriteSparsePackage(const fs::path& path, const std::string& manifest, const std::string& apk) {
    const struct {
        std::string name, data;  // no data: the sparse obb
        std::uint64_t size;
        std::uint32_t crc;
    } members[] = {{kObbName, "", kObbSize, CrcOfZeros(kObbSize)},
                   {"manifest.data", manifest, manifest.size(), Crc(manifest)},
                   {"com.example.big.apk", apk, apk.size(), Crc(apk)}};
    const unique_fd fd(open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0644));
    std::uint64_t offset = 0;
    bool ok = fd.Get() >= 0;
    const auto write = [&](const std::string& bytes) {
        ok = ok && pwrite(fd.Get(), bytes.data(), bytes.size(), static_cast<off_t>(offset)) ==
                       static_cast<ssize_t>(bytes.size());
        offset += bytes.size();
    };
    std::string directory;
    for (const auto& m : members) {
        // The central header: made on Unix, mode 0100644.
        directory += Fields("42222224442222244",
                            {0x02014b50, 0x032D, 45, 0, 0, 0x5A21, 0x5721, m.crc, 0xFFFFFFFF,
                             0xFFFFFFFF, m.name.size(), 28, 0, 0, 0, 0100644u << 16, 0xFFFFFFFF}) +
                     m.name + Fields("22888", {1, 24, m.size, m.size, offset});
        write(Fields("42222244422", {0x04034b50, 45, 0, 0, 0x5A21, 0x5721, m.crc, 0xFFFFFFFF,
                                     0xFFFFFFFF, m.name.size(), 20}) +
              m.name + Fields("2288", {1, 16, m.size, m.size}));
        write(m.data);
        offset += m.data.empty() ? m.size : 0;
    }
    const std::uint64_t start = offset;
    write(directory);
    // The zip64 end record, its locator and the end record that points to them.
    write(Fields("4822448888", {0x06064b50, 44, 0x032D, 45, 0, 0, 3, 3, directory.size(), start}) +
          Fields("4484", {0x07064b50, 0, offset, 1}) +
          Fields("4422442", {0x06054b50, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0}));
    struct stat info {};
    return ok && fstat(fd.Get(), &info) == 0 &&
           static_cast<std::uint64_t>(info.st_blocks) * 512 < (1u << 30);
}

TEST(LargePackage, ReadsUnpacksAndVerifiesWithSixtyFourBitSizes) {
    const test::TestFolder folder;
    const std::string apk(777, 'k');
    const std::string text = ManifestText({.packageName = "com.example.big",
                                           .apkSize = std::to_string(apk.size()),
                                           .dataSize = std::to_string(kObbSize),
                                           .size = std::to_string(kObbSize + apk.size())});
    const fs::path package = folder / "big.tpk";
    if (!WriteSparsePackage(package, CompressManifest(text), apk)) {
        GTEST_SKIP() << "the file system here keeps no sparse files";
    }
    const std::optional<PackageArchive> archive = PackageArchive::Open(package);
    ASSERT_TRUE(archive);
    ASSERT_EQ(archive->Count(), 3u);
    EXPECT_EQ(archive->Entry(0)->size, kObbSize);
    const std::optional<std::uint64_t> found = archive->Find("COM.EXAMPLE.BIG.APK");
    ASSERT_TRUE(found);
    EXPECT_EQ(archive->ReadWhole(*found, 1 << 20), apk);

    DeviceBridge bridge(BridgeVariant::Installer);
    const UnpackReport report = UnpackPackage(bridge, package);
    ASSERT_EQ(report.status, UnpackStatus::Done) << report.message;
    EXPECT_EQ(report.bytes,
              kObbSize + apk.size() + fs::file_size(folder / "~big" / "manifest.data"));
    EXPECT_EQ(fs::file_size(folder / "~big" / kObbName), kObbSize);
    EXPECT_EQ(FolderByteSize(folder / "~big" / "android"), kObbSize);
    EXPECT_EQ(VerifyUnpacked(bridge), kUnpackedIntact);
    RemoveFolderTree(bridge.unpackFolder);
    EXPECT_FALSE(fs::exists(folder / "~big"));
}

}  // namespace
}  // namespace tarnel
