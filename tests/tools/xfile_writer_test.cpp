// The X-file writer and the mesh builders: front faces clockwise seen from outside (the
// left-handed convention), and a written file that the stand-in's reader reads back with the
// frames, pose, per-face inline materials and keys exactly as written.
#include <gtest/gtest.h>

#include "platform/d3drm/xfile/parse.h"
#include "platform/d3drm/xfile/tokens.h"

#include "tools/showdata/meshes.cpp"
#include "tools/showdata/xfile_writer.cpp"

namespace {

using showdata::MeshData;
using showdata::Vec3;

// For a convex mesh round the point `inside`: (v1 - v0) x (v2 - v0) of every face must point
// away from it, which is what clockwise-from-outside means in a left-handed space.
void ExpectFacesWoundOutward(const MeshData& mesh, Vec3 inside) {
    ASSERT_FALSE(mesh.faces.empty());
    for (const auto& face : mesh.faces) {
        const Vec3 a = mesh.positions[face[0]], b = mesh.positions[face[1]], c = mesh.positions[face[2]];
        const Vec3 e1{b.x - a.x, b.y - a.y, b.z - a.z}, e2{c.x - a.x, c.y - a.y, c.z - a.z};
        const Vec3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
        Vec3 centre{};
        for (int index : face) {
            centre.x += mesh.positions[index].x / face.size();
            centre.y += mesh.positions[index].y / face.size();
            centre.z += mesh.positions[index].z / face.size();
        }
        const double outward = n.x * (centre.x - inside.x) + n.y * (centre.y - inside.y) + n.z * (centre.z - inside.z);
        EXPECT_GT(outward, 0) << "face starting at vertex " << face[0];
    }
}

TEST(XFileWriter, ClosedMeshesFaceOutwardClockwise) {
    ExpectFacesWoundOutward(showdata::MakeCube(1.5), {0, 0, 0});
    ExpectFacesWoundOutward(showdata::MakeSphere(2.0, 12, 8), {0, 0, 0});
    MeshData box;
    showdata::AddBox(box, {3, 4, 5}, {4, 6, 9}, 0);
    ExpectFacesWoundOutward(box, {3.5, 5, 7});
    // The floor faces up: seen from above it runs clockwise.
    ExpectFacesWoundOutward(showdata::MakeFloor(4, -1, 2), {0, -2, 0});
}

TEST(XFileWriter, ReadsBackFramesPoseMaterialsAndKeys) {
    showdata::XFileModel model;
    model.description = "writer round trip";
    model.animationSetName = "Motion";
    showdata::XFrame parent;
    parent.name = "Parent";
    parent.position = {1, 2, 3};
    parent.scale = 2;
    showdata::XFrame child;
    child.name = "Child";
    showdata::AddBox(child.mesh, {-1, -1, -1}, {0, 0, 0}, 0);
    showdata::AddBox(child.mesh, {1, 1, 1}, {2, 2, 2}, 1);
    child.materials = {{1.0, 0.0, 0.0, 1.0, 10, {}, {}, ""}, {0.0, 0.0, 1.0, 1.0, 0, {}, {}, "blue.bmp"}};
    parent.children.push_back(child);
    model.frames.push_back(parent);
    showdata::XAnimation a;
    a.frame = "Child";
    a.rotation = {showdata::TurnKey(0, {0, 0, 1}, 0), showdata::TurnKey(50, {0, 0, 1}, 1.0)};
    a.scale = {{0, {1, 1, 1}}, {50, {1, 3, 1}}};
    a.position = {{0, {0, 0, 0}}, {50, {4, -5, 6}}};
    model.animations.push_back(a);
    const std::string text = showdata::EncodeXFile(model);

    XFileData file;
    ReadXFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), file);
    ASSERT_EQ(file.frames.size(), 1u);
    const XFrameData& p = file.frames[0];
    EXPECT_EQ(p.name, "Parent");
    // Row-vector pose: the translation is the last row.
    EXPECT_FLOAT_EQ(p.transform[3][0], 1);
    EXPECT_FLOAT_EQ(p.transform[3][1], 2);
    EXPECT_FLOAT_EQ(p.transform[3][2], 3);
    EXPECT_FLOAT_EQ(p.transform[0][0], 2);
    EXPECT_FLOAT_EQ(p.transform[2][2], 2);
    ASSERT_EQ(p.children.size(), 1u);
    const XFrameData& c = p.children[0];
    EXPECT_EQ(c.name, "Child");

    // One mesh, each box's faces with their own inline material.
    ASSERT_EQ(c.meshes.size(), 1u);
    const XMeshData& mesh = file.meshes[c.meshes[0]];
    ASSERT_EQ(mesh.faceSizes.size(), 12u);
    ASSERT_EQ(mesh.materials.size(), 2u);
    uint32_t first = 0;
    for (size_t f = 0; f < mesh.faceSizes.size(); first += mesh.faceSizes[f], ++f) {
        const XMaterialData& m = file.materials[mesh.materials[mesh.faceMaterials[f]]];
        const bool nearBox = mesh.positions[mesh.corners[first]].x < 0.5f;
        EXPECT_FLOAT_EQ(m.faceColor[0], nearBox ? 1.0f : 0.0f);
        EXPECT_FLOAT_EQ(m.faceColor[2], nearBox ? 0.0f : 1.0f);
        EXPECT_EQ(m.texture, nearBox ? "" : "blue.bmp");
    }
    EXPECT_FALSE(mesh.normals.empty());
    EXPECT_EQ(mesh.uv.size(), mesh.positions.size() * 2);

    ASSERT_EQ(file.sets.size(), 1u);
    EXPECT_EQ(file.sets[0].name, "Motion");
    ASSERT_EQ(file.sets[0].animations.size(), 1u);
    const XAnimationData& read = file.sets[0].animations[0];
    EXPECT_EQ(read.frame, "Child");
    ASSERT_EQ(read.position.size(), 2u);
    EXPECT_FLOAT_EQ(read.position[1].time, 50);
    EXPECT_FLOAT_EQ(read.position[1].value[0], 4);
    EXPECT_FLOAT_EQ(read.position[1].value[1], -5);
    EXPECT_FLOAT_EQ(read.position[1].value[2], 6);
    ASSERT_EQ(read.scale.size(), 2u);
    EXPECT_FLOAT_EQ(read.scale[1].value[1], 3);
    ASSERT_EQ(read.rotation.size(), 2u);
    // One radian about z: (w, z) = (cos 0.5, sin 0.5) as written, up to the sign of the whole.
    const D3DVALUE* q = read.rotation[1].value;
    EXPECT_NEAR(std::fabs(q[0]), std::cos(0.5), 1e-6);
    EXPECT_NEAR(q[0] * q[3], std::cos(0.5) * std::sin(0.5), 1e-6);
    EXPECT_NEAR(q[1], 0, 1e-6);
    EXPECT_NEAR(q[2], 0, 1e-6);
}

}  // namespace
