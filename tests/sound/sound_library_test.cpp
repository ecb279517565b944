// SPDX-License-Identifier: GPL-3.0-or-later
// The SDL2_mixer sound library against SDL's disk driver: what the game plays must reach the
// output file, and no image, however broken, may crash it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "sound/sdl/SdlSoundLibrary.h"

namespace quillet {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr int kRate = 44100;  // the device's own rate, so samples reach the file unchanged

void put16(Bytes& b, unsigned v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
void append(Bytes& b, const Bytes& more) {
    for (std::uint8_t v : more) b.push_back(v);
}
void putTag(Bytes& b, const char* tag) {
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(tag[i]));
}

Bytes fmtChunk(unsigned code, unsigned channels, unsigned rate, unsigned bits) {
    Bytes b;
    putTag(b, "fmt ");
    put32(b, 16);
    put16(b, code);
    put16(b, channels);
    put32(b, rate);
    put32(b, rate * channels * bits / 8);
    put16(b, channels * bits / 8);
    put16(b, bits);
    return b;
}

Bytes chunk(const char* tag, const Bytes& body) {
    Bytes b;
    putTag(b, tag);
    put32(b, std::uint32_t(body.size()));
    append(b, body);
    if (body.size() % 2) b.push_back(0);
    return b;
}

Bytes riff(const std::vector<Bytes>& chunks) {
    Bytes body;
    putTag(body, "WAVE");
    for (const auto& c : chunks) append(body, c);
    Bytes b;
    putTag(b, "RIFF");
    put32(b, std::uint32_t(body.size()));
    append(b, body);
    return b;
}

// Stereo 16-bit at the device rate, every sample `level`.
Bytes constantWave(int level, double seconds) {
    Bytes data;
    const int frames = int(seconds * kRate);
    for (int i = 0; i < frames * 2; ++i) put16(data, unsigned(level) & 0xFFFF);
    return riff({fmtChunk(1, 2, kRate, 16), chunk("data", data)});
}

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Output samples (two per stereo frame) in `ms` milliseconds.
std::size_t ms(int ms) { return std::size_t(ms) * kRate * 2 / 1000; }
// How far the file may trail the mixer: the file's write buffer, the block being written and
// the one being mixed, with room to spare.
constexpr std::size_t kLag = 16384;

// Polls until done() holds, for at most 30 s: the device writes in real time, about half a
// second for the longest wait here, a few seconds on a busy machine.
template <class Done>
void waitFor(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done() && std::chrono::steady_clock::now() < deadline) pause(10);
}

class DiskOutput : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("quillet-sound-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".raw");
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
        device = lib.dsInitialize(0);
        ASSERT_NE(device, 0);
    }
    void TearDown() override {
        lib.dsTerminate(device);
        std::filesystem::remove(path_);
    }

    std::size_t written() const {
        std::error_code ec;
        const auto bytes = std::filesystem::file_size(path_, ec);
        return ec ? 0 : std::size_t(bytes / 2);
    }
    // Waits until the device has written `samples` more, so that the checks follow the audio
    // thread's progress however busy the machine is, not the clock.
    void runOn(std::size_t samples) {
        const std::size_t start = written();
        waitFor([&] { return written() >= start + samples; });
        ASSERT_GE(written(), start + samples) << "the audio device stopped writing";
    }

    // Everything the device has written so far, as 16-bit samples.
    std::vector<std::int16_t> output() const {
        std::ifstream in(path_, std::ios::binary);
        std::vector<char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<std::int16_t> samples(raw.size() / 2);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = std::int16_t(std::uint8_t(raw[2 * i]) | std::uint8_t(raw[2 * i + 1]) << 8);
        return samples;
    }

    std::int32_t load(const Bytes& image, std::int32_t flags) {
        return lib.dsCreateDSB(device, image.data(), image.size(), flags);
    }

    SdlSoundLibrary lib;
    std::int32_t device = 0;

private:
    std::filesystem::path path_;
};

long countOf(const std::vector<std::int16_t>& s, int v) { return long(std::count(s.begin(), s.end(), v)); }

