#include "installer/package/package_writer.h"

#include <zip.h>
#include <zlib.h>

namespace tarnel {

namespace {

constexpr std::uint16_t kExtendedTimestampId = 0x5455;

void AppendLittle32(std::string& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((bits >> shift) & 0xFF);
    }
}

std::string UtField(const UtTimes& times) {
    std::string field(1, static_cast<char>(times.flags));
    const std::int32_t values[] = {times.modification, times.access, times.creation};
    for (int bit = 0; bit < 3; ++bit) {
        if (times.flags & (1u << bit)) {
            AppendLittle32(field, values[bit]);
        }
    }
    return field;
}

}  // namespace

PackageWriter::PackageWriter(zip* archive)
    : zip_(archive), data_(std::make_unique<std::deque<std::string>>()) {}

std::optional<PackageWriter> PackageWriter::Create(const std::filesystem::path& path,
                                                   std::string* error) {
    int code = 0;
    zip* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive) {
        if (error) {
            *error = ZipErrorText(code);
        }
        return std::nullopt;
    }
    return PackageWriter(archive);
}

bool PackageWriter::Describe(std::int64_t index, std::uint32_t defaultMode,
                             const EntryOptions& options) {
    if (index < 0) {
        return false;
    }
    const auto at = static_cast<zip_uint64_t>(index);
    const std::uint32_t external = options.external.value_or(defaultMode << 16);
    bool ok = zip_set_file_compression(zip_.get(), at,
                                       options.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0) == 0 &&
              zip_file_set_external_attributes(zip_.get(), at, 0, options.system, external) == 0 &&
              zip_file_set_mtime(zip_.get(), at, options.dosTime, 0) == 0;
    if (ok && options.ut) {
        data_->push_back(UtField(*options.ut));
        const std::string& field = data_->back();
        ok = zip_file_extra_field_set(zip_.get(), at, kExtendedTimestampId, ZIP_EXTRA_FIELD_NEW,
                                      reinterpret_cast<const zip_uint8_t*>(field.data()),
                                      static_cast<zip_uint16_t>(field.size()),
                                      ZIP_FL_CENTRAL | ZIP_FL_LOCAL) == 0;
    }
    return ok;
}

bool PackageWriter::AddFile(std::string_view name, std::string data, const EntryOptions& options) {
    data_->push_back(std::move(data));
    const std::string& bytes = data_->back();
    zip_source_t* source = zip_source_buffer(zip_.get(), bytes.data(), bytes.size(), 0);
    if (!source) {
        return false;
    }
    const zip_int64_t index =
        zip_file_add(zip_.get(), std::string(name).c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    return Describe(index, 0100644, options);
}

bool PackageWriter::AddFileFrom(std::string_view name, const std::filesystem::path& source,
                                const EntryOptions& options) {
    zip_source_t* file = zip_source_file(zip_.get(), source.c_str(), 0, -1);
    if (!file) {
        return false;
    }
    const zip_int64_t index =
        zip_file_add(zip_.get(), std::string(name).c_str(), file, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(file);
        return false;
    }
    return Describe(index, 0100644, options);
}

bool PackageWriter::AddSymbolicLink(std::string_view name, std::string target,
                                    const EntryOptions& options) {
    EntryOptions link = options;
    link.external = options.external.value_or(0120777u << 16);
    return AddFile(name, std::move(target), link);
}

bool PackageWriter::Finish(std::string* error) {
    if (zip_close(zip_.get()) != 0) {
        if (error) {
            *error = zip_strerror(zip_.get());
        }
        return false;
    }
    zip_.release();
    return true;
}

std::string CompressManifest(std::string_view text) {
    uLongf length = compressBound(static_cast<uLong>(text.size()));
    std::string out(length, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &length,
              reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()),
              Z_BEST_COMPRESSION);
    out.resize(length);
    return out;
}

std::string ManifestText(const ManifestFields& fields) {
    auto member = [](std::string_view key, std::string_view value) {
        return "  \"" + std::string(key) + "\": \"" + std::string(value) + "\",\r\n";
    };
    return "{\r\n" + member("packageName", fields.packageName) + member("appName", fields.appName) +
           member("versionName", fields.versionName) + member("apkSize", fields.apkSize) +
           member("dataSize", fields.dataSize) + member("size", fields.size) +
           "  \"minSdkVersion\": \"" + fields.minSdkVersion + "\"}";
}

}  // namespace tarnel
