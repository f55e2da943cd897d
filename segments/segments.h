// The timed segments of the show. Each takes no arguments, reads SegmentStart and
// AbortRequested, and returns when its time is up, on Escape, or on its own failure.
#pragma once

#include "scene/scene.h"

// The three 3D segments: credits (0 ms, 20 s), baller (50 000 ms, 10 s) and scene1
// (65 000 ms, 5 s), and the scene records they show. The records are filled by the loading
// screen from "scripts\\credits.scr", "scripts\\baller.scr" and "scripts\\scene1.scr"; each is
// rendered and released by its own segment only. An empty record (script missing or empty) is
// neither rendered nor released: its segment keeps its timing and shows cleared frames.
extern SceneRecord CreditsRecord;
extern SceneRecord BallerRecord;
extern SceneRecord Scene1Record;

void RunCreditsSegment();
void RunBallerSegment();
// Releases SauPicture at its end, after the still-picture segment has shown it.
void RunScene1Segment();

// Render quality of the credits scene: wireframe 64 + light on 8 + Gouraud 1.
const D3DRMRENDERQUALITY kCreditsQuality =
    D3DRMFILL_WIREFRAME + D3DRMLIGHT_ON + D3DRMSHADE_GOURAUD;

// A 3D segment's time: ms since SegmentStart (unsigned, so a start still in the future wraps to
// a very large value) x scale, rounded once to single precision.
float SceneSegmentTime(float scale);

// The baller's jitter generator: linear congruential, never seeded, so the offsets are the
// same on every run. State starts at 1; each draw yields bits 16..30 of the new state.
extern DWORD BallerRandomState;
int DrawBallerRandom();  // 0..32767

// The three timed segments of the software effects: wave edge (20 s), tunnel (30 s) and
// wire figure (40 s). Each runs ten seconds of frames and returns early on Escape or on a
// failed lock.
void RunWaveEdgeSegment();
void RunTunnelSegment();
void RunWireFigureSegment();

// The effects' segment time for the tick `now`: ms since SegmentStart (unsigned, so a start
// still in the future wraps to a very large value) x 0.03, rounded once to single precision.
// 10 000 ms gives exactly 300.
float EffectSegmentTime(DWORD now);

extern IDirectDrawSurface* SauPicture;  // "images\\sau.bmp", loaded during the loading screen; may be null

void RunStillPictureSegment();
void RunScrollerSegment();

// The scroller's geometry, shared with its tests.
extern int ScrollX;  // pixels the running pass has moved, 0 .. about 1664

// A pass ends on the first frame where the strip (1024) and the screen (640) have both
// passed: 10 000 ms at 0.1664 pixels a millisecond.
constexpr int kScrollEnd = 1664;

// The strip's source rectangle and the band's destination rectangle for a scroll position;
// both have the same size, which is empty or negative at 0 and from 1664 on.
void GetScrollerRects(int scrollX, RECT* source, RECT* dest);
