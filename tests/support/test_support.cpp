#include "support/test_support.h"

#include <png.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace test_support {

std::vector<RecordedBox>& recorded_boxes() {
    static std::vector<RecordedBox> boxes;
    return boxes;
}

std::deque<platform::MessageBoxAnswer>& scripted_answers() {
    static std::deque<platform::MessageBoxAnswer> answers;
    return answers;
}

void clear_boxes() {
    recorded_boxes().clear();
    scripted_answers().clear();
}

platform::MessageBoxAnswer record_box(const std::string& caption, const std::string& text,
                                      platform::MessageBoxKind kind) {
    recorded_boxes().push_back({caption, text, kind});
    auto& answers = scripted_answers();
    if (answers.empty()) return platform::MessageBoxAnswer::Ok;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
}

std::string source_path(const std::string& relative) {
    return std::string(ZEMBLA_SOURCE_DIR) + "/" + relative;
}

std::string binary_path(const std::string& relative) {
    return std::string(ZEMBLA_BINARY_DIR) + "/" + relative;
}

std::string screenshot_folder() {
    const char* folder = std::getenv("ZEMBLA_SCREENSHOT_DIR");
    if (!folder || !*folder) return {};
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

bool write_png(const std::string& path, int width, int height, int channels, const unsigned char* pixels,
               bool bottom_row_first) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    // A negative stride writes the rows in the other order.
    const png_int_32 stride = (bottom_row_first ? -1 : 1) * width * channels;
    return png_image_write_to_file(&image, path.c_str(), 0, pixels, stride, nullptr) != 0;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zembla-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

ScopedChdir::ScopedChdir(const std::string& dir) : previous_(std::filesystem::current_path().string()) {
    std::filesystem::current_path(dir);
}

ScopedChdir::~ScopedChdir() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
}

}  // namespace test_support
