// The three 3D scenes as data: each builder returns the model its X file is written from.
#pragma once

#include "tools/showdata/image.h"
#include "tools/showdata/xfile_writer.h"

namespace showdata {

// Animation time runs 0 .. 300 in the credits and baller segments and 0 .. 600 in the third
// scene (its segment plays the animation four times as fast).
inline constexpr int kCreditsLength = 300;
inline constexpr int kBallerLength = 300;
inline constexpr int kStageLength = 600;

XFileModel CreditsModel();  // block-letter credits for a lit wireframe
XFileModel BallerModel();   // shiny balls bouncing on a carousel over a floor
XFileModel StageModel();    // a tiled cube with two moons, textured

// Textures (64 or 128 pixels square), named as the models name them.
Image BallTexture();   // ball.bmp
Image TilesTexture();  // tiles.bmp
Image FloorTexture();  // floor.bmp
Image MoonTexture();   // moon.bmp
Image SunsetTexture(); // sunset.bmp, 256 x 128

}  // namespace showdata
