#include "support/test_support.h"

#include <deque>

#include "system/frametimer.h"

namespace {

// A counter that gives the scripted readings in order and, once they are
// used up, moves on by one tick per reading.
std::deque<int64_t> readings;
int64_t last_reading = 0;

int64_t scripted_counter() {
    if (readings.empty()) return ++last_reading;
    last_reading = readings.front();
    readings.pop_front();
    return last_reading;
}

class FrameTimer : public ::testing::Test {
protected:
    void start(int64_t frequency, int64_t start_reading) {
        readings = {start_reading};
        FrameTimerCounter counter{scripted_counter, frequency};
        frame_timer_set_counter(&counter);
        frame_timer_init();
    }
    void update_at(std::initializer_list<int64_t> next) {
        readings = next;
        frame_timer_update();
    }
    void TearDown() override {
        frame_timer_set_counter(nullptr);
        frame_timer_init();
    }
};

TEST_F(FrameTimer, StartsAtTheInitialAverage) {
    start(1000, 0);
    EXPECT_FLOAT_EQ(frame_timer_delta(), 0.0001f);
}

TEST_F(FrameTimer, SteadyFramesAverageToTheFrameTimeAfterFiveUpdates) {
    start(60, 1000);
    update_at({1001});
    // The first averages are pulled toward the start value.
    EXPECT_FLOAT_EQ(frame_timer_delta(), (4 * 0.0001f + 1.0f / 60) * 0.2f);
    for (int64_t tick : {1002, 1003, 1004, 1005}) update_at({tick});
    EXPECT_NEAR(frame_timer_delta(), 1.0f / 60, 1e-6f);
    readings = {1005};
    EXPECT_NEAR(frame_timer_now(), 5.0f / 60, 1e-6f);
}

TEST_F(FrameTimer, ALongPauseCountsAsAQuarterSecond) {
    start(1000, 0);
    for (int64_t ms : {10, 20, 30, 40}) update_at({ms});
    update_at({5040});  // five seconds later
    EXPECT_NEAR(frame_timer_delta(), (0.01f * 4 + 0.25f) * 0.2f, 1e-6f);
    // The ring forgets it after five more frames.
    for (int64_t ms : {5050, 5060, 5070, 5080, 5090}) update_at({ms});
    EXPECT_NEAR(frame_timer_delta(), 0.01f, 1e-5f);
}

TEST_F(FrameTimer, WaitsUntilTheClockMoves) {
    start(1000, 500);
    update_at({500, 500, 500, 503});
    EXPECT_TRUE(readings.empty());
    EXPECT_FLOAT_EQ(frame_timer_delta(), (4 * 0.0001f + 0.003f) * 0.2f);
}

TEST_F(FrameTimer, WithoutAFrequencyATickIsAMillisecond) {
    start(0, 123);
    readings = {2500};
    EXPECT_FLOAT_EQ(frame_timer_now(), 2.5f);  // counted from 0, not from the start reading
}

TEST_F(FrameTimer, TheMonotonicClockAdvances) {
    frame_timer_set_counter(nullptr);
    frame_timer_init();
    float before = frame_timer_now();
    EXPECT_GE(before, 0.0f);
    EXPECT_LT(before, 1.0f);
    frame_timer_update();
    frame_timer_update();
    EXPECT_GT(frame_timer_now(), before);
    EXPECT_GT(frame_timer_delta(), 0.0f);
}

}  // namespace
