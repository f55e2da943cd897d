// Stand-in-internal controls of the music library: the output device the set-up chose and the
// render settings. For the files of platform/midas and their tests; the show never includes
// this.
#pragma once

#include <cstdint>

// Output devices are indices into ActiveHost().AudioDevices(), or one of these.
constexpr int kMidasDefaultDevice = -1;
constexpr int kMidasNoSound = -2;

// The device MIDASinit opens. MIDASstartup resets it to the default device; MIDASconfig
// sets it to the default device, or to "No sound" when the host cannot open one.
void MidasSetOutputDevice(int device);
int MidasOutputDevice();

// The frames per second the open device pulls; 0 while no device is open (also "No sound").
int MidasOutputRate();

// Render settings of every loaded module. 8-tap windowed sinc is libopenmpt's best filter
// and costs little at 48 kHz; 100 % separation plays the module's panning as written (XM
// panning is deliberate, not hard Amiga left/right); no dither, so the same module renders
// the same samples on every run and captures can be compared bit for bit.
constexpr int32_t kMidasInterpolationTaps = 8;
constexpr int32_t kMidasStereoSeparationPercent = 100;
constexpr int64_t kMidasDither = 0;  // the "dither" ctl: an integer, set as one
