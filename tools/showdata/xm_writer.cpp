// XM encoding with FastTracker 2's own conventions: tracker name "FastTracker v2.00", header
// size 276, space-padded names with their length in the reserved byte, 263-byte instrument
// headers (33 for empty instruments), packed pattern cells and delta-encoded samples.
#include "tools/showdata/xm_writer.h"

#include <stdexcept>

namespace showdata {

namespace {

constexpr int kHeaderSize = 276;  // counted from offset 60: 20 bytes of fields + 256 orders
constexpr int kPatternHeaderSize = 9;
constexpr int kInstrumentHeaderSize = 263;
constexpr int kEmptyInstrumentSize = 33;
constexpr int kSampleHeaderSize = 40;

void Put8(std::vector<uint8_t>& out, uint32_t value) { out.push_back(static_cast<uint8_t>(value)); }

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    Put8(out, value);
    Put8(out, value >> 8);
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value);
    Put16(out, value >> 16);
}

void PutName(std::vector<uint8_t>& out, const std::string& name, size_t size) {
    for (size_t i = 0; i < size; ++i) Put8(out, i < name.size() ? static_cast<uint8_t>(name[i]) : ' ');
}

void Require(bool condition, const std::string& what) {
    if (!condition) throw std::invalid_argument("XM: " + what);
}

void CheckEnvelope(const XmEnvelope& envelope, const std::string& where) {
    const int count = static_cast<int>(envelope.points.size());
    Require(count <= 12, where + " has more than 12 points");
    for (int i = 0; i < count; ++i) {
        Require(envelope.points[i].value <= 64, where + " value above 64");
        Require(i == 0 || envelope.points[i].tick > envelope.points[i - 1].tick, where + " ticks do not rise");
    }
    Require(envelope.sustain < count, where + " sustain point out of range");
    Require(envelope.loopEnd < count && envelope.loopStart <= envelope.loopEnd, where + " loop out of range");
    Require((envelope.loopStart < 0) == (envelope.loopEnd < 0), where + " loop needs both ends");
}

void CheckSample(const XmSample& sample, const std::string& where) {
    Require(sample.name.size() <= 22, where + " name longer than 22");
    Require(sample.volume <= 64, where + " volume above 64");
    Require(sample.loopLength == 0 || sample.loopStart + sample.loopLength <= sample.data.size(),
            where + " loop runs past the data");
    if (!sample.sixteenBit)
        for (int16_t value : sample.data) Require(value >= -128 && value <= 127, where + " 8-bit value out of range");
}

void CheckSong(const XmSong& song) {
    Require(song.name.size() <= 20, "song name longer than 20");
    Require(song.channels >= 2 && song.channels <= 32 && song.channels % 2 == 0, "channels must be even, 2..32");
    Require(!song.orders.empty() && song.orders.size() <= 256, "1..256 orders");
    Require(song.restartPosition >= 0 && song.restartPosition < static_cast<int>(song.orders.size()),
            "restart position beyond the orders");
    Require(song.speed >= 1 && song.speed <= 31, "speed 1..31");
    Require(song.tempo >= 32 && song.tempo <= 255, "tempo 32..255");
    Require(!song.patterns.empty() && song.patterns.size() <= 256, "1..256 patterns");
    Require(song.instruments.size() <= 128, "at most 128 instruments");
    for (uint8_t order : song.orders) Require(order < song.patterns.size(), "order names a missing pattern");
    for (size_t p = 0; p < song.patterns.size(); ++p) {
        const XmPattern& pattern = song.patterns[p];
        const std::string where = "pattern " + std::to_string(p);
        Require(pattern.rows >= 1 && pattern.rows <= 256, where + " rows 1..256");
        Require(pattern.cells.size() == static_cast<size_t>(pattern.rows) * song.channels,
                where + " cell count is not rows x channels");
        for (const XmCell& cell : pattern.cells) {
            Require(cell.note <= kXmKeyOff, where + " note above key-off");
            Require(cell.instrument <= song.instruments.size(), where + " names a missing instrument");
            Require(cell.effect <= 35, where + " effect above Z");
        }
    }
    for (size_t i = 0; i < song.instruments.size(); ++i) {
        const XmInstrument& instrument = song.instruments[i];
        const std::string where = "instrument " + std::to_string(i + 1);
        Require(instrument.name.size() <= 22, where + " name longer than 22");
        Require(instrument.samples.size() <= 16, where + " has more than 16 samples");
        Require(instrument.fadeout <= 0xFFF, where + " fadeout above 0xFFF");
        Require(instrument.vibratoType <= 3, where + " vibrato type 0..3");
        for (uint8_t index : instrument.sampleForNote)
            Require(instrument.samples.empty() || index < instrument.samples.size(), where + " maps a missing sample");
        CheckEnvelope(instrument.volumeEnvelope, where + " volume envelope");
        CheckEnvelope(instrument.panningEnvelope, where + " panning envelope");
        for (size_t s = 0; s < instrument.samples.size(); ++s)
            CheckSample(instrument.samples[s], where + " sample " + std::to_string(s));
    }
}

