// IDirect3DRM::Load: X files (text, binary, compressed) read through assimp and turned into
// frames, mesh builders, materials, textures and animation sets. assimp converts to its own
// right-handed space on import; loading with ConvertToLeftHanded undoes that (positions,
// winding and v come back as the file has them), matrices are transposed back to row
// vectors, and rotation keys are conjugated back to the file's quaternions.
// Objects that something else holds once loaded (frames under the parent frame, meshes shown
// by it) are lent to the load callback for the call; objects nothing else holds (animation
// sets, top-level objects without a parent frame) are handed over with their reference.
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cstring>
#include <string>
#include <new>

#include "platform/d3drm/xfile_checks.h"
#include "platform/d3drm/xfile_internal.h"
#include "platform/d3drm/xfile_options.h"
#include "platform/win32/paths.h"
#include "platform/win32/whole_file.h"

namespace {

// The importer refuses files below this size; so do we, before it sees them.
constexpr size_t kMinXFileSize = 16;
// Far beyond any scene of the show; keeps a bad name from reading a huge file into memory.
constexpr size_t kMaxXFileSize = 256u << 20;

struct Wanted {
    bool frames = false, meshes = false, animationSets = false, animations = false;
};

bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

// The bytes to load; `path` is set when they come from a file, which is then named on stderr
// if it cannot be read (and by the caller if it is refused).
bool ReadSource(LPVOID source, D3DRMLOADOPTIONS options, std::vector<uint8_t>& bytes,
                HRESULT& error, std::string& path) {
    DWORD from = options & 0x0F;
    if (from == D3DRMLOAD_FROMMEMORY) {
        auto* memory = static_cast<D3DRMLOADMEMORY*>(source);
        if (!memory || (!memory->lpMemory && memory->dSize)) {
            error = D3DRMERR_BADVALUE;
            return false;
        }
        const uint8_t* p = static_cast<const uint8_t*>(memory->lpMemory);
        bytes.assign(p, p + memory->dSize);
        return true;
    }
    if (from != D3DRMLOAD_FROMFILE || !source) {
        error = D3DRMERR_BADVALUE;
        return false;
    }
    path = ResolvePath(static_cast<const char*>(source));
    int readError = 0;
    WholeFile read = ReadWholeFile(path, kMaxXFileSize, bytes, readError);
    if (read == WholeFile::Read) return true;
    error = read == WholeFile::NotOpened ? D3DRMERR_FILENOTFOUND : D3DRMERR_BADFILE;
    ReportFileProblem(path, WhyNotRead(read, readError, "an X file"));
    return false;
}

void SetTransform(IDirect3DRMFrame* frame, const aiMatrix4x4& m) {
    // assimp's matrices act on column vectors: the row-vector matrix is the transpose.
    const ai_real* a = m[0];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) frame->transform[i][j] = a[j * 4 + i];
}

bool IsSyntheticRoot(const aiNode* node) {
    return std::strcmp(node->mName.C_Str(), "$dummy_root") == 0 ||
           std::strcmp(node->mName.C_Str(), "$dummy_node") == 0;
}

void MarkListed(const aiNode* node, std::vector<bool>& listed, int depth) {
    for (unsigned i = 0; i < node->mNumMeshes; ++i)
        if (node->mMeshes[i] < listed.size()) listed[node->mMeshes[i]] = true;
    if (depth < 256)
        for (unsigned i = 0; i < node->mNumChildren; ++i)
            MarkListed(node->mChildren[i], listed, depth + 1);
}

MeshSplit SplitMeshes(const aiScene* scene) {
    MeshSplit split;
    const aiNode* root = scene->mRootNode;
    std::vector<unsigned> rootList(root->mMeshes, root->mMeshes + root->mNumMeshes);
    if (IsSyntheticRoot(root)) {
        split.global = rootList;
        return split;
    }
    std::vector<bool> listed(scene->mNumMeshes, false);
    MarkListed(root, listed, 0);
    for (unsigned i = 0; i < scene->mNumMeshes; ++i)
        if (!listed[i]) split.rootOwn.push_back(i);
    if (split.rootOwn.empty())
        split.rootOwn = rootList;
    else
        split.global = rootList;
    return split;
}

std::vector<const aiMesh*> MeshesAt(const aiScene* scene, const std::vector<unsigned>& indices) {
    std::vector<const aiMesh*> meshes;
    for (unsigned i : indices)
        if (i < scene->mNumMeshes) meshes.push_back(scene->mMeshes[i]);
    return meshes;
}

