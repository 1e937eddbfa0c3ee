#pragma once

#include "bridge/device_bridge.h"
#include "platform/tool_locator.h"

namespace tarnel::test {

// A bridge of the given variant with the real adb and aapt, reaching whatever adb server the
// environment names (the SimulatedPhone's).
inline DeviceBridge RealToolsBridge(BridgeVariant variant) {
    DeviceBridge bridge(variant);
    bridge.adbPath = FindTool("adb", "TARNEL_ADB");
    bridge.aaptPath = FindTool("aapt", "TARNEL_AAPT");
    return bridge;
}

}  // namespace tarnel::test
