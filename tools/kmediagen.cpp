// kmediagen ROOT: writes the game's textures, meshes and levels under ROOT/kMedia/.
#include <cstdio>
#include <string>

#include "media/MediaGenerator.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kmediagen ROOT   (writes ROOT/kMedia/ and ROOT/kMedia/kMaps/)\n");
        return 2;
    }
    std::string error;
    if (!media::GenerateMedia(argv[1], error)) {
        std::fprintf(stderr, "kmediagen: %s\n", error.c_str());
        return 1;
    }
    std::printf("kmediagen: wrote %zu files under %s/kMedia\n", media::MediaFileNames().size(), argv[1]);
    return 0;
}
