// The three 3D segments: credits (0 ms, 20 s), baller (50 000 ms, 10 s) and scene1
// (65 000 ms, 5 s), and the scene records they show.
#pragma once

#include "scene/scene.h"

// Filled by the loading screen from "scripts\\credits.scr", "scripts\\baller.scr" and
// "scripts\\scene1.scr"; each is rendered and released by its own segment only. An empty
// record (script missing or empty) is neither rendered nor released: its segment keeps its
// timing and shows cleared frames.
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
