#include "installer/package/extract_command.h"

#include <cstdio>
#include <ostream>
#include <string>

#include "installer/package/bundle_reader.h"
#include "installer/package/folder_tree.h"
#include "installer/package/package_check.h"
#include "installer/package/package_messages.h"
#include "installer/package/unpack_package.h"
#include "installer/package/unpacker.h"
#include "installer/package/verify_unpacked.h"

namespace tarnel {

namespace {

std::string Megabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / (1 << 20));
    return text;
}

}  // namespace

int RunExtractCommand(const std::filesystem::path& package,
                      const std::optional<std::filesystem::path>& folder, std::ostream& out,
                      std::ostream& err, bool progressLine) {
    const bool isBundle = BundleKindOf(package).has_value();
    if (const std::string refusal = isBundle ? CheckBundleFile(package) : CheckPackageFile(package);
        !refusal.empty()) {
        out << refusal << '\n';
        return 1;
    }
    std::error_code error;
    const bool existed = folder && std::filesystem::exists(*folder, error);
    const std::filesystem::path chosen = folder ? *folder : CreateUnpackFolder(package);
    const std::filesystem::path target =
        chosen.empty() ? chosen : std::filesystem::absolute(chosen, error);
    if (target.empty()) {
        err << "cannot create a folder to unpack into beside " << package.string() << '\n';
        return 1;
    }
    UnpackOptions options;
    const std::string status =
        NarrowText(isBundle ? "正在解压缩安装包..." : "正在解压缩TPK文件...");
    if (progressLine) {
        options.progress = [&](std::uint64_t done, std::uint64_t total) {
            const unsigned percent = total ? static_cast<unsigned>(done * 100 / total) : 100;
            err << '\r' << status << ' ' << percent << "% (" << Megabytes(done) << " / "
                << Megabytes(total) << ")" << std::flush;
        };
    }
    const UnpackReport report = UnpackArchive(std::filesystem::absolute(package), target, options);
    if (progressLine) {
        err << '\n';
    }
    if (!report.skipped.empty()) {
        out << NarrowText("已跳过不安全的条目: ") << report.skipped.size() << '\n';
        for (const SkippedEntry& skipped : report.skipped) {
            out << "  " << skipped.name << " (" << skipped.reason << ")\n";
        }
    }
    if (report.status != UnpackStatus::Done) {
        out << NarrowText(report.status == UnpackStatus::CannotOpen ? "打开tpk文件错误！"
                                                                    : "tpk解压缩失败！")
            << '\n';
        err << report.message << '\n';
        if (!existed) {
            RemoveFolderTree(target);
        }
        return 1;
    }
    UnpackedPaths paths;
    // A bundle was checked whole before; its APKs carry their own signatures.
    const int result = isBundle ? kUnpackedIntact : VerifyUnpackedFolder(target, paths);
    if (result != kUnpackedIntact) {
        out << VerifyResultMessage(result) << '\n';
        if (!existed) {
            RemoveFolderTree(target);
        }
        return 1;
    }
    out << NarrowText("解压缩完成: ") << target.string() << " (" << report.files << " files, "
        << Megabytes(report.bytes) << ")\n";
    return 0;
}

}  // namespace tarnel
