// The heightmap terrain at its largest (255 cells, 130,050 triangles):
//  - set-up to ready from the two 16 MB tables (GenerateEmpty, CreateChunks,
//    ApplyHeight, CalcNormals, GenerateAlphaMaps), each run a fresh terrain;
//  - one frame with all nine chunks in view against a plain-OpenGL floor
//    drawing the same triangles with the same four-layer shading, in the same
//    run, headless at 1016 x 756.
//
//   vorpex_terrain_bench [frames, default 200]
//
// The media comes from the media generator's terrain code, written into a
// temporary folder (the height file directly from the same heights).
#include <windows.h>

#include <DeviceStats.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "GlTerrain.h"
#include "kmf/KmfLevel.h"
#include "media/TerrainMedia.h"
#include "vEngine.h"
#include "vTerrain.h"

namespace {

const int kSize = 255;

vTerrain* BuildTerrain()
{
    vTerrain* t = new vTerrain;
    t->GenerateEmpty(kSize);
    t->CreateChunks();
    t->ApplyHeight("media\\TerrData\\heights.raw", 0, 0);
    t->CalcNormals();
    t->GenerateAlphaMaps(0, 0);
    return t;
}

bool CopyTexture(IDirect3DTexture9* texture, std::vector<std::uint8_t>& pixels, int& width, int& height)
{
    D3DSURFACE_DESC desc = {};
    D3DLOCKED_RECT locked;
    if (!texture || FAILED(texture->GetLevelDesc(0, &desc)) ||
        FAILED(texture->LockRect(0, &locked, NULL, D3DLOCK_READONLY)))
        return false;
    width = (int)desc.Width;
    height = (int)desc.Height;
    pixels.resize((size_t)width * height * 4);
    for (int y = 0; y < height; ++y)
        std::copy_n((const std::uint8_t*)locked.pBits + (size_t)y * locked.Pitch, (size_t)width * 4,
                    pixels.data() + (size_t)y * width * 4);
    texture->UnlockRect(0);
    return true;
}

// The terrain as OpenGL gets it: vertices, the nine index ranges, the textures.
bool GatherGlData(vTerrain& t, GlTerrainData& data)
{
    void* bits = nullptr;
    if (FAILED(t.m_vertexBuffer->Lock(0, 0, &bits, D3DLOCK_READONLY))) return false;
    data.vertexCount = t.m_numVertices;
    data.vertices.assign((const float*)bits, (const float*)bits + (size_t)t.m_numVertices * 10);
    t.m_vertexBuffer->Unlock();
    const int perChunk = 3 * (t.m_numTriangles / 9);
    for (const s_vChunkDesc& c : t.m_chunks) {
        if (FAILED(c.indexBuffer->Lock(0, 0, &bits, D3DLOCK_READONLY))) return false;
        data.chunkFirst.push_back((int)data.indices.size());
        data.chunkCount.push_back(perChunk);
        data.indices.insert(data.indices.end(), (const std::uint16_t*)bits, (const std::uint16_t*)bits + perChunk);
        c.indexBuffer->Unlock();
    }
    if (!CopyTexture(t.m_alphaTexture, data.pixels[0], data.width[0], data.height[0])) return false;
    for (int k = 0; k < 4; ++k)
        if (!CopyTexture(static_cast<IDirect3DTexture9*>(t.m_layerTextures[k].GetTexture()), data.pixels[k + 1],
                         data.width[k + 1], data.height[k + 1]))
            return false;
    return true;
}

double Coverage(const std::vector<std::uint32_t>& pixels)
{
    size_t lit = 0;
    for (std::uint32_t p : pixels)
        if (p & 0x00FFFFFFu) ++lit;
    return pixels.empty() ? 0.0 : (double)lit / (double)pixels.size();
}

}  // namespace

