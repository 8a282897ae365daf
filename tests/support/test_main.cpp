// Entry point of every test executable: fatal errors throw, boxes are
// recorded, and nothing can wait for a person.
#include <cstdio>

#include "support/test_support.h"

namespace {

class SeamEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        fatal::set_handler([](const fatal::Report& report) {
            throw test_support::FatalError(report);
        });
        platform::set_message_box_handler(test_support::record_box);
    }
};

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IOLBF, 0);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new SeamEnvironment);
    return RUN_ALL_TESTS();
}
