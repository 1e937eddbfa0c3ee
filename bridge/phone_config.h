#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnel {

// What a phone is, for choosing the split APKs of a bundle.
struct PhoneConfig {
    std::vector<std::string> abis;  // in the phone's order of preference ("arm64-v8a", ...)
    int density = 0;                // dots per inch; 0 when the phone did not say
    std::string language;           // "zh" of "zh-CN"; empty when the phone did not say
};

// The shell command line that asks for everything at once; each answer follows its "@name" line.
std::string PhoneConfigQuery();

// Reads the answer to PhoneConfigQuery: the ABI list (ro.product.cpu.abilist, else
// ro.product.cpu.abi), the density ("wm density": its Override line, else its Physical line;
// else ro.sf.lcd_density) and the language (persist.sys.locale, else ro.product.locale). Lines may
// end in CR LF; an empty property line means the property is missing.
PhoneConfig ParsePhoneConfig(std::string_view answer);

}  // namespace tarnel
