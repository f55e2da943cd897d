// GDI object lifetimes: bitmaps, memory contexts, surface contexts; GetObjectA, SelectObject,
// DeleteObject, DeleteDC. Reproduces the platform's rules that a bitmap sits in one memory
// context at a time and cannot be deleted while selected, and that a new memory context holds a
// 1 x 1 stock bitmap. Leaves out every other kind of GDI object (pens, brushes, fonts, regions).
#include <cstring>
#include <string>
#include <unordered_set>

#include "platform/testing/hooks.h"
#include "platform/win32/gdi.h"

namespace {

// Every live handle, so a stale or foreign handle is refused instead of followed. Owned here,
// for the whole process; the stock bitmap is never in the set's counts of HBITMAPs.
struct Objects {
    std::unordered_set<HGDIOBJ__*> bitmaps;
    std::unordered_set<HDC__*> dcs;
    HGDIOBJ__ stockBitmap;
};

Objects& G() {
    static Objects objects = [] {
        Objects o;
        o.stockBitmap.width = 1;
        o.stockBitmap.height = 1;
        o.stockBitmap.pixels.assign(1, 0);
        o.stockBitmap.stock = true;
        return o;
    }();
    return objects;
}

HDC NewDC(GdiDcKind kind) {
    HDC dc = new HDC__;
    dc->kind = kind;
    G().dcs.insert(dc);
    standin::ObjectCreated("HDC", dc);
    return dc;
}

void FreeDC(HDC dc) {
    if (dc->bitmap) dc->bitmap->selectedInto = nullptr;
    G().dcs.erase(dc);
    standin::ObjectDestroyed("HDC", dc);
    delete dc;
}

}  // namespace

bool IsGdiBitmap(HGDIOBJ object) {
    return object && (object == &G().stockBitmap || G().bitmaps.count(object) != 0);
}

bool IsGdiDC(HDC dc) { return dc && G().dcs.count(dc) != 0; }

HGDIOBJ NewGdiBitmap(int width, int height) {
    HGDIOBJ bitmap = new HGDIOBJ__;
    bitmap->width = width;
    bitmap->height = height;
    bitmap->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    G().bitmaps.insert(bitmap);
    standin::ObjectCreated("HBITMAP", bitmap);
    return bitmap;
}

HDC CreateTargetDC(const GdiPixelTarget& target) {
    if (!target.pixels || target.width <= 0 || target.height <= 0 || target.pitch % 2 != 0 ||
        static_cast<int64_t>(target.pitch) < static_cast<int64_t>(target.width) * 2)
        return nullptr;
    HDC dc = NewDC(GdiDcKind::Target);
    dc->target = target;
    return dc;
}

void DeleteTargetDC(HDC dc) {
    if (IsGdiDC(dc) && dc->kind == GdiDcKind::Target) FreeDC(dc);
}

HDC CreateCompatibleDC(HDC dc) {
    (void)dc;  // every memory context here is compatible with every surface
    standin::LogCall("CreateCompatibleDC");
    if (standin::TakeFault("CreateCompatibleDC")) return nullptr;
    HDC memory = NewDC(GdiDcKind::Memory);
    memory->bitmap = &G().stockBitmap;
    return memory;
}

BOOL DeleteDC(HDC dc) {
    standin::LogCall("DeleteDC");
    // A surface's context is given back with ReleaseDC, never deleted.
    if (!IsGdiDC(dc) || dc->kind != GdiDcKind::Memory) return FALSE;
    FreeDC(dc);
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    standin::LogCall("SelectObject");
    if (!IsGdiDC(dc) || dc->kind != GdiDcKind::Memory || !IsGdiBitmap(object)) return nullptr;
    HGDIOBJ previous = dc->bitmap;
    if (object == previous) return previous;
    if (object->selectedInto && !object->stock) return nullptr;  // held by another context
    if (previous && !previous->stock) previous->selectedInto = nullptr;
    if (!object->stock) object->selectedInto = dc;
    dc->bitmap = object;
    return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
    standin::LogCall("DeleteObject");
    if (!IsGdiBitmap(object)) return FALSE;
    if (object->stock) return TRUE;  // stock objects outlive every caller
    if (object->selectedInto) return FALSE;  // still the source of a memory context
    G().bitmaps.erase(object);
    standin::ObjectDestroyed("HBITMAP", object);
    delete object;
    return TRUE;
}

int GetObjectA(HGDIOBJ object, int size, LPVOID out) {
    standin::LogCall("GetObjectA");
    if (!IsGdiBitmap(object) || size < 0) return 0;
    if (!out) return static_cast<int>(sizeof(BITMAP));  // the size a caller needs
    BITMAP info{};
    info.bmType = 0;
    info.bmWidth = object->width;
    info.bmHeight = object->height;
    info.bmWidthBytes = object->width * 4;
    info.bmPlanes = 1;
    info.bmBitsPixel = 32;
    info.bmBits = object->pixels.data();
    // Callers built for the 32-bit platform pass 24; the pointer past that is then left out.
    size_t bytes = static_cast<size_t>(size) < sizeof(info) ? static_cast<size_t>(size) : sizeof(info);
    std::memcpy(out, &info, bytes);
    return static_cast<int>(bytes);
}
