// Text X files: header, a frame holding one mesh (normals, texture coordinates, one material)
// and an optional looping animation set, with fixed six-decimal numbers so output is stable.
#include <cmath>
#include <cstdio>

#include "tools/showdata/xfile_writer.h"

namespace showdata {

namespace {

std::string Number(double value) {
    if (std::fabs(value) < 5e-7) value = 0;  // no "-0.000000"
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

// Array elements end with ",", the last with ";" (the array's own terminator).
const char* ElementEnd(size_t index, size_t count) { return index + 1 < count ? "," : ";"; }

void AppendVectors(std::string& out, const std::vector<Vec3>& vectors, const char* indent) {
    out += indent + std::to_string(vectors.size()) + ";\n";
    for (size_t i = 0; i < vectors.size(); ++i)
        out += indent + Number(vectors[i].x) + ";" + Number(vectors[i].y) + ";" + Number(vectors[i].z) +
               ";" + ElementEnd(i, vectors.size()) + "\n";
}

void AppendFaces(std::string& out, const std::vector<std::vector<int>>& faces, const char* indent) {
    out += indent + std::to_string(faces.size()) + ";\n";
    for (size_t i = 0; i < faces.size(); ++i) {
        out += indent + std::to_string(faces[i].size()) + ";";
        for (size_t k = 0; k < faces[i].size(); ++k)
            out += std::to_string(faces[i][k]) + (k + 1 < faces[i].size() ? "," : ";");
        out += std::string(ElementEnd(i, faces.size())) + "\n";
    }
}

void AppendMaterial(std::string& out, const MaterialData& m, size_t faceCount) {
    out += "  MeshMaterialList {\n   1;\n   " + std::to_string(faceCount) + ";\n";
    for (size_t i = 0; i < faceCount; ++i) out += std::string("   0") + ElementEnd(i, faceCount) + "\n";
    out += "   Material {\n";
    out += "    " + Number(m.red) + ";" + Number(m.green) + ";" + Number(m.blue) + ";" + Number(m.alpha) + ";;\n";
    out += "    " + Number(m.power) + ";\n";
    out += "    " + Number(m.specular.x) + ";" + Number(m.specular.y) + ";" + Number(m.specular.z) + ";;\n";
    out += "    " + Number(m.emissive.x) + ";" + Number(m.emissive.y) + ";" + Number(m.emissive.z) + ";;\n";
    if (!m.texture.empty()) out += "    TextureFilename {\n     \"" + m.texture + "\";\n    }\n";
    out += "   }\n  }\n";
}

void AppendAnimation(std::string& out, const XFileModel& model) {
    out += "\nAnimationSet " + model.frameName + "Motion {\n Animation {\n  {" + model.frameName + "}\n";
    if (!model.rotationKeys.empty()) {
        const auto& keys = model.rotationKeys;
        out += "  AnimationKey {\n   0;\n   " + std::to_string(keys.size()) + ";\n";
        for (size_t i = 0; i < keys.size(); ++i)
            out += "   " + std::to_string(keys[i].time) + ";4;" + Number(keys[i].w) + "," + Number(keys[i].x) +
                   "," + Number(keys[i].y) + "," + Number(keys[i].z) + ";;" + ElementEnd(i, keys.size()) + "\n";
        out += "  }\n";
    }
    if (!model.positionKeys.empty()) {
        const auto& keys = model.positionKeys;
        out += "  AnimationKey {\n   2;\n   " + std::to_string(keys.size()) + ";\n";
        for (size_t i = 0; i < keys.size(); ++i)
            out += "   " + std::to_string(keys[i].time) + ";3;" + Number(keys[i].position.x) + "," +
                   Number(keys[i].position.y) + "," + Number(keys[i].position.z) + ";;" +
                   ElementEnd(i, keys.size()) + "\n";
        out += "  }\n";
    }
    // Closed (0): the animation loops; linear positions (1).
    out += "  AnimationOptions {\n   0;\n   1;\n  }\n }\n}\n";
}

}  // namespace

std::string EncodeXFile(const XFileModel& model) {
    const MeshData& mesh = model.mesh;
    std::string out = "xof 0302txt 0032\n";
    out += "// " + model.description + "\n// Written by zelk6-showdata; edit the generator, not this file.\n\n";
    out += "Header {\n 1;\n 0;\n 1;\n}\n\n";
    out += "Frame " + model.frameName + " {\n";
    out += " FrameTransformMatrix {\n  1.000000,0.000000,0.000000,0.000000,\n  0.000000,1.000000,0.000000,0.000000,\n"
           "  0.000000,0.000000,1.000000,0.000000,\n  0.000000,0.000000,0.000000,1.000000;;\n }\n\n";
    out += " Mesh " + model.frameName + "Mesh {\n";
    AppendVectors(out, mesh.positions, "  ");
    AppendFaces(out, mesh.faces, "  ");
    out += "  MeshNormals {\n";
    AppendVectors(out, mesh.normals, "   ");
    AppendFaces(out, mesh.faces, "   ");  // each corner's normal has the corner's own index
    out += "  }\n";
    out += "  MeshTextureCoords {\n   " + std::to_string(mesh.u.size()) + ";\n";
    for (size_t i = 0; i < mesh.u.size(); ++i)
        out += "   " + Number(mesh.u[i]) + ";" + Number(mesh.v[i]) + ";" + ElementEnd(i, mesh.u.size()) + "\n";
    out += "  }\n";
    AppendMaterial(out, model.material, mesh.faces.size());
    out += " }\n}\n";
    if (!model.rotationKeys.empty() || !model.positionKeys.empty()) AppendAnimation(out, model);
    return out;
}

}  // namespace showdata
