// The built-in module, read by libopenmpt as the show's music library reads it, and by
// openmpt123 as an independent reader: an FT2-style XM with 8 or more channels that loads
// without complaint, lasts the show, is never silent for long and never clips.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/tools/showdata_files.h"

namespace {

constexpr int kRate = 48000;

void CollectMessage(const char* message, void* user) { static_cast<std::vector<std::string>*>(user)->push_back(message); }

struct Module {
    openmpt_module* handle = nullptr;
    std::vector<std::string> messages;  // everything the loader logged
    explicit Module(const std::vector<uint8_t>& bytes) {
        int error = 0;
        handle = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), CollectMessage, &messages, nullptr,
                                                    nullptr, &error, nullptr, nullptr);
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
    // `seconds` of 48 kHz stereo from the current position, interleaved.
    std::vector<int16_t> Render(double seconds) {
        std::vector<int16_t> out(static_cast<size_t>(seconds * kRate) * 2);
        size_t done = 0;
        while (done < out.size()) {
            const size_t want = std::min<size_t>(4800, (out.size() - done) / 2);
            const size_t got = openmpt_module_read_interleaved_stereo(handle, kRate, want, out.data() + done);
            if (got == 0) break;
            done += got * 2;
        }
        out.resize(done);
        return out;
    }
};

std::vector<uint8_t> ModuleBytes() { return showdata_test::ReadBytes(showdata_test::DataPath("zelkmod.xm")); }

TEST(ShowDataModule, LoadsWithoutWarningsAsAFastTracker2ModuleThatLastsTheShow) {
    Module module(ModuleBytes());
    ASSERT_NE(module.handle, nullptr);
    for (const std::string& message : module.messages) ADD_FAILURE() << "loader said: " << message;
    EXPECT_EQ(module.Metadata("type"), "xm");
    // The FT2 fingerprint (tracker name, header size, padding) selects FT2's own playback.
    EXPECT_NE(module.Metadata("tracker").find("FastTracker 2"), std::string::npos) << module.Metadata("tracker");
    EXPECT_EQ(module.Metadata("title"), "zelkmod");
    EXPECT_GE(openmpt_module_get_num_channels(module.handle), 8);
    EXPECT_GE(openmpt_module_get_num_instruments(module.handle), 8);
    // The show runs 100 s after the music has started; the song must not loop before that.
    EXPECT_GE(openmpt_module_get_duration_seconds(module.handle), 100.0);
}

// One pattern a stretch of the show: the music changes where the picture does (20, 30, 40,
// 50, 60 and 70 s), and the loop skips the intro.
TEST(ShowDataModule, PatternsChangeWhereTheSegmentsDo) {
    Module module(ModuleBytes());
    ASSERT_NE(module.handle, nullptr);
    for (int order = 0; order <= 10; ++order) {
        SCOPED_TRACE(order);
        // Where the pattern of each order starts, in seconds from the start of the song.
        EXPECT_NEAR(openmpt_module_set_position_order_row(module.handle, order, 0), order * 10.0, 1e-6);
    }
    EXPECT_EQ(openmpt_module_get_num_orders(module.handle), 11);
    EXPECT_DOUBLE_EQ(openmpt_module_get_duration_seconds(module.handle), 110.0);
}

// Rendered to its end: no 5-second stretch near silence, and a peak below full scale.
TEST(ShowDataModule, IsNeverSilentForFiveSecondsAndNeverClips) {
    Module module(ModuleBytes());
    ASSERT_NE(module.handle, nullptr);
    const double duration = openmpt_module_get_duration_seconds(module.handle);
    const std::vector<int16_t> pcm = module.Render(duration);
    ASSERT_GE(pcm.size(), static_cast<size_t>((duration - 1) * kRate * 2));

    // Mean square per 0.5 s block, then 5 s windows sliding by one block.
    const size_t block = kRate / 2 * 2;
    std::vector<double> power;
    int peak = 0;
    for (size_t start = 0; start + block <= pcm.size(); start += block) {
        double sum = 0;
        for (size_t i = start; i < start + block; ++i) {
            sum += static_cast<double>(pcm[i]) * pcm[i];
            peak = std::max(peak, std::abs(static_cast<int>(pcm[i])));
        }
        power.push_back(sum / block);
    }
    double quietest = 1e300;
    size_t quietestAt = 0;
    for (size_t w = 0; w + 10 <= power.size(); ++w) {
        double sum = 0;
        for (size_t k = w; k < w + 10; ++k) sum += power[k];
        const double rms = std::sqrt(sum / 10);
        if (rms < quietest) quietest = rms, quietestAt = w;
    }
    // About -40 dBFS: clearly music, not a tail of reverb or silence.
    EXPECT_GT(quietest, 330.0) << "quietest 5 s from " << quietestAt * 0.5 << " s";
    EXPECT_GT(peak, 8000) << "loud enough to carry the show";
    EXPECT_LT(peak, 32000) << "mastered below full scale";
}

// openmpt123 exits 0 even when it cannot read a file, so its report is checked instead.
TEST(ShowDataModule, Openmpt123ReadsItAsAnXmModule) {
    const std::string command = "openmpt123 --info '" + showdata_test::DataPath("zelkmod.xm") + "' 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string report;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) report += buffer;
    const int status = pclose(pipe);
    if (report.find("not found") != std::string::npos && status != 0) GTEST_SKIP() << "openmpt123 is not installed";
    EXPECT_NE(report.find("Type.......: xm"), std::string::npos) << report;
    EXPECT_NE(report.find("zelkmod"), std::string::npos) << report;
}

}  // namespace
