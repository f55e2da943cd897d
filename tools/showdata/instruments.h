// The module's instruments, synthesised: samples, envelopes, tuning.
#pragma once

#include "tools/showdata/xm_writer.h"

namespace showdata {

// Every sample is made for this rate: the rate at which C-4 plays a sample whose relative note
// is +24 (8363 Hz, two octaves up). Single-cycle waves are 128 samples long, so C-4 sounds
// close to middle C; each sample's finetune takes up the last few cents.
inline constexpr int kSynthRelativeNote = 24;
inline constexpr double kSynthRate = 8363.0 * 4;
inline constexpr int kCycleLength = 128;

XmInstrument MakePluck();  // plucked string, for arpeggios
XmInstrument MakeBass();   // warm looped saw
XmInstrument MakePad();    // three slightly detuned voices, slow swell
XmInstrument MakeLead();   // hollow square-ish tone with delayed vibrato
XmInstrument MakeKick();   // drums: play them at C-4
XmInstrument MakeSnare();
XmInstrument MakeHat();    // an 8-bit sample
XmInstrument MakeCrash();  // long noise wash for section starts
XmInstrument MakeBell();   // two-operator FM bell, for stabs and counter lines

}  // namespace showdata
