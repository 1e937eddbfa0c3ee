#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarnel::test {

// What goes into an APK that the tests build with the real aapt.
struct ApkContents {
    std::string packageName = "com.example.game";
    std::string versionName = "1.2.3";
    int versionCode = 3;
    std::string label = "Example";  // UTF-8
    std::vector<std::string> permissions;
    // Density folders that get an icon.png: 96 pixels square for "xhdpi", 72 for any other.
    std::vector<std::string> iconDensities = {"hdpi"};
    // A split APK's name ("config.arm64_v8a"); empty for a base APK.
    std::string split;
};

// Builds the APK at target with `aapt package` against the framework resources; throws with
// aapt's text when that fails.
void BuildApk(const ApkContents& apk, const std::filesystem::path& target);

// A small valid PNG of the given size, one colour.
std::string SolidPng(int width, int height, unsigned char r, unsigned char g, unsigned char b);

// A fresh empty folder under the system's temporary folder, unique to the running test.
std::filesystem::path FreshTestFolder(const std::string& tag);

}  // namespace tarnel::test
