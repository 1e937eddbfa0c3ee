#include "installer/package/game_package_writer.h"

namespace tarnel {

bool WriteGamePackage(const std::filesystem::path& path, const GamePackage& package,
                      std::string* error) {
    std::optional<PackageWriter> writer = PackageWriter::Create(path, error);
    if (!writer) {
        return false;
    }
    ManifestFields fields = package.manifest;
    std::size_t dataBytes = 0;
    for (const auto& [name, bytes] : package.dataFiles) {
        dataBytes += bytes.size();
    }
    const std::size_t apkBytes = package.apk ? package.apk->size() : 0;
    if (fields.apkSize.empty()) {
        fields.apkSize = std::to_string(apkBytes);
    }
    if (fields.dataSize.empty()) {
        fields.dataSize = std::to_string(dataBytes);
    }
    if (fields.size.empty()) {
        fields.size = std::to_string(apkBytes + dataBytes);
    }
    const std::string text = package.manifestText.value_or(ManifestText(fields));
    bool ok =
        writer->AddFile(package.manifestEntryName,
                        package.manifestData.value_or(CompressManifest(text)), package.options);
    if (package.apk) {
        ok = ok && writer->AddFile(package.apkEntryName.value_or(fields.packageName + ".apk"),
                                   *package.apk, package.options);
    }
    if (package.icon) {
        ok = ok && writer->AddFile("icon.png", *package.icon, package.options);
    }
    for (const auto& [name, bytes] : package.dataFiles) {
        ok = ok && writer->AddFile("android/" + name, bytes, package.options);
    }
    if (!ok) {
        if (error) {
            *error = "cannot add an entry";
        }
        return false;
    }
    return writer->Finish(error);
}

}  // namespace tarnel
