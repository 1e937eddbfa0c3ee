#include "client/core/phone_info_command.h"

#include <nlohmann/json.hpp>

#include "bridge/phone_choice.h"
#include "client/core/device_page_text.h"
#include "client/core/screenshot_file.h"

namespace tarnel {
namespace {

class CapturingReporter : public PreparationReporter {
  public:
    void NoPhone(PhoneState found) override { state = found; }
    void PhoneReady(const DeviceInfo& ready) override { facts = ready; }

    PhoneState state = PhoneState::Absent;
    DeviceInfo facts;
};

nlohmann::ordered_json SpaceJson(const SpaceLine& line) {
    return {{"text", line.text}, {"percent", line.percent}, {"barWidth", line.barWidth}};
}

nlohmann::ordered_json FactsJson(const DeviceInfo& facts) {
    const DevicePageText page = PageTextFor(facts);
    nlohmann::ordered_json json = {
        {"model", facts.model},
        {"androidRelease", facts.androidRelease},
        {"deviceDisplay", facts.deviceDisplay},
        {"deviceRoot", facts.deviceRoot},
        {"deviceType", facts.deviceType},
        {"deviceName", facts.deviceName},
        {"deviceCPUType", facts.deviceCPUType},
        {"deviceCPUCount", facts.deviceCPUCount},
        {"dataSizeTotal", facts.dataSizeTotal},
        {"dataSizeFree", facts.dataSizeFree},
        {"sdcardSizeTotal", facts.sdcardSizeTotal},
        {"sdcardSizeFree", facts.sdcardSizeFree},
        {"ramSizeTotal", facts.ramSizeTotal},
        {"ramSizeFree", facts.ramSizeFree},
    };
    json["page"] = {{"root", page.root},
                    {"ram", SpaceJson(page.ram)},
                    {"storage", SpaceJson(page.storage)},
                    {"hasSdCard", page.hasSdCard}};
    if (page.hasSdCard)
        json["page"]["sdcard"] = SpaceJson(page.sdcard);
    return json;
}

void ExplainNoPhone(PhoneState state, std::ostream& err) {
    const std::string_view hint = PhoneStateHint(state);
    err << "tarnel: " << (hint.empty() ? std::string_view("没有连接手机") : hint) << "\n";
}

}  // namespace

std::optional<int> SelectPhone(DeviceBridge& bridge, std::string_view wanted, std::ostream& err) {
    const PhoneChoice choice = ChoosePhone(bridge.ListPhones(), wanted);
    switch (choice.outcome) {
        case PhoneChoice::Outcome::Chosen:
            bridge.serial = choice.serial;
            return std::nullopt;
        case PhoneChoice::Outcome::NoPhone:
            return std::nullopt;
        case PhoneChoice::Outcome::NotAttached:
            err << "tarnel: " << kPhoneNotAttached << wanted << "\n";
            return kExitNoReadyPhone;
        case PhoneChoice::Outcome::SeveralPhones:
            err << "tarnel: " << kSeveralPhonesListed << "\n" << PhoneLines(choice.ready);
            return kExitSeveralPhones;
    }
    return std::nullopt;
}

int PrintPhoneInfo(DeviceBridge& bridge, const PreparationSettings& settings, std::ostream& out,
                   std::ostream& err) {
    CapturingReporter reporter;
    switch (PreparePhone(bridge, settings, reporter)) {
        case PreparationResult::Ready:
            // Invalid UTF-8 from a phone's property becomes U+FFFD rather than an exception.
            out << FactsJson(reporter.facts)
                       .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)
                << "\n";
            return 0;
        case PreparationResult::NoPhone:
            ExplainNoPhone(reporter.state, err);
            break;
        case PreparationResult::GaveUp:
        case PreparationResult::Stopped:
            err << "tarnel: 无法读取手机信息\n";
            break;
    }
    return kExitNoReadyPhone;
}

int SaveScreenshotTo(DeviceBridge& bridge, const std::filesystem::path& target, std::ostream& err) {
    if (bridge.IsDeviceConnected() == 0) {
        ExplainNoPhone(bridge.QueryPhoneState(), err);
        return kExitNoReadyPhone;
    }
    if (!TakeFreshScreenshot(bridge)) {
        err << "tarnel: 截图失败\n";
        return 1;
    }
    std::error_code error;
    std::filesystem::copy_file(ScreenshotPath(), target,
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
        err << "tarnel: " << target.string() << ": " << error.message() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace tarnel
