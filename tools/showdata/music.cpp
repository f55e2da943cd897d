// The music: a short loop in A minor (Am F C G), 125 BPM, 8 channels, written as zelkmod.xm.
// The song is the tables below; the patterns are built from them and the XM writer encodes.
#include <cstring>
#include <stdexcept>

#include "tools/showdata/instruments.h"
#include "tools/showdata/output.h"
#include "tools/showdata/showdata.h"

namespace showdata {

namespace {

// Instrument numbers as the module numbers them (the order of MakeInstruments).
enum : uint8_t { kPluck = 1, kBass, kPad, kLead, kKick, kSnare, kHat };
// What each channel plays.
enum { kDrumChannel, kHatChannel, kBassChannel, kPadChannel, kArpChannel = 6, kLeadChannel };

constexpr int kBarRows = 16;  // four beats of four rows; speed 6 at 125 BPM: 0.12 s a row
constexpr int kPatternRows = 64;
constexpr uint8_t kSetPanning = 8;  // effect 8xx

// "C-4", "F#3": note names as trackers write them; "===" is a key-off.
uint8_t Note(const char* name) {
    if (std::strcmp(name, "===") == 0) return kXmKeyOff;
    static const char kLetters[] = "C-C#D-D#E-F-F#G-G#A-A#B-";
    for (int semitone = 0; semitone < 12; ++semitone)
        if (name[0] == kLetters[semitone * 2] && name[1] == kLetters[semitone * 2 + 1])
            return static_cast<uint8_t>((name[2] - '0') * 12 + semitone + 1);
    throw std::invalid_argument(std::string("bad note name ") + name);
}

uint8_t Volume(int level) { return static_cast<uint8_t>(0x10 + level); }  // level 0..64

struct Chord {
    const char* bass;
    const char* pad[3];
    const char* arpeggio[4];
};

const Chord kProgression[4] = {
    {"A-2", {"A-3", "C-4", "E-4"}, {"A-4", "C-5", "E-5", "A-5"}},
    {"F-2", {"A-3", "C-4", "F-4"}, {"F-4", "A-4", "C-5", "F-5"}},
    {"C-3", {"G-3", "C-4", "E-4"}, {"G-4", "C-5", "E-5", "G-5"}},
    {"G-2", {"G-3", "B-3", "D-4"}, {"G-4", "B-4", "D-5", "G-5"}},
};

// Within a bar: the row, and the bass note's distance in semitones from the chord's root.
const int kBassLine[][2] = {{0, 0}, {3, 0}, {6, 12}, {8, 0}, {10, 0}, {12, 7}, {14, 12}};
const int kArpeggioOrder[8] = {0, 1, 2, 3, 2, 1, 2, 3};  // one step every two rows
const uint8_t kPadPanning[3] = {0x50, 0x80, 0xB0};

struct MelodyNote {
    int row;  // within the 64-row pattern
    const char* note;
};

const MelodyNote kMelodyA[] = {
    {0, "E-5"},  {6, "D-5"},  {12, "C-5"}, {16, "C-5"}, {20, "A-4"}, {24, "C-5"}, {28, "D-5"},
    {32, "E-5"}, {38, "G-5"}, {44, "E-5"}, {48, "D-5"}, {56, "B-4"}, {62, "==="},
};
const MelodyNote kMelodyB[] = {
    {0, "A-5"},  {4, "G-5"},  {8, "E-5"},  {12, "D-5"}, {16, "C-5"}, {22, "D-5"}, {28, "C-5"},
    {32, "G-4"}, {36, "C-5"}, {40, "E-5"}, {44, "G-5"}, {48, "D-5"}, {52, "E-5"}, {56, "D-5"},
    {60, "B-4"},
};

struct PatternPlan {
    bool drums;       // kick, snare and hats
    int firstBassBar; // bars before it have no bass
    const MelodyNote* melody;
    size_t melodyLength;
    bool fill;        // a snare roll in the last bar
};

const PatternPlan kPlans[4] = {
    {false, 2, nullptr, 0, false},  // intro: pad and arpeggio, bass joins halfway
    {true, 0, nullptr, 0, false},   // the groove
    {true, 0, kMelodyA, std::size(kMelodyA), false},
    {true, 0, kMelodyB, std::size(kMelodyB), true},
};
const uint8_t kOrders[] = {0, 1, 2, 3};
constexpr int kRestart = 1;  // the loop leaves out the intro

void Play(XmPattern& pattern, const XmSong& song, int row, int channel, uint8_t note, uint8_t instrument,
          int level) {
    XmCell& cell = CellAt(pattern, song, row, channel);
    cell.note = note;
    cell.instrument = note == kXmKeyOff ? 0 : instrument;
    cell.volume = note == kXmKeyOff ? 0 : Volume(level);
}

void AddDrums(XmPattern& pattern, const XmSong& song, int bar, bool fill) {
    const int base = bar * kBarRows;
    if (fill) {
        Play(pattern, song, base, kDrumChannel, Note("C-4"), kKick, 64);
        const int roll[] = {4, 8, 10, 12, 13, 14, 15};
        for (size_t i = 0; i < std::size(roll); ++i)
            Play(pattern, song, base + roll[i], kDrumChannel, Note("C-4"), kSnare, 34 + static_cast<int>(i) * 4);
    } else {
        for (int row : {0, 8, 10}) Play(pattern, song, base + row, kDrumChannel, Note("C-4"), kKick, 64);
        for (int row : {4, 12}) Play(pattern, song, base + row, kDrumChannel, Note("C-4"), kSnare, 52);
    }
    for (int row = 0; row < kBarRows; row += 2)
        Play(pattern, song, base + row, kHatChannel, Note("C-4"), kHat, row % 4 == 2 ? 36 : 22);
}

void AddHarmony(XmPattern& pattern, const XmSong& song, int bar, bool bass) {
    const Chord& chord = kProgression[bar];
    const int base = bar * kBarRows;
    for (int voice = 0; voice < 3; ++voice) {
        Play(pattern, song, base, kPadChannel + voice, Note(chord.pad[voice]), kPad, 30);
        XmCell& cell = CellAt(pattern, song, base, kPadChannel + voice);
        cell.effect = kSetPanning;
        cell.parameter = kPadPanning[voice];
    }
    for (int step = 0; step < 8; ++step)
        Play(pattern, song, base + step * 2, kArpChannel, Note(chord.arpeggio[kArpeggioOrder[step]]), kPluck,
             step % 2 ? 26 : 34);
    if (!bass) return;
    for (const auto& hit : kBassLine)
        Play(pattern, song, base + hit[0], kBassChannel, static_cast<uint8_t>(Note(chord.bass) + hit[1]), kBass,
             hit[0] == 0 ? 52 : 44);
}

XmPattern BuildPattern(const XmSong& song, const PatternPlan& plan) {
    XmPattern pattern = MakeXmPattern(song, kPatternRows);
    for (int bar = 0; bar < kPatternRows / kBarRows; ++bar) {
        AddHarmony(pattern, song, bar, bar >= plan.firstBassBar);
        if (plan.drums) AddDrums(pattern, song, bar, plan.fill && bar == 3);
    }
    if (!plan.drums)  // the intro's last bar brings in the hats
        for (int row = 48; row < kPatternRows; row += 2)
            Play(pattern, song, row, kHatChannel, Note("C-4"), kHat, row % 4 == 2 ? 28 : 16);
    for (size_t i = 0; i < plan.melodyLength; ++i)
        Play(pattern, song, plan.melody[i].row, kLeadChannel, Note(plan.melody[i].note), kLead, 44);
    return pattern;
}

XmSong BuildSong() {
    XmSong song;
    song.name = "zelkmod";
    song.channels = 8;
    song.speed = 6;
    song.tempo = 125;
    song.orders.assign(std::begin(kOrders), std::end(kOrders));
    song.restartPosition = kRestart;
    song.instruments = {MakePluck(), MakeBass(), MakePad(), MakeLead(), MakeKick(), MakeSnare(), MakeHat()};
    for (const PatternPlan& plan : kPlans) song.patterns.push_back(BuildPattern(song, plan));
    return song;
}

}  // namespace

void WriteMusic() { WriteOutputFile("zelkmod.xm", EncodeXm(BuildSong())); }

}  // namespace showdata
