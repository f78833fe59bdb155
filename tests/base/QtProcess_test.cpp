#include "base/AtomicFile.h"
#include "base/QtProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using vocalix::base::RunProcess;

// A stand-in program: a script file started with an argument vector, like any other program.
fs::path Program(const std::string& name, const std::string& body) {
    const fs::path file =
        fs::temp_directory_path() / ("vocalix-runprocess-" + std::to_string(::getpid()) + name);
    EXPECT_TRUE(vocalix::base::WriteFileAtomic(file, "#!/bin/sh\n" + body));
    fs::permissions(file, fs::perms::owner_all);
    return file;
}

// The time limit ends the program and what it started (the office suite's starter forks its
// worker the same way), and says so.
TEST(RunProcess, TimeLimitKillsTheWholeGroup) {
    const auto mark = fs::temp_directory_path() / "vocalix-runprocess-child $x; y";
    fs::remove(mark);
    const fs::path program = Program("-group", "(sleep 2; touch \"$1\") & wait\n");
    const auto begin = std::chrono::steady_clock::now();
    const auto r = RunProcess(program.string(), {mark.string()}, 300);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(2));
    EXPECT_TRUE(r.started);
    EXPECT_TRUE(r.timedOut);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_FALSE(fs::exists(mark)); // the grandchild died with it
    fs::remove(program);
}

TEST(RunProcess, ExitCodesAndMissingPrograms) {
    const fs::path program = Program("-exit", "echo \"$1\" >&2; exit 3\n");
    const auto ok = RunProcess(program.string(), {"oops; $HOME"}, 10000);
    EXPECT_TRUE(ok.started);
    EXPECT_FALSE(ok.timedOut);
    EXPECT_EQ(ok.exitCode, 3);
    EXPECT_EQ(ok.errorOutput, "oops; $HOME\n"); // one argument, nothing expanded
    EXPECT_FALSE(RunProcess("/nonexistent/program", {}, 1000).started);
    fs::remove(program);
}

} // namespace
