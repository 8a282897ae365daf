// The real message boxes where none can be shown: a run without a display
// (or without the fonts a box needs) must not lose what the box said, nor
// stop, nor wait for an answer nobody can give.
#include <cstdlib>
#include <string>

#include "platform/message_box.h"
#include "support/test_support.h"

namespace {

using platform::MessageBoxAnswer;
using platform::MessageBoxKind;

// No display for the length of a test, and the real boxes in place of the
// test recorder.
class WithoutADisplay : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
            if (const char* value = std::getenv(name)) saved_.push_back({name, value});
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        platform::set_message_box_handler(nullptr);
    }
    void TearDown() override {
        for (const auto& variable : saved_) setenv(variable.first.c_str(), variable.second.c_str(), 1);
        platform::set_message_box_handler(test_support::record_box);  // as every other test expects
    }

    std::vector<std::pair<std::string, std::string>> saved_;
};

struct BoxCase {
    const char* name;
    MessageBoxKind kind;
    bool says_its_answer;
};

const BoxCase kBoxes[] = {
    {"plain", MessageBoxKind::Plain, false},
    {"warning", MessageBoxKind::Warning, false},
    {"error", MessageBoxKind::Error, false},
    {"question", MessageBoxKind::OkCancelQuestion, true},
};

TEST_F(WithoutADisplay, ABoxGoesToTheConsoleAndGivesItsDefaultAnswer) {
    for (bool unattended : {false, true}) {
        if (unattended) platform::set_message_boxes_unattended();
        for (const BoxCase& box : kBoxes) {
            SCOPED_TRACE(std::string(box.name) + (unattended ? ", unattended" : ""));
            testing::internal::CaptureStdout();
            MessageBoxAnswer answer = platform::show_message_box("Error in file src\\main:12",
                                                                 "Error in file src\\main:12\n\nNo data", box.kind);
            std::string console = testing::internal::GetCapturedStdout();
            EXPECT_EQ(answer, MessageBoxAnswer::Ok);
            EXPECT_NE(console.find("Message box \"Error in file src\\main:12\" could not be shown ("),
                      std::string::npos)
                << console;
            EXPECT_NE(console.find("its text:\nError in file src\\main:12\n\nNo data\n"), std::string::npos)
                << console;
            EXPECT_EQ(console.find("Answered OK, the box's default") != std::string::npos, box.says_its_answer)
                << console;
            if (unattended) {
                EXPECT_NE(console.find("nobody is there to answer it"), std::string::npos) << console;
            }
        }
    }
}

}  // namespace
