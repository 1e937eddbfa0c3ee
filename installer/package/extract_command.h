#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>

namespace tarnel {

// tarnelInstall --extract FILE.tpk [DIR]: unpacks into folder (default the package's unpack
// folder), checks the files against the manifest and says the outcome in the installer's words,
// with the number of unsafe entries that were skipped. A progress line goes to err when it is a
// terminal. Gives the exit code: 0 only when the check passed. A folder the command made is
// removed again when unpacking fails.
int RunExtractCommand(const std::filesystem::path& package,
                      const std::optional<std::filesystem::path>& folder, std::ostream& out,
                      std::ostream& err, bool progressLine);

}  // namespace tarnel
