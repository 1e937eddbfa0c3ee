#pragma once

#include <memory>
#include <string>

#include "bridge/device_bridge.h"
#include "installer/package/package_messages.h"

namespace tarnel {

struct OpenedBundle;

// What loading a package's facts found; the window shows it.
struct LoadResult {
    DeviceBridge facts{BridgeVariant::Installer};  // the bridge after loading
    bool loaded = false;                           // false: the file could not be read
    std::string iconPath;                          // the icon copy, empty when there is none
    std::string summary;  // for the status line, narrow; empty when there is nothing to say
    // A bundle as read, for its installation to go on from.
    std::shared_ptr<const OpenedBundle> bundle;
};

// Reads an APK's facts (aapt's badging) and copies its icon into iconFolder.
LoadResult LoadApkFacts(DeviceBridge bridge, const std::string& iconFolder);

// Reads a game package's manifest (telling sink what went wrong) and copies its icon.
LoadResult LoadPackageFacts(DeviceBridge bridge, const std::string& iconFolder, MessageSink& sink);

// Reads a split-APK bundle at bridge.packagePath: its APKs' identities (telling sink why it cannot
// be used), the base APK's facts, and its icon (the bundle's own, else the base APK's). The
// summary counts its APKs and OBB files.
LoadResult LoadBundleFacts(DeviceBridge bridge, const std::string& iconFolder, MessageSink& sink);

// A file name made only of characters that are safe in any path, from text of any origin.
std::string SafeFileName(const std::string& text);

}  // namespace tarnel
