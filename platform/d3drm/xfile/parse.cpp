// ReadXFile: the templates the loader maps (Frame, FrameTransformMatrix, Mesh and its normals,
// texture coordinates, vertex colours and material list, Material, TextureFilename,
// AnimationSet, Animation, AnimationKey, AnimationOptions) read from the token stream into
// XFileData. Template declarations and objects of any other template are skipped whole.
#include <cmath>
#include <map>
#include <set>

#include "platform/d3drm/xfile/parse.h"
#include "platform/d3drm/xfile/tokens.h"

namespace {

struct MaterialReference {
    uint32_t mesh, slot;
    std::string name;
};

// The quaternion D3DRMMatrixFromQuaternion turns into the rotation part of `m` (rows of unit
// length), found from its largest diagonal term for precision.
void QuaternionOf(const D3DVALUE m[3][3], D3DVALUE q[4]) {
    D3DVALUE trace = m[0][0] + m[1][1] + m[2][2];
    if (trace > 0) {
        D3DVALUE s = std::sqrt(trace + 1) * 2;
        q[0] = s / 4;
        q[1] = (m[2][1] - m[1][2]) / s;
        q[2] = (m[0][2] - m[2][0]) / s;
        q[3] = (m[1][0] - m[0][1]) / s;
        return;
    }
    int i = m[1][1] > m[0][0] ? 1 : 0;
    if (m[2][2] > m[i][i]) i = 2;
    int j = (i + 1) % 3, k = (i + 2) % 3;
    D3DVALUE s = std::sqrt(1 + m[i][i] - m[j][j] - m[k][k]) * 2;
    if (!(s > 0)) s = 1;  // not a rotation; anything finite will do
    q[0] = (m[k][j] - m[j][k]) / s;
    q[1 + i] = s / 4;
    q[1 + j] = (m[j][i] + m[i][j]) / s;
    q[1 + k] = (m[k][i] + m[i][k]) / s;
}

class Parser {
  public:
    Parser(XTokens& tokens, XFileData& file) : t_(tokens), file_(file) {}

    void File() {
        for (;;) {
            XTokenValue token = t_.Next();
            if (token.kind == XToken::End) break;
            if (token.kind == XToken::Template) {
                Expect(XToken::Name, "a template has no name");
                SkipObject();
            } else if (token.kind != XToken::Name) {
                throw XFileBad{"it holds data outside any object"};
            } else if (token.text == "Frame") {
                file_.frames.emplace_back();
                file_.top.push_back({true, static_cast<uint32_t>(file_.frames.size() - 1)});
                Frame(file_.frames.back(), 1);
            } else if (token.text == "Mesh") {
                file_.top.push_back({false, Mesh(1)});
            } else if (token.text == "Material") {
                Material(1);
            } else if (token.text == "AnimationSet") {
                AnimationSet();
            } else {
                SkipObject();
            }
        }
        if (file_.frames.empty() && file_.meshes.empty()) throw XFileBad{"it holds no frame and no mesh"};
        Resolve();
    }

  private:
    XTokenValue Expect(XToken kind, const char* why) {
        XTokenValue token = t_.Next();
        if (token.kind != kind) throw XFileBad{why};
        return token;
    }

    D3DVALUE Float() {
        return static_cast<D3DVALUE>(Expect(XToken::Number, "a number is missing").number);
    }

    // A count of items of `perItem` numbers each; more than the bytes left could hold
    // refuses the file before anything is allocated for them.
    uint32_t Count(size_t perItem) {
        XTokenValue token = Expect(XToken::Number, "a count is missing");
        if (!token.integral) throw XFileBad{"a count is not a whole number"};
        if (token.number * static_cast<double>(perItem) > static_cast<double>(t_.Left()))
            throw XFileBad{"a count asks for more data than the file holds"};
        return static_cast<uint32_t>(token.number);
    }

    uint32_t Index(uint32_t below) {
        XTokenValue token = Expect(XToken::Number, "an index is missing");
        if (!token.integral || token.number >= below) throw XFileBad{"an index points past what it indexes"};
        return static_cast<uint32_t>(token.number);
    }

