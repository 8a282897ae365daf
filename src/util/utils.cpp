#include "util/utils.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <iomanip>
#include <sstream>

#include "system/fatal.h"
#include "util/data/data.h"

float hue_to_rgb(float p, float q, float t) {
    if (t < 0.0f) t += 1.0f;
    if (t > 1.0f) t -= 1.0f;
    if (t < 0.16666667f) return p + (q - p) * 6.0f * t;
    if (t < 0.5f) return q;
    if (t < 0.6666667f) return p + (q - p) * (0.6666667f - t) * 6.0f;
    return p;
}

vec3 hsl_to_rgb(const vec3& hsl) {
    float h = hsl.x, s = hsl.y, l = hsl.z;
    if (s == 0.0f) return vec3(l, l, l);
    float q = l < 0.5f ? l * (1.0f + s) : l + s - l * s;
    float p = 2.0f * l - q;
    return vec3(hue_to_rgb(p, q, h + 0.33333334f), hue_to_rgb(p, q, h),
                hue_to_rgb(p, q, h - 0.33333334f));
}

void replace_all(std::string& text, const std::string& from, const std::string& to) {
    if (from.empty()) return;
    size_t position = 0;
    while ((position = text.find(from, position)) != std::string::npos) {
        text.replace(position, from.size(), to);
        position += to.size();
    }
}

std::string float_to_string(float value, int precision) {
    std::ostringstream stream;
    stream << std::setprecision(precision) << value;
    return stream.str();
}

std::string int_to_string(int value) { return std::to_string(value); }

char* load_text_file(const std::string& name) {
    int32_t length = 0;
    return DataFile::load(name.c_str(), "rt", &length, true, false);
}

void touch_data_file(const std::string& name) {
    // A file the part will read only later is checked now, in every mode: a
    // missing one ends the run before the show starts, not when a scene
    // first needs it.
    switch (DataFile::get_mode()) {
        case DataFileMode::Read:
            DataFile::mark_used(name.c_str());
            return;
        case DataFileMode::Write:
            if (char* text = load_text_file(name)) {
                std::free(text);
                return;
            }
            break;
        default:
            if (DataFile::exists(name.c_str())) return;
            break;
    }
    FATAL_ERROR("Failed to find " << name << ": " << DataFile::absence_reason(name.c_str()));
}

bool file_exists(const std::string& name) {
    struct stat st {};
    return stat(name.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}
