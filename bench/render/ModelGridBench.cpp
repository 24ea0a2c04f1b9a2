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

#include <DeviceStats.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchMedia.h"
#include "BenchSupport.h"
#include "GlQuadGrid.h"
#include "media/XMesh.h"
#include "vEngine.h"
#include "vStaticModel.h"
#include "vTexture.h"

namespace {

const int kGrid = 45;
const int kTiles = kGrid * kGrid;

// The tile: 2 x 2 in the plane y = 0, centred on the origin, facing up,
// textured with tile.tga.
bool WriteTileMesh(const std::string& path)
{
    media::XMesh mesh("Tile");
    media::XMaterial material;
    material.texture = "tile.tga";
    const int m = mesh.AddMaterial(material);
    const media::Vec up{0, 1, 0};
    const int a = mesh.AddVertex({-1, 0, -1}, up, 0, 1), b = mesh.AddVertex({-1, 0, 1}, up, 0, 0);
    const int c = mesh.AddVertex({1, 0, 1}, up, 1, 0), d = mesh.AddVertex({1, 0, -1}, up, 1, 1);
    mesh.AddQuad(a, b, c, d, m);
    const std::string text = mesh.ToText();
    std::string error;
    if (kmf::WriteFileBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()), error)) return true;
    std::fprintf(stderr, "bench: %s\n", error.c_str());
    return false;
}

// 64 x 64 checks of 8 x 8 pixels, dark grey and blue.
std::uint32_t TilePixel(int x, int y)
{
    return ((y / 8 + x / 8) & 1) ? 0xFF2020C0u : 0xFF404040u;
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
    const int frames = bench::FramesArgument(argc, argv, 1, 200);
    const int warmup = 10;

    const std::filesystem::path dir = bench::MakeBenchFolder("vorpex_grid_bench");
    const std::string meshFile = (dir / "tile.x").string();
    const std::string textureFile = (dir / "tile.tga").string();
    if (!WriteTileMesh(meshFile) || !bench::WriteTga(textureFile, 64, 64, TilePixel)) return 1;

    HWND hwnd = NULL;
    vEngine* engine = bench::OpenEngine("GridBench", &hwnd);
    if (!engine) return 1;

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
        std::fprintf(stderr, "bench: the plain-OpenGL floor could not be set up\n");
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
                const bool counted = f >= warmup / 2;
                bench::TimeFrame(
                    [&] {
                        engine->Clear();
                        objDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
                        for (int i = 0; i < tiles; ++i) {
                            tile.SetMatrix(TileMatrix(i / kGrid, i % kGrid));
                            tile.Render();
                        }
                        D3D9FrameStats stats = {};
                        D3D9_GetFrameStats(objDevice, &stats, nullptr);
                        if (counted) results[v].drawn += stats.drawCalls;
                        engine->Present();
                    },
                    counted ? &results[v].engine : nullptr);
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
    const double emptyEngine = bench::Median(results[2].engine), emptyGl = bench::Median(results[2].gl);
    for (int v = 0; v < kViews; ++v) {
        const double e = bench::Median(results[v].engine), g = bench::Median(results[v].gl);
        std::printf(
            "  %-14s vStaticModel::Render %7.3f ms (median %7.3f, %4.0f draws)  plain GL %7.3f ms "
            "(median %7.3f, %4d draws)  ratio of medians %.3f\n",
            views[v].name, bench::Mean(results[v].engine), e, results[v].drawn / (double)results[v].engine.size(),
            bench::Mean(results[v].gl), g, v == 2 ? 0 : kTiles, bench::Ratio(e, g));
        // The drawing alone: each side less its own empty frame (clear and present).
        const double drawEngine = e - emptyEngine, drawGl = g - emptyGl;
        if (v != 2 && drawGl > 0)
            std::printf("  %-14s drawing only: %7.3f ms against %7.3f ms, ratio %.3f\n", "", drawEngine, drawGl,
                        drawEngine / drawGl);
    }
    return 0;
}
