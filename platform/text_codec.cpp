#include "platform/text_codec.h"

#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <optional>

namespace tarnel {
namespace {

std::mutex charsetMutex;
std::optional<std::string> chosenCharset;

bool IsUtf8Name(std::string_view name) {
    return name == "UTF-8" || name == "utf-8" || name == "UTF8" || name == "utf8";
}

// Decodes one UTF-8 sequence at text[i]; gives U+FFFD for a broken one and advances i past it.
char32_t DecodeOne(std::string_view text, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int extra = -1;
    if (lead >= 0xC2 && lead <= 0xDF)
        extra = 1;
    if (lead >= 0xE0 && lead <= 0xEF)
        extra = 2;
    if (lead >= 0xF0 && lead <= 0xF4)
        extra = 3;
    if (extra < 0) {
        ++i;
        return 0xFFFD;
    }
    char32_t code = lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        if (i + k >= text.size() || (byte(i + k) & 0xC0) != 0x80) {
            i += k;
            return 0xFFFD;
        }
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    i += extra + 1;
    if (code < kMinimum[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0xFFFD;
    }
    return code;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Valid UTF-8: broken sequences replaced. Tool output is nearly always valid already, so that case
// costs one pass and one copy.
std::string CleanUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        size_t before = i;
        if (DecodeOne(text, i) == 0xFFFD && text.compare(before, 3, "\xEF\xBF\xBD") != 0)
            break;
    }
    if (i >= text.size())
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();)
        AppendUtf8(out, DecodeOne(text, i));
    return out;
}

class Converter {
  public:
    Converter(const std::string& to, const std::string& from)
        : handle_(::iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (Ok())
            ::iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of text; an input character the target lacks is replaced by fallback, an
    // undecodable input byte is skipped and replaced as well.
    std::string Convert(std::string_view text, std::string_view fallback) {
        std::string out;
        char buffer[4096];
        char* in = const_cast<char*>(text.data());
        size_t inLeft = text.size();
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            size_t rc = ::iconv(handle_, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<size_t>(outPtr - buffer));
            if (rc != static_cast<size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: skip one input character.
            size_t skip = SkipLength(in, inLeft);
            in += skip;
            inLeft -= skip;
            out.append(fallback);
            ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        }
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        ::iconv(handle_, nullptr, nullptr, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        return out;
    }

    size_t skipUnit = 1;

  private:
    size_t SkipLength(const char* in, size_t left) const {
        if (skipUnit == 0) {  // UTF-8 input: skip the whole character
            size_t i = 0;
            DecodeOne(std::string_view(in, left), i);
            return i;
        }
        return std::min(skipUnit, left);
    }
    iconv_t handle_;
};

}  // namespace

std::string NarrowCharset() {
    std::lock_guard lock(charsetMutex);
    if (chosenCharset)
        return *chosenCharset;
    std::string name = ::nl_langinfo(CODESET);
    if (name.empty() || name == "ANSI_X3.4-1968" || name == "ASCII")
        name = "UTF-8";
    return name;
}

void SetNarrowCharset(std::string charset) {
    std::lock_guard lock(charsetMutex);
    chosenCharset = std::move(charset);
}

std::string Utf8ToAnsi(const char* bytes, int length) {
    if (bytes == nullptr || length <= 0)
        return {};
    std::string clean = CleanUtf8(std::string_view(bytes, static_cast<size_t>(length)));
    const std::string charset = NarrowCharset();
    if (IsUtf8Name(charset))
        return clean;
    Converter converter(charset, "UTF-8");
    if (!converter.Ok())
        return {};
    converter.skipUnit = 0;
    return converter.Convert(clean, "?");
}

void Utf8ToGbkInPlace(std::string& text) {
    text = Utf8ToAnsi(text.data(), static_cast<int>(text.size()));
}

std::string AnsiToUtf8(std::string_view text) {
    const std::string charset = NarrowCharset();
    if (IsUtf8Name(charset))
        return CleanUtf8(text);
    Converter converter("UTF-8", charset);
    if (!converter.Ok())
        return {};
    return converter.Convert(text, "\xEF\xBF\xBD");
}

std::wstring AnsiToWide(std::string_view text) {
    std::string utf8 = AnsiToUtf8(text);
    std::wstring wide;
    for (size_t i = 0; i < utf8.size();)
        wide += static_cast<wchar_t>(DecodeOne(utf8, i));
    return wide;
}

}  // namespace tarnel
