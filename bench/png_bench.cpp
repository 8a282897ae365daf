// Decoding large PNG pictures: our decoder against libpng (classic API,
// expanded to 8-bit RGBA), on the same files in the same run. Throughput is
// counted in decoded RGBA bytes.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstring>
#include <random>
#include <stdexcept>
#include <vector>

#include "../tests/util/texture/png_writer.h"
#include "smoke.h"
#include "util/texture/png_loader.h"

namespace {

using png_test::Bytes;
const int kSide = bench_smoke::work(2048, 64);

// Smooth gradients with a little noise, like a photograph.
Bytes photo_pixels() {
    std::mt19937 rng(7);
    Bytes px(static_cast<size_t>(kSide) * kSide * 4);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            uint8_t* p = &px[(static_cast<size_t>(y) * kSide + x) * 4];
            p[0] = static_cast<uint8_t>((x / 8 + y / 16) + rng() % 6);
            p[1] = static_cast<uint8_t>((x * y / 4096) + rng() % 6);
            p[2] = static_cast<uint8_t>(((x ^ y) / 32) + rng() % 6);
            p[3] = 255;
        }
    return px;
}

// Large areas of one colour, like a logo or a user-interface picture.
Bytes flat_pixels() {
    Bytes px(static_cast<size_t>(kSide) * kSide * 4);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            uint8_t* p = &px[(static_cast<size_t>(y) * kSide + x) * 4];
            const int cell = (x / 256) + (y / 256) * 8;
            p[0] = static_cast<uint8_t>(cell * 37);
            p[1] = static_cast<uint8_t>(cell * 11);
            p[2] = static_cast<uint8_t>(cell * 5);
            p[3] = static_cast<uint8_t>(x < 64 ? 0 : 255);
        }
    return px;
}

Bytes encode(const Bytes& pixels) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = kSide;
    image.height = kSide;
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    Bytes out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr))
        throw std::runtime_error("libpng could not write");
    out.resize(size);
    return out;
}

const Bytes& photo_file() {
    static const Bytes file = encode(photo_pixels());
    return file;
}
const Bytes& flat_file() {
    static const Bytes file = encode(flat_pixels());
    return file;
}

void decode_libpng(const Bytes& file, Bytes& out) { out = png_test::read_png_rgba(file).rgba; }

void run_ours(benchmark::State& state, const Bytes& file) {
    for (auto _ : state) {
        ZqRawPngDecoder decoder;
        if (decoder.decode(file.data(), static_cast<uint32_t>(file.size())) != 1 || decoder.width != kSide)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(decoder.rgba);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kSide) * kSide * 4);
    state.counters["file_MB"] = static_cast<double>(file.size()) / 1e6;
}

void run_libpng(benchmark::State& state, const Bytes& file) {
    Bytes out;
    for (auto _ : state) {
        decode_libpng(file, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kSide) * kSide * 4);
    state.counters["file_MB"] = static_cast<double>(file.size()) / 1e6;
}

void BM_ours_photo(benchmark::State& s) { run_ours(s, photo_file()); }
void BM_libpng_photo(benchmark::State& s) { run_libpng(s, photo_file()); }
void BM_ours_flat(benchmark::State& s) { run_ours(s, flat_file()); }
void BM_libpng_flat(benchmark::State& s) { run_libpng(s, flat_file()); }

// Same pixels both ways, once, so that the figures compare like with like.
void BM_check_same_pixels(benchmark::State& state) {
    for (const Bytes* file : {&photo_file(), &flat_file()}) {
        Bytes ref;
        decode_libpng(*file, ref);
        ZqRawPngDecoder decoder;
        decoder.decode(file->data(), static_cast<uint32_t>(file->size()));
        if (!decoder.rgba || std::memcmp(decoder.rgba, ref.data(), ref.size()) != 0)
            state.SkipWithError("pixels differ from libpng");
    }
    for (auto _ : state) {
    }
}

}  // namespace

BENCHMARK(BM_check_same_pixels)->Iterations(1);
BENCHMARK(BM_ours_photo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_libpng_photo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ours_flat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_libpng_flat)->Unit(benchmark::kMillisecond);
