// tarnel-phonesim: plays an Android phone on the device side of adb's transport, so that the
// real adb can "adb connect 127.0.0.1:PORT" to it. For tests and the demo.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "sim/phone.h"
#include "sim/phone_server.h"
#include "sim/scenario.h"
#include "sim/socket_io.h"

namespace {

constexpr const char* kUsage =
    "usage: tarnel-phonesim --port N --root DIR [--scenario FILE.json] [--verbose]\n"
    "  Listens on 127.0.0.1:N (0: any free port), prints \"ready 127.0.0.1:N\" and serves\n"
    "  until killed. DIR holds the phone's files (DIR/sdcard, DIR/data ...).\n"
    "  Then: adb connect 127.0.0.1:N\n";

struct Options {
    long port = -1;
    std::string root;
    std::string scenarioFile;
    bool verbose = false;
};

[[noreturn]] void Usage(const std::string& problem) {
    std::fprintf(stderr, "tarnel-phonesim: %s\n%s", problem.c_str(), kUsage);
    std::exit(2);
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--port" && hasValue) {
            char* end = nullptr;
            options.port = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || options.port < 0 || options.port > 65535) {
                Usage("--port needs a number from 0 to 65535");
            }
        } else if (argument == "--root" && hasValue) {
            options.root = argv[++i];
        } else if (argument == "--scenario" && hasValue) {
            options.scenarioFile = argv[++i];
        } else if (argument == "--verbose") {
            options.verbose = true;
        } else if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else {
            Usage("unexpected argument " + std::string(argument));
        }
    }
    if (options.port < 0 || options.root.empty()) {
        Usage("--port and --root are required");
    }
    return options;
}

tarnel::sim::Scenario LoadScenario(const std::string& file) {
    if (file.empty()) {
        return tarnel::sim::ParseScenario("{}");
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read the scenario file " + file);
    }
    std::ostringstream text;
    text << in.rdbuf();
    return tarnel::sim::ParseScenario(text.str());
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    const Options options = ParseOptions(argc, argv);
    try {
        tarnel::sim::Scenario scenario = LoadScenario(options.scenarioFile);
        tarnel::sim::ConnectionBehaviour behaviour;
        behaviour.refuseHandshake = scenario.refuseHandshake;
        behaviour.hang = scenario.hang;
        behaviour.dropAfterBytes = scenario.dropAfterBytes;
        behaviour.hangAfterBytes = scenario.hangAfterBytes;
        behaviour.throughput = scenario.throughput;
        behaviour.verbose = options.verbose;
        tarnel::sim::Phone phone(std::move(scenario), std::filesystem::absolute(options.root));
        behaviour.banner = phone.Banner();

        const tarnel::sim::Listener listener =
            tarnel::sim::ListenOnLoopback(static_cast<uint16_t>(options.port));
        if (listener.fd < 0) {
            throw std::runtime_error(listener.error);
        }
        std::printf("ready 127.0.0.1:%u\n", listener.port);
        std::fflush(stdout);
        tarnel::sim::PhoneServer(phone, behaviour).Run(listener.fd);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarnel-phonesim: %s\n", error.what());
        return 1;
    }
}