int main(int argc, char** argv)
{
    const int frames = bench::FramesArgument(argc, argv, 1, 200);
    const int warmup = 10;

    namespace fs = std::filesystem;
    const fs::path dir = bench::MakeBenchFolder("vorpex_terrain_bench");
    std::string error;
    fs::create_directories(dir / "media" / "fx");
    std::error_code ec;
    fs::copy_file(fs::path(KOLVAR_MEDIA_DIR) / "fx" / "terrain.fx", dir / "media" / "fx" / "terrain.fx", ec);
    if (ec || !media::GenerateTerrainMedia(dir.string(), error) ||
        !kmf::WriteFileBytes((dir / media::kTerrainHeightFile).string(), media::MakeTerrainHeights(), error) ||
        chdir(dir.c_str()) != 0) {
        std::fprintf(stderr, "cannot write the bench media to %s: %s\n", dir.c_str(), error.c_str());
        return 1;
    }

    HWND hwnd = NULL;
    vEngine* engine = bench::OpenEngine("TerrainBench", &hwnd);
    if (!engine) return 1;
    engine->SetBackColor(D3DXCOLOR(0.0f, 0.0f, 0.0f, 1.0f));

    // Set-up: each run a fresh terrain reading both tables from their files.
    std::vector<double> setupTimes;
    vTerrain* terrain = nullptr;
    for (int run = 0; run < 7; ++run) {
        delete terrain;
        const auto t0 = std::chrono::steady_clock::now();
        terrain = BuildTerrain();
        setupTimes.push_back(bench::MillisecondsSince(t0));
    }
    if (!terrain->m_ready || !terrain->m_heightsLoaded || !terrain->m_layersLoaded || !terrain->m_effect) {
        std::fprintf(stderr, "the terrain did not build from the bench media\n");
        return 1;
    }

    GlTerrainData glData;
    if (!GatherGlData(*terrain, glData)) {
        std::fprintf(stderr, "cannot read the terrain back for the reference\n");
        return 1;
    }

    // All nine chunks in view.
    D3DXMATRIX view, viewProj;
    const D3DXVECTOR3 eye(127.5f, 260.0f, -120.0f), at(127.5f, 0.0f, 127.5f), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixMultiply(&viewProj, &view, &ev_matrix3DProj);
    objDevice->SetTransform(D3DTS_VIEW, &view);

    engine->Clear();
    D3D9_ResetFrameStats(objDevice);
    terrain->RenderAll(false, D3DXVECTOR3(0, 0, 0), false);
    D3D9FrameStats check = {};
    D3D9_GetFrameStats(objDevice, &check, nullptr);
    const std::vector<std::uint32_t> backBuffer = bench::ReadBackBuffer();
    const double engineCoverage = Coverage(backBuffer);
    engine->Present();

    if (!GlTerrainOpen(1016, 756, glData)) {
        std::fprintf(stderr, "bench: the plain-OpenGL floor could not be set up\n");
        return 1;
    }
    const double glCoverage = GlTerrainCoverage(&viewProj._11);

    // Rounds alternate between the two sides so that load from elsewhere on
    // the machine falls on both alike; empty frames give each side's fixed cost.
    const int rounds = 5;
    const int perRound = std::max(2, frames / rounds);
    std::vector<double> engineTimes, glTimes, engineEmpty, glEmpty;
    for (int round = 0; round < rounds; ++round)
        for (int draw = 1; draw >= 0; --draw) {
            std::vector<double>& mine = draw ? engineTimes : engineEmpty;
            for (int f = 0; f < warmup / 2 + perRound; ++f)
                bench::TimeFrame(
                    [&] {
                        engine->Clear();
                        if (draw) terrain->RenderAll(false, D3DXVECTOR3(0, 0, 0), false);
                        engine->Present();
                    },
                    f >= warmup / 2 ? &mine : nullptr);
            std::vector<double> times;
            GlTerrainRun(&viewProj._11, draw != 0, warmup / 2 + perRound, times);
            std::vector<double>& theirs = draw ? glTimes : glEmpty;
            theirs.insert(theirs.end(), times.begin() + warmup / 2, times.end());
        }

    engine->Clear();
    delete terrain;
    delete engine;
    DestroyWindow(hwnd);
    GlTerrainClose();
    fs::remove_all(dir, ec);

    std::printf("terrain, %d cells, %d vertices, %lu triangles\n", kSize, glData.vertexCount,
                (unsigned long)glData.indices.size() / 3);
    std::printf("  set-up to ready (both 16 MB tables read): median %.1f ms, min %.1f ms, mean %.1f ms (%zu runs)\n",
                bench::Median(setupTimes), bench::Minimum(setupTimes), bench::Mean(setupTimes), setupTimes.size());
    std::printf("  frame check: %lu draws, %lu triangles; covered pixels engine %.1f %%, plain GL %.1f %%\n",
                (unsigned long)check.drawCalls, (unsigned long)check.primitives, 100.0 * engineCoverage,
                100.0 * glCoverage);
    const double e = bench::Median(engineTimes), g = bench::Median(glTimes);
    const double ee = bench::Median(engineEmpty), ge = bench::Median(glEmpty);
    std::printf(
        "  all nine chunks, 1016 x 756, %d frames per side: RenderAll %.3f ms (median %.3f)  plain GL %.3f ms "
        "(median %.3f)  ratio of medians %.3f\n",
        rounds * perRound, bench::Mean(engineTimes), e, bench::Mean(glTimes), g, bench::Ratio(e, g));
    std::printf("  empty frame: engine median %.3f ms, plain GL median %.3f ms; drawing only %.3f ms against %.3f ms\n",
                ee, ge, e - ee, g - ge);
    return 0;
}
