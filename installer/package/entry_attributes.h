#pragma once

#include <cstdint>

namespace tarnel {

// Attribute bits of an archive entry, with the values Windows gives them, so that archives made
// on either system describe their entries the same way.
enum EntryAttribute : std::uint32_t {
    kAttributeReadOnly = 0x01,
    kAttributeHidden = 0x02,
    kAttributeSystem = 0x04,
    kAttributeDirectory = 0x10,
    kAttributeArchive = 0x20,
    kAttributeNormal = 0x80,
    kAttributeSymbolicLink = 0x400,
};

// The attributes of an entry from its external attributes: MS-DOS bits in the lower half, a Unix
// mode in the upper half. An archive made on Windows leaves the upper half zero, so its files come
// out read-only. A name ending in '/' is a directory whatever the bits say.
std::uint32_t AttributesFromExternal(std::uint32_t external, bool nameEndsWithSlash);

}  // namespace tarnel