    // An optional name and GUID, as an object or a reference starts.
    std::string NameAndGuid() {
        std::string name;
        if (t_.Peek().kind == XToken::Name) name = t_.Next().text;
        if (t_.Peek().kind == XToken::Guid) t_.Next();
        return name;
    }
    // An object's optional name and GUID and its opening brace; returns the name.
    std::string Open() {
        std::string name = NameAndGuid();
        Expect(XToken::Open, "an object has no opening brace");
        return name;
    }

    // An object of a template the loader does not map, with everything nested in it.
    void SkipObject() {
        Open();
        for (int depth = 1; depth > 0;) {
            XToken kind = t_.Next().kind;
            if (kind == XToken::End) throw XFileBad{"it ends inside an object"};
            if (kind == XToken::Open && ++depth > kMaxXNesting) throw XFileBad{"objects nest too deep"};
            if (kind == XToken::Close) --depth;
        }
    }

    // The objects and references inside an object, up to its closing brace: `object` is given
    // each nested object's template name and returns false for one it does not map, which is
    // then skipped; `reference` is given each name in braces.
    template <class Object, class Reference>
    void Children(int depth, Object object, Reference reference) {
        if (depth > kMaxXNesting) throw XFileBad{"objects nest too deep"};
        for (;;) {
            XTokenValue token = t_.Next();
            if (token.kind == XToken::Close) return;
            if (token.kind == XToken::Name) {
                if (!object(token.text)) SkipObject();
            } else if (token.kind == XToken::Open) {
                std::string name = NameAndGuid();
                Expect(XToken::Close, "a reference is not closed");
                reference(name);
            } else if (token.kind == XToken::End) {
                throw XFileBad{"it ends inside an object"};
            } else {
                throw XFileBad{"an object holds more data than its template"};
            }
        }
    }
    void NoChildren(int depth) {
        Children(depth, [](std::string_view) { return false; }, [](const std::string&) {});
    }

    void Frame(XFrameData& frame, int depth) {
        frame.name = Open();
        frameNames_.insert(frame.name);
        Children(depth, [&](std::string_view type) {
            if (type == "FrameTransformMatrix") {
                Open();
                for (int i = 0; i < 16; ++i) frame.transform[i / 4][i % 4] = Float();
                NoChildren(depth + 1);
            } else if (type == "Frame") {
                frame.children.emplace_back();
                Frame(frame.children.back(), depth + 1);
            } else if (type == "Mesh") {
                frame.meshes.push_back(Mesh(depth + 1));
            } else {
                return false;
            }
            return true;
        }, [&](const std::string& name) { frame.meshNames.push_back(name); });
    }

    uint32_t Mesh(int depth) {
        uint32_t index = static_cast<uint32_t>(file_.meshes.size());
        file_.meshes.emplace_back();
        XMeshData& mesh = file_.meshes.back();
        mesh.name = Open();
        if (!mesh.name.empty()) meshNames_.emplace(mesh.name, index);
        mesh.positions.resize(Count(3));
        for (D3DVECTOR& p : mesh.positions) p = D3DVECTOR{Float(), Float(), Float()};
        const uint32_t positions = static_cast<uint32_t>(mesh.positions.size());
        mesh.faceSizes.resize(Count(1));
        for (uint32_t& size : mesh.faceSizes) {
            size = Count(1);
            for (uint32_t i = 0; i < size; ++i) mesh.corners.push_back(Index(positions));
        }
        Children(depth, [&](std::string_view type) {
            // `mesh` stays put: a mesh holds no mesh.
            if (type == "MeshNormals") Normals(mesh, depth + 1);
            else if (type == "MeshTextureCoords") TextureCoords(mesh, depth + 1);
            else if (type == "MeshVertexColors") VertexColors(mesh, depth + 1);
            else if (type == "MeshMaterialList") MaterialList(index, depth + 1);
            else return false;
            return true;
        }, [](const std::string&) {});
        return index;
    }

