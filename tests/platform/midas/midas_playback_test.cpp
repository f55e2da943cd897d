// Playing through the offscreen host's device: silence before play and after stop, the
// module's own samples in between (bit for bit what libopenmpt renders on its own), handles
// checked, "No sound" when the machine has no device, and each call made to fail.
#include <unistd.h>

#include <functional>
#include <string>

#include "platform/midas/midas.h"
#include "platform/midas/midas_internal.h"
#include "platform/testing/hooks.h"
#include "tests/platform/midas/midas_fixture.h"

namespace {

std::string LastErrorText() { return MIDASgetErrorMessage(MIDASgetLastError()); }

bool StartLibrary() { return MIDASconfig() && MIDASinit(); }

TEST_F(MidasTest, PlaysTheModuleBitForBitBetweenSilences) {
    ASSERT_TRUE(StartLibrary());
    EXPECT_EQ(MidasOutputRate(), 48000);
    MIDASmodule module = MIDASloadModule(tunePath.c_str());
    ASSERT_NE(module, nullptr) << LastErrorText();

    Frames(10);
    ASSERT_EQ(pulled.size(), 2u * 48 * 166);  // ten frames end on tick 166: 166 ms pulled, all before play
    EXPECT_EQ(PeakOf(pulled), 0);
    EXPECT_EQ(PlayingSince(0), "----------");  // a block a frame, each saying nothing played

    MIDASmodulePlayHandle handle = MIDASplayModule(module, TRUE);
    ASSERT_NE(handle, 0u) << LastErrorText();
    const size_t playedFrom = pulled.size(), playedBlock = blocksPlaying.size();
    Frames(60);
    std::vector<int16_t> music = PulledSince(playedFrom);
    ASSERT_EQ(music.size(), 2u * 48000);
    EXPECT_GT(PeakOf(music), 1000);
    EXPECT_TRUE(music == RenderDirectly(tune, 48000, 48000, -1));
    EXPECT_EQ(PlayingSince(playedBlock), std::string(60, 'p'));

    EXPECT_TRUE(MIDASpoll());
    EXPECT_TRUE(MIDASstopModule(handle));
    const size_t stoppedAt = pulled.size(), stoppedBlock = blocksPlaying.size();
    Frames(10);
    EXPECT_GT(pulled.size(), stoppedAt);
    EXPECT_EQ(PeakOf(PulledSince(stoppedAt)), 0);
    EXPECT_EQ(PlayingSince(stoppedBlock), std::string(10, '-'));

    // Played again, it starts from the beginning.
    ASSERT_NE(MIDASplayModule(module, TRUE), 0u);
    const size_t replayedFrom = pulled.size();
    Frames(30);
    EXPECT_TRUE(PulledSince(replayedFrom) == RenderDirectly(tune, 48000, 24000, -1));
    EXPECT_TRUE(MIDASfreeModule(module));
    EXPECT_TRUE(MIDASclose());
}

// Looped, the song goes on past its end; once, it ends in silence. Either way at the rate the
// device chose.
TEST_F(MidasTest, LoopFlagAndDeviceRate) {
    OffscreenConfig config;
    config.audioRate = 44100;
    Configure(config);
    ASSERT_TRUE(StartLibrary());
    EXPECT_EQ(MidasOutputRate(), 44100);
    MIDASmodule module = MIDASloadModule(tunePath.c_str());
    ASSERT_NE(module, nullptr) << LastErrorText();
    const size_t seconds25 = 44100 * 5 / 2;      // 2.5 s, past the 1.92 s song
    const size_t tailFrom = 2u * 44100 * 23 / 10;  // the last 0.2 s
    for (BOOL loop : {TRUE, FALSE}) {
        SCOPED_TRACE(loop ? "looped" : "once");
        MIDASmodulePlayHandle handle = MIDASplayModule(module, loop);
        ASSERT_NE(handle, 0u);
        const size_t from = pulled.size();
        Frames(150);
        std::vector<int16_t> music = PulledSince(from);
        ASSERT_EQ(music.size(), 2 * seconds25);
        EXPECT_TRUE(music == RenderDirectly(tune, 44100, seconds25, loop ? -1 : 0));
        const int tailPeak = PeakOf({music.begin() + static_cast<long>(tailFrom), music.end()});
        if (loop) EXPECT_GT(tailPeak, 1000);
        else EXPECT_EQ(tailPeak, 0);
        EXPECT_TRUE(blocksPlaying.back());  // a finished song still plays, as silence, until stopped
        EXPECT_TRUE(MIDASstopModule(handle));
    }
    EXPECT_TRUE(MIDASfreeModule(module));
}

// The capture tool renders the sound on a thread of its own while the show draws on. It must
// hear exactly what the show's thread would have rendered: the same blocks with the same tags,
// each saying alike whether music played, across a play, a stop, a replay that runs past the
// song's end, a module freed as it plays and the device closed.
TEST_F(MidasTest, SoundRenderedAheadIsTheSameBlockForBlock) {
    struct Heard {
        std::vector<int16_t> samples;
        std::vector<int> tags;
        std::string playing;
        long framesPulled;
        int offThread;
    };
    // Frames presented without waiting for their sound, as the show presents them.
    auto present = [](int n) {
        static const uint16_t pixel = 0;
        for (int i = 0; i < n; i++) ActiveHost().Present(&pixel, 1, 1, 2, false);
    };
    auto listen = [&](bool ahead) {
        OffscreenConfig config;
        config.audioAhead = ahead;
        config.audioTag = [] { return static_cast<int>(OffscreenFramesPresented()); };
        Configure(config);
        EXPECT_TRUE(StartLibrary());
        MIDASmodule module = MIDASloadModule(tunePath.c_str());
        EXPECT_NE(module, nullptr) << LastErrorText();
        present(3);
        MIDASmodulePlayHandle handle = MIDASplayModule(module, TRUE);
        present(20);
        EXPECT_TRUE(MIDASstopModule(handle));
        present(2);
        EXPECT_NE(MIDASplayModule(module, FALSE), 0u);
        present(130);  // past the 1.92 s song
        EXPECT_TRUE(MIDASfreeModule(module));
        present(2);
        EXPECT_TRUE(MIDASclose());
        return Heard{pulled, tags, PlayingSince(0), OffscreenAudioFramesPulled(), blocksOffTestThread};
    };
    const Heard onShowThread = listen(false), renderedAhead = listen(true);
    EXPECT_EQ(onShowThread.offThread, 0);
    EXPECT_EQ(renderedAhead.offThread, static_cast<int>(renderedAhead.tags.size()));
    EXPECT_EQ(renderedAhead.framesPulled, onShowThread.framesPulled);
    EXPECT_EQ(renderedAhead.tags, onShowThread.tags);
    EXPECT_EQ(renderedAhead.playing, onShowThread.playing);
    EXPECT_NE(onShowThread.playing.find("-p"), std::string::npos);
    EXPECT_NE(onShowThread.playing.find("p-"), std::string::npos);
    EXPECT_GT(PeakOf(renderedAhead.samples), 1000);
    EXPECT_TRUE(renderedAhead.samples == onShowThread.samples);
}

TEST_F(MidasTest, HandlesAreChecked) {
    EXPECT_EQ(MIDASplayModule(nullptr, TRUE), 0u);  // before MIDASinit
    EXPECT_CONTAINS(LastErrorText(), "not initialized");
    ASSERT_TRUE(StartLibrary());
    MIDASmodule first = MIDASloadModule(tunePath.c_str());
    MIDASmodule second = MIDASloadModule(tunePath.c_str());
    ASSERT_TRUE(first && second);
    EXPECT_EQ(standin::LiveObjects("MIDASmodule"), 2);

    MIDASmodulePlayHandle a = MIDASplayModule(first, TRUE);
    MIDASmodulePlayHandle b = MIDASplayModule(second, TRUE);  // replaces the first
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    EXPECT_FALSE(MIDASstopModule(a));
    EXPECT_CONTAINS(LastErrorText(), "play handle " + std::to_string(a) + " is not playing");
    EXPECT_FALSE(MIDASstopModule(0));

    // Freeing the playing module stops it: silence, and its handle is gone.
    Frames(5);
    EXPECT_TRUE(MIDASfreeModule(second));
    const size_t freedAt = pulled.size(), freedBlock = blocksPlaying.size();
    Frames(5);
    EXPECT_EQ(PeakOf(PulledSince(freedAt)), 0);
    EXPECT_EQ(PlayingSince(freedBlock), "-----");
    EXPECT_FALSE(MIDASstopModule(b));
    EXPECT_FALSE(MIDASfreeModule(second));
    EXPECT_CONTAINS(LastErrorText(), "not a loaded module");
    EXPECT_EQ(MIDASplayModule(second, TRUE), 0u);
    EXPECT_FALSE(MIDASfreeModule(nullptr));

    // Closing frees what is still loaded.
    EXPECT_EQ(standin::LiveObjects("MIDASmodule"), 1);
    EXPECT_TRUE(MIDASclose());
    EXPECT_EQ(standin::LiveObjects("MIDASmodule"), 0);
    EXPECT_EQ(MidasOutputRate(), 0);
}

// A machine without sound plays the show silently: every call succeeds, nothing is pulled.
TEST_F(MidasTest, NoSoundWhenTheMachineHasNoDevice) {
    OffscreenConfig config;
    config.audioAvailable = false;
    Configure(config);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(MIDASconfig());
    EXPECT_CONTAINS(testing::internal::GetCapturedStderr(), "no sound: ");
    EXPECT_EQ(MidasOutputDevice(), kMidasNoSound);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(MIDASinit());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // already said once
    MIDASmodule module = MIDASloadModule(tunePath.c_str());
    ASSERT_NE(module, nullptr);
    MIDASmodulePlayHandle handle = MIDASplayModule(module, TRUE);
    ASSERT_NE(handle, 0u);
    Frames(10);
    EXPECT_EQ(OffscreenAudioFramesPulled(), 0);
    EXPECT_TRUE(MIDASstopModule(handle));
    EXPECT_TRUE(MIDASfreeModule(module));
    EXPECT_TRUE(MIDASclose());
}

// The set-up found a device, but by MIDASinit it cannot be opened: the show goes on silent.
TEST_F(MidasTest, DeviceLostAfterSetUpFallsBackToNoSound) {
    ASSERT_TRUE(MIDASconfig());
    EXPECT_EQ(MidasOutputDevice(), kMidasDefaultDevice);
    OffscreenConfig config;
    config.audioAvailable = false;
    ConfigureOffscreen(config);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(MIDASinit());
    EXPECT_CONTAINS(testing::internal::GetCapturedStderr(), "no sound: ");
    EXPECT_EQ(MidasOutputRate(), 0);
    MIDASmodule module = MIDASloadModule(tunePath.c_str());
    EXPECT_NE(MIDASplayModule(module, TRUE), 0u);
}

// Each call, made to fail once, returns 0 with a text naming it; the retry succeeds.
TEST_F(MidasTest, EachCallCanBeMadeToFail) {
    MIDASmodule module = nullptr;
    MIDASmodulePlayHandle handle = 0;
    const std::vector<std::pair<const char*, std::function<bool()>>> run = {
        {"MIDASstartup", [] { return MIDASstartup() != 0; }},
        {"MIDASsetOption", [] { return MIDASsetOption(MIDAS_OPTION_DSOUND_MODE, 0) != 0; }},
        {"MIDASconfig", [] { return MIDASconfig() != 0; }},
        {"MIDASinit", [] { return MIDASinit() != 0; }},
        {"MIDASloadModule", [&] { return (module = MIDASloadModule(tunePath.c_str())) != nullptr; }},
        {"MIDASplayModule", [&] { return (handle = MIDASplayModule(module, TRUE)) != 0; }},
        {"MIDASpoll", [] { return MIDASpoll() != 0; }},
        {"MIDASstopModule", [&] { return MIDASstopModule(handle) != 0; }},
        {"MIDASfreeModule", [&] { return MIDASfreeModule(module) != 0; }},
        {"MIDASclose", [] { return MIDASclose() != 0; }},
    };
    for (const auto& [failing, unused] : run) {
        SCOPED_TRACE(failing);
        standin::FailCall(failing, 1);
        for (const auto& [name, call] : run) {
            if (name == std::string(failing)) {
                EXPECT_FALSE(call());
                EXPECT_NE(MIDASgetLastError(), 0);
                EXPECT_CONTAINS(LastErrorText(), std::string(name) + " failed");
            }
            EXPECT_TRUE(call()) << name << ": " << LastErrorText();
        }
        EXPECT_EQ(standin::LiveObjects("MIDASmodule"), 0);
    }
}

// The show's own module, when the build has written it.
TEST_F(MidasTest, BuiltInModulePlays) {
    const std::string path = std::string(ZELK6_BUILTIN_DATA) + "/zelkmod.xm";
    if (access(path.c_str(), R_OK) != 0) GTEST_SKIP() << path << " has not been written yet";
    ASSERT_TRUE(StartLibrary());
    MIDASmodule module = MIDASloadModule(path.c_str());
    ASSERT_NE(module, nullptr) << LastErrorText();
    ASSERT_NE(MIDASplayModule(module, TRUE), 0u);
    Frames(120);
    EXPECT_GT(PeakOf(pulled), 1000);
}

}  // namespace
