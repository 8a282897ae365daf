#include "support/test_support.h"

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
