// The scene scripts read as the show reads them (a file name, then keyword entries through
// "%s %f ..."), and every file they lead to exists: X files, then the textures those name.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>

#include "tests/tools/showdata_files.h"

namespace {

using showdata_test::DataPath;

struct Script {
    bool opened = false;
    std::string xFile;                 // as written, Windows style
    std::map<std::string, int> count;  // entries per keyword
    float camera[6] = {};
};

// The show's own reading: formatted reads of a keyword and up to nine numbers, slots kept
// from entry to entry.
Script ReadScript(const std::string& path) {
    Script script;
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) return script;
    script.opened = true;
    char token[260];
    if (std::fscanf(file, "%259s", token) == 1) script.xFile = token;
    float p[9] = {};
    while (std::fscanf(file, "%259s %f %f %f %f %f %f %f %f %f", token, &p[0], &p[1], &p[2], &p[3], &p[4], &p[5],
                       &p[6], &p[7], &p[8]) > 0) {
        ++script.count[token];
        if (std::string(token) == "CAMERA") std::copy(p, p + 6, script.camera);
    }
    std::fclose(file);
    return script;
}

std::string ReadText(const std::string& path) {
    std::vector<uint8_t> bytes = showdata_test::ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

TEST(ShowDataScenes, ScriptsLoadAnXFileWithLightsAndACamera) {
    for (const char* name : {"scripts/credits.scr", "scripts/baller.scr", "scripts/scene1.scr"}) {
        SCOPED_TRACE(name);
        Script script = ReadScript(DataPath(name));
        ASSERT_TRUE(script.opened);
        std::string xFile = script.xFile;
        std::replace(xFile.begin(), xFile.end(), '\\', '/');
        EXPECT_TRUE(std::filesystem::is_regular_file(DataPath(xFile))) << script.xFile;

        EXPECT_EQ(script.count["AMBIENT"], 1);
        EXPECT_GE(script.count["DIRECTIONAL"] + script.count["POINT"], 1);
        ASSERT_EQ(script.count["CAMERA"], 1);
        // The camera stands back from the model at the origin and looks at it level: the
        // show builds the camera's up vector by turning about the view direction, which rolls
        // the picture whenever that direction is tilted.
        const float* c = script.camera;
        EXPECT_LT(c[2], -3.0f);
        EXPECT_EQ(c[3], 0.0f);
        EXPECT_EQ(c[4], c[1]) << "a tilted camera rolls the picture";
        EXPECT_EQ(c[5], 0.0f);
        // Every entry is one the show knows: the format has no comments, so a "#" line, or a
        // lower-case or misspelt keyword, would show up here.
        for (const auto& [keyword, n] : script.count)
            EXPECT_TRUE(keyword == "AMBIENT" || keyword == "POINT" || keyword == "DIRECTIONAL" || keyword == "CAMERA")
                << keyword;
    }
}

TEST(ShowDataScenes, XFilesAreTextFilesWhoseTexturesExist) {
    for (const char* name : {"models/credits.x", "models/baller.x", "models/scene1.x"}) {
        SCOPED_TRACE(name);
        const std::string text = ReadText(DataPath(name));
        ASSERT_GE(text.size(), 16u);
        EXPECT_EQ(text.substr(0, 16), "xof 0302txt 0032");
        EXPECT_NE(text.find("zelk6-showdata"), std::string::npos) << "names its generator";
        EXPECT_NE(text.find("Header {\n 1;\n 0;\n"), std::string::npos) << "version 1.0 header";
        EXPECT_NE(text.find("MeshNormals {"), std::string::npos);
        EXPECT_NE(text.find("Material {"), std::string::npos);
        // Braces balance, so the file does not end inside an object.
        EXPECT_EQ(std::count(text.begin(), text.end(), '{'), std::count(text.begin(), text.end(), '}'));

        const std::regex textureName("TextureFilename \\{\\s*\"([^\"]+)\";");
        for (auto m = std::sregex_iterator(text.begin(), text.end(), textureName); m != std::sregex_iterator(); ++m) {
            const std::string texture = DataPath("textures/" + (*m)[1].str());
            showdata_test::Picture picture = showdata_test::ReadPicture(texture);
            EXPECT_EQ(picture.error, "") << texture;
            // Texture sides must be powers of two.
            EXPECT_EQ(picture.width & (picture.width - 1), 0) << texture;
            EXPECT_EQ(picture.height & (picture.height - 1), 0) << texture;
        }
    }
}

// The animation keys run over the times the segments pass: a loop that ends early or late
// would make the scene jump at the end of each pass.
TEST(ShowDataScenes, AnimationsSpanTheirSegmentsTimes) {
    const struct {
        const char* name;
        int lastKey;
    } cases[] = {{"models/credits.x", 300}, {"models/baller.x", 300}, {"models/scene1.x", 600}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = ReadText(DataPath(c.name));
        ASSERT_NE(text.find("AnimationSet"), std::string::npos);
        // Each key line: time;count;values;;  and the last key of each list ends with ";;;".
        const std::regex lastKey("\\n\\s*(\\d+);[34];[-0-9.,]+;;;");
        int lists = 0;
        for (auto m = std::sregex_iterator(text.begin(), text.end(), lastKey); m != std::sregex_iterator(); ++m) {
            ++lists;
            EXPECT_EQ(std::stoi((*m)[1].str()), c.lastKey);
        }
        EXPECT_GE(lists, 1);
    }
}

}  // namespace
