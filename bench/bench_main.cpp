// The main of every benchmark. Nobody watches a benchmark run, so a box (a
// fatal error's among them) goes to the console instead of waiting for a
// click, and the run ends. In the smoke run (smoke.h) every benchmark that
// sets no time of its own gets a minimum time so short that one iteration
// passes it; a flag given on the command line still wins.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/message_box.h"
#include "smoke.h"

int main(int argc, char** argv) {
    platform::set_message_boxes_unattended();
    std::vector<char*> args(argv, argv + argc);
    std::string min_time = "--benchmark_min_time=0.000000001";
    if (bench_smoke::on()) args.insert(args.begin() + 1, min_time.data());
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
