// Frame time of vStaticModel::Render for the editor's bomb grid: 45 x 45 =
// 2025 textured tiles, each placed, culled and drawn every frame, headless
// at 1016 x 756, against plain OpenGL drawing the same quads in the same run.
//
//   vorpex_model_grid_bench [frames, default 200]
//
// Views: the whole grid on screen (culling keeps every tile), the game's
// editor camera (culling drops most tiles; OpenGL still draws all), and an
// empty frame (clear and present only) for the fixed cost of each side.
#include <windows.h>
#include <Win32TestSeam.h>

#include <DeviceStats.h>
#include <epoxy/gl.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "GlQuadGrid.h"
#include "BenchSupport.h"
#include "vEngine.h"
#include "vStaticModel.h"
#include "vTexture.h"

namespace {

const int kGrid = 45;
const int kTiles = kGrid * kGrid;

const char* kTileX = R"(xof 0303txt 0032
Mesh Tile {
  4;
  -1.0;0.0;-1.0;,
  -1.0;0.0;1.0;,
  1.0;0.0;1.0;,
  1.0;0.0;-1.0;;
  2;
  3;0,1,2;,
  3;0,2,3;;
  MeshMaterialList {
    1;
    2;
    0,
    0;;
    Material {
      1.0;1.0;1.0;1.0;;
      0.0;
      0.0;0.0;0.0;;
      0.0;0.0;0.0;;
      TextureFilename {
        "tile.tga";
      }
    }
  }
  MeshTextureCoords {
    4;
    0.0;1.0;,
    0.0;0.0;,
    1.0;0.0;,
    1.0;1.0;;
  }
}
)";

bool WriteFile(const std::string& path, const void* data, size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    return true;
}

bool WriteTileTexture(const std::string& path)
{
    std::vector<unsigned char> bytes(18 + 64 * 64 * 4, 0);
    bytes[2] = 2;
    bytes[12] = 64;
    bytes[14] = 64;
    bytes[16] = 32;
    bytes[17] = 0x28;
    for (int i = 0; i < 64 * 64; ++i) {
        const bool dark = ((i / 64 / 8 + i % 64 / 8) & 1) == 0;
        unsigned char* p = &bytes[18 + (size_t)i * 4];
        p[0] = dark ? 0x40 : 0xC0;
        p[1] = dark ? 0x40 : 0x20;
        p[2] = dark ? 0x40 : 0x20;
        p[3] = 0xFF;
    }
    return WriteFile(path, bytes.data(), bytes.size());
}

struct Stats {
    double meanMs = 0;
    double medianMs = 0;
};

Stats Summarise(std::vector<double> times)
{
    Stats s;
    if (times.empty()) return s;
    for (double t : times) s.meanMs += t;
    s.meanMs /= (double)times.size();
    std::sort(times.begin(), times.end());
    s.medianMs = times[times.size() / 2];
    return s;
}

D3DXMATRIX TileMatrix(int cx, int cz)
{
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, 2.0f * cx + 1.0f, 0.1f, 2.0f * cz + 1.0f);
    return m;
}

