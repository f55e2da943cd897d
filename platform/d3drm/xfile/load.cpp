// IDirect3DRM::Load: an X file read and checked whole (xfile/parse.cpp), then turned into
// frames, mesh builders and animation sets. Top-level frames and meshes are built in file
// order, then the animation sets, once the frames they animate exist.
// Objects that something else holds once loaded (frames under the parent frame, meshes shown
// by it) are lent to the load callback for the call; objects nothing else holds (animation
// sets, top-level objects without a parent frame) are handed over with their reference.
#include <cstring>
#include <new>
#include <string>

#include "platform/d3drm/xfile/build.h"
#include "platform/d3drm/xfile/tokens.h"
#include "platform/win32/paths.h"
#include "platform/win32/whole_file.h"

namespace {

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

// Depth is bounded by the parse.
IDirect3DRMFrame* BuildFrame(XBuild& build, const XFrameData& x) {
    IDirect3DRMFrame* frame = new IDirect3DRMFrame;
    frame->SetName(x.name.c_str());
    std::memcpy(frame->transform, x.transform, sizeof(D3DRMMATRIX4D));
    build.frames.emplace(x.name, frame);
    for (uint32_t mesh : x.meshes) frame->AddVisual(MeshBuilderFor(build, mesh));
    for (const XFrameData& c : x.children) {
        IDirect3DRMFrame* child = BuildFrame(build, c);
        frame->AddChild(child);
        child->Release();
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

// Null when the frame it animates was not built (frames were not asked for).
IDirect3DRMAnimation* BuildAnimation(XBuild& build, const XAnimationData& x) {
    auto target = build.frames.find(x.frame);
    if (target == build.frames.end()) return nullptr;
    IDirect3DRMAnimation* a = new IDirect3DRMAnimation;
    a->SetOptions(x.options);
    a->SetFrame(target->second);
    for (const XKeyData& k : x.position) a->AddPositionKey(k.time, k.value[0], k.value[1], k.value[2]);
    for (const XKeyData& k : x.scale) a->AddScaleKey(k.time, k.value[0], k.value[1], k.value[2]);
    for (const XKeyData& k : x.rotation) {
        D3DRMQUATERNION q{k.value[0], D3DVECTOR{k.value[1], k.value[2], k.value[3]}};
        a->AddRotateKey(k.time, &q);
    }
    return a;
}

void BuildAnimationSets(XBuild& build, Wanted want, D3DRMLOADCALLBACK loaded, LPVOID argument) {
    for (const XAnimationSetData& x : build.file.sets) {
        IDirect3DRMAnimationSet* set = nullptr;
        if (want.animationSets) {
            set = new IDirect3DRMAnimationSet;
            set->SetName(x.name.c_str());
        }
        for (const XAnimationData& xa : x.animations) {
            IDirect3DRMAnimation* a = BuildAnimation(build, xa);
            if (!a) continue;
            if (set) {
                set->AddAnimation(a);
                a->Release();
            } else if (loaded) {
                loaded(a, &IID_IDirect3DRMAnimation, argument);
            } else {
                a->Release();
            }
        }
        if (set && loaded) loaded(set, &IID_IDirect3DRMAnimationSet, argument);
        else if (set) set->Release();
    }
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

    // Read and check the whole file first: a refused file builds nothing.
    std::vector<uint8_t> bytes;
    HRESULT error = D3DRM_OK;
    std::string path;
    if (!ReadSource(source, options, bytes, error, path)) return error;
    XFileData file;
    try {
        ReadXFile(bytes.data(), bytes.size(), file);
    } catch (const XFileBad& bad) {
        // Loads from memory have no name to give.
        if (!path.empty()) ReportFileProblem(path, std::string("not loaded: ") + bad.why);
        return D3DRMERR_BADFILE;
    } catch (const std::bad_alloc&) {
        return D3DRMERR_BADALLOC;
    }
    if (!file.unknownName.empty() && !path.empty())
        ReportFileProblem(path, "names '" + file.unknownName +
                                    "', which it does not hold; a material is white, anything else left out");

    XBuild build{this, file, loadTexture, loadTextureArgument, {}, {}, {}};
    build.meshes.assign(file.meshes.size(), nullptr);
    // Top-level objects stay alive until the animations that name their frames are built,
    // whatever the callback does with them.
    std::vector<IDirect3DRMObject*> held;
    auto deliver = [&](IDirect3DRMObject* object, const GUID& type) {
        object->AddRef();
        held.push_back(object);
        Deliver(object, type, parentFrame, loaded, loadedArgument);
    };
    try {
        for (const XFileData::TopObject& top : file.top) {
            if (top.frame && want.frames) {
                deliver(BuildFrame(build, file.frames[top.index]), IID_IDirect3DRMFrame);
            } else if (!top.frame && want.meshes) {
                IDirect3DRMMeshBuilder* mb = MeshBuilderFor(build, top.index);
                mb->AddRef();
                deliver(mb, IID_IDirect3DRMMeshBuilder);
            }
        }
        if (want.animationSets || want.animations) BuildAnimationSets(build, want, loaded, loadedArgument);
    } catch (const std::bad_alloc&) {
        error = D3DRMERR_BADALLOC;
    }
    for (IDirect3DRMObject* object : held) object->Release();
    for (IDirect3DRMMeshBuilder* mb : build.meshes)
        if (mb) mb->Release();
    for (auto& entry : build.textures)
        if (entry.second) entry.second->Release();
    return error;
}
