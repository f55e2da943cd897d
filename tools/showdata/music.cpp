// The music: "zelkmod", A minor, 96 BPM, 12 channels, written as zelkmod.xm. One 64-row
// pattern lasts exactly 10 s (four bars of 2.5 s), so each pattern lines up with a stretch of
// the show: intro under the credits, a change at every effect, a break for the still picture,
// an outro under the scrollers, and a coda that loops back into the groove.
#include <cstring>
#include <iterator>
#include <stdexcept>

#include "tools/showdata/instruments.h"
#include "tools/showdata/output.h"
#include "tools/showdata/showdata.h"

namespace showdata {

namespace {

// Instrument numbers as the module numbers them (the order of BuildSong's list).
enum : uint8_t { kPluck = 1, kBass, kPad, kLead, kKick, kSnare, kHat, kCrash, kBell };
// What each channel plays; the pad takes three channels.
enum {
    kKickChannel,
    kSnareChannel,
    kHatChannel,
    kBassChannel,
    kPadChannel,
    kArpChannel = kPadChannel + 3,
    kLeadChannel,
    kEchoChannel,
    kBellChannel,
    kCrashChannel,
    kChannelCount
};

// Speed 6 at 96 BPM: a row lasts 6 x 2.5 / 96 s = 0.15625 s, a 16-row bar 2.5 s, a pattern
// 10 s.
constexpr int kSpeed = 6;
constexpr int kTempo = 96;
constexpr int kBarRows = 16;
constexpr int kPatternRows = 64;

// Effect numbers (0..35 for 0-9, A-Z).
constexpr uint8_t kArpeggio = 0x0, kPortamento = 0x3, kVibrato = 0x4, kSetPanning = 0x8, kVolumeSlide = 0xA;

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
    const char* bass;     // root, octave 2 or 3
    const char* pad[3];   // a close voicing round middle C
    const char* arp[4];   // broken upward from octave 4
    bool minor;           // for the bell's arpeggio effect
};

const Chord kAm{"A-2", {"A-3", "C-4", "E-4"}, {"A-4", "C-5", "E-5", "A-5"}, true};
const Chord kF{"F-2", {"A-3", "C-4", "F-4"}, {"F-4", "A-4", "C-5", "F-5"}, false};
const Chord kC{"C-3", {"G-3", "C-4", "E-4"}, {"G-4", "C-5", "E-5", "G-5"}, false};
const Chord kG{"G-2", {"G-3", "B-3", "D-4"}, {"G-4", "B-4", "D-5", "G-5"}, false};
const Chord kEm{"E-2", {"G-3", "B-3", "E-4"}, {"E-4", "G-4", "B-4", "E-5"}, true};
const Chord kE{"E-2", {"G#3", "B-3", "E-4"}, {"E-4", "G#4", "B-4", "E-5"}, false};

// Four chords, one a bar.
const Chord* const kHome[4] = {&kAm, &kF, &kC, &kG};
const Chord* const kLift[4] = {&kF, &kG, &kEm, &kAm};
const Chord* const kDescent[4] = {&kAm, &kG, &kF, &kE};
const Chord* const kRest[4] = {&kAm, &kAm, &kF, &kF};

struct MelodyNote {
    int row;  // within the 64-row pattern
    const char* note;
};

// Over kHome.
const MelodyNote kThemeA[] = {
    {0, "E-5"},  {6, "D-5"},  {12, "C-5"}, {16, "C-5"}, {20, "A-4"}, {24, "C-5"}, {28, "D-5"},
    {32, "E-5"}, {38, "G-5"}, {44, "E-5"}, {48, "D-5"}, {56, "B-4"}, {62, "==="},
};
const MelodyNote kThemeB[] = {
    {0, "A-5"},  {4, "G-5"},  {8, "E-5"},  {12, "D-5"}, {16, "C-5"}, {22, "D-5"}, {28, "C-5"},
    {32, "G-4"}, {36, "C-5"}, {40, "E-5"}, {44, "G-5"}, {48, "D-5"}, {52, "E-5"}, {56, "D-5"},
    {60, "B-4"},
};
// Over kLift.
const MelodyNote kThemeC[] = {
    {0, "A-5"},  {6, "G-5"},  {12, "F-5"}, {16, "G-5"}, {22, "D-5"}, {28, "B-4"},
    {32, "E-5"}, {38, "G-5"}, {44, "B-5"}, {48, "A-5"}, {54, "E-5"}, {60, "C-5"},
};
// The bell's answer in the break and the coda, over kRest.
const MelodyNote kBellLine[] = {
    {0, "E-6"}, {6, "C-6"}, {12, "A-5"}, {24, "B-5"}, {28, "C-6"},
    {32, "A-5"}, {38, "C-6"}, {44, "F-6"}, {56, "E-6"},
};

enum class Drums { kNone, kGroove, kDrive, kFourFloor };
enum class Bass { kNone, kHeld, kLine, kOctaves };
enum class Arp { kNone, kEighths, kSixteenths };

// One 10-second stretch of the song. "From bar" fields let a part enter within the pattern.
struct Section {
    const Chord* const* chords;
    Drums drums;
    int drumsFromBar;
    int drumsUntilBar;  // bars from here on have no drums (4: to the end)
    Bass bass;
    int bassFromBar;
    Arp arp;
    int arpFromBar;
    int padLevel;  // 0..64
    const MelodyNote* lead;
    size_t leadLength;
    const MelodyNote* bell;
    size_t bellLength;
    bool bellStabs;   // chord stabs on the off-beats
    bool crash;       // a crash on the first beat
    bool roll;        // a snare roll across the last bar, into the next section
};

#define MELODY(m) m, std::size(m)
#define NONE nullptr, 0

// The song in show order; each row is one pattern, 10 s.
const Section kSections[] = {
    // 0-20 s, the credits: pads swell, the bell and the arpeggio enter, the bass and a roll
    // lead into the first effect.
    {kHome, Drums::kNone, 4, 4, Bass::kNone, 4, Arp::kNone, 4, 34, NONE, MELODY(kThemeA), false, false, false},
    {kHome, Drums::kNone, 4, 4, Bass::kHeld, 0, Arp::kEighths, 0, 34, NONE, NONE, false, false, true},
    // 20 s, the wave edge: the groove starts.
    {kHome, Drums::kGroove, 0, 4, Bass::kLine, 0, Arp::kEighths, 0, 28, NONE, NONE, false, true, false},
    // 30 s, the tunnel: the theme.
    {kHome, Drums::kGroove, 0, 4, Bass::kLine, 0, Arp::kEighths, 0, 28, MELODY(kThemeA), NONE, false, true, false},
    // 40 s, the wire figure: new chords, busier arpeggio and hats.
    {kLift, Drums::kDrive, 0, 4, Bass::kLine, 0, Arp::kSixteenths, 0, 26, MELODY(kThemeC), NONE, false, true, true},
    // 50 s, the balls: four to the floor, octave bass, bell stabs.
    {kDescent, Drums::kFourFloor, 0, 4, Bass::kOctaves, 0, Arp::kSixteenths, 0, 24, NONE, NONE, true, true, false},
    // 60 s, the still picture: a break of pads and bell; 65 s, the third scene: the pulse
    // returns and a roll leads into the outro.
    {kRest, Drums::kGroove, 3, 4, Bass::kHeld, 2, Arp::kEighths, 2, 36, NONE, MELODY(kBellLine), false, true, true},
    // 70-100 s, the scrollers: the theme twice more, full band.
    {kHome, Drums::kGroove, 0, 4, Bass::kLine, 0, Arp::kEighths, 0, 28, MELODY(kThemeA), NONE, false, true, false},
    {kHome, Drums::kDrive, 0, 4, Bass::kLine, 0, Arp::kSixteenths, 0, 26, MELODY(kThemeB), NONE, true, true, false},
    {kLift, Drums::kDrive, 0, 4, Bass::kLine, 0, Arp::kSixteenths, 0, 26, MELODY(kThemeC), NONE, false, true, true},
    // 100-110 s, the coda: the pads hold, the bell answers once more, then the song loops
    // to the groove.
    {kRest, Drums::kGroove, 0, 1, Bass::kHeld, 0, Arp::kEighths, 2, 34, NONE, MELODY(kBellLine), false, true, false},
};
constexpr int kRestart = 2;  // the loop leaves out the intro

#undef MELODY
#undef NONE

struct Writer {
    const XmSong& song;
    XmPattern& pattern;

