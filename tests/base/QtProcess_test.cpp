#include "base/QtProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

using vocalix::base::RunProcess;

// The time limit ends the program and what it started (the office suite's starter forks its
// worker the same way), and says so.
TEST(RunProcess, TimeLimitKillsTheWholeGroup) {
    const auto mark = std::filesystem::temp_directory_path() / "vocalix-runprocess-child";
    std::filesystem::remove(mark);
    const auto begin = std::chrono::steady_clock::now();
    const auto r =
        RunProcess("/bin/sh", {"-c", "(sleep 2; touch " + mark.string() + ") & wait"}, 300);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(2));
    EXPECT_TRUE(r.started);
    EXPECT_TRUE(r.timedOut);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_FALSE(std::filesystem::exists(mark)); // the grandchild died with it
}

TEST(RunProcess, ExitCodesAndMissingPrograms) {
    const auto ok = RunProcess("/bin/sh", {"-c", "echo oops >&2; exit 3"}, 10000);
    EXPECT_TRUE(ok.started);
    EXPECT_FALSE(ok.timedOut);
    EXPECT_EQ(ok.exitCode, 3);
    EXPECT_EQ(ok.errorOutput, "oops\n");
    EXPECT_FALSE(RunProcess("/nonexistent/program", {}, 1000).started);
}

} // namespace
