// Runs one of the built data tools with arguments and collects what it
// printed and its exit status.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/test_support.h"

namespace tool_run {

struct ToolRun {
    int status;
    std::string out;
};

// `redirect` is appended to the command line (for example "2>&1" to read
// the error output too, "2>/dev/null" to drop it).
inline ToolRun run_tool(const std::string& tool, const std::string& args, const std::string& redirect) {
    std::string command = test_support::binary_path("tools/" + tool) + " " + args + " " + redirect;
    ToolRun run{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace tool_run
