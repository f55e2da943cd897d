// Test-only controls of the stand-in: make a named platform call fail, pad surface rows, see
// which platform objects are alive, read the log of calls, and forget the windows. The show
// and the tools never include this; tests do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

// Results are the platform's HRESULT values, held here as the 32-bit numbers they are, so the
// hooks need nothing of the stand-in.
constexpr int32_t kHookFail = static_cast<int32_t>(0x80004005);  // E_FAIL

// Makes the next `times` calls of `call` fail with `result` (for calls that return a handle
// or a flag, any result means "fail"). Names are spelled as the platform spells them:
// "DirectDrawCreate", "IDirectDraw::SetCooperativeLevel", "IDirectDrawSurface::Lock",
// "MIDASinit", "LoadImageA", ... Later calls to FailCall for the same name replace it.
void FailCall(const std::string& call, int times, int32_t result = kHookFail);
// The same, after `succeeding` calls that still succeed (the second CreateSurface, say).
void FailCallAfter(const std::string& call, int succeeding, int times, int32_t result = kHookFail);
// Used by the stand-in at the top of each call that can be made to fail: true (and the
// result to return) when a failure is due.
bool TakeFault(const char* call, int32_t* result = nullptr);

// Extra bytes after each surface row, to prove callers use the pitch (default 0).
void SetSurfacePitchPadding(int bytes);
int SurfacePitchPadding();

// The call log: when enabled, each platform call the system makes appends one line
// ("IDirectDrawSurface::Release back"). Off by default: a whole show makes millions.
void EnableCallLog(bool on);
bool CallLogEnabled();
void LogCall(const std::string& line);
const std::vector<std::string>& CallLog();
int CountCalls(const std::string& prefix);
// Index in the log of the first line starting with prefix, or -1.
long FirstCall(const std::string& prefix);

// Live platform objects, by kind ("IDirectDraw", "IDirectDrawSurface", "HBITMAP", "HDC",
// "IDirect3DRM", ...). The stand-in registers each object it creates and unregisters it on
// its last Release or delete. Until then the object is held here, as the platform holds a
// process's objects until the process ends: one the show never gives back (its viewports, by
// design) is kept, not lost.
void ObjectCreated(const char* kind, const void* object);
void ObjectDestroyed(const char* kind, const void* object);
int LiveObjects(const char* kind);
std::vector<std::string> LiveObjectKinds();

// Forgets faults, log, settings and counts (not the objects themselves).
void Reset();
// Forgets every window and queued message (platform/win32 keeps them).
void ResetWindows();

}  // namespace standin
