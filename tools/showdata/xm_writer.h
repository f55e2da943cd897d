// A song held as plain data, and its encoding as an XM module laid out the way FastTracker 2
// saves one (version 0x0104, header size 276, space-padded names), so players agree on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace showdata {

inline constexpr uint8_t kXmKeyOff = 97;  // note value of a key-off; 1..96 are C-0..B-7

struct XmCell {
    uint8_t note = 0;        // 0 none, 1..96, or kXmKeyOff
    uint8_t instrument = 0;  // 0 none, 1..128
    uint8_t volume = 0;      // volume column byte: 0 none, 0x10..0x50 set volume 0..64, ...
    uint8_t effect = 0;      // 0..35 for 0-9, A-Z
    uint8_t parameter = 0;
    bool operator==(const XmCell&) const = default;
};

struct XmPattern {
    int rows = 64;              // 1..256
    std::vector<XmCell> cells;  // rows x channels, row after row
};

struct XmEnvelope {
    struct Point {
        uint16_t tick;   // rising, 0..65535 (keep below 256 for every player)
        uint16_t value;  // 0..64
    };
    std::vector<Point> points;  // at most 12; empty means no envelope
    int sustain = -1;           // point index, or -1 for none
    int loopStart = -1, loopEnd = -1;
};

struct XmSample {
    std::string name;           // up to 22 characters
    bool sixteenBit = true;
    std::vector<int16_t> data;  // signed PCM, -32768..32767, or -128..127 when 8-bit
    uint32_t loopStart = 0;     // in sample frames
    uint32_t loopLength = 0;    // in sample frames; 0 means no loop
    bool pingPong = false;
    uint8_t volume = 64;        // 0..64
    int8_t finetune = 0;        // 1/128 semitone
    uint8_t panning = 128;      // 0..255
    int8_t relativeNote = 0;    // semitones; 0 plays C-4 at 8363 Hz
};

struct XmInstrument {
    std::string name;  // up to 22 characters
    std::vector<XmSample> samples;  // at most 16; empty makes an empty instrument
    uint8_t sampleForNote[96] = {};  // index into samples per note
    XmEnvelope volumeEnvelope, panningEnvelope;
    uint8_t vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
    uint16_t fadeout = 0;  // 0..0xFFF, volume lost per tick after key-off
};

struct XmSong {
    std::string name;  // up to 20 characters
    int channels = 8;  // even, 2..32
    std::vector<uint8_t> orders;  // pattern numbers, 1..256 entries
    int restartPosition = 0;      // below the number of orders
    bool linearFrequencies = true;
    int speed = 6;    // ticks per row, 1..31
    int tempo = 125;  // BPM, 32..255
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;  // at most 128
};

// An empty pattern of the song's channel count.
XmPattern MakeXmPattern(const XmSong& song, int rows);
XmCell& CellAt(XmPattern& pattern, const XmSong& song, int row, int channel);

// The whole file. Throws std::invalid_argument naming the first value out of range.
std::vector<uint8_t> EncodeXm(const XmSong& song);

// Pieces of the encoding, exposed for their tests.
void AppendPackedCell(std::vector<uint8_t>& out, const XmCell& cell);
// Delta-encoded sample bytes: 8-bit values one byte each, 16-bit little-endian.
std::vector<uint8_t> EncodeSampleDeltas(const XmSample& sample);

}  // namespace showdata