TEST_F(DiskOutput, AnEffectPlaysOnceAndWhole) {
    const std::int32_t click = load(constantWave(8000, 0.05), 3);
    ASSERT_NE(click, 0);
    runOn(ms(50));
    EXPECT_EQ(countOf(output(), 8000), 0);
    lib.dsPlay(click);
    runOn(ms(50) + kLag);
    runOn(ms(50));  // and once is all
    const auto out = output();
    EXPECT_EQ(countOf(out, 8000), long(0.05 * kRate) * 2);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), 8000);
}

TEST_F(DiskOutput, MusicLoopsUntilStopped) {
    const std::int32_t music = load(constantWave(5000, 0.05), 1);
    ASSERT_NE(music, 0);
    lib.dsPlayLooping(music);
    lib.dsPlayLooping(music);  // already looping: carries on, not doubled
    runOn(ms(300) + kLag);
    const long looped = countOf(output(), 5000);
    EXPECT_GE(looped, long(ms(50)) * 5);  // many turns of a 50 ms buffer
    EXPECT_EQ(countOf(output(), 10000), 0);

    lib.dsStop(music);
    runOn(kLag);
    const std::size_t stoppedAt = written();
    const long sounded = countOf(output(), 5000);
    runOn(ms(100));  // the device runs on, silent
    const auto after = output();
    EXPECT_TRUE(
        std::all_of(after.begin() + long(stoppedAt), after.end(), [](std::int16_t v) { return v == 0; }));
    EXPECT_EQ(countOf(after, 5000), sounded);

    lib.dsPlayLooping(music);  // switched on again
    runOn(ms(100) + kLag);
    EXPECT_GT(countOf(output(), 5000), sounded);
}

TEST_F(DiskOutput, OverlappingEffectsSoundTogetherButMusicRestarts) {
    const std::int32_t effect = load(constantWave(4000, 0.3), 3);
    const std::int32_t music = load(constantWave(3000, 0.3), 1);
    ASSERT_NE(effect, 0);
    ASSERT_NE(music, 0);
    lib.dsPlay(effect);
    waitFor([&] { return countOf(output(), 4000) > 0; });  // the first is sounding
    lib.dsPlay(effect);
    runOn(ms(300) + kLag);
    auto out = output();
    // The first alone, both at once, then the second alone.
    const auto both = std::find(out.begin(), out.end(), 8000);
    ASSERT_NE(both, out.end());
    EXPECT_NE(std::find(out.begin(), both, 4000), both);
    EXPECT_NE(std::find(both, out.end(), 4000), out.end());

    lib.dsPlay(music);
    waitFor([&] { return countOf(output(), 3000) > 0; });
    lib.dsPlay(music);
    runOn(ms(300) + kLag);
    out = output();
    EXPECT_EQ(countOf(out, 6000), 0);
    EXPECT_GT(countOf(out, 3000), long(ms(300)));  // cut short and played again whole

    // More plays at once than there are shared channels: the oldest give way, none is refused.
    const std::size_t before = out.size();
    for (int i = 0; i < 24; ++i) lib.dsPlay(effect);
    runOn(ms(50) + kLag);
    out = output();
    const int peak = *std::max_element(out.begin() + long(before), out.end());
    EXPECT_GE(peak, 4000 * 8);
}

TEST_F(DiskOutput, HandleZeroAndUnknownHandlesDoNothing) {
    const std::int32_t click = load(constantWave(7000, 0.05), 3);
    ASSERT_NE(click, 0);
    for (std::int32_t h : {0, click + 1000, -5}) {
        lib.dsPlay(h);
        lib.dsPlayLooping(h);
        lib.dsStop(h);
        lib.dsFree(h);
    }
    lib.dsTerminate(0);
    lib.dsTerminate(device + 1);
    EXPECT_EQ(load(constantWave(7000, 0.05), 0) != 0, true);  // the device is still open
    EXPECT_EQ(lib.dsCreateDSB(0, constantWave(1, 0.01).data(), constantWave(1, 0.01).size(), 3), 0);
    EXPECT_EQ(lib.dsCreateDSB(device + 1, constantWave(1, 0.01).data(), constantWave(1, 0.01).size(), 3), 0);

    lib.dsFree(click);
    lib.dsPlay(click);  // freed: now unknown
    lib.dsPlayLooping(click);
    runOn(ms(50) + kLag);
    EXPECT_EQ(countOf(output(), 7000), 0);
}

