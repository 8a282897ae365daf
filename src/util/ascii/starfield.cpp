#include "util/ascii/starfield.h"

#include "platform/ticks.h"
#include "util/math/random.h"

AsciiStarfield::AsciiStarfield(AsciiScreen* screen, StarEdge start) : screen_(screen) {
    random_seed(platform::tick_ms() * 64363u);
    for (int i = 0; i < kStars; ++i) respawn(i, start);
}

void AsciiStarfield::respawn(int i, StarEdge edge) {
    x[i] = edge == StarEdge::Right ? 80.0f : 0.0f;
    row[i] = random_next() % AsciiScreen::kRows;
    speed[i] = static_cast<float>(random_next()) / RANDOM_MAX * 4.5f + 0.5f;
}

uint8_t AsciiStarfield::colour_of(float speed) {
    const int speed_class = static_cast<int>((speed - 0.5f) * 3 / 4.5f);
    return speed_class == 0 ? 8 : speed_class == 1 ? 7 : 15;
}

void AsciiStarfield::draw(float dt) {
    random_seed(platform::tick_ms() * 2348u);
    for (int i = 0; i < kStars; ++i) {
        x[i] += speed[i] * dt;
        if (x[i] > 80.0f || x[i] < 0.0f) respawn(i, dt <= 0 ? StarEdge::Right : StarEdge::Left);
    }
    for (int i = 0; i < kStars; ++i) {
        // A NaN or huge dt leaves positions no int can hold: such a star is
        // off the screen anyway.
        if (!(x[i] >= 0.0f && x[i] < 81.0f)) continue;
        screen_->put_char_fg(row[i], static_cast<int>(x[i]), '.', colour_of(speed[i]));
    }
}
