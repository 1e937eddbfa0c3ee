#include "installer/package/unpack_plan.h"

#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>

#include "installer/package/entry_data.h"
#include "installer/package/entry_name_policy.h"

namespace tarnel {

namespace {

mode_t FileMode(bool readOnly) {
    return readOnly ? 0444 : 0644;
}

class FolderMaker {
  public:
    explicit FolderMaker(const OutputTree& tree) : tree_(tree) {}

    bool Make(const std::vector<std::string>& components, std::string* error) {
        if (components.empty() || made_.contains(components)) {
            return true;
        }
        if (!tree_.MakeFolders(components, error)) {
            return false;
        }
        // The parents exist now as well.
        for (std::size_t length = components.size(); length > 0; --length) {
            made_.emplace(components.begin(), components.begin() + static_cast<long>(length));
        }
        return true;
    }

  private:
    const OutputTree& tree_;
    std::set<std::vector<std::string>> made_;
};

bool AddSplitFile(const OutputTree& tree, UnpackItem whole, std::uint64_t pieceSize,
                  UnpackPlan& plan, std::string* error) {
    auto split = std::make_shared<SplitFile>();
    split->fd = tree.CreateFile(whole.components, FileMode(whole.readOnly), error);
    if (!split->fd) {
        return false;
    }
    plan.splitFiles.push_back(split);
    if (!ReserveFileSize(split->fd.Get(), whole.size, error)) {
        return false;
    }
    const std::size_t pieces = static_cast<std::size_t>((whole.size + pieceSize - 1) / pieceSize);
    split->pieceCrcs.resize(pieces);
    split->pieceLengths.resize(pieces);
    split->piecesLeft = pieces;
    for (std::size_t piece = 0; piece < pieces; ++piece) {
        UnpackItem item = whole;
        item.split = split;
        item.piece = piece;
        item.offset = piece * pieceSize;
        item.length = std::min(pieceSize, whole.size - item.offset);
        split->pieceLengths[piece] = item.length;
        plan.items.push_back(std::move(item));
    }
    return true;
}

constexpr std::uint64_t kLargeItem = 1 << 20;

void OrderWork(UnpackPlan& plan) {
    std::vector<UnpackItem> large;
    std::map<std::vector<std::string>, std::vector<UnpackItem>> byFolder;
    for (UnpackItem& item : plan.items) {
        if (item.length >= kLargeItem) {
            large.push_back(std::move(item));
        } else {
            byFolder[{item.components.begin(), item.components.end() - 1}].push_back(
                std::move(item));
        }
    }
    std::stable_sort(large.begin(), large.end(),
                     [](const UnpackItem& a, const UnpackItem& b) { return a.length > b.length; });
    plan.largeItems = large.size();
    plan.items = std::move(large);
    for (std::size_t round = 0;; ++round) {
        bool any = false;
        for (auto& [folder, items] : byFolder) {
            if (round < items.size()) {
                plan.items.push_back(std::move(items[round]));
                any = true;
            }
        }
        if (!any) {
            break;
        }
    }
}

}  // namespace

bool MakeUnpackPlan(const PackageArchive& archive, const OutputTree& tree, std::uint64_t pieceSize,
                    UnpackPlan& plan, std::string* error, const EntryPlacement& place) {
    FolderMaker folders(tree);
    // "a/b", "a\\b" and "a/./b" are one file; a second entry for it would race the first.
    std::set<std::vector<std::string>> files;
    const std::uint64_t count = archive.Count();
    for (std::uint64_t index = 0; index < count; ++index) {
        const std::optional<ArchiveEntry> entry = archive.Entry(index);
        if (!entry) {
            *error = "cannot read entry " + std::to_string(index);
            return false;
        }
        const NameVerdict verdict = JudgeEntryName(entry->name);
        if (verdict != NameVerdict::Safe) {
            plan.skipped.push_back({entry->name, NameVerdictText(verdict)});
            continue;
        }
        if (entry->IsSymbolicLink()) {
            plan.skipped.push_back({entry->name, "symbolic link"});
            continue;
        }
        std::vector<std::string> components = NameComponents(entry->name);
        if (place) {
            std::optional<std::vector<std::string>> placed =
                entry->IsDirectory() ? std::nullopt : place(*entry);
            if (!placed) {
                continue;
            }
            components = std::move(*placed);
        }
        if (entry->IsDirectory()) {
            if (!folders.Make(components, error)) {
                return false;
            }
            continue;
        }
        if (!files.insert(components).second) {
            plan.skipped.push_back({entry->name, "duplicate name"});
            continue;
        }
        if (!folders.Make({components.begin(), components.end() - 1}, error)) {
            return false;
        }
        UnpackItem item;
        item.index = index;
        item.components = std::move(components);
        item.size = entry->size;
        item.crc = entry->crc;
        item.compressedSize = entry->compressedSize;
        item.stored = entry->stored;
        item.deflated = entry->deflated;
        item.encrypted = entry->encrypted;
        item.readOnly = entry->IsReadOnly();
        item.times = entry->times;
        item.length = entry->size;
        plan.totalBytes += entry->size;
        ++plan.fileCount;
        if (entry->stored && entry->size > pieceSize) {
            if (!AddSplitFile(tree, std::move(item), pieceSize, plan, error)) {
                return false;
            }
        } else {
            plan.items.push_back(std::move(item));
        }
    }
    OrderWork(plan);
    return true;
}

}  // namespace tarnel