// Frames are built depth first; the bound only matters for hostile files.
IDirect3DRMFrame* BuildFrame(LoadContext& ctx, const aiNode* node, int depth) {
    IDirect3DRMFrame* frame = new IDirect3DRMFrame;
    frame->SetName(node->mName.C_Str());
    SetTransform(frame, node->mTransformation);
    ctx.frames.emplace(frame->name, frame);
    std::vector<const aiMesh*> meshes =
        node == ctx.scene->mRootNode
            ? MeshesAt(ctx.scene, ctx.split.rootOwn)
            : MeshesAt(ctx.scene, std::vector<unsigned>(node->mMeshes, node->mMeshes + node->mNumMeshes));
    if (!meshes.empty()) {
        IDirect3DRMMeshBuilder* mb = BuildMesh(ctx, meshes);
        mb->SetName(node->mName.C_Str());
        frame->AddVisual(mb);
        mb->Release();
    }
    if (depth < 256) {
        for (unsigned i = 0; i < node->mNumChildren; ++i) {
            IDirect3DRMFrame* child = BuildFrame(ctx, node->mChildren[i], depth + 1);
            frame->AddChild(child);
            child->Release();
        }
    }
    return frame;
}

// Hands a new top-level object to the parent frame (lent to the callback) or to the
// callback (given), or drops it when nobody takes it.
void Deliver(IDirect3DRMObject* object, const GUID& type, IDirect3DRMFrame* parent,
             D3DRMLOADCALLBACK loaded, LPVOID argument) {
    if (parent) {
        if (auto* frame = dynamic_cast<IDirect3DRMFrame*>(object))
            parent->AddChild(frame);
        else if (auto* visual = dynamic_cast<IDirect3DRMVisual*>(object))
            parent->AddVisual(visual);
        if (loaded) loaded(object, &type, argument);
        object->Release();
    } else if (loaded) {
        loaded(object, &type, argument);
    } else {
        object->Release();
    }
}

IDirect3DRMAnimation* BuildAnimation(LoadContext& ctx, const aiNodeAnim* channel,
                                     D3DRMANIMATIONOPTIONS options) {
    auto target = ctx.frames.find(channel->mNodeName.C_Str());
    if (target == ctx.frames.end()) return nullptr;
    IDirect3DRMAnimation* a = new IDirect3DRMAnimation;
    a->SetOptions(options);
    a->SetFrame(target->second);
    for (unsigned k = 0; k < channel->mNumPositionKeys; ++k) {
        const aiVectorKey& key = channel->mPositionKeys[k];
        a->AddPositionKey(static_cast<D3DVALUE>(key.mTime), key.mValue.x, key.mValue.y,
                          key.mValue.z);
    }
    for (unsigned k = 0; k < channel->mNumScalingKeys; ++k) {
        const aiVectorKey& key = channel->mScalingKeys[k];
        a->AddScaleKey(static_cast<D3DVALUE>(key.mTime), key.mValue.x, key.mValue.y,
                       key.mValue.z);
    }
    for (unsigned k = 0; k < channel->mNumRotationKeys; ++k) {
        const aiQuatKey& key = channel->mRotationKeys[k];
        // The importer's quaternion turns column vectors; its conjugate is the file's value,
        // the one D3DRMMatrixFromQuaternion turns into the row-vector matrix.
        D3DRMQUATERNION q{key.mValue.w, D3DVECTOR{-key.mValue.x, -key.mValue.y, -key.mValue.z}};
        a->AddRotateKey(static_cast<D3DVALUE>(key.mTime), &q);
    }
    return a;
}

}  // namespace

