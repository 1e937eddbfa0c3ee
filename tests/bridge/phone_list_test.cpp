#include <gtest/gtest.h>

#include "bridge/phone_choice.h"
#include "bridge/phone_state.h"

namespace tarnel {
namespace {

// serial|state|model|transport per phone, phones joined by ';'.
std::string Describe(const std::vector<AttachedPhone>& phones) {
    std::string text;
    for (const AttachedPhone& phone : phones) {
        text += (text.empty() ? "" : ";") + phone.serial + "|" + phone.state + "|" + phone.model +
                "|" + phone.transportId;
    }
    return text;
}

// The real adb's listing of simulated phones, and of none, is read in the two-phone installs.
TEST(ParseDeviceList, ReadsAdbTranscripts) {
    const struct {
        const char* output;
        const char* phones;
    } cases[] = {
        {"List of devices attached\n"
         "0123456789ABCDEF       device usb:1-1 product:razor model:Nexus_7 device:flo "
         "transport_id:1\n\n",
         "0123456789ABCDEF|device|Nexus_7|1"},
        {"List of devices attached\n"
         "R58M12345              unauthorized usb:1-2 transport_id:3\n"
         "127.0.0.1:7003         offline transport_id:4\n",
         "R58M12345|unauthorized||3;127.0.0.1:7003|offline||4"},
        {"List of devices attached\n"
         "0123                   no permissions (missing udev rules? user is in the plugdev "
         "group); see [http://developer.android.com/tools/device.html] usb:3-2 transport_id:7\n",
         "0123|no permissions (missing udev rules? user is in the plugdev group); see "
         "[http://developer.android.com/tools/device.html]||7"},
        {"* daemon not running; starting now at tcp:5037\r\n* daemon started successfully\r\n"
         "List of devices attached\r\nA1 device model:MI_8 transport_id:2\r\n\r\n",
         "A1|device|MI_8|2"},
        {"adb server version (39) doesn't match this client (41); killing...\n"
         "* daemon started successfully\nList of devices attached\nB\tdevice",
         "B|device||"},
        // mDNS names hold blanks: the state is read from the line's end.
        {"List of devices attached\n"
         "adb-R5CR-x (2)._adb-tls-connect._tcp device product:p model:SM_G991B device:o1s "
         "transport_id:5\n",
         "adb-R5CR-x (2)._adb-tls-connect._tcp|device|SM_G991B|5"},
        // A serial that is a state's word, and a lone serial.
        {"List of devices attached\ndevice\toffline\nlonely\n", "device|offline||"},
        {"error: cannot connect to daemon\n", ""},
        {"0123\tdevice\n", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Describe(ParseDeviceList(c.output)), c.phones) << c.output;
}

TEST(ChoosePhone, TakesTheWishOrTheOnlyReadyPhone) {
    const std::vector<AttachedPhone> two = ParseDeviceList(
        "List of devices attached\nA device model:MI_8\nB device model:Pixel_7\nC unauthorized\n");
    using Outcome = PhoneChoice::Outcome;
    const struct {
        std::vector<AttachedPhone> listed;
        const char* wanted;
        Outcome outcome;
        const char* serial;
    } cases[] = {
        {two, "", Outcome::SeveralPhones, ""},
        {two, "B", Outcome::Chosen, "B"},
        {two, "C", Outcome::NotAttached, ""},
        {two, "Z", Outcome::NotAttached, ""},
        {{two[0], two[2]}, "", Outcome::Chosen, "A"},
        {{two[2]}, "", Outcome::NoPhone, ""},
        {{}, "", Outcome::NoPhone, ""},
    };
    for (const auto& c : cases) {
        const PhoneChoice choice = ChoosePhone(c.listed, c.wanted);
        EXPECT_EQ(choice.outcome, c.outcome) << Describe(c.listed) << " / " << c.wanted;
        EXPECT_EQ(choice.serial, c.serial) << Describe(c.listed) << " / " << c.wanted;
    }
    EXPECT_EQ(PhoneLines(ChoosePhone(two, "").ready), "  A  MI_8\n  B  Pixel_7\n");
}

// How each line is read is the table above; here the most usable phone wins.
TEST(PhoneState, TheMostUsablePhoneCounts) {
    const struct {
        const char* output;
        PhoneState state;
    } cases[] = {
        {"List of devices attached\n0123456789ABCDEF\tdevice\n\n", PhoneState::Ready},
        {"List of devices attached\n127.0.0.1:7003\tunauthorized\n\n", PhoneState::Unauthorized},
        {"List of devices attached\r\n0123\tno permissions (user in plugdev group; are your udev "
         "rules wrong?); see [http://developer.android.com/tools/device.html]\r\n",
         PhoneState::NoPermissions},
        {"List of devices attached\nA\tunauthorized\nB\tdevice\n", PhoneState::Ready},
        {"List of devices attached\nA\tno permissions; see [x]\nB\tunauthorized\n",
         PhoneState::Unauthorized},
        {"List of devices attached\nA\toffline\n\n", PhoneState::Absent},
        {"", PhoneState::Absent},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParsePhoneState(c.output), c.state) << c.output;
}

}  // namespace
}  // namespace tarnel
