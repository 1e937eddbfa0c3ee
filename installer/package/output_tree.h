#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/unique_fd.h"

namespace tarnel {

// The folder that entries are unpacked into. Everything is reached from its open descriptor, one
// name at a time (openat with O_NOFOLLOW for each component), never following a symbolic link,
// so nothing lands outside it even when the folder is reused and holds links from elsewhere.
class OutputTree {
  public:
    // Creates root and its parents as needed.
    static std::optional<OutputTree> Open(const std::filesystem::path& root, std::string* error);

    // Creates the folders named by components (each one inside the one before). A symbolic link
    // or file in the way is replaced by a folder.
    bool MakeFolders(const std::vector<std::string>& components, std::string* error) const;

    // Creates the file named by components for writing, replacing a file of that name (read-only
    // ones too). Its folders must exist, as folders: a link on the way fails. Gives the
    // descriptor, or -1.
    int CreateFile(const std::vector<std::string>& components, mode_t mode,
                   std::string* error) const;

    void RemoveFile(const std::vector<std::string>& components) const;

    const std::filesystem::path& Root() const { return root_; }

  private:
    OutputTree(unique_fd fd, std::filesystem::path root);
    // The folder holding the last component, reached one component at a time.
    unique_fd OpenParent(const std::vector<std::string>& components, std::string* error) const;

    unique_fd fd_;
    std::filesystem::path root_;
};

// "a/b/c" from components, for messages.
std::string JoinComponents(const std::vector<std::string>& components);

}  // namespace tarnel
