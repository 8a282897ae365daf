// Decoding a three-minute MP3 whole, against the mpg123 command-line
// decoder on the same file; one spectrum; the resident memory of a decoded
// song. The MP3 is made once per run with lame from a synthesised mix of
// tones (needs the Debian packages lame and mpg123).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/audio/song.h"
#include "platform/audio/spectrum.h"
#include "smoke.h"

namespace {

constexpr int kRate = 44100;
const int kSeconds = bench_smoke::work(180, 2);

void put_le(std::ofstream& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Three minutes of 16-bit stereo: a chord whose notes change every half
// second, a little different in each channel.
void write_wav(const std::string& path) {
    const uint32_t frames = kRate * kSeconds;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    put_le(out, 36 + frames * 4, 4);
    out.write("WAVEfmt ", 8);
    put_le(out, 16, 4);
    put_le(out, 1, 2);
    put_le(out, 2, 2);
    put_le(out, kRate, 4);
    put_le(out, kRate * 4, 4);
    put_le(out, 4, 2);
    put_le(out, 16, 2);
    out.write("data", 4);
    put_le(out, frames * 4, 4);
    const double pi = std::acos(-1.0);
    const double roots[] = {110.0, 130.81, 146.83, 98.0};
    std::vector<char> block;
    block.reserve(kRate * 4);
    for (uint32_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double root = roots[(i / (kRate / 2)) % 4];
        double left = 0, right = 0;
        for (int h = 1; h <= 4; ++h) {
            left += std::sin(2 * pi * root * h * 1.5 * t) / h;
            right += std::sin(2 * pi * root * h * 1.25 * t + h) / h;
        }
        for (double v : {left, right}) {
            const int16_t s = static_cast<int16_t>(v * 0.3 * 32767);
            block.push_back(static_cast<char>(s & 0xFF));
            block.push_back(static_cast<char>((s >> 8) & 0xFF));
        }
        if (block.size() >= kRate * 4u) {
            out.write(block.data(), block.size());
            block.clear();
        }
    }
    out.write(block.data(), block.size());
}

// The MP3's path, or empty when it could not be made.
const std::string& mp3_path() {
    static const std::string path = [] {
        char folder[] = "/tmp/zembla_audio_bench_XXXXXX";
        if (!mkdtemp(folder)) return std::string();
        const std::string wav = std::string(folder) + "/song.wav";
        const std::string mp3 = std::string(folder) + "/song.mp3";
        write_wav(wav);
        const std::string command = "lame --quiet -b 192 '" + wav + "' '" + mp3 + "'";
        const bool ok = std::system(command.c_str()) == 0;
        std::remove(wav.c_str());
        return ok ? mp3 : std::string();
    }();
    return path;
}

std::vector<char> mp3_bytes() {
    std::ifstream in(mp3_path(), std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// Resident memory of this process, bytes.
long resident_bytes() {
    long pages = 0, resident = 0;
    std::ifstream statm("/proc/self/statm");
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

void BM_DecodeMp3_Ours(benchmark::State& state) {
    if (mp3_path().empty()) return state.SkipWithError("cannot make the MP3 (is lame installed?)");
    const std::vector<char> bytes = mp3_bytes();
    for (auto _ : state) {
        audio::Song song;
        std::string error;
        if (!audio::decode(bytes.data(), bytes.size(), song, error)) return state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(song.samples.data());
    }
    state.counters["song_s"] = kSeconds;
}
BENCHMARK(BM_DecodeMp3_Ours)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same file through the mpg123 program, 32-bit float output to nowhere.
void BM_DecodeMp3_Mpg123Cli(benchmark::State& state) {
    if (mp3_path().empty()) return state.SkipWithError("cannot make the MP3 (is lame installed?)");
    const std::string command = "mpg123 -q -s -e f32 '" + mp3_path() + "' > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) return state.SkipWithError("mpg123 failed (is it installed?)");
    state.counters["song_s"] = kSeconds;
}
BENCHMARK(BM_DecodeMp3_Mpg123Cli)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the decoded song keeps resident: the floats and nothing much else.
void BM_DecodedSongResidentMemory(benchmark::State& state) {
    if (mp3_path().empty()) return state.SkipWithError("cannot make the MP3 (is lame installed?)");
    const std::vector<char> bytes = mp3_bytes();
    long grown = 0;
    size_t floats = 0;
    for (auto _ : state) {
        const long before = resident_bytes();
        audio::Song song;
        std::string error;
        audio::decode(bytes.data(), bytes.size(), song, error);
        grown = resident_bytes() - before;
        floats = song.samples.size();
    }
    state.counters["resident_MiB"] = grown / 1048576.0;
    state.counters["floats_MiB"] = floats * sizeof(float) / 1048576.0;
}
BENCHMARK(BM_DecodedSongResidentMemory)->Unit(benchmark::kMillisecond)->Iterations(1);  // one decode: its growth is the figure

void BM_Spectrum(benchmark::State& state) {
    audio::Song song;
    song.rate = kRate;
    song.channels = 2;
    song.samples.resize(kRate * 2 * 10);
    for (size_t i = 0; i < song.samples.size(); ++i) song.samples[i] = std::sin(0.01f * i);
    audio::Spectrum spectrum(static_cast<int>(state.range(0)));
    std::vector<float> out(spectrum.bins());
    uint64_t frame = 0;
    for (auto _ : state) {
        spectrum.compute(song, frame, out.data());
        benchmark::DoNotOptimize(out.data());
        frame = (frame + 735) % (kRate * 9);  // one 60 Hz frame further on
    }
}
BENCHMARK(BM_Spectrum)->Arg(512)->Arg(2048)->Unit(benchmark::kMicrosecond);

}  // namespace
