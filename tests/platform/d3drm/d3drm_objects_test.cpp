// The retained-mode stand-in's objects: defaults, colour storage, the vector helpers, frame
// placement, reference counts and the fault hooks of every creating call.
#include <cmath>
#include <cstring>
#include <string>

#include "tests/platform/d3drm/d3drm_test_support.h"

namespace {

TEST_F(RmTest, DefaultsOfNewObjects) {
    MakeScene();
    EXPECT_EQ(device->GetQuality(), static_cast<DWORD>(D3DRMRENDER_FLAT));
    EXPECT_EQ(device->GetTextureQuality(), static_cast<DWORD>(D3DRMTEXTURE_NEAREST));
    EXPECT_EQ(device->GetDither(), FALSE);
    EXPECT_EQ(device->GetWidth(), static_cast<DWORD>(kWidth));
    EXPECT_FLOAT_EQ(viewport->GetFront(), 1.0f);
    EXPECT_FLOAT_EQ(viewport->GetBack(), 100.0f);
    EXPECT_FLOAT_EQ(viewport->GetField(), 0.5f);
    EXPECT_EQ(viewport->GetProjection(), static_cast<DWORD>(D3DRMPROJECT_PERSPECTIVE));
    EXPECT_EQ(scene->GetSceneBackground(), 0xff000000u);
    EXPECT_EQ(scene->GetZbufferMode(), static_cast<DWORD>(D3DRMZBUFFER_FROMPARENT));
    D3DVECTOR dir, up, pos;
    ASSERT_EQ(camera->GetOrientation(scene, &dir, &up), D3DRM_OK);
    ASSERT_EQ(camera->GetPosition(scene, &pos), D3DRM_OK);
    EXPECT_FLOAT_EQ(dir.z, 1.0f);
    EXPECT_FLOAT_EQ(up.y, 1.0f);
    EXPECT_FLOAT_EQ(pos.x + pos.y + pos.z, 0.0f);
    IDirect3DRMLight* light = nullptr;
    ASSERT_EQ(rm->CreateLightRGB(D3DRMLIGHT_POINT, 0.5f, 1.0f, 0.0f, &light), D3DRM_OK);
    EXPECT_EQ(light->GetColor(), 0xff7fff00u);
    EXPECT_FLOAT_EQ(light->GetConstantAttenuation(), 1.0f);
    EXPECT_FLOAT_EQ(light->GetLinearAttenuation(), 0.0f);
    light->Release();
    IDirect3DRMMeshBuilder* mb = nullptr;
    ASSERT_EQ(rm->CreateMeshBuilder(&mb), D3DRM_OK);
    EXPECT_EQ(mb->GetQuality(), static_cast<DWORD>(D3DRMRENDER_GOURAUD));
    mb->Release();
}

TEST_F(RmTest, ViewportSettingsRefuseBadValues) {
    MakeScene();
    EXPECT_EQ(viewport->SetBack(100000.0f), D3DRM_OK);
    EXPECT_FLOAT_EQ(viewport->GetBack(), 100000.0f);
    EXPECT_EQ(viewport->SetBack(0.5f), D3DRMERR_BADVALUE);  // behind the front plane
    EXPECT_EQ(viewport->SetFront(0.0f), D3DRMERR_BADVALUE);
    EXPECT_EQ(viewport->SetField(-1.0f), D3DRMERR_BADVALUE);
    EXPECT_FLOAT_EQ(viewport->GetBack(), 100000.0f);
    IDirect3DRMViewport* tooWide = nullptr;
    EXPECT_EQ(rm->CreateViewport(device, camera, 1, 0, kWidth, kHeight, &tooWide),
              D3DRMERR_BADVALUE);
    EXPECT_EQ(rm->CreateViewport(device, camera, 0xFFFFFFFFu, 0, 2, 2, &tooWide),
              D3DRMERR_BADVALUE);  // x + width wraps in 32 bits
    EXPECT_EQ(tooWide, nullptr);
}

TEST_F(RmTest, SceneBackgroundTruncatesAndClampsOnTheRoot) {
    MakeScene();
    camera->SetSceneBackgroundRGB(0.5f, 0.8f, 0.58f);  // set through a child: lands on the root
    EXPECT_EQ(scene->GetSceneBackground(), 0xff7fcc93u);
    scene->SetSceneBackgroundRGB(0.0f, 0.282352f, 0.282352f);
    EXPECT_EQ(camera->GetSceneBackground(), 0xff004747u);
    scene->SetSceneBackgroundRGB(-1.0f, 2.0f, 1.0f);
    EXPECT_EQ(scene->GetSceneBackground(), 0xff00ffffu);
}

TEST(RmMath, VectorRotateMatchesThePlatform) {
    D3DVECTOR v{3, 4, 0}, axis{0, 0, 2}, r;
    D3DRMVectorRotate(&r, &v, &axis, 2.0f * 3.14159265f / 3.0f);
    EXPECT_NEAR(r.x, -0.3f - 0.4f * std::sqrt(3.0f), 1e-5);
    EXPECT_NEAR(r.y, 0.3f * std::sqrt(3.0f) - 0.4f, 1e-5);
    EXPECT_NEAR(r.z, 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(axis.z, 1.0f);  // the axis is normalised in place
    // A quarter turn about +y takes +z to +x; the result is always unit length.
    D3DVECTOR d{0, 0, 5}, y{0, 1, 0};
    D3DRMVectorRotate(&r, &d, &y, 1.570796f);
    EXPECT_NEAR(r.x, 1.0f, 1e-5);
    EXPECT_NEAR(r.z, 0.0f, 1e-5);
    D3DVECTOR zero{0, 0, 0}, zaxis{0, 0, 0};
    D3DRMVectorRotate(&r, &zero, &zaxis, 1.0f);
    EXPECT_FLOAT_EQ(r.x, 1.0f);
    D3DVECTOR n{0, 0, 0};
    D3DRMVectorNormalize(&n);
    EXPECT_FLOAT_EQ(n.x, 1.0f);
}

TEST(RmMath, MatrixFromQuaternionAndSlerp) {
    D3DRMQUATERNION q{1, D3DVECTOR{2, 3, 4}};
    D3DRMMATRIX4D m;
    D3DRMMatrixFromQuaternion(m, &q);
    EXPECT_FLOAT_EQ(m[0][0], -49.0f);
    EXPECT_FLOAT_EQ(m[0][1], 4.0f);   // 2(xy - zs)
    EXPECT_FLOAT_EQ(m[1][0], 20.0f);  // 2(xy + zs)
    EXPECT_FLOAT_EQ(m[2][1], 28.0f);  // 2(yz + xs)
    EXPECT_FLOAT_EQ(m[3][3], 1.0f);
    D3DRMQUATERNION a{1, D3DVECTOR{0, 0, 0}}, b{-1, D3DVECTOR{0, 0, 0}}, r;
    D3DRMQuaternionSlerp(&r, &a, &b, 0.5f);  // opposite signs: the same rotation, no flip
    EXPECT_FLOAT_EQ(r.s, 1.0f);
}

TEST_F(RmTest, FrameHierarchyComposesRowVectorMatrices) {
    MakeScene();
    IDirect3DRMFrame *parent = nullptr, *child = nullptr;
    ASSERT_EQ(rm->CreateFrame(scene, &parent), D3DRM_OK);
    ASSERT_EQ(rm->CreateFrame(parent, &child), D3DRM_OK);
    D3DRMMATRIX4D m = {{2, 0, 0, 0}, {0, 4, 0, 0}, {0, 0, 8, 0}, {64, 64, 64, 1}};
    ASSERT_EQ(parent->AddTransform(D3DRMCOMBINE_REPLACE, m), D3DRM_OK);
    child->AddTranslation(D3DRMCOMBINE_REPLACE, 1, 1, 1);
    // The child's point (3, 5, 7) seen from the root: the child's matrix first, then the
    // parent's, (3 + 1) * 2 + 64 and so on. The other order would give (71, 85, 121).
    IDirect3DRMFrame* probe = nullptr;
    ASSERT_EQ(rm->CreateFrame(child, &probe), D3DRM_OK);
    probe->SetPosition(child, 3, 5, 7);
    D3DVECTOR p;
    probe->GetPosition(scene, &p);
    EXPECT_FLOAT_EQ(p.x, 72.0f);
    EXPECT_FLOAT_EQ(p.y, 88.0f);
    EXPECT_FLOAT_EQ(p.z, 128.0f);
    m[0][3] = 1;  // not affine
    EXPECT_EQ(parent->AddTransform(D3DRMCOMBINE_REPLACE, m), D3DRMERR_BADVALUE);
    EXPECT_EQ(scene->AddChild(scene), D3DRMERR_BADVALUE);
    EXPECT_EQ(probe->AddChild(parent), D3DRMERR_BADVALUE);  // an ancestor: a cycle
    probe->Release();
    child->Release();
    parent->Release();
}

TEST_F(RmTest, SetOrientationBuildsAxesAndRefusesDegeneratePairs) {
    MakeScene();
    camera->SetPosition(scene, 1, 2, 3);
    ASSERT_EQ(camera->SetOrientation(scene, 1, 0, 0, 0.5f, 5, 0), D3DRM_OK);
    D3DRMMATRIX4D m;
    camera->GetTransform(m);
    EXPECT_NEAR(m[2][0], 1.0f, 1e-6);  // z along the direction
    EXPECT_NEAR(m[1][1], 1.0f, 1e-6);  // y: up made perpendicular
    EXPECT_NEAR(m[0][2], -1.0f, 1e-6); // x = y cross z
    EXPECT_FLOAT_EQ(m[3][0], 1.0f);    // position kept
    EXPECT_FLOAT_EQ(m[3][2], 3.0f);
    EXPECT_EQ(camera->SetOrientation(scene, 0, 0, 0, 0, 1, 0), D3DRMERR_BADVALUE);
    EXPECT_EQ(camera->SetOrientation(scene, 0, 2, 0, 0, 1, 0), D3DRMERR_BADVALUE);
    D3DRMMATRIX4D after;
    camera->GetTransform(after);
    EXPECT_EQ(std::memcmp(m, after, sizeof(m)), 0);
}

TEST_F(RmTest, ReferencesKeepWhatIsStillUsed) {
    MakeScene();
    IDirect3DRMFrame* child = nullptr;
    IDirect3DRMLight* light = nullptr;
    ASSERT_EQ(rm->CreateFrame(scene, &child), D3DRM_OK);
    ASSERT_EQ(rm->CreateLightRGB(D3DRMLIGHT_AMBIENT, 1, 1, 1, &light), D3DRM_OK);
    child->AddLight(light);
    child->AddLight(light);  // a duplicate is ignored
    EXPECT_EQ(child->lights.size(), 1u);
    EXPECT_EQ(light->Release(), 1u);  // the frame keeps it
    EXPECT_EQ(child->Release(), 1u);  // the parent keeps it
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMFrame"), 3);
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMLight"), 1);
    // The root goes: its children and their lights go with it, except the camera, which the
    // viewport still holds.
    scene->Release();
    scene = nullptr;
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMFrame"), 1);
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMLight"), 0);
    EXPECT_EQ(camera->parent, nullptr);
    // The device keeps its surface until the last viewport on it has gone.
    EXPECT_EQ(surface->refs, 2u);
    device->Release();
    device = nullptr;
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMDevice"), 1);
    viewport->Release();
    viewport = nullptr;
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMDevice"), 0);
    EXPECT_EQ(surface->refs, 1u);
}

TEST_F(RmTest, DeviceIdentities) {
    ASSERT_EQ(Direct3DRMCreate(&rm), D3DRM_OK);
    surface = NewSurface(kWidth, kHeight, false, DDSCAPS_BACKBUFFER, "back");
    GUID ids[3] = {IID_IDirect3DHALDevice, IID_IDirect3DMMXDevice, GUID{}};
    for (GUID& id : ids) {
        IDirect3DRMDevice* d = nullptr;
        ASSERT_EQ(rm->CreateDeviceFromSurface(&id, nullptr, surface, &d), D3DRM_OK);
        EXPECT_EQ(std::memcmp(&d->identity, &id, sizeof(GUID)), 0);
        d->Release();
    }
    GUID unknown = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    IDirect3DRMDevice* d = nullptr;
    EXPECT_EQ(rm->CreateDeviceFromSurface(&unknown, nullptr, surface, &d), D3DRMERR_BADDEVICE);
    EXPECT_EQ(rm->CreateDeviceFromSurface(nullptr, nullptr, nullptr, &d), D3DRMERR_BADOBJECT);
    EXPECT_EQ(d, nullptr);
    EXPECT_EQ(surface->refs, 1u);
}

TEST_F(RmTest, AnimationKeysInterpolateAsTheOptionsSay) {
    MakeScene();
    IDirect3DRMAnimation* a = nullptr;
    IDirect3DRMAnimationSet* set = nullptr;
    ASSERT_EQ(rm->CreateAnimation(&a), D3DRM_OK);
    ASSERT_EQ(rm->CreateAnimationSet(&set), D3DRM_OK);
    EXPECT_EQ(a->GetOptions(),
              static_cast<DWORD>(D3DRMANIMATION_CLOSED | D3DRMANIMATION_LINEARPOSITION));
    EXPECT_EQ(a->SetOptions(D3DRMANIMATION_OPEN | D3DRMANIMATION_CLOSED), D3DRMERR_BADVALUE);
    a->SetFrame(camera);
    // Keys added out of order are kept sorted by time.
    const float xs[4] = {0, 1, 4, 9};
    for (int k : {3, 0, 2, 1}) a->AddPositionKey(static_cast<float>(k), xs[k], 0, 0);
    a->AddScaleKey(0, 1, 1, 1);
    a->AddScaleKey(2, 3, 1, 1);
    set->AddAnimation(a);
    a->Release();

    set->SetTime(1.5f);
    EXPECT_FLOAT_EQ(camera->transform[3][0], 2.5f);  // linear between 1 and 4
    EXPECT_FLOAT_EQ(camera->transform[0][0], 2.5f);  // scale keys 1 at 0, 3 at 2: 1 + 2 * 0.75
    a->SetOptions(D3DRMANIMATION_CLOSED | D3DRMANIMATION_SPLINEPOSITION);
    set->SetTime(1.5f);
    // Catmull-Rom through 0, 1, 4, 9 at the middle of the second span.
    EXPECT_FLOAT_EQ(camera->transform[3][0], 2.25f);
    a->SetOptions(D3DRMANIMATION_CLOSED | D3DRMANIMATION_LINEARPOSITION);
    set->SetTime(3.5f);  // closed: 3.5 wraps to 0.5 of the 0..3 loop
    EXPECT_FLOAT_EQ(camera->transform[3][0], 0.5f);
    a->SetOptions(D3DRMANIMATION_OPEN | D3DRMANIMATION_LINEARPOSITION);
    set->SetTime(3.5f);
    EXPECT_FLOAT_EQ(camera->transform[3][0], 9.0f);
    set->Release();
    EXPECT_EQ(standin::LiveObjects("IDirect3DRMAnimation"), 0);
    EXPECT_EQ(camera->refs, 3u);  // the test's, the root's and the viewport's: none left over
}

// Each creating call fails through the hooks, leaves its out-pointer null and creates nothing.
class RmFault : public RmTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RmFault, CreatingCallFailsCleanly) {
    MakeScene();
    const std::string call = GetParam();
    std::vector<std::string> kinds = standin::LiveObjectKinds();
    int before = 0;
    for (const std::string& k : kinds) before += standin::LiveObjects(k.c_str());
    standin::FailCall(call, 1, D3DRMERR_BADALLOC);
    HRESULT result = D3DRM_OK;
    void* out = &result;  // anything not null
    if (call == "Direct3DRMCreate") {
        IDirect3DRM* p = rm;
        result = Direct3DRMCreate(&p);
        out = p;
    } else if (call == "IDirect3DRM::CreateDeviceFromSurface") {
        IDirect3DRMDevice* p = device;
        result = rm->CreateDeviceFromSurface(nullptr, nullptr, surface, &p);
        out = p;
    } else if (call == "IDirect3DRM::CreateFrame") {
        IDirect3DRMFrame* p = scene;
        result = rm->CreateFrame(scene, &p);
        out = p;
    } else if (call == "IDirect3DRM::CreateLightRGB") {
        IDirect3DRMLight* p = reinterpret_cast<IDirect3DRMLight*>(scene);
        result = rm->CreateLightRGB(D3DRMLIGHT_POINT, 1, 1, 1, &p);
        out = p;
    } else if (call == "IDirect3DRM::CreateViewport") {
        IDirect3DRMViewport* p = viewport;
        result = rm->CreateViewport(device, camera, 0, 0, 8, 8, &p);
        out = p;
    } else if (call == "IDirect3DRM::CreateMeshBuilder") {
        IDirect3DRMMeshBuilder* p = reinterpret_cast<IDirect3DRMMeshBuilder*>(scene);
        result = rm->CreateMeshBuilder(&p);
        out = p;
    } else if (call == "IDirect3DRM::LoadTexture") {
        IDirect3DRMTexture* p = reinterpret_cast<IDirect3DRMTexture*>(scene);
        result = rm->LoadTexture("anything.bmp", &p);
        out = p;
    } else if (call == "IDirect3DRM::Load") {
        result = rm->Load(const_cast<char*>("anything.x"), nullptr, nullptr, 0,
                          D3DRMLOAD_FROMFILE, nullptr, nullptr, nullptr, nullptr, scene);
        out = nullptr;
    }
    EXPECT_EQ(result, D3DRMERR_BADALLOC);
    EXPECT_EQ(out, nullptr);
    int after = 0;
    for (const std::string& k : standin::LiveObjectKinds()) after += standin::LiveObjects(k.c_str());
    EXPECT_EQ(after, before);
    EXPECT_EQ(scene->children.size(), 1u);  // only the camera
}

INSTANTIATE_TEST_SUITE_P(EachCall, RmFault,
                         ::testing::Values("Direct3DRMCreate", "IDirect3DRM::CreateDeviceFromSurface",
                                           "IDirect3DRM::CreateFrame",
                                           "IDirect3DRM::CreateLightRGB",
                                           "IDirect3DRM::CreateViewport",
                                           "IDirect3DRM::CreateMeshBuilder",
                                           "IDirect3DRM::LoadTexture", "IDirect3DRM::Load"));

TEST_F(RmTest, RenderAndUpdateFaultsAreReported) {
    MakeScene();
    standin::FailCall("IDirect3DRMViewport::Render", 1, D3DRMERR_BADVALUE);
    EXPECT_EQ(viewport->Render(scene), D3DRMERR_BADVALUE);
    EXPECT_EQ(viewport->Render(scene), D3DRM_OK);
    standin::FailCall("IDirect3DRMDevice::Update", 1);
    EXPECT_NE(device->Update(), D3DRM_OK);
    EXPECT_EQ(device->Update(), D3DRM_OK);
}

}  // namespace
