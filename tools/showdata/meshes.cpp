// Geometry of the scenes' meshes: cube, box, floor, sphere, torus, with normals and texture
// coordinates, and the keys of a steady spin.
#include <algorithm>
#include <cmath>

#include "tools/showdata/xfile_writer.h"

namespace showdata {

namespace {

constexpr double kPi = 3.14159265358979323846;

Vec3 Sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 Normalised(Vec3 a) {
    double length = std::sqrt(Dot(a, a));
    return length > 0 ? Vec3{a.x / length, a.y / length, a.z / length} : Vec3{0, 1, 0};
}

void AddVertex(MeshData& mesh, Vec3 position, Vec3 normal, double u, double v) {
    mesh.positions.push_back(position);
    mesh.normals.push_back(Normalised(normal));
    mesh.u.push_back(u);
    mesh.v.push_back(v);
}

// A (rows+1) x (columns+1) grid of vertices, (row, column) at row * (columns + 1) + column,
// made into quads; rows whose vertices all coincide (a sphere's poles) get triangles instead.
void AddGridFaces(MeshData& mesh, int rows, int columns, bool firstRowIsPoint, bool lastRowIsPoint) {
    auto at = [&](int row, int column) { return row * (columns + 1) + column; };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            int a = at(r, c), b = at(r, c + 1), d = at(r + 1, c), e = at(r + 1, c + 1);
            if (r == 0 && firstRowIsPoint)
                mesh.faces.push_back({a, e, d});
            else if (r == rows - 1 && lastRowIsPoint)
                mesh.faces.push_back({a, b, d});
            else
                mesh.faces.push_back({a, b, e, d});
        }
}

}  // namespace

void OrientFaces(MeshData& mesh) {
    for (auto& face : mesh.faces) {
        Vec3 p0 = mesh.positions[face[0]], p1 = mesh.positions[face[1]], p2 = mesh.positions[face[2]];
        // (p1 - p0) x (p2 - p0) points toward a viewer who sees the face clockwise in a
        // left-handed space, so it must point along the outward normals.
        Vec3 winding = Cross(Sub(p1, p0), Sub(p2, p0));
        Vec3 outward{};
        for (int index : face) {
            outward.x += mesh.normals[index].x;
            outward.y += mesh.normals[index].y;
            outward.z += mesh.normals[index].z;
        }
        if (Dot(winding, outward) < 0) std::reverse(face.begin() + 1, face.end());
    }
}

namespace {

// One quad per side of the box (lo, hi); uv spans each side once.
void AddBoxSides(MeshData& mesh, Vec3 lo, Vec3 hi, int material) {
    const Vec3 centre{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
    const Vec3 half{(hi.x - lo.x) / 2, (hi.y - lo.y) / 2, (hi.z - lo.z) / 2};
    // Each side: its normal and two axes spanning it.
    const Vec3 sides[6][3] = {
        {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}}, {{0, 0, 1}, {-1, 0, 0}, {0, 1, 0}},
        {{-1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}},
    };
    const double corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const auto& side : sides) {
        int first = static_cast<int>(mesh.positions.size());
        for (const auto& corner : corners) {
            Vec3 p{centre.x + (side[0].x + corner[0] * side[1].x + corner[1] * side[2].x) * half.x,
                   centre.y + (side[0].y + corner[0] * side[1].y + corner[1] * side[2].y) * half.y,
                   centre.z + (side[0].z + corner[0] * side[1].z + corner[1] * side[2].z) * half.z};
            AddVertex(mesh, p, side[0], (corner[0] + 1) / 2, (corner[1] + 1) / 2);
        }
        mesh.faces.push_back({first, first + 1, first + 2, first + 3});
        mesh.faceMaterials.push_back(material);
    }
}

}  // namespace

