// kmediagen ROOT: writes the game's textures, meshes and levels under ROOT/kMedia/
// and the engine's media under ROOT/media/.
// kmediagen --icons DATADIR: writes the programs' icons under DATADIR/icons/hicolor/.
#include <cstdio>
#include <cstring>
#include <string>

#include "media/Icons.h"
#include "media/MediaGenerator.h"

int main(int argc, char** argv)
{
    const bool icons = argc == 3 && std::strcmp(argv[1], "--icons") == 0;
    // A ROOT that looks like an option is a mistyped command line, not a folder to make.
    if (!icons && (argc != 2 || argv[1][0] == '-')) {
        std::fprintf(stderr,
                     "usage: kmediagen ROOT             (writes ROOT/kMedia/ and ROOT/media/)\n"
                     "       kmediagen --icons DATADIR  (writes DATADIR/icons/hicolor/<N>x<N>/apps/)\n");
        return 2;
    }
    std::string error;
    if (icons) {
        if (!media::GenerateIcons(argv[2], error)) {
            std::fprintf(stderr, "kmediagen: %s\n", error.c_str());
            return 1;
        }
        std::printf("kmediagen: wrote %zu icons under %s/icons/hicolor\n", media::IconFileNames().size(), argv[2]);
        return 0;
    }
    if (!media::GenerateMedia(argv[1], error)) {
        std::fprintf(stderr, "kmediagen: %s\n", error.c_str());
        return 1;
    }
    std::printf("kmediagen: wrote %zu files under %s/kMedia\n", media::MediaFileNames().size(), argv[1]);
    return 0;
}
