#include "bridge/phone_choice.h"

#include <algorithm>

namespace tarnel {

PhoneChoice ChoosePhone(const std::vector<AttachedPhone>& listed, std::string_view wanted) {
    PhoneChoice choice;
    choice.ready = ReadyPhones(listed);
    if (!wanted.empty()) {
        const bool there = std::ranges::any_of(
            choice.ready, [&](const AttachedPhone& phone) { return phone.serial == wanted; });
        choice.outcome = there ? PhoneChoice::Outcome::Chosen : PhoneChoice::Outcome::NotAttached;
        if (there)
            choice.serial = wanted;
        return choice;
    }
    if (choice.ready.empty())
        return choice;
    if (choice.ready.size() > 1) {
        choice.outcome = PhoneChoice::Outcome::SeveralPhones;
        return choice;
    }
    choice.outcome = PhoneChoice::Outcome::Chosen;
    choice.serial = choice.ready.front().serial;
    return choice;
}

std::string WantedSerial(std::string_view option, const char* androidSerial) {
    if (!option.empty())
        return std::string(option);
    return androidSerial != nullptr ? std::string(androidSerial) : std::string();
}

std::string PhoneLines(const std::vector<AttachedPhone>& phones) {
    std::string lines;
    for (const AttachedPhone& phone : phones) {
        lines += "  " + phone.serial;
        if (!phone.model.empty())
            lines += "  " + phone.model;
        lines += '\n';
    }
    return lines;
}

std::string PhoneLabel(const AttachedPhone& phone) {
    std::string model = phone.model;
    std::ranges::replace(model, '_', ' ');
    return model.empty() ? phone.serial : model + " (" + phone.serial + ")";
}

}  // namespace tarnel
