// The SDL host's audio device under SDL's disk driver, which writes every pulled buffer to a
// file (1 ms a buffer instead of real time): what was pulled reaches the device unchanged,
// the lock holds the pull, and the music library plays through it.
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/host/sdl/sdl_host.h"
#include "platform/midas/midas.h"
#include "tests/platform/midas/midas_fixture.h"
#include "tests/platform/midas/test_module.h"

namespace {

class SdlAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeTempDir();
        ASSERT_FALSE(dir.empty());
        rawPath = dir + "/device.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", rawPath.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "1", 1);
        // No dialog window may wait for an answer, even on a desktop.
        setenv("SDL_VIDEODRIVER", "dummy", 1);
    }
    void TearDown() override {
        SdlCloseAudio();
        SelectHost("offscreen");
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        unsetenv("SDL_DISKAUDIODELAY");
        unsetenv("SDL_VIDEODRIVER");
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    long RawBytes() const {
        struct stat info;
        return stat(rawPath.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : 0;
    }
    // Waits (at most 20 s) until the device has written `bytes`.
    bool WaitForBytes(long bytes) const {
        for (int i = 0; i < 20000 && RawBytes() < bytes; i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return RawBytes() >= bytes;
    }
    std::vector<int16_t> RawSamples() const {
        std::ifstream in(rawPath, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
        std::vector<int16_t> samples(bytes.size() / 2);
        memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }
    std::string dir, rawPath;
};

std::atomic<long> PatternFrames{0};

// Frame n is (n, ~n), so a lost, repeated or reordered buffer shows.
bool PullPattern(void*, int16_t* samples, int frames) {
    const long base = PatternFrames;
    for (int i = 0; i < frames; i++) {
        samples[2 * i] = static_cast<int16_t>(base + i);
        samples[2 * i + 1] = static_cast<int16_t>(~(base + i));
    }
    PatternFrames += frames;
    return true;
}

TEST_F(SdlAudioTest, PulledSamplesReachTheDeviceAndTheLockHoldsThePull) {
    EXPECT_EQ(SdlAudioDevices().size(), 1u);
    int rate = 0;
    std::string why;
    ASSERT_TRUE(SdlOpenAudio(-1, PullPattern, nullptr, rate, why)) << why;
    EXPECT_EQ(rate, 48000);
    ASSERT_TRUE(WaitForBytes(4 * 48000));

    SdlLockAudio();
    const long held = PatternFrames;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // ~50 buffers if not held
    EXPECT_EQ(PatternFrames, held);
    SdlUnlockAudio();
    SdlCloseAudio();

    const std::vector<int16_t> raw = RawSamples();
    const long frames = static_cast<long>(raw.size() / 2);
    const long pulledFrames = PatternFrames.load();
    EXPECT_GE(frames, 48000);
    // SDL may write a buffer of silence while the device starts and another while it closes,
    // never more; everything between is what was pulled, in order, nothing lost or repeated.
    long lead = 0;
    while (lead < frames && lead < 4096 && raw[2 * lead] == 0 && raw[2 * lead + 1] == 0) lead++;
    EXPECT_LE(frames, lead + pulledFrames + 4096);
    for (long n = 0; n + lead < frames; n++) {
        const bool pulledHere = n < pulledFrames;
        ASSERT_EQ(raw[2 * (n + lead)], pulledHere ? static_cast<int16_t>(n) : 0) << "frame " << n;
        ASSERT_EQ(raw[2 * (n + lead) + 1], pulledHere ? static_cast<int16_t>(~n) : 0) << "frame " << n;
    }
}

TEST_F(SdlAudioTest, RefusalsSayWhy) {
    int rate = 0;
    std::string why;
    EXPECT_FALSE(SdlOpenAudio(99, PullPattern, nullptr, rate, why));
    EXPECT_EQ(why, "no audio device number 99");
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_FALSE(SdlOpenAudio(-1, PullPattern, nullptr, rate, why));
    EXPECT_CONTAINS(why, "no audio: ");
    EXPECT_TRUE(SdlAudioDevices().empty());
}

// The music library on the sdl host: after the silence before play, the device receives
// exactly what libopenmpt renders on its own.
TEST_F(SdlAudioTest, MusicPlaysThroughTheDevice) {
    const std::vector<uint8_t> tune = MakeTestModule();
    const std::string tunePath = dir + "/tune.xm";
    WriteBytes(tunePath, tune);
    ASSERT_TRUE(SelectHost("sdl"));
    ASSERT_TRUE(MIDASstartup() && MIDASconfig() && MIDASinit());
    MIDASmodule module = MIDASloadModule(tunePath.c_str());
    ASSERT_NE(module, nullptr);
    const long beforePlay = RawBytes();
    MIDASmodulePlayHandle handle = MIDASplayModule(module, TRUE);
    ASSERT_NE(handle, 0u);
    // Two seconds after play; the music starts at most two buffers after beforePlay.
    ASSERT_TRUE(WaitForBytes(beforePlay + 4 * 2 * 48000));
    EXPECT_TRUE(MIDASstopModule(handle) && MIDASfreeModule(module) && MIDASclose());

    // Both start with silence of their own; compare from the first sound, one second.
    auto firstSound = [](const std::vector<int16_t>& s) {
        size_t i = 0;
        while (i < s.size() && s[i] == 0) i++;
        return i & ~size_t{1};
    };
    const std::vector<int16_t> raw = RawSamples();
    const std::vector<int16_t> direct = RenderDirectly(tune, 48000, 48000 * 2, -1);
    const size_t rawFrom = firstSound(raw), directFrom = firstSound(direct);
    ASSERT_GE(raw.size(), rawFrom + 2 * 48000);
    EXPECT_GE(rawFrom, static_cast<size_t>(beforePlay / 2));
    EXPECT_TRUE(std::equal(direct.begin() + static_cast<long>(directFrom),
                           direct.begin() + static_cast<long>(directFrom) + 2 * 48000,
                           raw.begin() + static_cast<long>(rawFrom)));
}

}  // namespace
