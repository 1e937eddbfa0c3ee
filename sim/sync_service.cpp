#include "sim/sync_service.h"

#include <dirent.h>
#include <cerrno>
#include <memory>

namespace tarnel::sim {

namespace {

void AppendStatV1(std::string& out, uint32_t id, const struct stat* info) {
    AppendU32(out, id);
    AppendU32(out, info ? info->st_mode : 0);
    AppendU32(out, info ? static_cast<uint32_t>(info->st_size) : 0);
    AppendU32(out, info ? static_cast<uint32_t>(info->st_mtime) : 0);
}

bool Stat(SyncChannel& channel, Phone& phone, uint32_t id, const std::string& path) {
    const FinalLink link = id == kSyncStat2 ? FinalLink::Follow : FinalLink::Keep;
    const HostLocation location = phone.Files().Locate(path, Access::Lookup, false, link);
    struct stat info {};
    int error = location.error;
    if (error == 0) {
        const int status = link == FinalLink::Follow ? stat(location.host.c_str(), &info)
                                                     : lstat(location.host.c_str(), &info);
        error = status == 0 ? 0 : errno;
    }
    std::string reply;
    if (id == kSyncStat) {
        // The old reply has no room for an error: all zeros means "not there".
        AppendStatV1(reply, id, error == 0 ? &info : nullptr);
    } else {
        AppendU32(reply, id);
        AppendU32(reply, static_cast<uint32_t>(error));
        if (error != 0) {
            info = {};
        }
        AppendStatV2(reply, info);
    }
    return channel.Write(reply);
}

bool List(SyncChannel& channel, Phone& phone, uint32_t id, const std::string& path) {
    const HostLocation location = phone.Files().Locate(path, Access::Read, false);
    std::string reply;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(
        location.error == 0 ? opendir(location.host.c_str()) : nullptr, closedir);
    while (dir) {
        const dirent* entry = readdir(dir.get());
        if (entry == nullptr) {
            break;
        }
        const std::string name = entry->d_name;
        struct stat info {};
        if (name == "." || name == ".." || lstat((location.host / name).c_str(), &info) != 0) {
            continue;
        }
        if (id == kSyncList) {
            AppendStatV1(reply, kSyncDent, &info);
        } else {
            AppendU32(reply, kSyncDent2);
            AppendU32(reply, 0);
            AppendStatV2(reply, info);
        }
        AppendU32(reply, static_cast<uint32_t>(name.size()));
        reply += name;
    }
    // The end is a full-sized record of its kind, named DONE.
    AppendU32(reply, kSyncDone);
    reply.append(id == kSyncList ? 16 : 72, '\0');
    return channel.Write(reply);
}

bool Handle(SyncChannel& channel, Phone& phone, const SyncRequest& request) {
    std::string path;
    if (request.length > kSyncLongestPath || !channel.ReadBytes(request.length, path)) {
        channel.Fail("path too long");
        return false;
    }
    switch (request.id) {
        case kSyncStat:
        case kSyncStat2:
        case kSyncLstat2:
            return Stat(channel, phone, request.id, path);
        case kSyncList:
        case kSyncList2:
            return List(channel, phone, request.id, path);
        case kSyncSend:
            return ReceiveFile(channel, phone, path);
        case kSyncRecv:
            return SendFile(channel, phone, path);
        default:
            channel.Fail("unknown sync request");
            return false;
    }
}

}  // namespace

void ServeSync(Stream& stream, Phone& phone) {
    SyncChannel channel(stream);
    SyncRequest request;
    while (channel.ReadRequest(request) && request.id != kSyncQuit) {
        if (!Handle(channel, phone, request)) {
            return;
        }
    }
}

}  // namespace tarnel::sim
