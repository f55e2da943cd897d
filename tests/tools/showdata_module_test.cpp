// The built-in module, read by libopenmpt as the show's music library reads it: an FT2-style
// XM with 8 channels that plays audible music from its first second and keeps playing.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <cstdlib>
#include <string>

#include "tests/tools/showdata_files.h"

namespace {

struct Module {
    openmpt_module* handle = nullptr;
    explicit Module(const std::vector<uint8_t>& bytes) {
        int error = 0;
        handle = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr, nullptr, nullptr, nullptr,
                                                    &error, nullptr, nullptr);
    }
    ~Module() {
        if (handle) openmpt_module_destroy(handle);
    }
    std::string Metadata(const char* key) const {
        const char* text = openmpt_module_get_metadata(handle, key);
        std::string copy = text ? text : "";
        openmpt_free_string(text);
        return copy;
    }
    // Peak of `seconds` of 48 kHz stereo from the current position.
    int Peak(double seconds) {
        std::vector<int16_t> buffer(2 * 4800);
        int peak = 0;
        for (int block = 0; block < seconds * 10; ++block) {
            size_t frames = openmpt_module_read_interleaved_stereo(handle, 48000, 4800, buffer.data());
            for (size_t i = 0; i < 2 * frames; ++i) peak = std::max(peak, std::abs(static_cast<int>(buffer[i])));
        }
        return peak;
    }
};

TEST(ShowDataModule, LoadsAsAFastTracker2ModuleWithEightChannels) {
    Module module(showdata_test::ReadBytes(showdata_test::DataPath("zelkmod.xm")));
    ASSERT_NE(module.handle, nullptr);
    EXPECT_EQ(module.Metadata("type"), "xm");
    // The FT2 fingerprint (tracker name, header size, padding) selects FT2's own playback.
    EXPECT_NE(module.Metadata("tracker").find("FastTracker 2"), std::string::npos) << module.Metadata("tracker");
    EXPECT_EQ(module.Metadata("title"), "zelkmod");
    EXPECT_GE(openmpt_module_get_num_channels(module.handle), 8);
    EXPECT_GE(openmpt_module_get_num_instruments(module.handle), 2);
    EXPECT_GE(openmpt_module_get_num_patterns(module.handle), 2);
    EXPECT_GT(openmpt_module_get_duration_seconds(module.handle), 10.0);
}

TEST(ShowDataModule, PlaysAudibleMusicThatNeverClips) {
    Module module(showdata_test::ReadBytes(showdata_test::DataPath("zelkmod.xm")));
    ASSERT_NE(module.handle, nullptr);
    const int opening = module.Peak(1.0);
    EXPECT_GT(opening, 2000) << "the first second must be heard";
    // The rest of the song, to its end: loud enough, never at full scale.
    const int rest = module.Peak(openmpt_module_get_duration_seconds(module.handle));
    EXPECT_GT(rest, 6000);
    EXPECT_LT(rest, 32000);
}

}  // namespace