TEST_F(DiskOutput, ARestartedDeviceGetsANewHandleAndOldOnesAreDead) {
    const std::int32_t click = load(constantWave(7000, 0.05), 3);
    ASSERT_NE(click, 0);
    lib.dsPlayLooping(click);
    lib.dsTerminate(device);  // frees the playing buffer too
    lib.dsPlay(click);
    const std::int32_t again = lib.dsInitialize(0);
    ASSERT_NE(again, 0);
    EXPECT_NE(again, device);
    EXPECT_EQ(load(constantWave(7000, 0.05), 3), 0);  // the old device handle
    device = again;
    const std::int32_t fresh = load(constantWave(7000, 0.05), 3);
    EXPECT_NE(fresh, 0);
    lib.dsStop(click);
    lib.dsFree(click);
}

TEST_F(DiskOutput, WaveFormatsThatSdlConverts) {
    Bytes pcm8, pcm24, flt;
    for (int i = 0; i < 400; ++i) {
        pcm8.push_back(std::uint8_t(128 + (i % 40) - 20));
        for (int k = 0; k < 3; ++k) pcm24.push_back(std::uint8_t(i * (k + 1)));
        const float f = float((i % 50) - 25) / 100.0f;
        std::uint32_t u;
        std::memcpy(&u, &f, 4);
        put32(flt, u);
    }
    std::vector<std::pair<const char*, Bytes>> images = {
        {"8-bit", riff({fmtChunk(1, 1, 22050, 8), chunk("data", pcm8)})},
        {"24-bit", riff({fmtChunk(1, 1, 8000, 24), chunk("data", pcm24)})},
        {"float", riff({fmtChunk(3, 1, 48000, 32), chunk("data", flt)})},
    };
    // Another chunk before the data; bytes after the file are not its own.
    Bytes withList = riff({fmtChunk(1, 1, 22050, 8), chunk("LIST", Bytes(8, 'x')), chunk("data", pcm8)});
    const std::size_t fileBytes = withList.size();
    withList.resize(fileBytes + 64, 0xEE);
    images.emplace_back("LIST chunk", withList);
    // WAVE_FORMAT_EXTENSIBLE holding 16-bit PCM.
    Bytes ext;
    putTag(ext, "fmt ");
    put32(ext, 40);
    put16(ext, 0xFFFE);
    put16(ext, 2);
    put32(ext, 22050);
    put32(ext, 22050 * 4);
    put16(ext, 4);
    put16(ext, 16);
    put16(ext, 22);
    put16(ext, 16);
    put32(ext, 3);
    append(ext, {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71});  // the PCM sub-format
    images.emplace_back("extensible", riff({ext, chunk("data", Bytes(400, 0))}));
    // Each as an effect (decoded whole) and as the music (streamed), from a copy and handed over.
    for (auto& [what, image] : images) {
        EXPECT_NE(load(image, 3), 0) << what;
        EXPECT_NE(load(image, 1), 0) << what;
        EXPECT_NE(lib.dsCreateDSBTaking(device, Bytes(image), 1), 0) << what;
    }
}

