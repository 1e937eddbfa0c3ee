#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bridge/phone_config.h"

namespace tarnel {

// One APK of a bundle: its file and the split name in its manifest (empty for the base).
struct BundleSplit {
    std::string file;
    std::string splitName;
    std::uint64_t entryIndex = 0;  // in the bundle's zip
};

struct SplitChoice {
    std::vector<std::string> files;  // to install, the base first
    // Why nothing fits the phone (UTF-8); empty when files is the choice.
    std::string refusal;
};

// The splits a phone needs: the base, every feature split, and per module the split of the
// phone's first ABI that has one, the density split nearest the phone's density (the higher of
// two equally near; the highest when the phone did not say), and the language splits of the
// phone's language (all of them when none matches). A module whose code splits fit none of the
// phone's ABIs refuses the bundle, naming the ABIs it has and the phone's.
SplitChoice ChooseSplits(const std::vector<BundleSplit>& splits, const PhoneConfig& phone);

// The ABI of a split name ("arm64-v8a" for "config.arm64_v8a"), or empty.
std::string SplitAbi(const std::string& splitName);

}  // namespace tarnel
