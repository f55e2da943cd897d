// The parts of the built-in show data; each writes its files under OutputRoot (output.h).
#pragma once

namespace showdata {

// images/*.bmp: the loading screen, overlays, captions, the still picture, scroller strips.
void WritePictures();
// images/screen1tex.raw: the tunnel's 256 x 256 RGB texture.
void WriteTunnelTexture();
// scripts/*.scr, the X files they name and the textures those name.
void WriteScenes();
// zelkmod.xm: the music module.
void WriteMusic();

}  // namespace showdata
