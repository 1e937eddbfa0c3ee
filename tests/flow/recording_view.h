#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "bridge/device_bridge.h"
#include "installer/flow/installer_view.h"
#include "installer/flow/task_queue.h"
#include "platform/text_codec.h"

namespace tarnel::test {

// A view that writes down every effect, as "kind: detail", in the order it was applied.
class RecordingView : public InstallerView {
  public:
    std::vector<std::string> effects;
    bool answer = true;
    std::string lastStatus;
    TaskQueue queue;
    std::thread::id viewThread = std::this_thread::get_id();

    void Post(std::function<void()> effect) override { queue.Post(std::move(effect)); }
    void SetStatus(const std::string& text) override {
        lastStatus = AnsiToUtf8(text);
        Record("status", lastStatus);
    }
    void SetProgress(int percent) override { Record("progress", std::to_string(percent)); }
    void EnableInstallButton(bool on) override { Record("install button", on ? "on" : "off"); }
    void ShowInstallDone(bool done) override { Record("button image", done ? "done" : "install"); }
    void EnablePermissionToggle(bool on) override { Record("permissions", on ? "on" : "off"); }
    void ShowIcon(const std::string& path) override { Record("icon", path); }
    void ShowFacts(const DeviceBridge& facts) override {
        Record("facts", AnsiToUtf8(facts.appLabel));
    }
    void ShowBox(const std::string& text) override { Record("box", AnsiToUtf8(text)); }
    void ShowMessage(const std::string& text, const std::string& caption) override {
        Record("message", AnsiToUtf8(caption) + " " + AnsiToUtf8(text));
    }
    bool AskQuestion(const std::string& text, const std::string&) override {
        Record("question", AnsiToUtf8(text));
        return answer;
    }

    // Applies posted effects until done() holds (or a generous limit passes).
    void RunUntil(const std::function<bool()>& done) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (!done() && std::chrono::steady_clock::now() < limit) {
            queue.RunFor(std::chrono::milliseconds(50));
        }
    }

    bool Has(const std::string& effect) const {
        return std::find(effects.begin(), effects.end(), effect) != effects.end();
    }

  private:
    void Record(const std::string& kind, const std::string& detail) {
        // Effects are applied on the view's own thread only.
        if (std::this_thread::get_id() != viewThread)
            effects.push_back("WRONG THREAD");
        effects.push_back(kind + ": " + detail);
    }
};

}  // namespace tarnel::test
