// The built-in X files as the stand-in's reader reads them: every file loads, keeps its frame
// hierarchy, meshes with normals, texture coordinates and their own materials, and one
// animation set whose animations name existing frames and span the segment's animation time.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/d3drm/xfile/parse.h"
#include "platform/d3drm/xfile/tokens.h"
#include "tests/tools/showdata_files.h"

namespace {

int Depth(const XFrameData& frame) {
    int deepest = 0;
    for (const XFrameData& c : frame.children) deepest = std::max(deepest, Depth(c));
    return deepest + 1;
}

bool Holds(const std::vector<XFrameData>& frames, const std::string& name) {
    for (const XFrameData& f : frames)
        if (f.name == name || Holds(f.children, name)) return true;
    return false;
}

TEST(ShowDataXFiles, ReadWithHierarchyMeshesAndAnimation) {
    const struct {
        const char* name;
        float lastKey;
        bool textured;
    } cases[] = {{"models/credits.x", 300, false}, {"models/baller.x", 300, true}, {"models/scene1.x", 600, true}};
    size_t rotationKeys = 0, scaleKeys = 0, positionKeys = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = showdata_test::ReadBytes(showdata_test::DataPath(c.name));
        XFileData file;
        try {
            ReadXFile(bytes.data(), bytes.size(), file);
        } catch (const XFileBad& bad) {
            FAIL() << bad.why;
        }
        int depth = 0;
        for (const XFrameData& f : file.frames) depth = std::max(depth, Depth(f));
        EXPECT_GE(depth, 2) << "frames nested in frames";
        EXPECT_TRUE(file.unknownName.empty()) << file.unknownName;

        ASSERT_GE(file.meshes.size(), 2u);
        bool anyTexture = false;
        for (const XMeshData& mesh : file.meshes) {
            EXPECT_FALSE(mesh.normals.empty());
            EXPECT_EQ(mesh.uv.size(), mesh.positions.size() * 2);
            EXPECT_GT(mesh.faceSizes.size(), 0u);
            ASSERT_FALSE(mesh.materials.empty()) << "every mesh brings its own material";
            for (uint32_t m : mesh.materials) anyTexture |= !file.materials[m].texture.empty();
        }
        EXPECT_EQ(anyTexture, c.textured);

        ASSERT_EQ(file.sets.size(), 1u);
        EXPECT_GE(file.sets[0].animations.size(), 3u);
        for (const XAnimationData& a : file.sets[0].animations) {
            SCOPED_TRACE(a.frame);
            EXPECT_TRUE(Holds(file.frames, a.frame)) << "animates a frame that exists";
            // Each key list starts at 0 and ends at the segment's last time, so looping
            // animations join up and none stops early.
            for (const auto* keys : {&a.rotation, &a.scale, &a.position}) {
                if (keys->size() < 2) continue;
                EXPECT_EQ(keys->front().time, 0.0f);
                EXPECT_EQ(keys->back().time, c.lastKey);
            }
            rotationKeys += a.rotation.size() > 1;
            scaleKeys += a.scale.size() > 1;
            positionKeys += a.position.size() > 1;
        }
    }
    // Across the three scenes every key type is used for real.
    EXPECT_GE(rotationKeys, 3u);
    EXPECT_GE(scaleKeys, 3u);
    EXPECT_GE(positionKeys, 3u);
}

}  // namespace
