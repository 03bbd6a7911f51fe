#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

// The two built-in songs under res/mp3/ are made by tools/songs/make_songs.py. The ring
// window hands them to GStreamer, which only needs a clean MPEG-1 Layer III stream; these
// checks walk the frame headers so a truncated, re-encoded or silent file is caught here
// rather than by an alarm that rings with no sound.

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string SongPath(int number) {
    return std::string(ZORVEL_SOURCE_DIR) + "/res/mp3/" + std::to_string(number) + ".mp3";
}

struct MpegScan {
    size_t audioStart = 0;
    size_t stoppedAt = 0;  // where the frame walk ended
    size_t tagBytes = 0;   // trailing ID3v1 / APE tag
    int frames = 0;
    int distinctPayloads = 0;
    std::set<int> sampleRates;
    std::set<int> bitrates;
    bool allMpeg1Layer3 = true;
    double Seconds() const {
        return sampleRates.size() == 1 ? frames * 1152.0 / *sampleRates.begin() : 0.0;
    }
};

uint8_t At(const std::string& d, size_t i) {
    return static_cast<uint8_t>(d[i]);
}

bool IsFrameSync(const std::string& d, size_t i) {
    return i + 1 < d.size() && At(d, i) == 0xFF && (At(d, i + 1) & 0xE0) == 0xE0;
}

// Skips a leading ID3v2 tag, then follows MPEG audio frame headers to the end.
MpegScan Scan(const std::string& d) {
    MpegScan s;
    size_t i = 0;
    if (d.size() >= 10 && d.compare(0, 3, "ID3") == 0) {
        // Tag size is "syncsafe": four 7-bit bytes.
        size_t size = (size_t(At(d, 6)) << 21) | (size_t(At(d, 7)) << 14) |
                      (size_t(At(d, 8)) << 7) | size_t(At(d, 9));
        i = 10 + size + ((At(d, 5) & 0x10) ? 10 : 0);
    }
    s.audioStart = i;
    static const int kBitrates[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                      112, 128, 160, 192, 224, 256, 320, 0};
    static const int kRates[4] = {44100, 48000, 32000, 0};
    std::set<std::string> payloads;
    while (i + 4 <= d.size() && IsFrameSync(d, i)) {
        int version = (At(d, i + 1) >> 3) & 3;  // 3 = MPEG-1
        int layer = (At(d, i + 1) >> 1) & 3;    // 1 = Layer III
        int bitrate = kBitrates[At(d, i + 2) >> 4];
        int rate = kRates[(At(d, i + 2) >> 2) & 3];
        int padding = (At(d, i + 2) >> 1) & 1;
        if (version != 3 || layer != 1 || bitrate == 0 || rate == 0) {
            s.allMpeg1Layer3 = false;
            break;
        }
        size_t length = 144000 * size_t(bitrate) / size_t(rate) + size_t(padding);
        if (i + length > d.size())
            break;  // a cut-off last frame
        s.sampleRates.insert(rate);
        s.bitrates.insert(bitrate);
        payloads.insert(d.substr(i + 4, length - 4));
        ++s.frames;
        i += length;
    }
    s.stoppedAt = i;
    if (d.size() - i == 128 && d.compare(i, 3, "TAG") == 0)
        s.tagBytes = 128;
    else if (d.compare(i, 8, "APETAGEX") == 0)
        s.tagBytes = d.size() - i;
    s.distinctPayloads = static_cast<int>(payloads.size());
    return s;
}

TEST(SongsTest, EachSongIsAWhole128kMp3Of20To40Seconds) {
    for (int number : {1, 2}) {
        SCOPED_TRACE(SongPath(number));
        std::string data = ReadAll(SongPath(number));
        ASSERT_FALSE(data.empty()) << "missing or empty";
        EXPECT_TRUE(data.compare(0, 3, "ID3") == 0 || IsFrameSync(data, 0));

        MpegScan s = Scan(data);
        ASSERT_TRUE(IsFrameSync(data, s.audioStart)) << "no MPEG frame after the ID3 tag";
        EXPECT_TRUE(s.allMpeg1Layer3);
        // Every byte is accounted for: no truncation, no junk between frames.
        EXPECT_EQ(s.stoppedAt + s.tagBytes, data.size()) << "frame walk stopped early";
        EXPECT_EQ(s.sampleRates, std::set<int>{44100});
        EXPECT_EQ(s.bitrates, std::set<int>{128});

        double seconds = s.Seconds();
        EXPECT_GE(seconds, 20.0);
        EXPECT_LE(seconds, 40.0);
        // 128 kbit/s is 16000 bytes a second; allow a few KiB of tags.
        EXPECT_NEAR(double(data.size() - s.audioStart - s.tagBytes), seconds * 16000.0, 1000.0);
        EXPECT_LT(data.size(), 700u * 1024u);
    }
}

TEST(SongsTest, SongsDifferAndAreNotSilence) {
    std::string one = ReadAll(SongPath(1));
    std::string two = ReadAll(SongPath(2));
    ASSERT_FALSE(one.empty());
    ASSERT_FALSE(two.empty());
    EXPECT_NE(one, two);

    // A silent (or constant) stream encodes to the same few frames over and over; music
    // gives a different payload in nearly every frame.
    for (const std::string* data : {&one, &two}) {
        MpegScan s = Scan(*data);
        ASSERT_GT(s.frames, 0);
        EXPECT_GE(s.distinctPayloads, s.frames * 9 / 10);
    }
}

}  // namespace
