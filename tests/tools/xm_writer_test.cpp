// The show-data generator's XM writer: FT2's layout byte for byte, packing, delta encoding,
// refusal of values out of range, and libopenmpt reading back what it wrote.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

// The generator is a program of its own; its writer is compiled in here to test it alone.
#include "tools/showdata/xm_writer.cpp"

namespace {

using namespace showdata;

uint32_t Le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t Le32(const std::vector<uint8_t>& b, size_t at) { return Le16(b, at) | Le16(b, at + 2) << 16; }
std::string Text(const std::vector<uint8_t>& b, size_t at, size_t size) { return {b.begin() + at, b.begin() + at + size}; }

// Two channels, one 2-row pattern with one note, a sampled instrument and an empty one.
XmSong SmallSong() {
    XmSong song;
    song.name = "tiny";
    song.channels = 2;
    song.orders = {0};
    song.patterns.push_back(MakeXmPattern(song, 2));
    CellAt(song.patterns[0], song, 0, 1) = {49, 1, 0x50, 0, 0};
    XmInstrument tone;
    tone.name = "tone";
    XmSample sample;
    sample.name = "saw";
    for (int i = 0; i < 100; ++i) sample.data.push_back(static_cast<int16_t>((i % 50) * 1000 - 25000));
    sample.loopStart = 0;
    sample.loopLength = 50;
    tone.samples.push_back(sample);
    tone.volumeEnvelope.points = {{0, 64}, {10, 32}};
    tone.volumeEnvelope.sustain = 1;
    song.instruments = {tone, XmInstrument{}};
    return song;
}

TEST(XmWriter, LaysOutHeaderPatternsAndInstrumentsAsFastTracker2Saves) {
    const std::vector<uint8_t> b = EncodeXm(SmallSong());
    EXPECT_EQ(Text(b, 0, 17), "Extended Module: ");
    EXPECT_EQ(Text(b, 17, 20), "tiny                ");  // space-padded
    EXPECT_EQ(b[37], 0x1A);
    EXPECT_EQ(Text(b, 38, 20), "FastTracker v2.00   ");
    EXPECT_EQ(Le16(b, 58), 0x0104u);
    EXPECT_EQ(Le32(b, 60), 276u);
    EXPECT_EQ(Le16(b, 64), 1u);  // orders
    EXPECT_EQ(Le16(b, 68), 2u);  // channels
    EXPECT_EQ(Le16(b, 70), 1u);  // patterns
    EXPECT_EQ(Le16(b, 72), 2u);  // instruments
    EXPECT_EQ(Le16(b, 74), 1u);  // linear frequencies
    EXPECT_EQ(Le16(b, 76), 6u);
    EXPECT_EQ(Le16(b, 78), 125u);

    size_t at = 336;  // 60 + header size
    EXPECT_EQ(Le32(b, at), 9u);
    EXPECT_EQ(Le16(b, at + 5), 2u);  // rows
    const uint32_t packed = Le16(b, at + 7);
    // Row 0: empty cell, then note + instrument + volume; row 1: two empty cells.
    EXPECT_EQ(packed, 1u + 4u + 2u);
    EXPECT_EQ(b[at + 9], 0x80);
    EXPECT_EQ(b[at + 10], 0x87);
    at += 9 + packed;

    EXPECT_EQ(Le32(b, at), 263u);
    EXPECT_EQ(Text(b, at + 4, 22), "tone                  ");
    EXPECT_EQ(Le16(b, at + 27), 1u);   // samples
    EXPECT_EQ(Le32(b, at + 29), 40u);  // sample header size
    EXPECT_EQ(b[at + 225], 2);         // volume points
    EXPECT_EQ(b[at + 227], 1);         // sustain point
    EXPECT_EQ(b[at + 233], 1 | 2);     // envelope on, with sustain
    const size_t sampleHeader = at + 263;
    EXPECT_EQ(Le32(b, sampleHeader), 200u);       // length in bytes: 100 16-bit frames
    EXPECT_EQ(Le32(b, sampleHeader + 8), 100u);   // loop length in bytes
    EXPECT_EQ(b[sampleHeader + 14], 0x10 | 1);    // 16-bit, forward loop
    EXPECT_EQ(b[sampleHeader + 17], 3);           // name length in the reserved byte
    EXPECT_EQ(Text(b, sampleHeader + 18, 22), "saw                   ");
    at = sampleHeader + 40 + 200;

    EXPECT_EQ(Le32(b, at), 33u);  // the empty instrument: header and sample-header size only
    EXPECT_EQ(Le16(b, at + 27), 0u);
    EXPECT_EQ(b.size(), at + 33);
}

TEST(XmWriter, PacksOnlyTheFieldsACellUses) {
    std::vector<uint8_t> out;
    AppendPackedCell(out, {});
    EXPECT_EQ(out, (std::vector<uint8_t>{0x80}));
    out.clear();
    AppendPackedCell(out, {kXmKeyOff, 0, 0, 0, 0});
    EXPECT_EQ(out, (std::vector<uint8_t>{0x81, 97}));
    out.clear();
    AppendPackedCell(out, {0, 0, 0, 8, 0x40});
    EXPECT_EQ(out, (std::vector<uint8_t>{0x98, 8, 0x40}));
    out.clear();
    // All five fields: the raw cell is shorter than a packed one.
    AppendPackedCell(out, {49, 2, 0x30, 15, 3});
    EXPECT_EQ(out, (std::vector<uint8_t>{49, 2, 0x30, 15, 3}));
}

TEST(XmWriter, DeltaEncodesSamplesWrappingAtTheirWidth) {
    XmSample eight;
    eight.sixteenBit = false;
    eight.data = {0, 127, -128, 1, -1};
    EXPECT_EQ(EncodeSampleDeltas(eight), (std::vector<uint8_t>{0x00, 0x7F, 0x01, 0x81, 0xFE}));

    XmSample sixteen;
    sixteen.data = {32767, -32768, 0, -1};
    EXPECT_EQ(EncodeSampleDeltas(sixteen), (std::vector<uint8_t>{0xFF, 0x7F, 0x01, 0x00, 0x00, 0x80, 0xFF, 0xFF}));

    // A player's running sum gets every value back.
    int16_t sum = 0;
    std::vector<uint8_t> bytes = EncodeSampleDeltas(sixteen);
    for (size_t i = 0; i < sixteen.data.size(); ++i) {
        sum = static_cast<int16_t>(sum + static_cast<int16_t>(Le16(bytes, 2 * i)));
        EXPECT_EQ(sum, sixteen.data[i]);
    }
}

TEST(XmWriter, RefusesValuesThePlayersCannotRead) {
    const struct {
        const char* what;
        void (*spoil)(XmSong&);
    } cases[] = {
        {"odd channel count", [](XmSong& s) { s.channels = 3; }},
        {"no orders", [](XmSong& s) { s.orders.clear(); }},
        {"order of a missing pattern", [](XmSong& s) { s.orders = {1}; }},
        {"restart past the end", [](XmSong& s) { s.restartPosition = 1; }},
        {"speed 0", [](XmSong& s) { s.speed = 0; }},
        {"cells not rows x channels", [](XmSong& s) { s.patterns[0].cells.pop_back(); }},
        {"note above key-off", [](XmSong& s) { s.patterns[0].cells[0].note = 98; }},
        {"missing instrument", [](XmSong& s) { s.patterns[0].cells[0].instrument = 3; }},
        {"8-bit value out of range", [](XmSong& s) {
             s.instruments[0].samples[0].sixteenBit = false;
         }},
        {"loop past the data", [](XmSong& s) { s.instruments[0].samples[0].loopStart = 60; }},
        {"envelope ticks not rising", [](XmSong& s) { s.instruments[0].volumeEnvelope.points[1].tick = 0; }},
        {"envelope value above 64", [](XmSong& s) { s.instruments[0].volumeEnvelope.points[0].value = 65; }},
        {"sustain past the points", [](XmSong& s) { s.instruments[0].volumeEnvelope.sustain = 2; }},
        {"name too long", [](XmSong& s) { s.instruments[0].name = std::string(23, 'x'); }},
        {"keymap to a missing sample", [](XmSong& s) { s.instruments[0].sampleForNote[40] = 1; }},
    };
    for (const auto& c : cases) {
        XmSong song = SmallSong();
        c.spoil(song);
        EXPECT_THROW(EncodeXm(song), std::invalid_argument) << c.what;
    }
    EXPECT_THROW(CellAt(SmallSong().patterns[0], SmallSong(), 2, 0), std::out_of_range);
}

// An empty pattern is still written with one byte per cell: a packed size of 0 would load as
// 64 rows.
TEST(XmWriter, LibopenmptReadsBackRowCountsAndPlaysTheNote) {
    XmSong song = SmallSong();
    song.patterns.push_back(MakeXmPattern(song, 32));  // empty, not 64 rows
    song.orders = {1, 0};
    const std::vector<uint8_t> bytes = EncodeXm(song);
    int error = 0;
    openmpt_module* module = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr, nullptr,
                                                                nullptr, nullptr, &error, nullptr, nullptr);
    ASSERT_NE(module, nullptr) << error;
    EXPECT_EQ(openmpt_module_get_pattern_num_rows(module, 0), 2);
    EXPECT_EQ(openmpt_module_get_pattern_num_rows(module, 1), 32);
    EXPECT_EQ(openmpt_module_get_num_instruments(module), 2);
    EXPECT_EQ(openmpt_module_get_num_samples(module), 1);
    // 34 rows at speed 6, 125 BPM: 0.12 s a row.
    EXPECT_NEAR(openmpt_module_get_duration_seconds(module), 34 * 0.12, 0.001);
    const char* tracker = openmpt_module_get_metadata(module, "tracker");
    EXPECT_NE(std::string(tracker).find("FastTracker 2"), std::string::npos) << tracker;
    openmpt_free_string(tracker);

    std::vector<int16_t> sound(2 * 48000 * 4);
    size_t frames = openmpt_module_read_interleaved_stereo(module, 48000, 48000 * 4, sound.data());
    const size_t noteStart = 48000 * 38 / 10;  // the note comes at row 32, after 3.84 s
    int peakSilence = 0, peakNote = 0;
    for (size_t i = 0; i < 2 * frames; ++i) {
        int& peak = i / 2 < noteStart ? peakSilence : peakNote;
        peak = std::max(peak, std::abs(static_cast<int>(sound[i])));
    }
    EXPECT_EQ(peakSilence, 0);
    EXPECT_GT(peakNote, 1000);
    openmpt_module_destroy(module);
}

}  // namespace
