#include "scenes/scene_textpiano/piano_screen.h"

#include <algorithm>
#include <cmath>

#include "util/math/saturate.h"

namespace {

constexpr uint8_t kBlockCell = '8';

void column(AsciiScreen& screen, int col, int first_row, int last_row, uint8_t ch, uint8_t fg, uint8_t bg) {
    for (int r = first_row; r <= last_row; ++r) screen.put_char(r, col, ch, fg, bg);
}

// The cabinet: the frame beside the keys, the top and its panel of knobs
// and switches.
void draw_cabinet(AsciiScreen& screen, int top, int left) {
    column(screen, left, top + 6, top + 17, 0, 12, 12);
    column(screen, left + 56, top + 6, top + 17, 0, 12, 12);
    for (int c = left; c <= left + 56; ++c) column(screen, c, top, top + 5, 0, 12, 12);
    for (int r = top + 1; r <= top + 4; ++r) {
        for (int off = 3; off <= 15; ++off) screen.put_char(r, left + off, off % 2 == 0 ? '*' : ' ', 0, 8);
        screen.put_char(r, left + 16, 179, 0, 8);
        for (int off = 17; off <= 29; ++off) {
            uint8_t ch = ' ';
            if (off % 2 == 0 && r == top + 2) ch = 203;
            if (off % 2 == 0 && r == top + 3) ch = 186;
            screen.put_char(r, left + off, ch, 0, 8);
        }
    }
}

}  // namespace

std::vector<PianoKey> piano_keys() {
    static const int kShapes[12] = {1, 0, 2, 0, 3, 1, 0, 2, 0, 2, 0, 3};
    std::vector<PianoKey> keys;
    for (int note = kPianoFirstKey; note < kPianoFirstKey + kPianoKeys; ++note) keys.push_back({kShapes[note % 12], note});
    return keys;
}

bool SoundingNotes::sounds(int note) const {
    for (size_t i = 0; i < lookup.size(); ++i)
        if (lookup[i] == note) return i < states.size() && states[i];
    return false;
}

void draw_keyboard(AsciiScreen& screen, int top, int left, const std::vector<PianoKey>& keys,
                   const SoundingNotes& notes) {
    draw_cabinet(screen, top, left);
    const int k = top + kPianoTopHeight;
    const int low = k + kPianoBlackKeyHeight;  // where the white keys run under the black ones
    const int bottom = k + kPianoKeyHeight - 1;
    int a = left + 1, b = left + 3;
    for (size_t n = 0; n < keys.size(); ++n) {
        const bool pressed = notes.sounds(keys[n].note);
        const uint8_t c1 = pressed ? 15 : 0, c2 = pressed ? 15 : 7;
        switch (keys[n].shape) {
        case 0:
            for (int c = b; c <= b + 2; ++c) column(screen, c, k, low - 1, 0, c2, c1);
            column(screen, b + 1, low, bottom, 179, 0, 7);
            break;
        case 1:
            column(screen, a, k, bottom, 0, c1, c2);
            column(screen, a + 1, k, bottom, 0, c1, c2);
            column(screen, a + 2, low, bottom, 0, c1, c2);
            a += 4;
            break;
        case 2:
            column(screen, a, low, bottom, 0, c1, c2);
            column(screen, a + 1, k, bottom, 0, c1, c2);
            column(screen, a + 2, low, bottom, 0, c1, c2);
            a += 4;
            b += 4;
            break;
        default:
            column(screen, a, low, bottom, 0, c1, c2);
            column(screen, a + 1, k, bottom, 0, c1, c2);
            column(screen, a + 2, k, bottom, 0, c1, c2);
            a += 3;
            b += 8;
            // The line between this key and the next octave's first.
            if (n + 1 < keys.size()) {
                column(screen, a, k, bottom, 179, c1, c2);
                a += 1;
            }
            break;
        }
    }
}

std::vector<PianoItem> layout_piano_items(const std::vector<std::string>& texts) {
    std::vector<PianoItem> items;
    int pos = 0;
    for (const std::string& text : texts) {
        PianoItem item{text.empty(), text, pos, 0};
        pos += item.keyboard ? kPianoWidth : AsciiFont::text_width(text);
        pos += kPianoItemGap;
        item.width = pos - item.x;
        items.push_back(item);
    }
    return items;
}

// The greetings: groups we send our regards to (letters, digits and spaces
// only: the block font has nothing else). No group's name has an E, and
// neither has the event's: the block font's E, open on the right with hooked
// ends, reads as a currency sign in a name standing alone. The heading
// "Greetings to" keeps its Es, since a phrase reads as words. Each name is as
// wide as the one it replaced, so the rows scroll as the timeline keys them.
std::vector<std::string> piano_upper_texts() {
    std::vector<std::string> texts = {"", "Greetings to"};
    for (const char* group : {"Nordvik", "Skarholm", "Tarnwald", "Mossgard", "Rimfrost", "Halcyon"}) {
        texts.push_back("");
        texts.push_back(group);
    }
    texts.push_back("");
    return texts;
}

std::vector<std::string> piano_lower_texts() {
    std::vector<std::string> texts;
    for (const char* group : {"Lowfold", "Kvasir", "Polar Grid", "Saltmarsh", "Brask", "Murkwood", "Ruddock",
                              "Quorvan", "Kastrup", "Nightjar", "Summit", "Glowmoth"}) {
        texts.push_back("");
        texts.push_back(group);
    }
    return texts;
}

const char* const kPianoEventName = "Orbit Jam";
const char* const kPianoYear = "2015";

void draw_piano_row(AsciiScreen& screen, AsciiFont& font, const std::vector<PianoItem>& items, int base_row,
                    int64_t x0, const std::vector<PianoKey>& keys, const SoundingNotes& notes) {
    for (const PianoItem& item : items) {
        const int64_t sx = x0 + item.x;
        if (sx > AsciiScreen::kCols) break;
        if (sx + item.width < 0) continue;
        // Here sx lies within [-width, 80], so it fits an int.
        const int col = static_cast<int>(sx);
        if (item.keyboard)
            draw_keyboard(screen, base_row, col, keys, notes);
        else
            font.draw_string(base_row + 6, col, kBlockCell, 11, 1, item.text);
    }
}

PianoRows piano_rows(float progress, float speed1, float speed2, float beats) {
    const float pi = 3.14159265f;
    PianoRows rows;
    rows.upper_row = 4 + saturate_int(std::sin(beats * 0.75f * pi) * 5.0f);
    rows.lower_row = 28 + saturate_int(std::cos(beats * 0.5f * pi) * 5.0f);
    rows.upper_x0 = static_cast<int64_t>(saturate_int(-progress * speed1)) + 80;
    rows.lower_x0 = static_cast<int64_t>(saturate_int(-progress * speed2)) + 80;
    return rows;
}

void draw_closing_lines(AsciiFont& font, int last_text) {
    if (last_text <= -100) return;
    font.draw_string(last_text + 15, 5, kBlockCell, 11, 1, kPianoEventName);
    font.draw_string(last_text + 30, 40, kBlockCell, 11, 1, kPianoYear);
}