TEST_F(DiskOutput, BrokenImagesGiveNoBuffer) {
    const Bytes good = constantWave(1000, 0.01);
    ASSERT_NE(load(good, 3), 0);

    // Every truncation: the headers then claim more than the memory holds.
    for (std::size_t n = 0; n < good.size(); ++n)
        ASSERT_EQ(lib.dsCreateDSB(device, good.data(), n, 3), 0) << "truncated to " << n;
    EXPECT_EQ(lib.dsCreateDSB(device, nullptr, 0, 3), 0);
    EXPECT_EQ(lib.dsCreateDSB(device, nullptr, 100, 3), 0);

    auto patched = [&](std::size_t at, std::uint32_t v) {
        Bytes b = good;
        for (int k = 0; k < 4; ++k) b[at + k] = std::uint8_t(v >> (8 * k));
        return b;
    };
    const Bytes pcm(200, 0x10);
    const std::string text = "This is not a sound at all, only a line of text.";
    const std::vector<std::pair<const char*, Bytes>> broken = {
        {"text", Bytes(text.begin(), text.end())},
        {"Ogg", Bytes{'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"RIFF but AVI",
         [&] {
             Bytes b = good;
             std::memcpy(&b[8], "AVI ", 4);
             return b;
         }()},
        {"RIFF size past the memory", patched(4, std::uint32_t(good.size()))},
        {"RIFF size huge", patched(4, 0xFFFFFFF0u)},
        {"RIFF size too small for the chunks", patched(4, 20)},
        {"data size past the RIFF end", patched(40, std::uint32_t(good.size()))},
        {"data size huge", patched(40, 0xFFFFFFFFu)},
        {"fmt size huge", patched(16, 0x7FFFFFFFu)},
        {"no fmt", riff({chunk("data", pcm)})},
        {"data before fmt", riff({chunk("data", pcm), fmtChunk(1, 1, 22050, 16)})},
        {"no data", riff({fmtChunk(1, 1, 22050, 16)})},
        {"empty data", riff({fmtChunk(1, 1, 22050, 16), chunk("data", {})})},
        {"data shorter than one frame", riff({fmtChunk(1, 2, 22050, 16), chunk("data", Bytes(2, 0))})},
        {"short fmt", riff({chunk("fmt ", Bytes(14, 1)), chunk("data", pcm)})},
        {"ADPCM", riff({fmtChunk(2, 1, 22050, 4), chunk("data", pcm)})},
        {"12-bit", riff({fmtChunk(1, 1, 22050, 12), chunk("data", pcm)})},
        {"64-bit float", riff({fmtChunk(3, 1, 22050, 64), chunk("data", pcm)})},
        {"no channels", riff({fmtChunk(1, 0, 22050, 16), chunk("data", pcm)})},
        {"rate 0", riff({fmtChunk(1, 1, 0, 16), chunk("data", pcm)})},
        {"wrong block alignment", patched(32, 0x00100003u)},
        {"header only", riff({})},
    };
    for (const auto& [what, image] : broken)
        for (std::int32_t flags : {3, 1}) {
            EXPECT_EQ(lib.dsCreateDSB(device, image.data(), image.size(), flags), 0)
                << what << " flags " << flags;
            EXPECT_EQ(lib.dsCreateDSBTaking(device, Bytes(image), flags), 0) << what << " flags " << flags;
        }
    for (std::size_t n = 0; n < good.size(); ++n)
        ASSERT_EQ(lib.dsCreateDSBTaking(device, Bytes(good.begin(), good.begin() + long(n)), 1), 0) << n;
    // Music past 16 MiB is judged on its headers and first samples, and still refused cut short.
    const Bytes longMusic = constantWave(1000, 100);
    EXPECT_NE(lib.dsCreateDSBTaking(device, Bytes(longMusic), 1), 0);
    EXPECT_EQ(lib.dsCreateDSBTaking(device, Bytes(longMusic.begin(), longMusic.end() - 1), 1), 0);
}

// The music plays from the image it was handed (nothing else holds it), under the effects, and
// there is one music at a time.
TEST_F(DiskOutput, TheMusicStreamsFromItsImageUnderTheEffects) {
    const std::int32_t music = lib.dsCreateDSBTaking(device, constantWave(5000, 0.05), 1);
    const std::int32_t other = lib.dsCreateDSBTaking(device, constantWave(2000, 0.05), 1);
    const std::int32_t effect = load(constantWave(3000, 0.1), 3);
    ASSERT_NE(music, 0);
    ASSERT_NE(other, 0);
    ASSERT_NE(effect, 0);
    lib.dsPlayLooping(music);
    runOn(ms(100) + kLag);
    lib.dsPlay(effect);
    runOn(ms(200) + kLag);
    auto out = output();
    EXPECT_GE(countOf(out, 8000), long(ms(50)));  // the effect over the music
    EXPECT_GE(countOf(out, 5000), long(ms(100)));

    // The other music takes the stream; stopping the first then leaves it playing.
    lib.dsPlayLooping(other);
    lib.dsStop(music);
    runOn(ms(100) + kLag);
    std::size_t from = written();
    runOn(ms(100));
    out = output();
    EXPECT_EQ(countOf(std::vector<std::int16_t>(out.begin() + long(from), out.end()), 2000),
              long(out.size() - from));

    // Freed while it plays: silence, and the image goes with it.
    lib.dsFree(other);
    runOn(kLag);
    from = written();
    runOn(ms(100));
    out = output();
    EXPECT_TRUE(std::all_of(out.begin() + long(from), out.end(), [](std::int16_t v) { return v == 0; }));
    lib.dsPlayLooping(other);  // dead handle
    lib.dsPlayLooping(music);  // back on
    runOn(ms(100) + kLag);
    EXPECT_GT(countOf(output(), 5000), countOf(out, 5000));
}

// The committed sounds: 16-bit mono PCM that this library accepts, never clipped, the effects
// short and ending in silence, the music 20 to 40 s at the mixer's rate (so it is played as it is)
// and running from its last sample into its first as smoothly as between any two samples.
TEST_F(DiskOutput, TheGameSoundsAreCleanWaveFiles) {
    struct Expect {
        const char* name;
        double minSeconds, maxSeconds;
        bool loops;
    };
    const Expect files[] = {{"駒打音.wav", 0.05, 0.3, false},
                            {"禁止.wav", 0.15, 0.8, false},
                            {"その他.wav", 0.3, 2.0, false},
                            {"BGM.wav", 20.0, 40.0, true}};
    for (const Expect& e : files) {
        SCOPED_TRACE(e.name);
        std::ifstream in(std::filesystem::path(QUILLET_ASSETS_DIR) / e.name, std::ios::binary);
        const Bytes image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_GT(image.size(), 44u);
        EXPECT_LT(image.size(), 2'000'000u);
        EXPECT_NE(load(image, e.loops ? 1 : 3), 0);
        // Our generator writes the canonical 44-byte header: fmt at 12, data at 36.
        ASSERT_EQ(std::string(image.begin() + 36, image.begin() + 40), "data");
        EXPECT_EQ(image[20] | image[21] << 8, 1);   // PCM
        EXPECT_EQ(image[22] | image[23] << 8, 1);   // mono
        EXPECT_EQ(image[34] | image[35] << 8, 16);  // bits
        const int rate = int(image[24] | image[25] << 8 | image[26] << 16);
        std::vector<int> s((image.size() - 44) / 2);
        for (std::size_t i = 0; i < s.size(); ++i)
            s[i] = std::int16_t(image[44 + 2 * i] | image[45 + 2 * i] << 8);
        const double seconds = double(s.size()) / rate;
        EXPECT_GE(seconds, e.minSeconds);
        EXPECT_LE(seconds, e.maxSeconds);
        int peak = 0;
        long steps = 0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            peak = std::max(peak, std::abs(s[i]));
            if (i > 0) steps += std::abs(s[i] - s[i - 1]);
        }
        EXPECT_GT(peak, 8000);
        EXPECT_LT(peak, 32000);
        if (e.loops) {
            EXPECT_EQ(rate, kRate);
            const long meanStep = steps / long(s.size() - 1);
            EXPECT_LE(std::abs(s.front() - s.back()), 2 * meanStep);
            const int predicted = 2 * s[s.size() - 1] - s[s.size() - 2];  // where the wave was heading
            EXPECT_LE(std::abs(s.front() - predicted), meanStep / 2);
        } else {
            EXPECT_EQ(s.back(), 0);
        }
    }
}

TEST(SoundDevice, NoDriverMeansNoDeviceAndTheDummyDriverWorks) {
    SdlSoundLibrary lib;
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(lib.dsInitialize(0), 0);
    lib.dsTerminate(0);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::int32_t device = lib.dsInitialize(0);
    ASSERT_NE(device, 0);
    EXPECT_EQ(lib.dsInitialize(0), device);  // one device: opening again answers the same
    const Bytes wave = constantWave(100, 0.02);
    const std::int32_t b = lib.dsCreateDSB(device, wave.data(), wave.size(), 3);
    EXPECT_NE(b, 0);
    lib.dsPlay(b);
    // Left for the destructor to release: the buffer, the playing voice and the device.
}

}  // namespace
}  // namespace quillet
