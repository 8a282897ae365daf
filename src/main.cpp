#include <cstdio>

#include "program.h"

int main() {
    // Line-buffered, so that log lines reach a pipe as they are printed.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    SystemProgramSteps steps;
    return run_program(steps);
}
