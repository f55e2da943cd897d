// zelk6-showdata: writes the built-in show data (pictures, raw texture, scene scripts, X files,
// textures, music module) into a folder, the same bytes on every run.
//
//   zelk6-showdata DIR
//
// DIR and its subfolders are created as needed; existing files are replaced. Run the show
// (zelk6) with DIR as its working folder. Exit codes: 0 done, 64 usage error, 1 a file could
// not be written (one line on stderr says which and why).
#include <cstdio>
#include <exception>

#include "tools/showdata/output.h"
#include "tools/showdata/showdata.h"

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr,
                     "usage: zelk6-showdata DIR\n"
                     "Writes the built-in show data (images/, scripts/, models/, textures/,\n"
                     "zelkmod.xm) into DIR.\n");
        return 64;
    }
    showdata::OutputRoot = argv[1];
    try {
        showdata::WritePictures();
        showdata::WriteTunnelTexture();
        showdata::WriteScenes();
        // Last, so its time stamp tells the build that the whole set is complete.
        showdata::WriteMusic();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zelk6-showdata: %s\n", error.what());
        return 1;
    }
    return 0;
}
