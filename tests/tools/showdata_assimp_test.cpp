// The built-in X files read by assimp, the importer the platform loads scenes with: every file
// loads, keeps its frame hierarchy, meshes with normals and texture coordinates, and one
// animation set whose channels name existing frames and span the segment's animation time.
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "tests/tools/showdata_files.h"

namespace {

// Frames in the longest chain of nested frames; the node assimp adds above several top-level
// frames is no frame of the file.
int Depth(const aiNode* node) {
    int deepest = 0;
    for (unsigned i = 0; i < node->mNumChildren; ++i) deepest = std::max(deepest, Depth(node->mChildren[i]));
    return deepest + (std::string(node->mName.C_Str()) == "$dummy_root" ? 0 : 1);
}

TEST(ShowDataXFiles, LoadThroughAssimpWithHierarchyMeshesAndAnimation) {
    const struct {
        const char* name;
        double lastKey;
        bool textured;
    } cases[] = {{"models/credits.x", 300, false}, {"models/baller.x", 300, true}, {"models/scene1.x", 600, true}};
    size_t rotationKeys = 0, scaleKeys = 0, positionKeys = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Assimp::Importer importer;
        const aiScene* scene =
            importer.ReadFile(showdata_test::DataPath(c.name), aiProcess_ConvertToLeftHanded | aiProcess_ValidateDataStructure);
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
        ASSERT_NE(scene->mRootNode, nullptr);
        EXPECT_GE(Depth(scene->mRootNode), 2) << "frames nested in frames";

        ASSERT_GE(scene->mNumMeshes, 2u);
        bool anyTexture = false;
        for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
            const aiMesh* mesh = scene->mMeshes[m];
            EXPECT_TRUE(mesh->HasNormals());
            EXPECT_TRUE(mesh->HasTextureCoords(0));
            EXPECT_GT(mesh->mNumFaces, 0u);
            const aiMaterial* material = scene->mMaterials[mesh->mMaterialIndex];
            aiColor4D diffuse;
            ASSERT_EQ(material->Get(AI_MATKEY_COLOR_DIFFUSE, diffuse), AI_SUCCESS);
            // Not assimp's grey default: every mesh brings its own material.
            EXPECT_FALSE(diffuse.r == 0.5f && diffuse.g == 0.5f && diffuse.b == 0.5f);
            anyTexture |= material->GetTextureCount(aiTextureType_DIFFUSE) > 0;
        }
        EXPECT_EQ(anyTexture, c.textured);

        ASSERT_EQ(scene->mNumAnimations, 1u);
        const aiAnimation* animation = scene->mAnimations[0];
        EXPECT_GE(animation->mNumChannels, 3u);
        EXPECT_DOUBLE_EQ(animation->mDuration, c.lastKey);
        for (unsigned k = 0; k < animation->mNumChannels; ++k) {
            const aiNodeAnim* channel = animation->mChannels[k];
            SCOPED_TRACE(channel->mNodeName.C_Str());
            EXPECT_NE(scene->mRootNode->FindNode(channel->mNodeName), nullptr) << "animates a frame that exists";
            // Each key list starts at 0 and ends at the segment's last time, so looping
            // animations join up and none stops early.
            auto span = [&](double first, double last) {
                EXPECT_DOUBLE_EQ(first, 0.0);
                EXPECT_DOUBLE_EQ(last, c.lastKey);
            };
            if (channel->mNumRotationKeys > 1)
                span(channel->mRotationKeys[0].mTime, channel->mRotationKeys[channel->mNumRotationKeys - 1].mTime);
            if (channel->mNumScalingKeys > 1)
                span(channel->mScalingKeys[0].mTime, channel->mScalingKeys[channel->mNumScalingKeys - 1].mTime);
            if (channel->mNumPositionKeys > 1)
                span(channel->mPositionKeys[0].mTime, channel->mPositionKeys[channel->mNumPositionKeys - 1].mTime);
            rotationKeys += channel->mNumRotationKeys > 1;
            scaleKeys += channel->mNumScalingKeys > 1;
            positionKeys += channel->mNumPositionKeys > 1;
        }
    }
    // Across the three scenes every key type is used for real.
    EXPECT_GE(rotationKeys, 3u);
    EXPECT_GE(scaleKeys, 3u);
    EXPECT_GE(positionKeys, 3u);
}

}  // namespace
