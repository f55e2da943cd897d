// Turning a light or the camera to look from one point of the script at another.
#include "scene/scene.h"

namespace {

// A quarter turn, as the single-precision value the scripts were authored with.
const D3DVALUE kQuarterTurn = 1.570796f;

}  // namespace

void OrientFromPoints(IDirect3DRMFrame* frame, IDirect3DRMFrame* sceneFrame, const float* p) {
    D3DVECTOR direction = {p[3] - p[0], p[4] - p[1], p[5] - p[2]};
    // The up vector: the direction turned a quarter about the world's y axis, then that turned
    // a quarter about the direction. For a level direction it is +y; for a tilted one it is
    // not quite perpendicular, which SetOrientation accepts.
    D3DVECTOR worldUp = {0.0f, 1.0f, 0.0f};
    D3DVECTOR side;
    D3DRMVectorRotate(&side, &direction, &worldUp, kQuarterTurn);
    // Rotate normalises its axis in place: turn about a copy so the direction passed on below
    // keeps its length.
    D3DVECTOR axis = direction;
    D3DVECTOR up;
    D3DRMVectorRotate(&up, &side, &axis, kQuarterTurn);
    // Equal points give a zero direction, a vertical one an up vector parallel to it: the
    // platform then refuses the orientation and the frame keeps its old one.
    frame->SetOrientation(sceneFrame, direction.x, direction.y, direction.z, up.x, up.y, up.z);
}
