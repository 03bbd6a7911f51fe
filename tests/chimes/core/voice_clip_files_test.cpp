// The shipped voice clips: present in the source tree and next to the built program, each a
// playable WAV file of speech-like length.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "chimes/core/time_voice_clips.h"

namespace zorvel {
namespace {

struct WavInfo {
    std::string error;  // empty when the file is a usable PCM WAV
    int channels = 0;
    int rate = 0;
    int bits = 0;
    double seconds = 0;
    double rms = 0;  // of the samples, 0..1
};

uint32_t Le32(const std::string& b, size_t at) {
    return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8 | uint8_t(b[at + 2]) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t Le16(const std::string& b, size_t at) {
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

// Walks the RIFF chunks, as a player does, rather than trusting a 44-byte header.
WavInfo ReadWav(const std::string& path) {
    WavInfo info;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {"missing"};
    std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0)
        return {"not a RIFF/WAVE file"};
    bool have_format = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        std::string id = b.substr(at, 4);
        size_t size = Le32(b, at + 4);
        size_t body = at + 8;
        if (body + size > b.size())
            return {"chunk " + id + " runs past the end"};
        if (id == "fmt ") {
            if (size < 16 || Le16(b, body) != 1)
                return {"not plain PCM"};
            info.channels = Le16(b, body + 2);
            info.rate = Le32(b, body + 4);
            info.bits = Le16(b, body + 14);
            have_format = true;
        } else if (id == "data") {
            if (!have_format)
                return {"data before format"};
            if (info.bits != 16 || info.channels < 1)
                return {"not 16-bit samples"};
            size_t count = size / 2;
            if (count == 0)
                return {"no samples"};
            double sum = 0;
            for (size_t i = 0; i < count; ++i) {
                double v = int16_t(Le16(b, body + 2 * i)) / 32768.0;
                sum += v * v;
            }
            info.rms = std::sqrt(sum / double(count));
            info.seconds = double(count / info.channels) / info.rate;
            return info;
        }
        at = body + size + (size & 1);
    }
    return {"no data chunk"};
}

std::string ClipName(const std::string& clip) {
    return clip.substr(clip.rfind('/') + 1);
}

TEST(VoiceClipFiles, EveryClipIsShortAudibleMonoSpeech) {
    for (const auto& clip : AllTimeVoiceClips()) {
        SCOPED_TRACE(clip);
        WavInfo w = ReadWav(std::string(ZORVEL_SOURCE_DIR) + "/res/" + clip);
        ASSERT_EQ(w.error, "");
        EXPECT_EQ(w.channels, 1);
        EXPECT_EQ(w.rate, 22050);
        EXPECT_GT(w.rms, 0.02) << "sounds silent";
        if (ClipName(clip) != "zhong.wav") {
            EXPECT_LE(w.seconds, 1.5);
            EXPECT_GE(w.seconds, 0.15);
        } else {
            EXPECT_LE(w.seconds, 2.5);
        }
    }
}

TEST(VoiceClipFiles, LongestAnnouncementLastsUnderEightSeconds) {
    std::map<std::string, double> seconds;
    for (const auto& clip : AllTimeVoiceClips())
        seconds[clip] = ReadWav(std::string(ZORVEL_SOURCE_DIR) + "/res/" + clip).seconds;
    double longest = 0;
    for (int h = 0; h < 24; ++h) {
        for (int m = 0; m < 60; ++m) {
            double total = 0;
            for (const auto& c : TimeVoiceClips(h, m))
                total += seconds[c];
            longest = std::max(longest, total);
        }
    }
    // Leaves a second for the player's pause between nine clips.
    EXPECT_LT(longest, 7.0);
}

TEST(VoiceClipFiles, BuildPutsClipsNextToTheProgram) {
    for (const auto& clip : AllTimeVoiceClips()) {
        std::string built = std::string(ZORVEL_BUILD_DIR) + "/" + clip;
        EXPECT_EQ(ReadWav(built).error, "") << built;
    }
}

}  // namespace
}  // namespace zorvel
