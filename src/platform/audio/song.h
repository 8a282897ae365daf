// A soundtrack decoded whole: every sample of every channel as a float,
// channels interleaved (left, right, left, ...), at the file's own rate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace audio {

struct Song {
    int rate = 0;      // frames per second
    int channels = 0;  // values per frame
    std::vector<float> samples;

    uint64_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

// Decodes an MP3 or Ogg Vorbis file held in memory; which one is told by
// the content ("OggS" at the start is Ogg, anything else is tried as MPEG
// audio), never by a name. False with a reason in `error` when the bytes are
// neither, are damaged, change their rate or channel count in the middle,
// hold no sound, or are cut short: an Ogg stream whose last page does not
// end it, an MP3 whose sound stops more than half a second before the length
// its Xing or Info header states.
bool decode(const void* data, size_t size, Song& song, std::string& error);

// The length in frames that an MP3 file's Xing or Info header states (the
// header of a first Layer III frame, after an ID3v2 tag); 0 without one.
uint64_t mp3_stated_frames(const void* data, size_t size);

// The samples as signed 16-bit PCM, rounded and clipped to full scale.
std::vector<int16_t> to_pcm16(const std::vector<float>& samples);

}  // namespace audio
