// Runs one of the built data tools with arguments and collects what it
// printed and its exit status; writes stand-ins for the commands a tool
// script calls.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "support/e2e_display.h"
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
    test_support::CommandResult result = test_support::run_command(command);
    return {result.status, result.output};
}

// A bash script at `path` that runs `body`, executable: a stand-in for a
// command a script under test calls.
inline void write_script(const std::string& path, const std::string& body) {
    std::ofstream(path) << "#!/bin/bash\n" << body;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
}

}  // namespace tool_run
