// Scene set-up shared by the X-file and scene-script fuzz targets: the folder the scenes read
// from, and drawing and giving back a built scene.
#pragma once

#include "scene/scene.h"

// The viewport the fuzzed scenes are built with. The show's is 639 x 479; a smaller one takes
// the same transform, clipping and rasterizing steps at a fraction of the pixels, so the
// fuzzer runs many more inputs.
const DWORD kFuzzViewportWidth = 160;
const DWORD kFuzzViewportHeight = 120;

// Writes, once, the files a scene may name besides the fuzzed one: a small textured box X file
// as models\credits.x, models\baller.x and models\scene1.x (the names the show's scripts use),
// and small textures under the names the show's X files use.
void WriteSceneFolder();

// Draws the scene once, as a 3D segment does, when it has anything to draw, then gives back
// everything the record holds, the viewport too (the show keeps viewports to the end; here
// they would pile up).
void RenderAndReleaseScene(const SceneRecord& record, D3DVALUE time);
