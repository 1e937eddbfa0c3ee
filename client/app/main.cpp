#include <clocale>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "bridge/phone_choice.h"
#include "client/app/tarnel_app.h"
#include "client/core/client_options.h"
#include "client/core/phone_info_command.h"
#include "platform/log.h"

using tarnel::ClientOptions;

int main(int argc, char** argv) {
    std::setlocale(LC_CTYPE, "");
    const ClientOptions options =
        tarnel::ParseClientOptions(std::vector<std::string>(argv + 1, argv + argc));
    tarnel::SetVerbose(options.verbose);
    switch (options.mode) {
        case ClientOptions::Mode::Help:
            std::cout << tarnel::ClientUsage();
            return 0;
        case ClientOptions::Mode::Version:
            std::cout << "tarnel " TARNEL_VERSION "\n";
            return 0;
        case ClientOptions::Mode::Invalid:
            std::cerr << "tarnel: " << options.error << "\n\n" << tarnel::ClientUsage();
            return 2;
        case ClientOptions::Mode::Info:
        case ClientOptions::Mode::Screenshot: {
            tarnel::DeviceBridge bridge(tarnel::BridgeVariant::Client);
            bridge.DiscoverTools();
            if (const std::optional<int> refused = tarnel::SelectPhone(
                    bridge, tarnel::WantedSerial(options.serial, std::getenv("ANDROID_SERIAL")),
                    std::cerr)) {
                return *refused;
            }
            if (options.mode == ClientOptions::Mode::Info) {
                return tarnel::PrintPhoneInfo(bridge, tarnel::DefaultPreparationSettings(),
                                              std::cout, std::cerr);
            }
            return tarnel::SaveScreenshotTo(bridge, options.screenshotFile, std::cerr);
        }
        case ClientOptions::Mode::Window:
            break;
    }
    return tarnel::CtarnelApp().InitInstance();
}