struct View {
    const char* name;
    D3DXVECTOR3 eye, at, up;
};

}  // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 200;
    const int warmup = 10;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);

    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("vorpex_grid_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string meshFile = (dir / "tile.x").string();
    const std::string textureFile = (dir / "tile.tga").string();
    if (!WriteFile(meshFile, kTileX, std::strlen(kTileX)) || !WriteTileTexture(textureFile)) {
        std::fprintf(stderr, "cannot write the bench media to %s\n", dir.c_str());
        return 1;
    }

    HWND hwnd = NULL;
    vEngine* engine = bench::OpenEngine("GridBench", &hwnd);
    if (!engine) {
        std::fprintf(stderr, "no device: cannot run the bench here\n");
        return 1;
    }

    vTexture tileTexture;
    vStaticModel tile;
    if (FAILED(tileTexture.LoadTextureFromFile(textureFile.c_str(), 0, 1)) ||
        FAILED(tile.LoadModel(meshFile.c_str()))) {
        std::fprintf(stderr, "cannot load the bench media\n");
        return 1;
    }
    tile.SetSubsetTextureByIndex(0, &tileTexture);

    const View views[] = {
        {"whole grid", D3DXVECTOR3(45.0f, 95.0f, 45.0f), D3DXVECTOR3(45.0f, 0.0f, 45.0f), D3DXVECTOR3(0, 0, 1)},
        {"editor camera", D3DXVECTOR3(37.0f, 15.1f, 37.0f), D3DXVECTOR3(45.0f, 0.1f, 45.0f), D3DXVECTOR3(0, 1, 0)},
        {"empty frame", D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, 1, 0)},
    };
    const int kViews = 3;

    // The same quads for OpenGL: world x view x projection, read by GL as
    // the column-vector form of the same product.
    std::vector<std::vector<float>> glMatrices(kViews);
    D3DXMATRIX viewMatrices[kViews];
    for (int v = 0; v < kViews; ++v) {
        D3DXMatrixLookAtLH(&viewMatrices[v], &views[v].eye, &views[v].at, &views[v].up);
        for (int cx = 0; cx < kGrid; ++cx)
            for (int cz = 0; cz < kGrid; ++cz) {
                D3DXMATRIX world = TileMatrix(cx, cz), wv, wvp;
                D3DXMatrixMultiply(&wv, &world, &viewMatrices[v]);
                D3DXMatrixMultiply(&wvp, &wv, &ev_matrix3DProj);
                glMatrices[v].insert(glMatrices[v].end(), &wvp._11, &wvp._11 + 16);
            }
    }

    if (!GlGridOpen(1016, 756)) {
        std::fprintf(stderr, "no plain OpenGL context for the reference\n");
        return 1;
    }

    // Rounds alternate between the two so that load from elsewhere on the
    // machine falls on both alike.
    const int rounds = 5;
    const int perRound = std::max(2, frames / rounds);
    struct Result {
        std::vector<double> engine, gl;
        double drawn = 0;
    } results[kViews];
    for (int round = 0; round < rounds; ++round)
        for (int v = 0; v < kViews; ++v) {
            const int tiles = v == 2 ? 0 : kTiles;
            objDevice->SetTransform(D3DTS_VIEW, &viewMatrices[v]);
            for (int f = 0; f < warmup / 2 + perRound; ++f) {
                const auto t0 = std::chrono::steady_clock::now();
                engine->Clear();
                objDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
                for (int i = 0; i < tiles; ++i) {
                    tile.SetMatrix(TileMatrix(i / kGrid, i % kGrid));
                    tile.Render();
                }
                D3D9FrameStats stats = {};
                D3D9_GetFrameStats(objDevice, &stats, nullptr);
                engine->Present();
                glFinish();
                const double ms =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
                if (f >= warmup / 2) {
                    results[v].engine.push_back(ms);
                    results[v].drawn += stats.drawCalls;
                }
            }
            std::vector<double> glTimes;
            GlGridRun(glMatrices[v], tiles, warmup / 2 + perRound, glTimes);
            results[v].gl.insert(results[v].gl.end(), glTimes.begin() + warmup / 2, glTimes.end());
        }

    // The device releases its objects in whatever context is current: make
    // it its own again (Clear does) before tearing it down, then the reference.
    engine->Clear();
    tile.Kill();
    tileTexture.Kill();
    delete engine;
    DestroyWindow(hwnd);
    GlGridClose();
    std::filesystem::remove_all(dir);

    std::printf("model grid, %d tiles, 1016 x 756, %d frames per side and view\n", kTiles, rounds * perRound);
    const Stats emptyEngine = Summarise(results[2].engine), emptyGl = Summarise(results[2].gl);
    for (int v = 0; v < kViews; ++v) {
        const Stats e = Summarise(results[v].engine), g = Summarise(results[v].gl);
        std::printf(
            "  %-14s vStaticModel::Render %7.3f ms (median %7.3f, %4.0f draws)  plain GL %7.3f ms "
            "(median %7.3f, %4d draws)  ratio of medians %.3f\n",
            views[v].name, e.meanMs, e.medianMs, results[v].drawn / (double)results[v].engine.size(), g.meanMs,
            g.medianMs, v == 2 ? 0 : kTiles, g.medianMs > 0 ? e.medianMs / g.medianMs : 0.0);
        // The drawing alone: each side less its own empty frame (clear and present).
        const double drawEngine = e.medianMs - emptyEngine.medianMs, drawGl = g.medianMs - emptyGl.medianMs;
        if (v != 2 && drawGl > 0)
            std::printf("  %-14s drawing only: %7.3f ms against %7.3f ms, ratio %.3f\n", "", drawEngine, drawGl,
                        drawEngine / drawGl);
    }
    return 0;
}
