#include "installer/flow/installer_view.h"

#include "bridge/phone_choice.h"

namespace tarnel {

std::optional<std::string> InstallerView::ChoosePhone(const std::vector<AttachedPhone>& phones,
                                                      const std::string&) {
    ShowBox(NarrowText(kSeveralPhonesListed) + "\n" + NarrowText(PhoneLines(phones)));
    return std::nullopt;
}

}  // namespace tarnel
