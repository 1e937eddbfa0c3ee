#pragma once

#include <sys/stat.h>
#include <cstdint>
#include <string>
#include <string_view>

#include "sim/little_endian.h"
#include "sim/stream.h"

namespace tarnel::sim {

inline constexpr uint32_t kSyncStat = FourCc("STAT");
inline constexpr uint32_t kSyncStat2 = FourCc("STA2");
inline constexpr uint32_t kSyncLstat2 = FourCc("LST2");
inline constexpr uint32_t kSyncList = FourCc("LIST");
inline constexpr uint32_t kSyncList2 = FourCc("LIS2");
inline constexpr uint32_t kSyncDent = FourCc("DENT");
inline constexpr uint32_t kSyncDent2 = FourCc("DNT2");
inline constexpr uint32_t kSyncSend = FourCc("SEND");
inline constexpr uint32_t kSyncRecv = FourCc("RECV");
inline constexpr uint32_t kSyncData = FourCc("DATA");
inline constexpr uint32_t kSyncDone = FourCc("DONE");
inline constexpr uint32_t kSyncOkay = FourCc("OKAY");
inline constexpr uint32_t kSyncFail = FourCc("FAIL");
inline constexpr uint32_t kSyncQuit = FourCc("QUIT");

inline constexpr size_t kSyncLongestPath = 1024;
inline constexpr size_t kSyncLargestData = 64 * 1024;

struct SyncRequest {
    uint32_t id = 0;
    uint32_t length = 0;  // of the path, or the size of DATA, or the mtime of DONE
};

// The sync stream seen as records: requests in, replies out.
class SyncChannel {
  public:
    explicit SyncChannel(Stream& stream) : stream_(stream) {}

    bool ReadRequest(SyncRequest& request) {
        std::string header;
        if (!stream_.ReadExactly(8, header)) {
            return false;
        }
        request = {ReadU32(header, 0), ReadU32(header, 4)};
        return true;
    }
    bool ReadBytes(size_t size, std::string& out) { return stream_.ReadExactly(size, out); }
    bool Write(std::string_view bytes) { return stream_.Write(bytes); }

    bool Fail(std::string_view message) {
        std::string reply;
        AppendU32(reply, kSyncFail);
        AppendU32(reply, static_cast<uint32_t>(message.size()));
        reply.append(message);
        return Write(reply);
    }

  private:
    Stream& stream_;
};

// The 64 stat bytes shared by STA2, LST2 and DNT2 replies.
inline void AppendStatV2(std::string& out, const struct stat& info) {
    AppendU64(out, info.st_dev);
    AppendU64(out, info.st_ino);
    AppendU32(out, info.st_mode);
    AppendU32(out, static_cast<uint32_t>(info.st_nlink));
    AppendU32(out, info.st_uid);
    AppendU32(out, info.st_gid);
    AppendU64(out, static_cast<uint64_t>(info.st_size));
    AppendU64(out, static_cast<uint64_t>(info.st_atime));
    AppendU64(out, static_cast<uint64_t>(info.st_mtime));
    AppendU64(out, static_cast<uint64_t>(info.st_ctime));
}

}  // namespace tarnel::sim
