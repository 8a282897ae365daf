// The modulators on their own: envelope stages and curves, the oscillator's
// waves, the arpeggiator's steps and the controller table.
#include <cmath>

#include "support/test_support.h"
#include "util/music/modulators/adsr.h"
#include "util/music/modulators/arp.h"
#include "util/music/modulators/lfo.h"

namespace {

const float kNever = -1.0f;

TEST(NoteValueRate, QuartersEighthsTripletsAndZero) {
    EXPECT_EQ(note_value_rate(1, 4, false), 1.0f);
    EXPECT_EQ(note_value_rate(1, 8, false), 0.5f);
    EXPECT_EQ(note_value_rate(1, 8, true), 0.33333334f);
    EXPECT_EQ(note_value_rate(1, 2, false), 2.0f);
    EXPECT_EQ(note_value_rate(3, 0, false), 0.0f);
    EXPECT_EQ(LFO(LFO::Sine, -1, 1, 16, false).rate, 0.25f);
    EXPECT_EQ(Arp(Arp::UpDown, 1, 1, 8, true).rate, 0.33333334f);
}

TEST(ADSRTest, LinearStagesOfAKeyPressedAtTen) {
    ADSR env(1, ADSR::Linear, 1, ADSR::Linear, 0.5f, 2, ADSR::Linear);
    EXPECT_EQ(env.get_type(), Modulator::TypeADSR);
    EXPECT_EQ(env.get_cc(), -1);
    struct Case {
        float beat, last_off, last_on, expected;
    };
    const Case cases[] = {
        {10.25f, kNever, 10, 0.25f},  // attack
        {11.5f, kNever, 10, 0.75f},   // decay
        {14.0f, kNever, 10, 0.5f},    // sustain while held
        {15.0f, 14, 10, 0.25f},       // release from 14
        {16.0f, 14, 10, 0.0f},
        {30.0f, 14, 10, 0.0f},
        // Released at 10.5: attack and decay finish first, the release
        // runs from 12 to 14.
        {11.0f, 10.5f, 10, 1.0f},
        {12.0f, 10.5f, 10, 0.5f},
        {13.0f, 10.5f, 10, 0.25f},
        {14.0f, 10.5f, 10, 0.0f},
        // Never pressed.
        {5.0f, kNever, kNever, 0.0f},
        {5.0f, 3.0f, kNever, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.beat);
        EXPECT_FLOAT_EQ(env.value(120, c.beat, c.last_off, c.last_on), c.expected);
    }
}

TEST(ADSRTest, CurveShapes) {
    const double mid = (std::sqrt(250.0) - 1.0) / 249.0;  // about 0.0595
    ADSR exp(1, ADSR::Exp, 1, ADSR::Exp, 0.0f, 1, ADSR::Exp);
    ADSR inv(1, ADSR::ExpInv, 1, ADSR::ExpInv, 0.0f, 1, ADSR::ExpInv);
    EXPECT_NEAR(exp.value(120, 0.5f, kNever, 0), mid, 1e-6);
    EXPECT_NEAR(inv.value(120, 0.5f, kNever, 0), 1.0 - mid, 1e-6);
    // Decay with sustain 0: the falling curves.
    EXPECT_NEAR(exp.value(120, 1.5f, kNever, 0), mid, 1e-6);
    EXPECT_NEAR(inv.value(120, 1.5f, kNever, 0), 1.0 - mid, 1e-6);
    // Every curve runs from its start to its end over the stage.
    for (int slope : {ADSR::Linear, ADSR::Exp, ADSR::ExpInv}) {
        ADSR env(2, slope, 2, slope, 0.0f, 1, slope);
        EXPECT_NEAR(env.value(120, 0.0f + 1e-6f, kNever, 0), 0.0f, 1e-4);
        EXPECT_NEAR(env.value(120, 2.0f, kNever, 0), 1.0f, 1e-6);
        EXPECT_NEAR(env.value(120, 4.0f - 1e-5f, kNever, 0), 0.0f, 1e-4);
    }
    EXPECT_NEAR(exp.rise_exp(1, 1), 1.0f, 1e-6);
    EXPECT_NEAR(exp.fall_exp(0, 1), 1.0f, 1e-6);
    EXPECT_NEAR(exp.fall_exp_inv(1, 1), 0.0f, 1e-6);
}

TEST(ADSRTest, UnknownSlopeEndsTheRunInTheStageThatUsesIt) {
    ADSR env(1, 7, 1, ADSR::Linear, 0.5f, 1, ADSR::Linear);
    EXPECT_FLOAT_EQ(env.value(120, 1.5f, kNever, 0), 0.75f);  // the attack slope is not consulted
    EXPECT_FATAL(env.value(120, 0.5f, kNever, 0), "Unrecognized slope type 7");
}

TEST(LFOTest, SineAndSawWhileHeld) {
    LFO sine(LFO::Sine, -1, 2, 4, false);  // rate 2 beats
    EXPECT_EQ(sine.get_type(), Modulator::TypeLFO);
    EXPECT_NEAR(sine.value(120, 4, kNever, 4), 0.0f, 1e-6);
    EXPECT_NEAR(sine.value(120, 5, kNever, 4), 1.0f, 1e-6);
    EXPECT_NEAR(sine.value(120, 6, kNever, 4), 0.0f, 1e-6);
    EXPECT_NEAR(sine.value(120, 4.5f, kNever, 4), 0.5f, 1e-6);
    EXPECT_EQ(sine.value(120, 6.5f, 6, 4), 0.0f);  // released

    LFO saw(LFO::Saw, -1, 2, 4, false);
    EXPECT_FLOAT_EQ(saw.value(120, 5.5f, kNever, 4), 1.5f);
    EXPECT_FLOAT_EQ(saw.value(120, 6.5f, kNever, 4), 0.5f);
    EXPECT_EQ(saw.value(120, 6.5f, 6, 4), 0.0f);
    EXPECT_EQ(saw.value(120, 1, kNever, kNever), 0.0f);

    LFO odd(5, -1, 1, 4, false);
    EXPECT_EQ(odd.value(120, 1, 2, 0), 0.0f);  // not held: the wave is not looked at
    EXPECT_FATAL(odd.value(120, 1, kNever, 0), "Unsupported wave type: 5");
}

TEST(LFOTest, RateZeroGivesZero) {
    for (int wave : {LFO::Sine, LFO::Saw}) {
        LFO lfo(wave, -1, 1, 0, false);
        EXPECT_EQ(lfo.rate, 0.0f);
        EXPECT_EQ(lfo.value(120, 3, kNever, 1), 0.0f);
    }
}

TEST(ArpTest, UpDownSteps) {
    Arp arp(Arp::UpDown, 1, 1, 8, false);  // a step every half beat
    EXPECT_EQ(arp.get_type(), Modulator::TypeArp);
    const std::pair<float, uint32_t> three[] = {{8.2f, 0}, {8.7f, 1}, {9.1f, 2}, {9.6f, 1}, {10.1f, 0}, {10.6f, 1}};
    for (const auto& c : three) EXPECT_EQ(arp.note_index(120, c.first, 8, 3), c.second) << c.first;
    const std::pair<float, uint32_t> two[] = {{8.2f, 0}, {8.7f, 1}, {9.1f, 0}, {9.6f, 1}};
    for (const auto& c : two) EXPECT_EQ(arp.note_index(120, c.first, 8, 2), c.second) << c.first;
    EXPECT_EQ(arp.note_index(120, 100, 8, 0), 0u);
    EXPECT_EQ(arp.note_index(120, 100, 8, 1), 0u);
    EXPECT_EQ(arp.value(120, 3, kNever, 1), 1.0f);
    EXPECT_EQ(arp.value(120, 3, 2, 1), 0.0f);
}

TEST(ArpTest, RatesWithoutWholeStepsSoundTheFirstKey) {
    Arp zero(Arp::UpDown, 1, 1, 0, false);
    EXPECT_EQ(zero.note_index(120, 9, 8, 3), 0u);
    Arp negative(Arp::UpDown, 1, -1, 4, false);
    EXPECT_EQ(negative.note_index(120, 9, 8, 3), 0u);
    Arp tiny(Arp::UpDown, 1, 1, 2000000000, false);  // 2^32 steps and more wrap
    EXPECT_LT(tiny.note_index(120, 1000, 0, 3), 3u);
}

TEST(ArpTest, OnlyUpDownIsPlayed) {
    Arp up(Arp::Up, 1, 1, 8, false);
    EXPECT_EQ(up.note_index(120, 9, 8, 1), 0u);
    EXPECT_FATAL(up.note_index(120, 9, 8, 2), "Unhandled arp pattern 1!\n");
    Arp down(Arp::Down, 1, 1, 8, false);
    EXPECT_FATAL(down.note_index(120, 9, 8, 3), "Unhandled arp pattern 2!\n");
}

// A controller value picks the first band that holds it, both bounds
// included: 0 and every band's lower bound are values like any other.
TEST(ControllerTable, BandsHoldBothBounds) {
    LFO lfo(LFO::Sine, 1, 1, 2, false);  // rate 2 until a controller value arrives
    lfo.add_range(0, 42, 1, 4, false);
    lfo.add_range(43, 85, 1, 8, false);
    lfo.add_range(86, 127, 1, 8, true);
    const std::pair<int, float> cases[] = {{0, 1.0f},  {21, 1.0f},  {42, 1.0f},         {43, 0.5f},
                                           {85, 0.5f}, {86, 0.33333334f}, {127, 0.33333334f}};
    for (const auto& c : cases) {
        lfo.set_cc_value(c.first);
        EXPECT_EQ(lfo.rate, c.second) << c.first;
    }
    EXPECT_FATAL(lfo.set_cc_value(128), "Value out of bounds: 128");
    EXPECT_FATAL(lfo.set_cc_value(-1), "Value out of bounds: -1");
}

TEST(ControllerTable, GapsAndEmptyTablesKeepTheRate) {
    LFO lfo(LFO::Sine, 1, 1, 2, false);
    lfo.set_cc_value(64);
    EXPECT_EQ(lfo.rate, 2.0f);  // no rows
    lfo.add_range(10, 20, 1, 4, false);
    lfo.add_range(30, 40, 1, 8, false);
    lfo.add_range(0, 100, 1, 16, false);  // overlapping, added last
    lfo.set_cc_value(25);
    EXPECT_EQ(lfo.rate, 0.25f);
    lfo.set_cc_value(15);
    EXPECT_EQ(lfo.rate, 1.0f);  // the first band that holds it
    lfo.set_cc_value(120);
    EXPECT_EQ(lfo.rate, 1.0f);  // above every band: unchanged
    EXPECT_EQ(lfo.lookup_range(35), 0.5f);
    EXPECT_EQ(lfo.ranges.size(), 3u);
    EXPECT_EQ(lfo.ranges.min[1], 30);
    EXPECT_EQ(lfo.ranges.max[1], 40);
}

TEST(ModulatorBase, ValueIsOneAndIntensityIsOnlyKept) {
    Modulator base;
    EXPECT_EQ(base.value(120, 3, 1, 2), 1.0f);
    EXPECT_EQ(base.intensity, 1.0f);
    ADSR env(1, 0, 1, 0, 0.5f, 1, 0);
    const float before = env.value(120, 0.5f, kNever, 0);
    env.set_intensity(0.25f);
    EXPECT_EQ(env.intensity, 0.25f);
    EXPECT_EQ(env.value(120, 0.5f, kNever, 0), before);
}

}  // namespace
