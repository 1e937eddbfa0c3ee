#include "platform/process_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace tarnel {
namespace {

using std::chrono::milliseconds;

RunResult Fake(std::vector<std::string> args, RunOptions options = {}) {
    args.insert(args.begin(), FAKE_TOOL);
    return RunProcess(args, options);
}

// The child gets its arguments untouched, our variables and its own, and an empty standard input
// on a pipe; all it writes comes back, zero bytes and standard error too.
TEST(RunProcess, GivesTheChildExactlyItsInputAndKeepsAllItSays) {
    ::setenv("TARNEL_RUNNER_TEST", "ours", 1);
    const std::vector<std::string> given = {"TARNEL_RUNNER_TEST=given"};
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> environment;
        std::string output;
    } cases[] = {
        {{"both"}, {}, "out line\nerror: err line\n"},
        {{"zero"}, {}, std::string("before\0after", 12)},
        {{"args", "a b", "$HOME", "x;y", ""}, {}, "[a b]\n[$HOME]\n[x;y]\n[]\n"},
        {{"env", "TARNEL_RUNNER_TEST"}, {}, "ours\n"},
        {{"env", "TARNEL_RUNNER_TEST"}, given, "given\n"},
        {{"env", "TARNEL_RUNNER_TESTX"}, given, "(unset)\n"},
        {{"stdin"}, {}, "end of file\n"},
        {{"tty"}, {}, "pipe\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Fake(c.args, {.environment = c.environment}).output, c.output) << c.args[0];
    EXPECT_EQ(Fake({"both"}).exitStatus, 3);
    const RunResult apart = Fake({"both"}, {.separateErrors = true});
    EXPECT_EQ(apart.output, "out line\n");
    EXPECT_EQ(apart.errors, "error: err line\n");
}

TEST(RunProcess, StopsAHungChildAtTheTimeLimitAndKeepsWhatItSaid) {
    RunResult result = Fake({"hang"}, {.timeLimit = milliseconds(300)});
    EXPECT_EQ(result.outcome, RunResult::Outcome::TimedOut);
    EXPECT_EQ(result.output, "started\n");
    // Closing its output does not free a child from the limit.
    EXPECT_EQ(Fake({"quiet"}, {.timeLimit = milliseconds(300)}).outcome,
              RunResult::Outcome::TimedOut);
}

// Silence after an upload is the other side's work, not a hang; silence during one is.
TEST(RunProcess, EndsAChildThatMakesNoProgressButNotOneThatWorks) {
    const std::string upload = FAKE_TOOL;  // any file of a known size
    const std::uint64_t size = std::filesystem::file_size(upload);
    struct Case {
        std::vector<std::string> args;
        std::uint64_t untilRead;
        RunResult::Outcome outcome;
    } cases[] = {
        {{"hang"}, 0, RunResult::Outcome::TimedOut},
        {{"bytes", "8388608"}, 0, RunResult::Outcome::Finished},
        {{"upload", upload, "1000"}, 0, RunResult::Outcome::TimedOut},
        {{"upload", upload, "1000"}, size, RunResult::Outcome::Finished},
        {{"upload", upload, "1000"}, size * 4, RunResult::Outcome::TimedOut},
    };
    for (const Case& c : cases) {
        const RunResult run =
            Fake(c.args, {.idleLimit = milliseconds(300), .idleLimitUntilRead = c.untilRead});
        EXPECT_EQ(run.outcome, c.outcome) << c.args[0] << " " << c.untilRead;
        // Output far larger than a pipe's buffer is read while the child runs.
        if (run.outcome == RunResult::Outcome::Finished) {
            EXPECT_EQ(run.output.size(), c.args[0] == "upload" ? 8u : 8388608u);
        }
    }
}

TEST(RunProcess, AStopRequestFromAnotherThreadEndsTheChild) {
    std::stop_source stop;
    std::thread stopper([&] {
        std::this_thread::sleep_for(milliseconds(200));
        stop.request_stop();
    });
    RunResult result = Fake({"hang"}, {.stop = stop.get_token()});
    stopper.join();
    EXPECT_EQ(result.outcome, RunResult::Outcome::Stopped);
    EXPECT_EQ(result.output, "started\n");
}

TEST(RunProcess, ReportsAToolThatCannotStart) {
    RunResult missing = RunProcess({"/nonexistent/tool", "devices"});
    EXPECT_EQ(missing.outcome, RunResult::Outcome::CouldNotStart);
    EXPECT_TRUE(missing.output.empty());
    EXPECT_EQ(RunProcess({}).outcome, RunResult::Outcome::CouldNotStart);
}

TEST(RunProcess, OffersATerminalWhenAsked) {
    std::string streamed;
    RunResult result = Fake(
        {"tty"}, {.pseudoTerminal = true, .onOutput = [&](std::string_view p) { streamed += p; }});
    EXPECT_EQ(result.output, "terminal\r\n");
    EXPECT_EQ(streamed, result.output);
}

TEST(RunProcess, RunsOnSeveralThreadsAtOnce) {
    std::vector<std::thread> threads;
    std::vector<std::string> outputs(4);
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&, i] { outputs[i] = Fake({"bytes", "100000"}).output; });
    }
    for (auto& t : threads)
        t.join();
    for (const auto& o : outputs)
        EXPECT_EQ(o.size(), 100000u);
}

}  // namespace
}  // namespace tarnel