    XmCell& At(int row, int channel) { return CellAt(pattern, song, row, channel); }
    void Play(int row, int channel, uint8_t note, uint8_t instrument, int level) {
        XmCell& cell = At(row, channel);
        cell.note = note;
        cell.instrument = note == kXmKeyOff ? 0 : instrument;
        cell.volume = note == kXmKeyOff ? 0 : Volume(level);
    }
    void Effect(int row, int channel, uint8_t effect, uint8_t parameter) {
        At(row, channel).effect = effect;
        At(row, channel).parameter = parameter;
    }
};

void AddDrums(Writer& w, const Section& s, int bar) {
    const int base = bar * kBarRows;
    const uint8_t c4 = Note("C-4");
    switch (s.drums) {
        case Drums::kNone:
            return;
        case Drums::kGroove:
            for (int row : {0, 7, 10}) w.Play(base + row, kKickChannel, c4, kKick, row == 0 ? 64 : 56);
            for (int row : {4, 12}) w.Play(base + row, kSnareChannel, c4, kSnare, 50);
            for (int row = 0; row < kBarRows; row += 2) w.Play(base + row, kHatChannel, c4, kHat, row % 4 == 2 ? 36 : 22);
            return;
        case Drums::kDrive:
            for (int row : {0, 6, 10}) w.Play(base + row, kKickChannel, c4, kKick, 62);
            for (int row : {4, 12, 15}) w.Play(base + row, kSnareChannel, c4, kSnare, row == 15 ? 26 : 50);
            for (int row = 0; row < kBarRows; ++row) w.Play(base + row, kHatChannel, c4, kHat, row % 4 == 2 ? 36 : row % 2 ? 14 : 22);
            return;
        case Drums::kFourFloor:
            for (int row = 0; row < kBarRows; row += 4) w.Play(base + row, kKickChannel, c4, kKick, 64);
            for (int row : {4, 12}) w.Play(base + row, kSnareChannel, c4, kSnare, 46);
            for (int row = 0; row < kBarRows; ++row) w.Play(base + row, kHatChannel, c4, kHat, row % 4 == 2 ? 40 : row % 2 ? 12 : 20);
            return;
    }
}

// A snare roll over the whole bar, denser and louder toward the next section.
void AddRoll(Writer& w, int bar) {
    const int base = bar * kBarRows;
    const int rows[] = {0, 4, 8, 10, 12, 13, 14, 15};
    for (size_t i = 0; i < std::size(rows); ++i)
        w.Play(base + rows[i], kSnareChannel, Note("C-4"), kSnare, 24 + static_cast<int>(i) * 5);
}

void AddBass(Writer& w, const Section& s, int bar) {
    const Chord& chord = *s.chords[bar];
    const int base = bar * kBarRows;
    const uint8_t root = Note(chord.bass);
    switch (s.bass) {
        case Bass::kNone:
            return;
        case Bass::kHeld:
            w.Play(base, kBassChannel, root, kBass, 48);
            w.Play(base + 14, kBassChannel, kXmKeyOff, 0, 0);
            return;
        case Bass::kLine: {
            // Row in the bar and distance from the root in semitones.
            const int line[][2] = {{0, 0}, {3, 0}, {6, 12}, {8, 0}, {10, 0}, {12, 7}, {14, 12}};
            for (const auto& hit : line)
                w.Play(base + hit[0], kBassChannel, static_cast<uint8_t>(root + hit[1]), kBass, hit[0] == 0 ? 52 : 44);
            return;
        }
        case Bass::kOctaves:
            for (int row = 0; row < kBarRows; row += 2)
                w.Play(base + row, kBassChannel, static_cast<uint8_t>(root + (row % 4 ? 12 : 0)), kBass, row % 4 ? 40 : 50);
            return;
    }
}

void AddHarmony(Writer& w, const Section& s, int bar) {
    const Chord& chord = *s.chords[bar];
    const int base = bar * kBarRows;
    const uint8_t panning[3] = {0x50, 0x80, 0xB0};
    for (int voice = 0; voice < 3; ++voice) {
        w.Play(base, kPadChannel + voice, Note(chord.pad[voice]), kPad, s.padLevel);
        w.Effect(base, kPadChannel + voice, kSetPanning, panning[voice]);
    }
    if (s.arp != Arp::kNone && bar >= s.arpFromBar) {
        const int order[8] = {0, 1, 2, 3, 2, 1, 2, 3};
        const int step = s.arp == Arp::kSixteenths ? 1 : 2;
        for (int row = 0, k = 0; row < kBarRows; row += step, ++k)
            w.Play(base + row, kArpChannel, Note(chord.arp[order[k % 8]]), kPluck, k % 2 ? 24 : 32);
    }
    if (s.bellStabs)
        // Off-beat stabs that flick through the chord with the arpeggio effect.
        for (int row = 2; row < kBarRows; row += 4) {
            w.Play(base + row, kBellChannel, static_cast<uint8_t>(Note(chord.arp[0]) + 12), kBell, 30);
            w.Effect(base + row, kBellChannel, kArpeggio, chord.minor ? 0x37 : 0x47);
        }
}

// The lead, and its echo three rows later, quieter and on the other side.
void AddLead(Writer& w, const Section& s) {
    for (size_t i = 0; i < s.leadLength; ++i) {
        const MelodyNote& m = s.lead[i];
        const uint8_t note = Note(m.note);
        w.Play(m.row, kLeadChannel, note, kLead, 44);
        if (m.row + 3 < kPatternRows) w.Play(m.row + 3, kEchoChannel, note, kLead, 18);
        // Long notes (six rows or more) get a touch of vibrato in their second half.
        const int next = i + 1 < s.leadLength ? s.lead[i + 1].row : kPatternRows;
        if (note != kXmKeyOff && next - m.row >= 6)
            for (int row = m.row + 3; row < next; ++row) w.Effect(row, kLeadChannel, kVibrato, 0x42);
    }
    if (s.leadLength > 0) {
        w.Effect(0, kLeadChannel, kSetPanning, 0x60);
        w.Effect(s.lead[0].row + 3, kEchoChannel, kSetPanning, 0xC0);
    }
    // The theme's second note glides from the first instead of striking.
    if (s.leadLength > 1 && Note(s.lead[1].note) != kXmKeyOff) {
        XmCell& cell = w.At(s.lead[1].row, kLeadChannel);
        cell.instrument = 0;
        cell.effect = kPortamento;
        cell.parameter = 0x20;
    }
}

void AddBell(Writer& w, const Section& s) {
    for (size_t i = 0; i < s.bellLength; ++i) {
        w.Play(s.bell[i].row, kBellChannel, Note(s.bell[i].note), kBell, 40);
        // Each bell note dies away a little faster than its own envelope.
        if (s.bell[i].row + 2 < kPatternRows) w.Effect(s.bell[i].row + 2, kBellChannel, kVolumeSlide, 0x01);
    }
}

XmPattern BuildPattern(const XmSong& song, const Section& s) {
    XmPattern pattern = MakeXmPattern(song, kPatternRows);
    Writer w{song, pattern};
    for (int bar = 0; bar < kPatternRows / kBarRows; ++bar) {
        AddHarmony(w, s, bar);
        if (bar >= s.bassFromBar) AddBass(w, s, bar);
        if (bar >= s.drumsFromBar && bar < s.drumsUntilBar) AddDrums(w, s, bar);
    }
    if (s.roll) AddRoll(w, 3);
    if (s.crash) w.Play(0, kCrashChannel, Note("C-4"), kCrash, 44);
    AddLead(w, s);
    AddBell(w, s);
    return pattern;
}

XmSong BuildSong() {
    XmSong song;
    song.name = "zelkmod";
    song.channels = kChannelCount;
    song.speed = kSpeed;
    song.tempo = kTempo;
    song.restartPosition = kRestart;
    song.instruments = {MakePluck(), MakeBass(), MakePad(),   MakeLead(), MakeKick(),
                        MakeSnare(), MakeHat(),  MakeCrash(), MakeBell()};
    for (size_t i = 0; i < std::size(kSections); ++i) {
        song.patterns.push_back(BuildPattern(song, kSections[i]));
        song.orders.push_back(static_cast<uint8_t>(i));
    }
    return song;
}

}  // namespace

void WriteMusic() { WriteOutputFile("zelkmod.xm", EncodeXm(BuildSong())); }

}  // namespace showdata