void AppendPattern(std::vector<uint8_t>& out, const XmPattern& pattern) {
    std::vector<uint8_t> packed;
    for (const XmCell& cell : pattern.cells) AppendPackedCell(packed, cell);
    // Never 0 bytes: a packed size of 0 loads as an empty 64-row pattern whatever the row
    // count says, and an empty row still packs to one byte per channel.
    Require(packed.size() <= 0xFFFF, "pattern packs to more than 65535 bytes");
    Put32(out, kPatternHeaderSize);
    Put8(out, 0);  // packing type
    Put16(out, pattern.rows);
    Put16(out, static_cast<uint32_t>(packed.size()));
    out.insert(out.end(), packed.begin(), packed.end());
}

void AppendEnvelope(std::vector<uint8_t>& out, const XmEnvelope& envelope) {
    for (size_t i = 0; i < 12; ++i) {
        XmEnvelope::Point point = i < envelope.points.size() ? envelope.points[i] : XmEnvelope::Point{0, 0};
        Put16(out, point.tick);
        Put16(out, point.value);
    }
}

uint8_t EnvelopeType(const XmEnvelope& envelope) {
    if (envelope.points.empty()) return 0;
    return 1 | (envelope.sustain >= 0 ? 2 : 0) | (envelope.loopStart >= 0 ? 4 : 0);
}

uint8_t PointIndex(int index) { return static_cast<uint8_t>(index < 0 ? 0 : index); }

void AppendSampleHeader(std::vector<uint8_t>& out, const XmSample& sample) {
    const uint32_t bytesPerFrame = sample.sixteenBit ? 2 : 1;  // lengths are in bytes
    Put32(out, static_cast<uint32_t>(sample.data.size()) * bytesPerFrame);
    Put32(out, sample.loopLength ? sample.loopStart * bytesPerFrame : 0);
    Put32(out, sample.loopLength * bytesPerFrame);
    Put8(out, sample.volume);
    Put8(out, static_cast<uint8_t>(sample.finetune));
    uint8_t type = sample.loopLength ? (sample.pingPong ? 2 : 1) : 0;
    Put8(out, type | (sample.sixteenBit ? 0x10 : 0));
    Put8(out, sample.panning);
    Put8(out, static_cast<uint8_t>(sample.relativeNote));
    Put8(out, static_cast<uint32_t>(sample.name.size()));
    PutName(out, sample.name, 22);
}

