// Text X files: header, nested frames with meshes (normals, texture coordinates, inline
// materials) and an optional animation set, with fixed six-decimal numbers so output is stable.
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

void AppendMaterial(std::string& out, const MaterialData& m, const std::string& indent) {
    // Inline: every mesh has materials of its own, so nothing is gained by naming them.
    out += indent + "Material {\n";
    out += indent + " " + Number(m.red) + ";" + Number(m.green) + ";" + Number(m.blue) + ";" + Number(m.alpha) + ";;\n";
    out += indent + " " + Number(m.power) + ";\n";
    out += indent + " " + Number(m.specular.x) + ";" + Number(m.specular.y) + ";" + Number(m.specular.z) + ";;\n";
    out += indent + " " + Number(m.emissive.x) + ";" + Number(m.emissive.y) + ";" + Number(m.emissive.z) + ";;\n";
    if (!m.texture.empty()) out += indent + " TextureFilename {\n" + indent + "  \"" + m.texture + "\";\n" + indent + " }\n";
    out += indent + "}\n";
}

void AppendMesh(std::string& out, const std::string& name, const MeshData& mesh,
                const std::vector<MaterialData>& materials, const std::string& indent) {
    const std::string in1 = indent + " ", in2 = indent + "  ";
    out += indent + "Mesh " + name + " {\n";
    AppendVectors(out, mesh.positions, in1.c_str());
    AppendFaces(out, mesh.faces, in1.c_str());
    out += in1 + "MeshNormals {\n";
    AppendVectors(out, mesh.normals, in2.c_str());
    AppendFaces(out, mesh.faces, in2.c_str());  // each corner's normal has the corner's own index
    out += in1 + "}\n";
    out += in1 + "MeshTextureCoords {\n" + in2 + std::to_string(mesh.u.size()) + ";\n";
    for (size_t i = 0; i < mesh.u.size(); ++i)
        out += in2 + Number(mesh.u[i]) + ";" + Number(mesh.v[i]) + ";" + ElementEnd(i, mesh.u.size()) + "\n";
    out += in1 + "}\n";
    const size_t faceCount = mesh.faces.size();
    out += in1 + "MeshMaterialList {\n" + in2 + std::to_string(materials.size()) + ";\n" + in2 +
           std::to_string(faceCount) + ";\n";
    for (size_t i = 0; i < faceCount; ++i) {
        const int material = mesh.faceMaterials.empty() ? 0 : mesh.faceMaterials[i];
        out += in2 + std::to_string(material) + ElementEnd(i, faceCount) + "\n";
    }
    for (const MaterialData& material : materials) AppendMaterial(out, material, in2);
    out += in1 + "}\n" + indent + "}\n";
}

void AppendFrame(std::string& out, const XFrame& frame, const std::string& indent) {
    const std::string in1 = indent + " ", in2 = indent + "  ";
    out += indent + "Frame " + frame.name + " {\n";
    // Row vectors: scale on the diagonal, translation in the last row.
    const double s = frame.scale;
    const Vec3 t = frame.position;
    out += in1 + "FrameTransformMatrix {\n";
    out += in2 + Number(s) + "," + Number(0) + "," + Number(0) + "," + Number(0) + ",\n";
    out += in2 + Number(0) + "," + Number(s) + "," + Number(0) + "," + Number(0) + ",\n";
    out += in2 + Number(0) + "," + Number(0) + "," + Number(s) + "," + Number(0) + ",\n";
    out += in2 + Number(t.x) + "," + Number(t.y) + "," + Number(t.z) + "," + Number(1) + ";;\n";
    out += in1 + "}\n";
    if (!frame.mesh.faces.empty()) AppendMesh(out, frame.name + "Mesh", frame.mesh, frame.materials, in1);
    for (const XFrame& child : frame.children) AppendFrame(out, child, in1);
    out += indent + "}\n";
}

void AppendVectorKeys(std::string& out, int type, const std::vector<VectorKey>& keys) {
    if (keys.empty()) return;
    out += "  AnimationKey {\n   " + std::to_string(type) + ";\n   " + std::to_string(keys.size()) + ";\n";
    for (size_t i = 0; i < keys.size(); ++i)
        out += "   " + std::to_string(keys[i].time) + ";3;" + Number(keys[i].value.x) + "," + Number(keys[i].value.y) +
               "," + Number(keys[i].value.z) + ";;" + ElementEnd(i, keys.size()) + "\n";
    out += "  }\n";
}

void AppendAnimationSet(std::string& out, const XFileModel& model) {
    out += "\nAnimationSet " + model.animationSetName + " {\n";
    for (const XAnimation& animation : model.animations) {
        out += " Animation {\n  {" + animation.frame + "}\n";
        if (!animation.rotation.empty()) {
            const auto& keys = animation.rotation;
            out += "  AnimationKey {\n   0;\n   " + std::to_string(keys.size()) + ";\n";
            for (size_t i = 0; i < keys.size(); ++i)
                out += "   " + std::to_string(keys[i].time) + ";4;" + Number(keys[i].w) + "," + Number(keys[i].x) +
                       "," + Number(keys[i].y) + "," + Number(keys[i].z) + ";;" + ElementEnd(i, keys.size()) + "\n";
            out += "  }\n";
        }
        AppendVectorKeys(out, 1, animation.scale);
        AppendVectorKeys(out, 2, animation.position);
        // First value: 0 closed (loops), 1 open. Second: 0 spline, 1 linear positions.
        out += std::string("  AnimationOptions {\n   ") + (animation.closed ? "0" : "1") + ";\n   " +
               (animation.spline ? "0" : "1") + ";\n  }\n }\n";
    }
    out += "}\n";
}

}  // namespace

std::string EncodeXFile(const XFileModel& model) {
    std::string out = "xof 0302txt 0032\n";
    out += "// " + model.description + "\n// Written by zelk6-showdata; edit the generator, not this file.\n\n";
    out += "Header {\n 1;\n 0;\n 1;\n}\n\n";
    for (const XFrame& frame : model.frames) AppendFrame(out, frame, "");
    if (!model.animations.empty()) AppendAnimationSet(out, model);
    return out;
}

}  // namespace showdata
