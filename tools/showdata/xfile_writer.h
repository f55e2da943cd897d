// Text-format X files ("xof 0302txt"): one framed mesh with normals, texture coordinates and one
// material, and optionally an animation set moving that frame.
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

struct PositionKey {
    int time;
    Vec3 position;
};

struct XFileModel {
    std::string description;  // one line, goes into the file's header comment
    std::string frameName;    // also names the mesh ("<frame>Mesh") and the set ("<frame>Motion")
    MeshData mesh;
    MaterialData material;
    // Keys of a closed (looping) linear animation of the frame; none means no animation set.
    std::vector<RotationKey> rotationKeys;
    std::vector<PositionKey> positionKeys;
};

// Reverses each face whose winding disagrees with its vertices' normals.
void OrientFaces(MeshData& mesh);
MeshData MakeCube(double half);
MeshData MakeSphere(double radius, int segments, int rings);
MeshData MakeTorus(double ringRadius, double tubeRadius, int segments, int sides);
// Keys turning `turns` times about `axis` over time 0 .. length.
std::vector<RotationKey> SpinKeys(Vec3 axis, int length, int turns);

std::string EncodeXFile(const XFileModel& model);

}  // namespace showdata