    // Normals per corner: a face list parallel to the mesh's own.
    void Normals(XMeshData& mesh, int depth) {
        Open();
        mesh.normals.resize(Count(3));
        for (D3DVECTOR& n : mesh.normals) n = D3DVECTOR{Float(), Float(), Float()};
        if (Count(1) != mesh.faceSizes.size()) throw XFileBad{"its normals list another number of faces"};
        mesh.normalCorners.clear();
        for (uint32_t size : mesh.faceSizes) {
            if (Count(1) != size) throw XFileBad{"a face has another number of normals than corners"};
            for (uint32_t i = 0; i < size; ++i)
                mesh.normalCorners.push_back(Index(static_cast<uint32_t>(mesh.normals.size())));
        }
        NoChildren(depth);
    }

    void TextureCoords(XMeshData& mesh, int depth) {
        Open();
        if (Count(2) != mesh.positions.size()) throw XFileBad{"its texture coordinates are not one per vertex"};
        mesh.uv.resize(mesh.positions.size() * 2);
        for (D3DVALUE& c : mesh.uv) c = Float();
        NoChildren(depth);
    }

    void VertexColors(XMeshData& mesh, int depth) {
        Open();
        uint32_t count = Count(5);
        mesh.colors.assign(mesh.positions.size(), 0xffffffffu);
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t vertex = Index(static_cast<uint32_t>(mesh.positions.size()));
            D3DVALUE r = Float(), g = Float(), b = Float(), a = Float();
            mesh.colors[vertex] = D3DRMCreateColorRGBA(r, g, b, a);
        }
        NoChildren(depth);
    }

    // Fewer face indices than faces: the rest take the last one.
    void MaterialList(uint32_t meshIndex, int depth) {
        Open();
        Count(1);  // the number of materials; those that follow are what counts
        XMeshData& mesh = file_.meshes[meshIndex];
        uint32_t listed = Count(1);
        if (listed > mesh.faceSizes.size()) throw XFileBad{"its material list has more entries than faces"};
        std::vector<uint32_t> faceMaterials(listed);
        for (uint32_t& m : faceMaterials) m = Index(UINT32_MAX);
        std::vector<uint32_t> materials;
        Children(depth, [&](std::string_view type) {
            if (type != "Material") return false;
            materials.push_back(Material(depth + 1));
            return true;
        }, [&](const std::string& name) {
            materialReferences_.push_back({meshIndex, static_cast<uint32_t>(materials.size()), name});
            materials.push_back(0);
        });
        for (uint32_t m : faceMaterials)
            if (m >= materials.size()) throw XFileBad{"a face names a material its mesh does not list"};
        if (materials.empty()) return;
        if (faceMaterials.empty()) faceMaterials.push_back(0);
        faceMaterials.resize(mesh.faceSizes.size(), faceMaterials.back());
        mesh.materials = std::move(materials);
        mesh.faceMaterials = std::move(faceMaterials);
    }

    uint32_t Material(int depth) {
        uint32_t index = static_cast<uint32_t>(file_.materials.size());
        XMaterialData m;
        std::string name = Open();
        for (D3DVALUE& c : m.faceColor) c = Float();
        m.power = Float();
        for (D3DVALUE& c : m.specular) c = Float();
        for (D3DVALUE& c : m.emissive) c = Float();
        Children(depth, [&](std::string_view type) {
            if (type != "TextureFilename" && type != "TextureFileName") return false;
            Open();
            m.texture = Expect(XToken::String, "a texture has no file name").text;
            NoChildren(depth + 1);
            return true;
        }, [](const std::string&) {});
        if (!name.empty()) materialNames_.emplace(name, index);
        file_.materials.push_back(std::move(m));
        return index;
    }

    void AnimationSet() {
        XAnimationSetData set;
        set.name = Open();
        Children(1, [&](std::string_view type) {
            if (type != "Animation") return false;
            set.animations.emplace_back();
            Animation(set.animations.back());
            return true;
        }, [](const std::string&) {});
        file_.sets.push_back(std::move(set));
    }

    void Animation(XAnimationData& animation) {
        Open();
        Children(2, [&](std::string_view type) {
            if (type == "AnimationKey") {
                Keys(animation);
            } else if (type == "AnimationOptions") {
                Open();
                bool open = Float() != 0, linear = Float() != 0;
                animation.options = (open ? D3DRMANIMATION_OPEN : D3DRMANIMATION_CLOSED) |
                                    (linear ? D3DRMANIMATION_LINEARPOSITION : D3DRMANIMATION_SPLINEPOSITION);
                NoChildren(3);
            } else {
                return false;
            }
            return true;
        }, [&](const std::string& name) { animation.frame = name; });
    }