void AddBox(MeshData& mesh, Vec3 lo, Vec3 hi, int material) {
    MeshData box;
    AddBoxSides(box, lo, hi, material);
    OrientFaces(box);
    const int base = static_cast<int>(mesh.positions.size());
    for (size_t i = 0; i < box.positions.size(); ++i)
        AddVertex(mesh, box.positions[i], box.normals[i], box.u[i], box.v[i]);
    for (auto face : box.faces) {
        for (int& index : face) index += base;
        mesh.faces.push_back(face);
        mesh.faceMaterials.push_back(material);
    }
}

MeshData MakeCube(double half) {
    MeshData mesh;
    AddBox(mesh, {-half, -half, -half}, {half, half, half}, 0);
    return mesh;
}

MeshData MakeFloor(double half, double y, double tiles) {
    MeshData mesh;
    const double corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const auto& corner : corners)
        AddVertex(mesh, {corner[0] * half, y, corner[1] * half}, {0, 1, 0}, (corner[0] + 1) / 2 * tiles,
                  (corner[1] + 1) / 2 * tiles);
    mesh.faces.push_back({0, 1, 2, 3});
    OrientFaces(mesh);
    return mesh;
}

MeshData MakeSphere(double radius, int segments, int rings) {
    MeshData mesh;
    for (int r = 0; r <= rings; ++r) {
        double polar = kPi * r / rings;  // 0 at the top
        for (int s = 0; s <= segments; ++s) {
            double around = 2 * kPi * s / segments;
            Vec3 n{std::sin(polar) * std::cos(around), std::cos(polar), std::sin(polar) * std::sin(around)};
            AddVertex(mesh, {n.x * radius, n.y * radius, n.z * radius}, n,
                      static_cast<double>(s) / segments, static_cast<double>(r) / rings);
        }
    }
    AddGridFaces(mesh, rings, segments, true, true);
    OrientFaces(mesh);
    return mesh;
}

MeshData MakeTorus(double ringRadius, double tubeRadius, int segments, int sides) {
    MeshData mesh;  // the ring lies in the x-y plane, facing a camera on the z axis
    for (int i = 0; i <= segments; ++i) {
        double a = 2 * kPi * i / segments;
        for (int j = 0; j <= sides; ++j) {
            double b = 2 * kPi * j / sides;
            Vec3 n{std::cos(b) * std::cos(a), std::cos(b) * std::sin(a), std::sin(b)};
            double reach = ringRadius + tubeRadius * std::cos(b);
            AddVertex(mesh, {reach * std::cos(a), reach * std::sin(a), tubeRadius * std::sin(b)}, n,
                      static_cast<double>(i) / segments, static_cast<double>(j) / sides);
        }
    }
    AddGridFaces(mesh, segments, sides, false, false);
    OrientFaces(mesh);
    return mesh;
}

RotationKey TurnKey(int time, Vec3 axis, double angle) {
    Vec3 n = Normalised(axis);
    double s = std::sin(angle / 2);
    return {time, std::cos(angle / 2), n.x * s, n.y * s, n.z * s};
}

MeshData MakeBackdrop(double left, double right, double bottom, double top, double z) {
    MeshData mesh;
    // v runs from the bottom edge up, kept just inside 0..1 so no edge samples the texture's
    // opposite row when it tiles.
    const double corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const auto& corner : corners)
        AddVertex(mesh, {left + (right - left) * corner[0], bottom + (top - bottom) * corner[1], z}, {0, 0, -1},
                  0.002 + 0.996 * corner[0], 0.002 + 0.996 * corner[1]);
    mesh.faces.push_back({0, 1, 2, 3});
    OrientFaces(mesh);
    return mesh;
}

std::vector<RotationKey> SpinKeys(Vec3 axis, int length, int turns) {
    // A key every quarter turn: neighbouring keys stay within the short arc of each other,
    // so interpolating between them turns the right way.
    Vec3 n = Normalised(axis);
    std::vector<RotationKey> keys;
    const int steps = 4 * turns;
    for (int k = 0; k <= steps; ++k) {
        double half = kPi * k / 4;  // half of the angle 2 pi k / 4
        double s = std::sin(half);
        keys.push_back({length * k / steps, std::cos(half), n.x * s, n.y * s, n.z * s});
    }
    return keys;
}

}  // namespace showdata
