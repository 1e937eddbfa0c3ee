#include "tests/apk/apk_builder.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <stdexcept>
#include <vector>

#include "platform/process_runner.h"
#include "tests/package/test_folder.h"

namespace tarnel::test {
namespace {

void AppendBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void AppendChunk(std::string& out, const char* type, const std::string& data) {
    AppendBigEndian(out, static_cast<uint32_t>(data.size()));
    std::string typed = std::string(type, 4) + data;
    out += typed;
    AppendBigEndian(out, static_cast<uint32_t>(::crc32(
                             0, reinterpret_cast<const Bytef*>(typed.data()), typed.size())));
}

}  // namespace

std::string SolidPng(int width, int height, unsigned char r, unsigned char g, unsigned char b) {
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        for (int x = 0; x < width; ++x)
            raw += {static_cast<char>(r), static_cast<char>(g), static_cast<char>(b)};
    }
    uLongf packedSize = compressBound(raw.size());
    std::string packed(packedSize, '\0');
    ::compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
               reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    packed.resize(packedSize);
    std::string header;
    AppendBigEndian(header, width);
    AppendBigEndian(header, height);
    header += {8, 2, 0, 0, 0};
    std::string png = "\x89PNG\r\n\x1a\n";
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", packed);
    AppendChunk(png, "IEND", "");
    return png;
}

std::filesystem::path FreshTestFolder(const std::string& tag) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "tarnel-" + tag + "-" + std::to_string(::getpid());
    if (info != nullptr)
        name += std::string("-") + info->name();
    for (char& c : name) {
        if (c == '/')
            c = '_';
    }
    std::filesystem::path folder = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

void BuildApk(const ApkContents& apk, const std::filesystem::path& target) {
    const std::filesystem::path work = target.string() + ".src";
    std::filesystem::remove_all(work);
    std::string manifest =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<manifest xmlns:android=\"http://schemas.android.com/apk/res/android\" package=\"" +
        apk.packageName + "\"" + (apk.split.empty() ? "" : " split=\"" + apk.split + "\"") +
        " android:versionCode=\"" + std::to_string(apk.versionCode) + "\" android:versionName=\"" +
        apk.versionName + "\">\n";
    manifest += "  <uses-sdk android:minSdkVersion=\"8\" android:targetSdkVersion=\"19\"/>\n";
    for (const std::string& permission : apk.permissions) {
        manifest += "  <uses-permission android:name=\"" + permission + "\"/>\n";
    }
    manifest += "  <application android:label=\"@string/app_name\"";
    if (!apk.iconDensities.empty())
        manifest += " android:icon=\"@drawable/icon\"";
    manifest += "/>\n</manifest>\n";
    WriteFile(work / "AndroidManifest.xml", manifest);
    WriteFile(work / "res/values/strings.xml",
              "<resources><string name=\"app_name\">" + apk.label + "</string></resources>\n");
    unsigned char shade = 40;
    for (const std::string& density : apk.iconDensities) {
        const int size = density == "xhdpi" ? 96 : 72;
        WriteFile(work / ("res/drawable-" + density) / "icon.png",
                  SolidPng(size, size, shade, 120, 200));
        shade += 40;
    }
    RunResult result =
        RunProcess({"aapt", "package", "-f", "-M", (work / "AndroidManifest.xml").string(), "-S",
                    (work / "res").string(), "-I",
                    "/usr/share/android-framework-res/framework-res.apk", "-F", target.string()});
    std::filesystem::remove_all(work);
    if (result.exitStatus != 0)
        throw std::runtime_error("aapt package failed: " + result.output);
}

}  // namespace tarnel::test