    // Key types: 0 rotation (w, x, y, z), 1 scale, 2 position, 3 and 4 a matrix, which is
    // taken apart into the three as S * R * T.
    void Keys(XAnimationData& animation) {
        static const uint32_t kValues[5] = {4, 3, 3, 16, 16};
        Open();
        uint32_t type = Count(1);
        if (type > 4) throw XFileBad{"an animation key has an unknown type"};
        uint32_t count = Count(2 + kValues[type]);
        std::vector<XKeyData>& keys = type == 0 ? animation.rotation : type == 1 ? animation.scale : animation.position;
        keys.reserve(keys.size() + count);
        for (uint32_t k = 0; k < count; ++k) {
            D3DVALUE time = Float();
            if (Count(1) != kValues[type]) throw XFileBad{"an animation key has the wrong number of values"};
            D3DVALUE v[16];
            for (uint32_t i = 0; i < kValues[type]; ++i) v[i] = Float();
            if (type < 3) {
                keys.push_back(XKeyData{time, {v[0], v[1], v[2], v[3]}});
                continue;
            }
            D3DVALUE rows[3][3], scale[3];
            for (int r = 0; r < 3; ++r) {
                scale[r] = std::sqrt(v[r * 4] * v[r * 4] + v[r * 4 + 1] * v[r * 4 + 1] + v[r * 4 + 2] * v[r * 4 + 2]);
                for (int c = 0; c < 3; ++c) rows[r][c] = scale[r] > 0 ? v[r * 4 + c] / scale[r] : 0;
            }
            XKeyData rotation{time, {}};
            QuaternionOf(rows, rotation.value);
            animation.rotation.push_back(rotation);
            animation.scale.push_back(XKeyData{time, {scale[0], scale[1], scale[2], 0}});
            animation.position.push_back(XKeyData{time, {v[12], v[13], v[14], 0}});
        }
        NoChildren(3);
    }

    // Named references, once every name is known. A material that is not there is white; a
    // mesh a frame names that is not there is left out, and so is the animation of a frame
    // that is not there. (A frame naming another frame is left as it is: a frame has one
    // parent.)
    void Resolve() {
        for (const MaterialReference& r : materialReferences_) {
            auto found = materialNames_.find(r.name);
            uint32_t index;
            if (found != materialNames_.end()) {
                index = found->second;
            } else {
                Unknown(r.name);
                index = static_cast<uint32_t>(file_.materials.size());
                file_.materials.emplace_back();
            }
            file_.meshes[r.mesh].materials[r.slot] = index;
        }
        for (XFrameData& frame : file_.frames) ResolveMeshes(frame);
        for (XAnimationSetData& set : file_.sets)
            std::erase_if(set.animations, [&](const XAnimationData& a) {
                bool known = frameNames_.count(a.frame) > 0;
                if (!known) Unknown(a.frame);
                return !known;
            });
    }
    // Depth is bounded by the parse.
    void ResolveMeshes(XFrameData& frame) {
        for (const std::string& name : frame.meshNames) {
            auto found = meshNames_.find(name);
            if (found != meshNames_.end()) frame.meshes.push_back(found->second);
            else if (!frameNames_.count(name)) Unknown(name);
        }
        for (XFrameData& child : frame.children) ResolveMeshes(child);
    }
    void Unknown(const std::string& name) {
        if (file_.unknownName.empty()) file_.unknownName = name.empty() ? "(no name)" : name;
    }

    XTokens& t_;
    XFileData& file_;
    std::map<std::string, uint32_t> materialNames_, meshNames_;  // the first of each name
    std::set<std::string> frameNames_;
    std::vector<MaterialReference> materialReferences_;
};

}  // namespace

void ReadXFile(const uint8_t* bytes, size_t size, XFileData& file) {
    XTokens tokens(bytes, size);
    Parser(tokens, file).File();
}
