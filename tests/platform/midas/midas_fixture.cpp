// Shared set-up of the music library tests.
#include "tests/platform/midas/midas_fixture.h"

#include <libopenmpt/libopenmpt.h>

#include <cstdlib>
#include <filesystem>

#include "platform/midas/midas.h"
#include "platform/midas/midas_internal.h"
#include "platform/testing/hooks.h"
#include "tests/platform/midas/test_module.h"

void MidasTest::SetUp() {
    SelectHost("offscreen");
    Configure(OffscreenConfig{});
    dir = MakeTempDir();
    ASSERT_FALSE(dir.empty());
    tunePath = dir + "/tune.xm";
    tune = MakeTestModule();
    WriteBytes(tunePath, tune);
}

void MidasTest::TearDown() {
    standin::Reset();
    MIDASclose();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

void MidasTest::Configure(OffscreenConfig config) {
    MIDASstartup();  // closes what an earlier test left open, before the host forgets it
    config.onAudio = [this, test = std::this_thread::get_id()](const int16_t* samples, int frames, bool playing,
                                                               int tag) {
        pulled.insert(pulled.end(), samples, samples + 2 * frames);
        blocksPlaying.push_back(playing);
        tags.push_back(tag);
        if (std::this_thread::get_id() != test) blocksOffTestThread++;
    };
    ConfigureOffscreen(config);
    standin::Reset();
    pulled.clear();
    blocksPlaying.clear();
    tags.clear();
    blocksOffTestThread = 0;
}

void MidasTest::Frames(int n) {
    static const uint16_t pixel = 0;
    for (int i = 0; i < n; i++) ActiveHost().Present(&pixel, 1, 1, 2, false);
    OffscreenFinishAudio();  // the sound of those frames is in `pulled` when rendered ahead
}

std::vector<int16_t> MidasTest::PulledSince(size_t from) const {
    return std::vector<int16_t>(pulled.begin() + static_cast<long>(from), pulled.end());
}

std::string MidasTest::PlayingSince(size_t block) const {
    std::string marks;
    for (size_t i = block; i < blocksPlaying.size(); i++) marks += blocksPlaying[i] ? 'p' : '-';
    return marks;
}

std::vector<int16_t> RenderDirectly(const std::vector<uint8_t>& bytes, int rate, size_t frames,
                                    int repeat) {
    std::vector<int16_t> out(frames * 2, 0);
    openmpt_module* mod = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr);
    if (!mod) return out;
    openmpt_module_set_render_param(mod, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH,
                                    kMidasInterpolationTaps);
    openmpt_module_set_render_param(mod, OPENMPT_MODULE_RENDER_STEREOSEPARATION_PERCENT,
                                    kMidasStereoSeparationPercent);
    openmpt_module_ctl_set_integer(mod, "dither", kMidasDither);
    openmpt_module_set_repeat_count(mod, repeat);
    for (size_t done = 0; done < frames;) {
        size_t n = openmpt_module_read_interleaved_stereo(
            mod, rate, std::min<size_t>(4096, frames - done), out.data() + done * 2);
        if (n == 0) break;
        done += n;
    }
    openmpt_module_destroy(mod);
    return out;
}

int PeakOf(const std::vector<int16_t>& samples) {
    int peak = 0;
    for (int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}
