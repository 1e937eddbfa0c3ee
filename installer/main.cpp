#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "bridge/device_bridge.h"
#include "installer/cli/headless_install.h"
#include "installer/cli/info_command.h"
#include "installer/cli/options.h"
#ifdef TARNEL_INSTALLER_WINDOW
#include "installer/app/installer_window_app.h"
#endif
#include "installer/package/extract_command.h"
#include "platform/log.h"
#include "platform/tool_locator.h"

using tarnel::InstallerOptions;

int main(int argc, char** argv) {
    std::setlocale(LC_CTYPE, "");
    const InstallerOptions options =
        tarnel::ParseInstallerOptions(std::vector<std::string>(argv + 1, argv + argc));
    tarnel::SetVerbose(options.verbose);
    switch (options.mode) {
        case InstallerOptions::Mode::Help:
            std::cout << tarnel::InstallerUsage();
            return 0;
        case InstallerOptions::Mode::Version:
            std::cout << "tarnelInstall " TARNEL_VERSION "\n";
            return 0;
        case InstallerOptions::Mode::Invalid:
            std::cerr << "tarnelInstall: " << options.error << "\n\n" << tarnel::InstallerUsage();
            return 2;
        case InstallerOptions::Mode::Info: {
            tarnel::DeviceBridge bridge(tarnel::BridgeVariant::Installer);
            bridge.aaptPath = tarnel::FindTool("aapt", "TARNEL_AAPT");
            return tarnel::RunInfoCommand(bridge, options.path, std::cout, std::cerr);
        }
        case InstallerOptions::Mode::Extract: {
            std::optional<std::filesystem::path> folder;
            if (!options.targetDir.empty())
                folder = std::filesystem::absolute(options.targetDir);
            return tarnel::RunExtractCommand(std::filesystem::absolute(options.path), folder,
                                             std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
        }
        case InstallerOptions::Mode::NoGui:
            return tarnel::RunHeadlessInstall(options.path, options.internal, std::cout, std::cerr);
        case InstallerOptions::Mode::Window:
#ifdef TARNEL_INSTALLER_WINDOW
            return tarnel::RunInstallerWindow(options.path);
#else
            std::cerr << "tarnelInstall: this build has no window; use --no-gui\n";
            return 2;
#endif
    }
}
