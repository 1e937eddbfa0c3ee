#include "installer/package/entry_attributes.h"

namespace tarnel {

namespace {

constexpr std::uint32_t kDosReadOnly = 0x01;
constexpr std::uint32_t kDosHidden = 0x02;
constexpr std::uint32_t kDosSystem = 0x04;
constexpr std::uint32_t kDosDirectory = 0x10;
constexpr std::uint32_t kDosArchive = 0x20;
constexpr std::uint32_t kUnixDirectoryType = 0x40000000;
constexpr std::uint32_t kUnixOwnerWrite = 0x00800000;
constexpr std::uint32_t kUnixTypeMask = 0170000u << 16;
constexpr std::uint32_t kUnixSymbolicLink = 0120000u << 16;

}  // namespace

std::uint32_t AttributesFromExternal(std::uint32_t external, bool nameEndsWithSlash) {
    std::uint32_t attributes = kAttributeNormal;
    if ((external & kDosDirectory) || (external & kUnixDirectoryType) || nameEndsWithSlash) {
        attributes |= kAttributeDirectory;
    }
    if ((external & kDosReadOnly) || !(external & kUnixOwnerWrite)) {
        attributes |= kAttributeReadOnly;
    }
    if (external & kDosHidden) {
        attributes |= kAttributeHidden;
    }
    if (external & kDosSystem) {
        attributes |= kAttributeSystem;
    }
    if (external & kDosArchive) {
        attributes |= kAttributeArchive;
    }
    if ((external & kUnixTypeMask) == kUnixSymbolicLink) {
        attributes |= kAttributeSymbolicLink;
    }
    return attributes;
}

}  // namespace tarnel
