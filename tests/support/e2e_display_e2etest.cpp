// The guard of the processes a test starts, seen from outside the test: the
// test below runs itself again as a child test process told to fail (an
// assertion, an exception, or the test process killed as a test-run timeout
// kills it) while its program, and a process that program started, still
// run. Afterwards neither process is left, nor the test's temporary folder.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "support/e2e_display.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace test_support;
using Clock = std::chrono::steady_clock;

// Set in the child run: how to fail, and the file to say what it started in.
const char* const kFailHow = "ZEMBLA_FAIL_ON_PURPOSE";
const char* const kReport = "ZEMBLA_FAIL_REPORT";

// A process that has ended: no longer there, or a zombie waiting for its
// new parent to reap it.
bool ended(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    size_t name_end = line.rfind(')');
    return name_end != std::string::npos && line.size() > name_end + 2 && line[name_end + 2] == 'Z';
}

bool ended_within(pid_t pid, double seconds) {
    auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (!ended(pid) && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return ended(pid);
}

// The child run: a program that ignores SIGTERM (so that only SIGKILL ends
// it) and has started a process of its own, then the failure.
void fail_while_the_program_runs(const std::string& how, const std::string& report) {
    TempDir work;
    auto options = ProgramRun::Options::in_folder("/bin/sh", work.path(), nullptr);
    options.arguments = {"-c", "trap '' TERM; sleep 600 & echo $$ $! > started; wait"};
    options.timeout_seconds = 600;
    ProgramRun program(options);
    auto deadline = Clock::now() + std::chrono::seconds(30);
    while (read_file(work.file("started")).find('\n') == std::string::npos && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::ofstream(report) << program.pid() << " " << read_file(work.file("started")) << work.path() << "\n";
    if (how == "throw") throw std::runtime_error("failing on purpose while the program runs");
    if (how == "kill") raise(SIGKILL);
    FAIL() << "failing on purpose while the program runs";
}

TEST(ProcessGuard, ATestThatFailsWhileItsProgramRunsLeavesNoProcessAndNoFolder) {
    if (const char* how = std::getenv(kFailHow)) return fail_while_the_program_runs(how, std::getenv(kReport));

    struct Failure {
        const char* how;
        int status;  // of the child test process
    };
    const Failure failures[] = {{"assert", 1}, {"throw", 1}, {"kill", 128 + SIGKILL}};
    for (const Failure& failure : failures) {
        SCOPED_TRACE(failure.how);
        TempDir out;
        ProgramRun::Options options;
        options.program = fs::read_symlink("/proc/self/exe").string();
        options.arguments = {"--gtest_filter=" + std::string(::testing::UnitTest::GetInstance()->current_test_suite()->name()) +
                             "." + ::testing::UnitTest::GetInstance()->current_test_info()->name()};
        options.working_dir = out.path();
        options.output_file = out.file("output.txt");
        options.environment = {{kFailHow, failure.how}, {kReport, out.file("report.txt")}};
        options.timeout_seconds = 120;
        ProgramRun child(options);
        ASSERT_EQ(child.wait(120), failure.status) << child.output();
        if (failure.status == 1) {
            EXPECT_NE(child.output().find("failing on purpose"), std::string::npos) << child.output();
        }

        // What the child started: the program (under `timeout`), the shell,
        // the process the shell started, and the child test's folder.
        std::istringstream report(read_file(out.file("report.txt")));
        pid_t timeout = 0, shell = 0, sleeper = 0;
        std::string folder;
        ASSERT_TRUE(report >> timeout >> shell >> sleeper >> folder) << read_file(out.file("report.txt"));
        // A killed test process cannot end anything: its program hears of it
        // and `timeout` ends the group, SIGKILL five seconds after SIGTERM.
        const double seconds = failure.status == 1 ? 1.0 : 20.0;
        for (pid_t pid : {timeout, shell, sleeper}) EXPECT_TRUE(ended_within(pid, seconds)) << pid;
        if (failure.status == 1) {
            EXPECT_FALSE(fs::exists(folder)) << folder;
        }
        // A killed process removes nothing; the folder is the system's.
        fs::remove_all(folder);
    }
}

}  // namespace
