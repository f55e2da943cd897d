// Writes the test XM byte by byte, as the format lays it out (little-endian fields).
#include "tests/platform/midas/test_module.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Writer {
    std::vector<uint8_t> bytes;
    void U8(int v) { bytes.push_back(static_cast<uint8_t>(v)); }
    void U16(int v) { U8(v & 0xFF), U8((v >> 8) & 0xFF); }
    void U32(uint32_t v) { U16(v & 0xFFFF), U16(v >> 16); }
    void Text(const char* s, size_t width) {
        for (size_t i = 0; i < width; i++) U8(i < strlen(s) ? s[i] : 0);
    }
    void Zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
};

constexpr int kRows = 16;
constexpr int kChannels = 2;
constexpr int kSampleLength = 64;

void WriteHeader(Writer& w) {
    w.Text("Extended Module: ", 17);
    w.Text("zelk6 test tune", 20);
    w.U8(0x1A);
    w.Text("zelk6 tests", 20);
    w.U16(0x0104);
    w.U32(276);   // header size, counted from this field: 20 bytes of fields + 256 orders
    w.U16(1);     // song length in orders
    w.U16(0);     // restart position
    w.U16(kChannels);
    w.U16(1);     // patterns
    w.U16(1);     // instruments
    w.U16(1);     // linear frequency table
    w.U16(6);     // ticks a row
    w.U16(125);   // BPM
    w.Zeros(256); // order table: pattern 0
}

// One cell: note (1..96, 97 key off), instrument, volume column, effect and its parameter.
void Cell(Writer& w, int note, int instrument, int volume, int effect, int param) {
    w.U8(note), w.U8(instrument), w.U8(volume), w.U8(effect), w.U8(param);
}

void WritePattern(Writer& w) {
    Writer data;
    for (int row = 0; row < kRows; row++) {
        // Channel 0, panned left (8xx), an arpeggio of C-4 E-4 G-4 then key off.
        if (row == 0) Cell(data, 49, 1, 0x50, 0x8, 0x30);
        else if (row == 4) Cell(data, 53, 1, 0, 0, 0);
        else if (row == 8) Cell(data, 56, 1, 0, 0, 0);
        else if (row == 12) Cell(data, 97, 0, 0, 0, 0);
        else data.U8(0x80);  // packed, empty
        // Channel 1, panned right, a quieter C-3 held throughout.
        if (row == 0) Cell(data, 37, 1, 0x40, 0x8, 0xD0);
        else data.U8(0x80);
    }
    w.U32(9);  // pattern header length
    w.U8(0);   // packing type
    w.U16(kRows);
    w.U16(static_cast<int>(data.bytes.size()));
    w.bytes.insert(w.bytes.end(), data.bytes.begin(), data.bytes.end());
}

void WriteInstrument(Writer& w) {
    w.U32(263);  // instrument header size
    w.Text("saw", 22);
    w.U8(0);
    w.U16(1);        // samples
    w.U32(40);       // sample header size
    w.Zeros(96);     // every note plays sample 0
    w.Zeros(48 + 48);  // envelope points (unused)
    w.Zeros(2 + 3 + 3 + 2);  // point counts, sustain and loop points, envelope types (off)
    w.Zeros(4);      // vibrato
    w.U16(0);        // fadeout
    w.Zeros(22);     // reserved

    w.U32(kSampleLength);
    w.U32(0);              // loop start
    w.U32(kSampleLength);  // loop length
    w.U8(64);              // volume
    w.U8(0);               // finetune
    w.U8(1);               // forward loop, 8-bit
    w.U8(128);             // panning
    w.U8(0);               // relative note
    w.U8(0);
    w.Text("saw", 22);
    // 8-bit samples stored as deltas from the previous one.
    int previous = 0;
    for (int i = 0; i < kSampleLength; i++) {
        int value = -96 + i * 3;
        w.U8((value - previous) & 0xFF);
        previous = value;
    }
}

}  // namespace

std::vector<uint8_t> MakeTestModule() {
    Writer w;
    WriteHeader(w);
    WritePattern(w);
    WriteInstrument(w);
    return w.bytes;
}

std::string MakeTempDir() {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/zelk6-midas-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    return mkdtemp(name.data()) ? std::string(name.data()) : std::string();
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f);  // an empty vector has no data
    fclose(f);
}