HRESULT IDirect3DRM::Load(LPVOID source, LPVOID objectId, GUID** guids, DWORD guidCount,
                          D3DRMLOADOPTIONS options, D3DRMLOADCALLBACK loaded,
                          LPVOID loadedArgument, D3DRMLOADTEXTURECALLBACK loadTexture,
                          LPVOID loadTextureArgument, IDirect3DRMFrame* parentFrame) {
    (void)objectId;  // every object of the requested types is loaded
    RmLog("IDirect3DRM::Load");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRM::Load", &fault)) return fault;
    if (guidCount > 0 && !guids) return D3DRMERR_BADVALUE;
    Wanted want;
    for (DWORD i = 0; i < guidCount; ++i) {
        if (!guids[i]) continue;
        want.frames |= SameGuid(*guids[i], IID_IDirect3DRMFrame);
        want.meshes |= SameGuid(*guids[i], IID_IDirect3DRMMeshBuilder);
        want.animationSets |= SameGuid(*guids[i], IID_IDirect3DRMAnimationSet);
        want.animations |= SameGuid(*guids[i], IID_IDirect3DRMAnimation);
    }
    if (guidCount == 0) want = Wanted{true, true, true, true};

    std::vector<uint8_t> bytes;
    HRESULT error = D3DRM_OK;
    std::string path;
    if (!ReadSource(source, options, bytes, error, path)) return error;
    // A refused file is named once; loads from memory have no name to give.
    auto refuse = [&path](const std::string& why) {
        if (!path.empty()) ReportFileProblem(path, "not loaded: " + why);
        return D3DRMERR_BADFILE;
    };
    if (bytes.size() < kMinXFileSize || std::memcmp(bytes.data(), "xof ", 4) != 0)
        return refuse("not an X file");
    // Damage the importer would crash on is refused like any other unreadable file.
    if (const char* why = CheckXFileStructure(bytes.data(), bytes.size())) return refuse(why);

    Assimp::Importer importer;
    const aiScene* scene = nullptr;
    try {
        scene = importer.ReadFileFromMemory(bytes.data(), bytes.size(),
                                            aiProcess_ConvertToLeftHanded, "x");
    } catch (...) {
        scene = nullptr;
    }
    if (!scene || !scene->mRootNode) return refuse(importer.GetErrorString());

    LoadContext ctx{this, scene, loadTexture, loadTextureArgument, {}, {}, {}};
    // Top-level objects stay alive until the animations that name their frames are built,
    // whatever the callback does with them.
    std::vector<IDirect3DRMObject*> held;
    auto deliver = [&](IDirect3DRMObject* object, const GUID& type) {
        object->AddRef();
        held.push_back(object);
        Deliver(object, type, parentFrame, loaded, loadedArgument);
    };
    try {
        const aiNode* root = scene->mRootNode;
        ctx.split = SplitMeshes(scene);
        if (want.frames) {
            if (IsSyntheticRoot(root)) {
                for (unsigned i = 0; i < root->mNumChildren; ++i)
                    deliver(BuildFrame(ctx, root->mChildren[i], 1), IID_IDirect3DRMFrame);
            } else {
                deliver(BuildFrame(ctx, root, 0), IID_IDirect3DRMFrame);
            }
        }
        if (want.meshes) {
            std::vector<const aiMesh*> global = MeshesAt(scene, ctx.split.global);
            if (!global.empty())
                deliver(BuildMesh(ctx, global), IID_IDirect3DRMMeshBuilder);
        }
        if (want.animationSets || want.animations) {
            auto allOptions = ScanAnimationOptions(reinterpret_cast<const char*>(bytes.data()),
                                                   bytes.size());
            if (allOptions.size() != scene->mNumAnimations) allOptions.clear();
            for (unsigned s = 0; s < scene->mNumAnimations; ++s) {
                const aiAnimation* anim = scene->mAnimations[s];
                bool paired = !allOptions.empty() && allOptions[s].size() == anim->mNumChannels;
                IDirect3DRMAnimationSet* set = nullptr;
                if (want.animationSets) {
                    set = new IDirect3DRMAnimationSet;
                    set->SetName(anim->mName.C_Str());
                }
                for (unsigned c = 0; c < anim->mNumChannels; ++c) {
                    D3DRMANIMATIONOPTIONS o =
                        paired ? allOptions[s][c]
                               : D3DRMANIMATION_CLOSED | D3DRMANIMATION_LINEARPOSITION;
                    IDirect3DRMAnimation* a = BuildAnimation(ctx, anim->mChannels[c], o);
                    if (!a) continue;
                    if (set) {
                        set->AddAnimation(a);
                        a->Release();
                    } else if (loaded) {
                        loaded(a, &IID_IDirect3DRMAnimation, loadedArgument);
                    } else {
                        a->Release();
                    }
                }
                if (set) {
                    if (loaded)
                        loaded(set, &IID_IDirect3DRMAnimationSet, loadedArgument);
                    else
                        set->Release();
                }
            }
        }
    } catch (const std::bad_alloc&) {
        error = D3DRMERR_BADALLOC;
    }
    for (IDirect3DRMObject* object : held) object->Release();
    for (auto& entry : ctx.textures)
        if (entry.second) entry.second->Release();
    return error;
}
