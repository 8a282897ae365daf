// Recording speed: 300 frames of 1280x720 through the AVI writer, against
// writing the same frame bytes with plain fwrite. Both write a file in the
// system's temporary folder and close it; the file is removed untimed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "smoke.h"
#include "util/avi/aviwriter.h"

namespace {

const int frame_count = bench_smoke::work(300, 2);
constexpr int width = 1280;
constexpr int height = 720;

std::string scratch_base() {
    return (std::filesystem::temp_directory_path() / "zembla-avi-bench").string();
}

std::vector<unsigned char> frame_bytes() {
    std::vector<unsigned char> frame(AVIWriter::frame_stride(width) * height);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<unsigned char>(i * 31);
    return frame;
}

void BM_AviWriter(benchmark::State& state) {
    const std::vector<unsigned char> frame = frame_bytes();
    const std::string base = scratch_base();
    for (auto _ : state) {
        AVIWriter writer;
        if (!writer.open((base + ".avi").c_str(), 30.0f, 0, 100)) state.SkipWithError("open failed");
        writer.set_size(width, height);
        for (int i = 0; i < frame_count; ++i)
            if (!writer.write_video_frame(frame.data())) state.SkipWithError("write failed");
        writer.close();
        state.PauseTiming();
        std::remove(AVIWriter::part_name(base, 1).c_str());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * frame_count * static_cast<int64_t>(frame.size()));
}

void BM_PlainFwrite(benchmark::State& state) {
    const std::vector<unsigned char> frame = frame_bytes();
    const std::string path = scratch_base() + ".raw";
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) state.SkipWithError("open failed");
        for (int i = 0; i < frame_count; ++i)
            if (std::fwrite(frame.data(), 1, frame.size(), f) != frame.size())
                state.SkipWithError("write failed");
        std::fclose(f);
        state.PauseTiming();
        std::remove(path.c_str());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * frame_count * static_cast<int64_t>(frame.size()));
}

BENCHMARK(BM_PlainFwrite)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(bench_smoke::min_time(3.0));
BENCHMARK(BM_AviWriter)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(bench_smoke::min_time(3.0));

}  // namespace