void AppendInstrument(std::vector<uint8_t>& out, const XmInstrument& instrument) {
    const size_t start = out.size();
    Put32(out, instrument.samples.empty() ? kEmptyInstrumentSize : kInstrumentHeaderSize);
    PutName(out, instrument.name, 22);
    Put8(out, 0);  // type
    Put16(out, static_cast<uint32_t>(instrument.samples.size()));
    Put32(out, kSampleHeaderSize);
    if (instrument.samples.empty()) return;
    out.insert(out.end(), std::begin(instrument.sampleForNote), std::end(instrument.sampleForNote));
    AppendEnvelope(out, instrument.volumeEnvelope);
    AppendEnvelope(out, instrument.panningEnvelope);
    const XmEnvelope& volume = instrument.volumeEnvelope;
    const XmEnvelope& panning = instrument.panningEnvelope;
    Put8(out, static_cast<uint32_t>(volume.points.size()));
    Put8(out, static_cast<uint32_t>(panning.points.size()));
    for (const XmEnvelope* envelope : {&volume, &panning}) {
        Put8(out, PointIndex(envelope->sustain));
        Put8(out, PointIndex(envelope->loopStart));
        Put8(out, PointIndex(envelope->loopEnd));
    }
    Put8(out, EnvelopeType(volume));
    Put8(out, EnvelopeType(panning));
    Put8(out, instrument.vibratoType);
    Put8(out, instrument.vibratoSweep);
    Put8(out, instrument.vibratoDepth);
    Put8(out, instrument.vibratoRate);
    Put16(out, instrument.fadeout);
    out.resize(start + kInstrumentHeaderSize, 0);  // MIDI fields, mute flag, reserved bytes
    for (const XmSample& sample : instrument.samples) AppendSampleHeader(out, sample);
    for (const XmSample& sample : instrument.samples) {
        std::vector<uint8_t> deltas = EncodeSampleDeltas(sample);
        out.insert(out.end(), deltas.begin(), deltas.end());
    }
}

}  // namespace

XmPattern MakeXmPattern(const XmSong& song, int rows) {
    XmPattern pattern;
    pattern.rows = rows;
    pattern.cells.assign(static_cast<size_t>(rows) * song.channels, XmCell{});
    return pattern;
}

XmCell& CellAt(XmPattern& pattern, const XmSong& song, int row, int channel) {
    if (row < 0 || row >= pattern.rows || channel < 0 || channel >= song.channels)
        throw std::out_of_range("XM: cell outside the pattern");
    return pattern.cells[static_cast<size_t>(row) * song.channels + channel];
}

void AppendPackedCell(std::vector<uint8_t>& out, const XmCell& cell) {
    const uint8_t mask = (cell.note ? 1 : 0) | (cell.instrument ? 2 : 0) | (cell.volume ? 4 : 0) |
                         (cell.effect ? 8 : 0) | (cell.parameter ? 16 : 0);
    if (mask != 0x1F) Put8(out, 0x80 | mask);  // all five present: FT2 stores the raw cell
    if (cell.note) Put8(out, cell.note);
    if (cell.instrument) Put8(out, cell.instrument);
    if (cell.volume) Put8(out, cell.volume);
    if (cell.effect) Put8(out, cell.effect);
    if (cell.parameter) Put8(out, cell.parameter);
}

std::vector<uint8_t> EncodeSampleDeltas(const XmSample& sample) {
    std::vector<uint8_t> out;
    out.reserve(sample.data.size() * (sample.sixteenBit ? 2 : 1));
    int previous = 0;
    for (int16_t value : sample.data) {
        // The difference wraps at the sample's width; the player's running sum wraps back.
        uint32_t delta = static_cast<uint32_t>(value - previous);
        if (sample.sixteenBit)
            Put16(out, delta & 0xFFFF);
        else
            Put8(out, delta & 0xFF);
        previous = value;
    }
    return out;
}

std::vector<uint8_t> EncodeXm(const XmSong& song) {
    CheckSong(song);
    std::vector<uint8_t> out;
    for (char c : std::string("Extended Module: ")) Put8(out, static_cast<uint8_t>(c));
    PutName(out, song.name, 20);
    Put8(out, 0x1A);
    PutName(out, "FastTracker v2.00", 20);
    Put16(out, 0x0104);
    Put32(out, kHeaderSize);
    Put16(out, static_cast<uint32_t>(song.orders.size()));
    Put16(out, song.restartPosition);
    Put16(out, song.channels);
    Put16(out, static_cast<uint32_t>(song.patterns.size()));
    Put16(out, static_cast<uint32_t>(song.instruments.size()));
    Put16(out, song.linearFrequencies ? 1 : 0);
    Put16(out, song.speed);
    Put16(out, song.tempo);
    for (size_t i = 0; i < 256; ++i) Put8(out, i < song.orders.size() ? song.orders[i] : 0);
    for (const XmPattern& pattern : song.patterns) AppendPattern(out, pattern);
    for (const XmInstrument& instrument : song.instruments) AppendInstrument(out, instrument);
    return out;
}

}  // namespace showdata
