#include <gtest/gtest.h>

#include <string>

#include "installer/package/manifest_inflate.h"
#include "installer/package/package_manifest.h"
#include "installer/package/package_writer.h"

namespace tarnel {
namespace {

// Read from a file descriptor too, by every verify of an unpacked package (verify_test).
TEST(InflateManifest, ReadsWholeTextsAndRefusesBrokenStreams) {
    const std::string small = "{\"packageName\": \"com.a.b\"}";
    const std::string longText(5000, 'x');  // would not fit the old 1024-byte buffer
    const std::string limit(kManifestTextLimit, 'y');
    const std::string compressed = CompressManifest(small);
    struct Case {
        const char* what;
        std::string input;
        int result;
        std::string text;
    };
    const Case cases[] = {
        {"small", compressed, kManifestInflated, small},
        {"long", CompressManifest(longText), kManifestInflated, longText},
        {"at the limit", CompressManifest(limit), kManifestInflated, limit},
        {"past the limit", CompressManifest(limit + "z"), kManifestDataError, ""},
        {"empty", "", kManifestDataError, ""},
        {"cut short", compressed.substr(0, compressed.size() - 5), kManifestDataError, ""},
        {"raw text", small, kManifestDataError, ""},
        // A zlib header asking for a preset dictionary (FDICT), its identifier, then data.
        {"preset dictionary", std::string("\x78\xBB\0\0\0\1", 6) + compressed.substr(2),
         kManifestDataError, ""},
        {"bad checksum",
         compressed.substr(0, compressed.size() - 1) + static_cast<char>(compressed.back() ^ 1),
         kManifestDataError, ""},
        {"trailing bytes ignored", compressed + "junk", kManifestInflated, small},
    };
    for (const Case& c : cases) {
        std::string text;
        EXPECT_EQ(InflateManifestBytes(c.input, text), c.result) << c.what;
        EXPECT_EQ(text, c.text) << c.what;
    }
}

const char kManifest[] =
    "{\r\n  \"packageName\": \"com.example.racer\",\r\n  \"appName\": \"赛车\",\r\n"
    "  \"versionName\": \"2.1\",\r\n  \"apkSize\": \"1234\",\r\n  \"dataSize\": \"99\",\r\n"
    "  \"size\": \"1536\",\r\n  \"minSdkVersion\": \"14\"}";

TEST(ManifestValues, FollowTheMarkerRule) {
    struct Case {
        std::string text;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {kManifest, "packageName", "com.example.racer"},
        {kManifest, "appName", "赛车"},
        {kManifest, "missing", ""},
        {kManifest, "PackageName", ""},  // case matters
        // Exactly one space after the colon.
        {"{\"packageName\":\"com.a.b\",}", "packageName", ""},
        {"{\"packageName\":  \"com.a.b\",}", "packageName", ""},
        // A quote not followed by a comma belongs to the value.
        {"{\"appName\": \"say \"hi\" now\",}", "appName", "say \"hi\" now"},
        // The last member loses its closing quote and brace.
        {"{\"packageName\": \"com.a.b\", \"versionName\": \"3.0\" }\n", "versionName", "3.0"},
        {"{\"versionName\": \"3.0", "versionName", "3.0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ManifestValue(c.text, c.key), c.value) << c.text << " / " << c.key;
    }
}

TEST(ManifestValues, ParseCutsTheMinimumLevel) {
    struct Case {
        const char* text;
        const char* level;
    };
    const Case cases[] = {
        {"{\"minSdkVersion\": \"8\",\"size\": \"1\",}", "8"},
        {"{\"minSdkVersion\": \"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseManifest(c.text).minSdkVersion, c.level) << c.text;
    }
    EXPECT_EQ(ParseManifest(kManifest).dataSize, "99");
}

}  // namespace
}  // namespace tarnel
