#include "sim/service_router.h"

#include "sim/shell_service.h"
#include "sim/sync_service.h"

namespace tarnel::sim {

namespace {

std::vector<std::string> SplitOn(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string_view::npos; start = at + 1) {
        pieces.emplace_back(text.substr(start, at - start));
    }
    pieces.emplace_back(text.substr(start));
    return pieces;
}

constexpr std::string_view kShellWithOptions = "shell,";

std::optional<ServiceBody> OpenShell(Phone& phone, std::string_view name) {
    // "shell,v2,TERM=xterm,raw:command": the options end at the first colon.
    const size_t colon = name.find(':');
    if (colon == std::string_view::npos || !phone.HasFeature("shell_v2")) {
        return std::nullopt;
    }
    const size_t start = kShellWithOptions.size();
    const std::vector<std::string> options = SplitOn(name.substr(start, colon - start), ',');
    const std::string command(name.substr(colon + 1));
    for (const std::string& option : options) {
        if (option == "v2") {
            return [&phone, command](Stream& stream) { ServeShellV2(stream, phone, command); };
        }
    }
    return [&phone, command](Stream& stream) { ServeRawShell(stream, phone, command); };
}

}  // namespace

ServiceOpener MakeServiceOpener(Phone& phone) {
    return [&phone](std::string_view name) -> std::optional<ServiceBody> {
        if (name.starts_with("shell:") || name.starts_with("exec:")) {
            const std::string command(name.substr(name.find(':') + 1));
            return [&phone, command](Stream& stream) { ServeRawShell(stream, phone, command); };
        }
        if (name.starts_with(kShellWithOptions)) {
            return OpenShell(phone, name);
        }
        if (name == "sync:") {
            return [&phone](Stream& stream) { ServeSync(stream, phone); };
        }
        if (name.starts_with("abb_exec:") && phone.HasFeature("abb_exec")) {
            const std::vector<std::string> argv = SplitOn(name.substr(9), '\0');
            return [&phone, argv](Stream& stream) { ServeAbbExec(stream, phone, argv); };
        }
        return std::nullopt;
    };
}

}  // namespace tarnel::sim
