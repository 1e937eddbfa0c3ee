#include "platform/log.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace tarnel {
namespace {

std::atomic<bool> verbose{false};
std::mutex outputMutex;

}  // namespace

void SetVerbose(bool on) {
    verbose = on;
}

bool Verbose() {
    return verbose;
}

void LogLine(std::string_view line) {
    if (!verbose)
        return;
    std::lock_guard lock(outputMutex);
    std::fprintf(stderr, "tarnel: %.*s\n", static_cast<int>(line.size()), line.data());
}

}  // namespace tarnel
