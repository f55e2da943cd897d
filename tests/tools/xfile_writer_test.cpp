// The X-file writer and the mesh builders: front faces clockwise seen from outside (the
// left-handed convention), and a written file that assimp reads back with the frames, pose,
// per-face inline materials and keys exactly as written.
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

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

TEST(XFileWriter, AssimpReadsBackFramesPoseMaterialsAndKeys) {
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

    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(text.data(), text.size(), aiProcess_ConvertToLeftHanded, "x");
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    const aiNode* p = scene->mRootNode->FindNode("Parent");
    ASSERT_NE(p, nullptr);
    // Row-vector pose: assimp holds it transposed, so the translation is the last column.
    EXPECT_FLOAT_EQ(p->mTransformation.a4, 1);
    EXPECT_FLOAT_EQ(p->mTransformation.b4, 2);
    EXPECT_FLOAT_EQ(p->mTransformation.c4, 3);
    EXPECT_FLOAT_EQ(p->mTransformation.a1, 2);
    EXPECT_FLOAT_EQ(p->mTransformation.c3, 2);
    const aiNode* c = p->FindNode("Child");
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->mParent, p);

    // Split per material: each box keeps its own colour (materials are written inline).
    ASSERT_EQ(c->mNumMeshes, 2u);
    for (unsigned i = 0; i < 2; ++i) {
        const aiMesh* mesh = scene->mMeshes[c->mMeshes[i]];
        EXPECT_EQ(mesh->mNumFaces, 6u);
        aiColor4D diffuse;
        ASSERT_EQ(scene->mMaterials[mesh->mMaterialIndex]->Get(AI_MATKEY_COLOR_DIFFUSE, diffuse), AI_SUCCESS);
        const bool nearBox = mesh->mVertices[0].x < 0.5f;
        EXPECT_FLOAT_EQ(diffuse.r, nearBox ? 1.0f : 0.0f);
        EXPECT_FLOAT_EQ(diffuse.b, nearBox ? 0.0f : 1.0f);
        EXPECT_EQ(scene->mMaterials[mesh->mMaterialIndex]->GetTextureCount(aiTextureType_DIFFUSE), nearBox ? 0u : 1u);
        EXPECT_TRUE(mesh->HasNormals());
        EXPECT_TRUE(mesh->HasTextureCoords(0));
    }

    ASSERT_EQ(scene->mNumAnimations, 1u);
    const aiAnimation* animation = scene->mAnimations[0];
    EXPECT_STREQ(animation->mName.C_Str(), "Motion");
    ASSERT_EQ(animation->mNumChannels, 1u);
    const aiNodeAnim* ch = animation->mChannels[0];
    EXPECT_STREQ(ch->mNodeName.C_Str(), "Child");
    ASSERT_EQ(ch->mNumPositionKeys, 2u);
    EXPECT_DOUBLE_EQ(ch->mPositionKeys[1].mTime, 50);
    EXPECT_FLOAT_EQ(ch->mPositionKeys[1].mValue.x, 4);
    EXPECT_FLOAT_EQ(ch->mPositionKeys[1].mValue.y, -5);
    EXPECT_FLOAT_EQ(ch->mPositionKeys[1].mValue.z, 6);
    ASSERT_EQ(ch->mNumScalingKeys, 2u);
    EXPECT_FLOAT_EQ(ch->mScalingKeys[1].mValue.y, 3);
    ASSERT_EQ(ch->mNumRotationKeys, 2u);
    // One radian about z: (w, z) = (cos 0.5, sin 0.5) in the file; assimp hands back the
    // conjugate (up to the sign of the whole quaternion), so w z changes sign.
    const aiQuaternion q = ch->mRotationKeys[1].mValue;
    EXPECT_NEAR(std::fabs(q.w), std::cos(0.5), 1e-6);
    EXPECT_NEAR(q.w * q.z, -std::cos(0.5) * std::sin(0.5), 1e-6);
    EXPECT_NEAR(q.x, 0, 1e-6);
    EXPECT_NEAR(q.y, 0, 1e-6);
}

}  // namespace
