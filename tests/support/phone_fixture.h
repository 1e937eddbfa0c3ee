#pragma once

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace tarnel::test {

struct AdbRun {
    int exitStatus = -1;
    std::string out;
    std::string err;
    std::string Both() const { return out + err; }
};

enum class PhonePresence { Plugged, Unplugged };

// The simulator's scenario file as JSON: {"model": "MI 8", "features": "legacy", ...}.
using Scenario = nlohmann::json;

// A simulated phone reached through an adb server of its own, for one test. Construction starts
// an adb server on a free port (exported as ANDROID_ADB_SERVER_PORT, with emulator, USB and mDNS
// discovery off, so that adb run by the code under test finds this server and nothing else),
// starts tarnel-phonesim with `scenario` in a fresh folder and, when plugged, connects the two
// and waits until adb lists the phone as a device (for a phone that refuses the handshake, until
// adb has given up on it). Destruction disconnects, stops that server and the phone, and removes
// the folder. Throws std::runtime_error when any step fails, at once when the phone exits early.
class SimulatedPhone {
  public:
    explicit SimulatedPhone(const Scenario& scenario = Scenario::object(),
                            PhonePresence presence = PhonePresence::Plugged);
    // A second phone on the adb server of `server`, which must outlive it: both are listed by
    // the same "adb devices", as two phones on one computer are.
    SimulatedPhone(const SimulatedPhone& server, const Scenario& scenario,
                   PhonePresence presence = PhonePresence::Plugged);
    SimulatedPhone(const SimulatedPhone&) = delete;
    SimulatedPhone& operator=(const SimulatedPhone&) = delete;
    ~SimulatedPhone();

    // "127.0.0.1:PORT", the name adb knows the phone by.
    const std::string& Serial() const { return serial_; }

    // Where a device path lies in the phone's file tree on the host (taken literally, case and
    // all).
    std::filesystem::path HostPath(std::string_view devicePath) const;
    // A scratch folder outside the phone for the test's own files.
    const std::filesystem::path& WorkFolder() const { return work_; }

    // adb -s SERIAL arguments...
    AdbRun Adb(const std::vector<std::string>& arguments,
               std::chrono::milliseconds limit = std::chrono::seconds(60)) const;

    void Plug();    // adb connect, then wait for the handshake's outcome
    void Unplug();  // adb disconnect

  private:
    // adb arguments..., without choosing a device.
    AdbRun AdbServer(const std::vector<std::string>& arguments,
                     std::chrono::milliseconds limit) const;
    // The phone's state as "adb devices" lists it ("device", "unauthorized"...), or empty.
    std::string State() const;
    void Start(const Scenario& scenario, PhonePresence presence);
    void StartAdbServer();
    void Stop();
    void StopPhone();
    void StartPhone(const Scenario& scenario);

    std::filesystem::path folder_;
    std::filesystem::path root_;
    std::filesystem::path work_;
    int adbPort_ = 0;
    std::string serial_;
    int phonePid_ = -1;
    bool refusesHandshake_ = false;
    bool ownsServer_ = true;
};

}  // namespace tarnel::test
