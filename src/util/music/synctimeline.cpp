#include "util/music/synctimeline.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

namespace SyncTimeline {
namespace {

constexpr int kRowsPerBeat = 8;

const char* const kTypeNames[] = {"step", "linear", "smooth", "ramp"};

bool parse_int32(const std::string& text, int32_t* out) {
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || v < INT32_MIN || v > INT32_MAX) return false;
    *out = static_cast<int32_t>(v);
    return true;
}

std::string parse_position(const std::string& text, int32_t* row) {
    if (!text.empty() && text.back() == 'b') {
        std::string number = text.substr(0, text.size() - 1);
        char* end = nullptr;
        double beat = std::strtod(number.c_str(), &end);
        if (number.empty() || *end != '\0' || !std::isfinite(beat)) return "bad beat \"" + text + "\"";
        double rows = beat * kRowsPerBeat;
        if (rows != std::floor(rows)) return "beat " + number + " does not land on a row";
        if (rows < INT32_MIN || rows > INT32_MAX) return "beat " + number + " is out of range";
        *row = static_cast<int32_t>(rows);
        return "";
    }
    if (!parse_int32(text, row)) return "bad row \"" + text + "\"";
    return "";
}

std::string parse_type(const std::string& text, int32_t* type) {
    for (int32_t i = 0; i < 4; ++i)
        if (text == kTypeNames[i]) {
            *type = i;
            return "";
        }
    if (!parse_int32(text, type) || *type < -128 || *type > 127)
        return "bad interpolation \"" + text + "\" (step, linear, smooth, ramp or -128..127)";
    return "";
}

std::string position_text(int32_t row) {
    if (row % kRowsPerBeat == 0) return std::to_string(row / kRowsPerBeat) + "b";
    return std::to_string(row);
}

// A NaN other than the two that "nan" and "-nan" read back as is written
// with its bits: the decimal text of every NaN is the same.
constexpr char kNanBitsPrefix[] = "nan:0x";
constexpr uint32_t kPlainNan = 0x7FC00000u;  // what strtof gives for "nan"
constexpr uint32_t kSignBit = 0x80000000u;

uint32_t bits_of(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

bool is_nan_bits(uint32_t bits) { return (bits & 0x7F800000u) == 0x7F800000u && (bits & 0x007FFFFFu) != 0; }

std::string value_text(float value) {
    char buffer[32];
    const uint32_t bits = bits_of(value);
    if (is_nan_bits(bits) && (bits & ~kSignBit) != kPlainNan)
        std::snprintf(buffer, sizeof buffer, "%s%08x", kNanBitsPrefix, static_cast<unsigned>(bits));
    else if (is_nan_bits(bits))
        return bits & kSignBit ? "-nan" : "nan";
    else
        std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
    return buffer;
}

// The value of a key: a decimal number, or "nan:0x" and the 8 hex digits of
// a NaN's bits.
std::string parse_value(const std::string& text, float* value) {
    const size_t prefix = sizeof kNanBitsPrefix - 1;
    if (text.compare(0, prefix, kNanBitsPrefix) == 0) {
        const std::string digits = text.substr(prefix);
        const bool hex = digits.size() == 8 && std::all_of(digits.begin(), digits.end(), [](char c) {
                             return std::isxdigit(static_cast<unsigned char>(c)) != 0;
                         });
        const uint32_t bits = hex ? static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16)) : 0;
        if (!hex || !is_nan_bits(bits))
            return "bad value \"" + text + "\" (" + kNanBitsPrefix + " and the 8 hex digits of a NaN)";
        std::memcpy(value, &bits, 4);
        return "";
    }
    char* end = nullptr;
    errno = 0;
    *value = std::strtof(text.c_str(), &end);
    if (*end != '\0') return "bad value \"" + text + "\"";
    if (errno == ERANGE && std::isinf(*value)) return "value " + text + " is out of range";
    return "";
}

std::string type_text(int32_t type) {
    return type >= 0 && type < 4 ? kTypeNames[type] : std::to_string(type);
}

}  // namespace

std::string check_name(const std::string& name) {
    if (name.empty()) return "empty track name";
    for (char c : name)
        if (c == '/' || c == '#' || std::isspace(static_cast<unsigned char>(c)))
            return "track name \"" + name + "\" holds a blank, \"/\" or \"#\"";
    return "";
}

bool parse(const std::string& text, std::vector<SyncTrack>* tracks, std::string* error) {
    std::map<std::string, size_t> index;                // name -> track
    std::map<std::pair<size_t, int32_t>, int> key_line;  // (track, row) -> line
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        auto fail = [&](const std::string& why) {
            *error = "line " + std::to_string(number) + ": " + why;
            return false;
        };
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        std::vector<std::string> f;
        for (std::string field; fields >> field;) f.push_back(field);
        if (f.empty()) continue;
        if (f.size() != 1 && f.size() != 4)
            return fail("expected \"<track> <position> <value> <interpolation>\" or \"<track>\"");

        std::string why = check_name(f[0]);
        if (!why.empty()) return fail(why);
        auto found = index.find(f[0]);
        if (found == index.end()) {
            found = index.emplace(f[0], tracks->size()).first;
            tracks->emplace_back();
            tracks->back().name = f[0];
        }
        if (f.size() == 1) continue;

        SyncKey key;
        if (!(why = parse_position(f[1], &key.row)).empty()) return fail(why);
        if (!(why = parse_value(f[2], &key.value)).empty()) return fail(why);
        if (!(why = parse_type(f[3], &key.type)).empty()) return fail(why);

        auto [seen, fresh] = key_line.emplace(std::make_pair(found->second, key.row), number);
        if (!fresh)
            return fail("track " + f[0] + " already has a key at row " + std::to_string(key.row) + " (line " +
                        std::to_string(seen->second) + ")");
        (*tracks)[found->second].set_key(key);
    }
    return true;
}

std::string format(const std::vector<SyncTrack>& tracks) {
    size_t width = 5;  // "track"
    for (const SyncTrack& t : tracks) width = std::max(width, t.name.size());
    auto pad = [](std::string s, size_t w) { return s.size() < w ? s + std::string(w - s.size(), ' ') : s; };

    std::string out = "# " + pad("track", width) + " position  value            interpolation\n";
    for (const SyncTrack& t : tracks) {
        if (t.keys.empty()) out += "  " + t.name + "\n";
        for (const SyncKey& k : t.keys)
            out += "  " + pad(t.name, width) + " " + pad(position_text(k.row), 9) + " " + pad(value_text(k.value), 16) +
                   " " + type_text(k.type) + "\n";
    }
    return out;
}

}  // namespace SyncTimeline
