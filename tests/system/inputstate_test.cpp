#include "support/test_support.h"

#include "system/inputstate.h"

namespace {

TEST(InputState, UpdateTakesTheMovementAndTheFrame) {
    InputState input;
    input.reset();
    input.mouse_x = 10;
    input.mouse_y = -4;
    input.update(7);
    int dx = 0, dy = 0;
    input.get_mouse_delta(&dx, &dy);
    EXPECT_EQ(dx, 10);
    EXPECT_EQ(dy, -4);
    EXPECT_EQ(input.frame, 7);
    input.update(8);  // no movement since
    input.get_mouse_delta(&dx, &dy);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);
    EXPECT_EQ(input.last_x, 10);
}

TEST(InputState, KeysWrapToTheirLowByteAndPressesAreTakenOnce) {
    InputState input;
    input.key_pressed[65] = 1;
    input.key_down[65] = 1;
    EXPECT_EQ(input.is_key_down(256 + 65), 1);
    EXPECT_EQ(input.is_key_down(66), 0);
    EXPECT_EQ(input.take_key_pressed(256 + 65), 1);
    EXPECT_EQ(input.take_key_pressed(65), 0);
    input.wheel = 240;
    EXPECT_EQ(input.take_wheel(), 240);
    EXPECT_EQ(input.take_wheel(), 0);
}

TEST(InputState, ResetKeepsTheFrameAndTheCaptureFlag) {
    InputState input;
    EXPECT_FALSE(input.is_captured());
    input.update(42);
    input.captured = true;
    input.mouse_x = input.last_y = input.delta_x = input.wheel = 3;
    input.key_down[255] = input.key_pressed[0] = 1;
    input.reset();
    EXPECT_EQ(input.frame, 42);
    EXPECT_TRUE(input.is_captured());
    EXPECT_EQ(input.mouse_x, 0);
    EXPECT_EQ(input.last_y, 0);
    EXPECT_EQ(input.delta_x, 0);
    EXPECT_EQ(input.wheel, 0);
    EXPECT_EQ(input.key_down[255], 0);
    EXPECT_EQ(input.key_pressed[0], 0);
}

}  // namespace
