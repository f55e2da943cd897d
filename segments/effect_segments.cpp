// The three software-effect segments: wave edge, tunnel and wire figure, ten seconds each on
// the effects' segment time.
#include "app/show_state.h"
#include "display/bitmap.h"
#include "display/display.h"
#include "display/frame_buffer.h"
#include "effects/effects.h"
#include "segments/segments.h"

// The tunnel's captions and the parts of its picture.
namespace {

constexpr DWORD CaptionPeriod = 1250;  // ms a caption is shown
constexpr int CaptionCount = 3;

struct PicturePart {
    RECT source;       // in the picture
    RECT destination;  // on screen, the same size
};

void SetPart(PicturePart& part, int sl, int st, int sr, int sb, int dl, int dt, int dr, int db) {
    SetRect(&part.source, sl, st, sr, sb);
    SetRect(&part.destination, dl, dt, dr, db);
}

}  // namespace

// The product of the 32-bit count and the single-precision 0.03 is exact in double, so the
// one rounding is the cast to float.
float EffectSegmentTime(DWORD now) {
    const DWORD elapsed = now - SegmentStart;
    return static_cast<float>(static_cast<double>(elapsed) * static_cast<double>(0.03f));
}

// The wave-edge segment: ten seconds of the wave edge under "images\zuzuv.bmp", black
// transparent. A missing picture leaves the wave edge alone on screen: nothing is blitted or released.
void RunWaveEdgeSegment() {
    IDirectDrawSurface* picture = LoadBitmapSurface("images\\zuzuv.bmp", 0, 0);
    float t = 0.0f;
    while (t < 300.0f && !AbortRequested) {  // the frame whose t first reaches 300 is the last
        t = EffectSegmentTime(GetTickCount());
        if (!LockFrameBuffer()) break;
        DrawWaveEdge(static_cast<WORD*>(FrameBuffer.lpSurface), t);
        UnlockFrameBuffer();
        BlitPictureKeyed(picture, nullptr, nullptr);  // whole picture over the whole screen
        FlipDisplay();
        PumpFrame();
    }
    ReleasePicture(picture);
}

// The tunnel segment: ten seconds of the tunnel on the even rows; the odd rows show black, a
// strip of "images\life.bmp" and one of its three captions, changing every 1250 ms.
// A missing picture leaves the tunnel over black: nothing is blitted or released.
void RunTunnelSegment() {
    IDirectDrawSurface* picture = LoadBitmapSurface("images\\life.bmp", 0, 0);
    PicturePart strip, captions[CaptionCount];
    SetPart(strip, 0, 440, 400, 480, 0, 440, 400, 480);
    SetPart(captions[0], 180, 210, 400, 300, 180, 210, 400, 300);
    SetPart(captions[1], 0, 307, 614, 357, 10, 226, 624, 276);
    SetPart(captions[2], 50, 115, 560, 180, 50, 220, 560, 285);

    BYTE caption = 0;
    DWORD captionBase = 0;  // ms after SegmentStart at which the current caption began
    float t = 0.0f;
    while (t < 300.0f && !AbortRequested) {  // the frame whose t first reaches 300 is the last
        t = EffectSegmentTime(GetTickCount());
        // One step at most per frame, so a slow frame rate lets the captions fall behind.
        if (GetTickCount() - SegmentStart - captionBase > CaptionPeriod) {
            captionBase += CaptionPeriod;
            caption++;
        }
        if (caption >= CaptionCount) caption = 0;

        ClearRect(0, 0, DisplayWidth, DisplayHeight);
        BlitPicture(picture, &strip.destination, &strip.source);
        BlitPicture(picture, &captions[caption].destination, &captions[caption].source);
        if (!LockFrameBuffer()) break;
        DrawTunnel(static_cast<WORD*>(FrameBuffer.lpSurface), t);  // even rows only
        UnlockFrameBuffer();
        FlipDisplay();
        PumpFrame();
    }
    ReleasePicture(picture);
}

// The wire-figure segment: ten seconds of the figure and its shadow over the plasma. Loads
// nothing: the plasma map was built at start-up, and every frame writes every pixel.
void RunWireFigureSegment() {
    float t = 0.0f;
    while (t < 300.0f && !AbortRequested) {  // the frame whose t first reaches 300 is the last
        t = EffectSegmentTime(GetTickCount());
        if (!LockFrameBuffer()) break;
        DrawFigureFrame(static_cast<WORD*>(FrameBuffer.lpSurface), t);
        UnlockFrameBuffer();
        FlipDisplay();
        PumpFrame();
    }
}
