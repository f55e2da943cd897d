// Writes the show's pictures as 24-bit BMP files under images/.
#include "tools/showdata/bmp_writer.h"
#include "tools/showdata/output.h"
#include "tools/showdata/pictures.h"
#include "tools/showdata/showdata.h"

namespace showdata {

namespace {

void SavePicture(const char* name, const Image& image) {
    WriteOutputFile(name, EncodeBmp24(image));
}

}  // namespace

void WritePictures() {
    SavePicture("images/load.bmp", DrawLoadingPicture());
    SavePicture("images/zuzuv.bmp", DrawWaveOverlay());
    SavePicture("images/life.bmp", DrawTunnelCaptions());
    SavePicture("images/chain.bmp", DrawChainFrame());
    SavePicture("images/sau.bmp", DrawMeadow());
    SavePicture("images/1.bmp", DrawScrollerStrip(1));
    SavePicture("images/2.bmp", DrawScrollerStrip(2));
    SavePicture("images/3.bmp", DrawScrollerStrip(3));
}

}  // namespace showdata
