// Text-format X files ("xof 0302txt"): a hierarchy of frames holding meshes (normals, texture
// coordinates, inline materials) and one animation set with rotation, scale and position keys.
#pragma once

#include <string>
#include <vector>

namespace showdata {

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

struct MeshData {
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;  // one per position, unit length
    std::vector<double> u, v;   // one pair per position
    // Indices into positions. Front faces run clockwise seen from outside, as the left-handed
    // retained-mode renderer expects; OrientFaces makes them so.
    std::vector<std::vector<int>> faces;
    // Material index per face; empty means material 0 for every face.
    std::vector<int> faceMaterials;
};

struct MaterialData {
    double red = 1, green = 1, blue = 1, alpha = 1;
    double power = 0;              // specular exponent, 0 for none
    Vec3 specular, emissive;
    std::string texture;           // file name inside textures/, empty for none
};

struct RotationKey {
    int time;
    double w, x, y, z;  // unit quaternion, as the file stores it
};

struct VectorKey {  // a position or a scale
    int time;
    Vec3 value;
};

// A frame: its rest pose (scale, then translation, in the parent's space), an optional mesh
// and child frames. Names are unique in a file; the animation refers to frames by name.
struct XFrame {
    std::string name;
    Vec3 position;
    double scale = 1;
    MeshData mesh;  // no faces: the frame holds no mesh
    std::vector<MaterialData> materials;
    std::vector<XFrame> children;
};

// One frame's keys. Every list that is present should span the same first and last time.
struct XAnimation {
    std::string frame;
    std::vector<RotationKey> rotation;
    std::vector<VectorKey> scale;
    std::vector<VectorKey> position;
    bool closed = true;  // loops; otherwise holds the last key
    bool spline = false; // positions on a spline; otherwise linear
};

struct XFileModel {
    std::string description;  // one line, goes into the file's header comment
    std::vector<XFrame> frames;  // top level
    std::string animationSetName;
    std::vector<XAnimation> animations;  // none: no animation set
};

// Reverses each face whose winding disagrees with its vertices' normals.
void OrientFaces(MeshData& mesh);
MeshData MakeCube(double half);
MeshData MakeSphere(double radius, int segments, int rings);
MeshData MakeTorus(double ringRadius, double tubeRadius, int segments, int sides);
// Axis-aligned box from corner lo to corner hi, one quad a side.
void AddBox(MeshData& mesh, Vec3 lo, Vec3 hi, int material);
// A flat square of side 2 * half in the x-z plane at height y, facing up, texture repeated
// `tiles` times across.
MeshData MakeFloor(double half, double y, double tiles);
// An upright rectangle at depth z facing -z (the camera), v = 0 along its bottom edge and 1
// along its top, so a texture drawn the right way up in its file stands upright.
MeshData MakeBackdrop(double left, double right, double bottom, double top, double z);
// Keys turning `turns` times about `axis` over time 0 .. length.
std::vector<RotationKey> SpinKeys(Vec3 axis, int length, int turns);
// A quaternion turning by `angle` radians about `axis`.
RotationKey TurnKey(int time, Vec3 axis, double angle);

std::string EncodeXFile(const XFileModel& model);

}  // namespace showdata
