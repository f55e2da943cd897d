// LoadTexture: BMP and PPM files (names resolved like every file of the show) decoded by the
// image library into 0x00RRGGBB texels and a sampler for the rasterizer. A BMP keeps the row
// order its file stores (bottom-up files put their bottom row at v = 0), as the platform's
// first loader did; a PPM keeps its own top-down order.
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/d3drm/raster/raster.h"
#include "platform/d3drm/rm_internal.h"
#include "platform/host/image_decode.h"
#include "platform/win32/paths.h"
#include "platform/win32/whole_file.h"

namespace {

// Largest side accepted: the rasterizer resamples to at most 4096 anyway, and this keeps a
// damaged header from asking for gigabytes.
constexpr int kMaxTextureSide = 8192;
// A file of that many 32-bit pixels, with room for its headers.
constexpr size_t kMaxTextureFileBytes = (size_t{kMaxTextureSide} * kMaxTextureSide + 1024) * 4;

// A BMP is stored bottom-up unless its (Windows) info header gives a negative height.
bool BmpIsBottomUp(const std::vector<uint8_t>& b) {
    if (b.size() < 26) return true;
    uint32_t headerSize = b[14] | (b[15] << 8) | (b[16] << 16) | (uint32_t{b[17]} << 24);
    if (headerSize < 40) return true;
    int32_t height = static_cast<int32_t>(b[22] | (b[23] << 8) | (b[24] << 16) |
                                          (uint32_t{b[25]} << 24));
    return height >= 0;
}

}  // namespace

IDirect3DRMTexture::IDirect3DRMTexture() : IDirect3DRMVisual("IDirect3DRMTexture") {}

IDirect3DRMTexture::~IDirect3DRMTexture() { delete sampler; }

HRESULT IDirect3DRM::LoadTexture(LPCSTR fileName, IDirect3DRMTexture** texture) {
    if (!texture) return D3DRMERR_BADVALUE;
    *texture = nullptr;
    RmLog("IDirect3DRM::LoadTexture");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRM::LoadTexture", &fault)) return fault;
    if (!fileName) return D3DRMERR_BADVALUE;
    std::string path = ResolvePath(fileName);
    std::vector<uint8_t> bytes;
    int readError = 0;
    const WholeFile read = ReadWholeFile(path, kMaxTextureFileBytes, bytes, readError);
    if (read != WholeFile::Read) {
        ReportFileProblem(path, WhyNotRead(read, readError, "a texture"));
        return D3DRMERR_FILENOTFOUND;
    }
    // A texture the scene is drawn without is named once.
    auto refuse = [&path](const std::string& why) {
        ReportFileProblem(path, "not loaded: " + why);
        return D3DRMERR_BADFILE;
    };

    const char* type = nullptr;
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') type = "BMP";
    if (bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] >= '1' && bytes[1] <= '6') type = "PNM";
    if (!type) return refuse("neither a BMP nor a PNM picture");
    bool bottomUp = type[0] == 'B' && BmpIsBottomUp(bytes);

    DecodedImage image;
    std::string why;
    if (!DecodeImage(bytes, type, image, why)) return refuse(why);
    if (image.width < 1 || image.height < 1 || image.width > kMaxTextureSide || image.height > kMaxTextureSide)
        return refuse("larger than " + std::to_string(kMaxTextureSide) + " pixels a side");

    IDirect3DRMTexture* t = new (std::nothrow) IDirect3DRMTexture;
    HRESULT result = t ? D3DRM_OK : D3DRMERR_BADALLOC;
    if (t) {
        try {
            t->width = image.width;
            t->height = image.height;
            t->texels.resize(image.pixels.size());
            for (int row = 0; row < image.height; ++row) {
                int from = bottomUp ? image.height - 1 - row : row;
                std::memcpy(&t->texels[static_cast<size_t>(row) * image.width],
                            &image.pixels[static_cast<size_t>(from) * image.width],
                            static_cast<size_t>(image.width) * 4);
            }
            t->sampler = new RasterTexture;
            if (!RasterBuildTexture(*t->sampler, t->texels.data(), t->width, t->height, t->width))
                result = refuse("its size cannot be sampled");
        } catch (const std::bad_alloc&) {
            result = D3DRMERR_BADALLOC;
        }
    }
    if (result != D3DRM_OK) {
        if (t) t->Release();
        return result;
    }
    t->SetName(fileName);
    *texture = t;
    return D3DRM_OK;
}
