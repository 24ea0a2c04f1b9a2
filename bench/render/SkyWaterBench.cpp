// Frame time of a sky box and a water plane with its reflection pass,
// headless at 1016 x 756, against plain OpenGL issuing the same draws in the
// same run: into a 256 x 256 target, a clear and the six sky faces; on the
// screen, a clear, the six sky faces and the water surface with the same
// shader program as media/fx/water.fx. Run from anywhere: the bench finds the
// effect file in the source tree.
//
//   vorpex_sky_water_bench [frames, default 200]
#include <windows.h>

#include <DeviceStats.h>
#include <SDL.h>
#include <epoxy/gl.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchMedia.h"
#include "BenchSupport.h"
#include "EffectPrograms.h"
#include "GlFloorSupport.h"
#include "vEngine.h"
#include "vSkyBox.h"
#include "vTexture.h"
#include "vWaterPlane.h"

namespace {

const int kWidth = 1016;
const int kHeight = 756;

unsigned SkyPixel(int, int y, int k)
{
    return 0xFF000000u | (unsigned)(40 + 30 * k) << 16 | (unsigned)(80 + y / 2) << 8 | 0xE0u;
}

unsigned DudvPixel(int x, int y, int)
{
    return 0xFF000080u | (unsigned)(128 + ((x * 7 + y * 3) % 64) - 32) << 16 |
           (unsigned)(128 + ((x * 3 - y * 5 + 640) % 64) - 32) << 8;
}

// Mean red, green and blue (0 ... 255) of the top and bottom halves of a
// top-row-first 0xAARRGGBB picture: a check that both sides drew the same.
void PrintMeans(const char* side, const std::vector<unsigned>& pixels, int width, int height)
{
    double sum[2][3] = {};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned c = pixels[(size_t)y * width + x];
            double* s = sum[y < height / 2 ? 0 : 1];
            s[0] += (c >> 16) & 0xFF, s[1] += (c >> 8) & 0xFF, s[2] += c & 0xFF;
        }
    const double n = (double)width * (height / 2);
    std::printf("  %-8s mean colour, top half %3.0f %3.0f %3.0f, bottom half %3.0f %3.0f %3.0f\n", side, sum[0][0] / n,
                sum[0][1] / n, sum[0][2] / n, sum[1][0] / n, sum[1][1] / n, sum[1][2] / n);
}

// --- the plain OpenGL floor ------------------------------------------------

struct GlFloor {
    bench::GlFloorWindow window;
    GLuint skyProgram = 0, waterProgram = 0;
    GLuint skyVao = 0, waterVao = 0;
    GLuint skyTextures[6] = {}, dudv = 0;
    GLuint fbo = 0, reflection = 0, depth = 0;
    std::vector<unsigned> lastPicture;
    GLint skyMvp = -1, skyTex = -1, viewProj = -1, mprojtex = -1, water = -1, dudvLoc = -1, offset = -1;
};

const char* kSkyVertex = R"(#version 330 core
layout(location = 0) in vec3 POSITION; layout(location = 1) in vec2 TEXCOORD0; uniform mat4 mvp; out vec2 uv;
void main() { uv = TEXCOORD0; gl_Position = mvp * vec4(POSITION, 1.0); })";
const char* kSkyFragment = R"(#version 330 core
in vec2 uv; uniform sampler2D tex; out vec4 colour;
void main() { colour = texture(tex, uv); })";

GLuint Texture(int size, unsigned (*pixel)(int, int, int), int k, bool wrap)
{
    std::vector<unsigned> pixels((size_t)size * size);
    for (int i = 0; i < size * size; ++i) pixels[(size_t)i] = pixel(i % size, i / size, k);
    GLuint t = 0;
    glGenTextures(1, &t);
    glBindTexture(GL_TEXTURE_2D, t);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    const GLint mode = wrap ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, mode);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, mode);
    return t;
}

bool OpenFloor(GlFloor& g, const float* skyVertices, const float* waterVertices)
{
    if (!g.window.Open("gl sky water", kWidth, kHeight)) return false;

    g.skyProgram = bench::LinkGlProgram(kSkyVertex, kSkyFragment);
    g.waterProgram = bench::LinkGlProgram(bench::kWaterEffectVertex, bench::kWaterEffectFragment);
    if (!g.skyProgram || !g.waterProgram) return false;
    g.skyMvp = glGetUniformLocation(g.skyProgram, "mvp");
    g.skyTex = glGetUniformLocation(g.skyProgram, "tex");
    g.viewProj = glGetUniformLocation(g.waterProgram, "ViewProj");
    g.mprojtex = glGetUniformLocation(g.waterProgram, "Mprojtex");
    g.water = glGetUniformLocation(g.waterProgram, "Water");
    g.dudvLoc = glGetUniformLocation(g.waterProgram, "Dudv");
    g.offset = glGetUniformLocation(g.waterProgram, "DudvOffset");

    g.skyVao = bench::StaticVertexArray(skyVertices, 24 * 20, 20, {{0, 3, 0}, {1, 2, 12}});
    g.waterVao = bench::StaticVertexArray(waterVertices, 4 * 32, 32, {{0, 3, 0}, {1, 2, 24}});

    for (int k = 0; k < 6; ++k) g.skyTextures[k] = Texture(256, SkyPixel, k, false);
    g.dudv = Texture(128, DudvPixel, 0, true);

    glGenTextures(1, &g.reflection);
    glBindTexture(GL_TEXTURE_2D, g.reflection);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 256, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glGenRenderbuffers(1, &g.depth);
    glBindRenderbuffer(GL_RENDERBUFFER, g.depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, 256, 256);
    glGenFramebuffers(1, &g.fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, g.fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, g.reflection, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, g.depth);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return complete && glGetError() == GL_NO_ERROR;
}

void DrawSkyGl(GlFloor& g, const D3DXMATRIX& mvp)
{
    glDisable(GL_DEPTH_TEST);
    glUseProgram(g.skyProgram);
    glBindVertexArray(g.skyVao);
    glUniformMatrix4fv(g.skyMvp, 1, GL_FALSE, &mvp._11);
    glUniform1i(g.skyTex, 0);
    glActiveTexture(GL_TEXTURE0);
    for (int k = 0; k < 6; ++k) {
        glBindTexture(GL_TEXTURE_2D, g.skyTextures[k]);
        glDrawArrays(GL_TRIANGLE_STRIP, 4 * k, 4);
    }
    glEnable(GL_DEPTH_TEST);
}

// empty: the clears and the swap only.
void RunFloor(GlFloor& g, const D3DXMATRIX& mirroredSky, const D3DXMATRIX& sky, const D3DXMATRIX& viewProj,
              const D3DXMATRIX& projTex, int frames, bool empty, std::vector<double>& times)
{
    g.window.MakeCurrent();
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (int f = 0; f < frames; ++f)
        g.window.TimeFrame(
            [&] {
                glBindFramebuffer(GL_FRAMEBUFFER, g.fbo);
                glViewport(0, 0, 256, 256);
                glClearColor(0.3f, 0.3f, 1.0f, 1.0f);
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                if (!empty) DrawSkyGl(g, mirroredSky);

                glBindFramebuffer(GL_FRAMEBUFFER, 0);
                glViewport(0, 0, kWidth, kHeight);
                glClearColor(0.7f, 0.7f, 1.0f, 1.0f);
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                if (empty) return;
                DrawSkyGl(g, sky);
                glUseProgram(g.waterProgram);
                glBindVertexArray(g.waterVao);
                glUniformMatrix4fv(g.viewProj, 1, GL_FALSE, &viewProj._11);
                glUniformMatrix4fv(g.mprojtex, 1, GL_FALSE, &projTex._11);
                glUniform1f(g.offset, 0.001f * f);
                glActiveTexture(GL_TEXTURE0);
                glBindTexture(GL_TEXTURE_2D, g.reflection);
                glUniform1i(g.water, 0);
                glActiveTexture(GL_TEXTURE1);
                glBindTexture(GL_TEXTURE_2D, g.dudv);
                glUniform1i(g.dudvLoc, 1);
                glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
                glActiveTexture(GL_TEXTURE0);
                if (f == frames - 1) {
                    // GL's rows run bottom up: turn them round to compare.
                    std::vector<unsigned> rows((size_t)kWidth * kHeight), picture((size_t)kWidth * kHeight);
                    glReadPixels(0, 0, kWidth, kHeight, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
                    for (int y = 0; y < kHeight; ++y)
                        std::memcpy(&picture[(size_t)y * kWidth], &rows[(size_t)(kHeight - 1 - y) * kWidth],
                                    kWidth * 4);
                    g.lastPicture = picture;
                }
            },
            &times);
}

}  // namespace

int main(int argc, char** argv)
{
    const int frames = bench::FramesArgument(argc, argv, 1, 200);
    const int warmup = 10;

    const std::filesystem::path dir = bench::MakeBenchFolder("vorpex_sky_water_bench");
    const auto skyFace = [](int k) { return [k](int x, int y) { return SkyPixel(x, y, k); }; };
    bool written =
        bench::WriteTga((dir / "dudv.tga").string(), 128, 128, [](int x, int y) { return DudvPixel(x, y, 0); });
    for (int k = 0; k < 6; ++k)
        written =
            written && bench::WriteTga((dir / ("sky" + std::to_string(k) + ".tga")).string(), 256, 256, skyFace(k));
    if (!written || chdir(KOLVAR_SOURCE_DIR) != 0) {
        std::fprintf(stderr, "cannot write the bench media or find the source tree\n");
        return 1;
    }

    HWND hwnd = NULL;
    vEngine* engine = bench::OpenEngine("SkyWaterBench", &hwnd);
    if (!engine) return 1;

    vTexture skyTextures[6], dudv;
    bool loaded = SUCCEEDED(dudv.LoadTextureFromFile((dir / "dudv.tga").c_str(), 0, 1));
    for (int k = 0; k < 6; ++k)
        loaded = loaded && SUCCEEDED(skyTextures[k].LoadTextureFromFile(
                               (dir / ("sky" + std::to_string(k) + ".tga")).c_str(), 0, 1));
    vSkyBox sky;
    sky.Init(&skyTextures[0], &skyTextures[1], &skyTextures[2], &skyTextures[3], &skyTextures[4], &skyTextures[5]);
    vWaterPlane water;
    water.InitSurface(0.0f);
    if (!loaded || !water.GetEffect()) {
        std::fprintf(stderr, "cannot load the bench media or media/fx/water.fx\n");
        return 1;
    }

    const D3DXVECTOR3 eye(100.0f, 10.0f, 60.0f), at(100.0f, 4.0f, 100.0f), up(0.0f, 1.0f, 0.0f);
    const D3DXVECTOR3 mirroredEye(eye.x, -eye.y, eye.z);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);

    // The same matrices for OpenGL, read as the column-vector form of the same products.
    D3DXMATRIX skyWorld, mirroredSkyWorld, reflect, mirroredView, viewProj, projTex, skyMvp, mirroredSkyMvp;
    D3DXMatrixScaling(&skyWorld, 50.0f, 50.0f, 50.0f);
    mirroredSkyWorld = skyWorld;
    skyWorld._41 = eye.x, skyWorld._42 = eye.y, skyWorld._43 = eye.z;
    mirroredSkyWorld._41 = mirroredEye.x, mirroredSkyWorld._42 = mirroredEye.y, mirroredSkyWorld._43 = mirroredEye.z;
    const D3DXPLANE plane(0.0f, 1.0f, 0.0f, 0.0f);
    D3DXMatrixReflect(&reflect, &plane);
    mirroredView = reflect * view;
    viewProj = view * ev_matrix3DProj;
    const D3DXMATRIX bias(0.5f, 0, 0, 0, 0, -0.5f, 0, 0, 0, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 1.0f);
    projTex = mirroredView * ev_matrix3DProj * bias;
    skyMvp = skyWorld * viewProj;
    mirroredSkyMvp = mirroredSkyWorld * mirroredView * ev_matrix3DProj;

    GlFloor floor;
    std::vector<float> skyVertices(24 * 5), waterVertices(4 * 8);
    {
        // The sky box's and the water plane's own vertex data, read back from the device's copies.
        IDirect3DVertexBuffer9* vb = nullptr;
        UINT offset = 0, stride = 0;
        objDevice->SetTransform(D3DTS_VIEW, &view);
        engine->Clear();
        sky.Update(eye, 50.0f);
        sky.Render(false);
        engine->Present();
        objDevice->GetStreamSource(0, &vb, &offset, &stride);
        void* data = nullptr;
        if (!vb || FAILED(vb->Lock(0, 0, &data, D3DLOCK_READONLY))) {
            std::fprintf(stderr, "cannot read the sky box's vertices\n");
            return 1;
        }
        std::memcpy(skyVertices.data(), data, 24 * 20);
        vb->Unlock();
        vb->Release();
        const float surface[4][8] = {{0, 0, 0, 0, 1, 0, 0, 1000},
                                     {0, 0, 20480, 0, 1, 0, 0, 0},
                                     {20480, 0, 0, 0, 1, 0, 1000, 1000},
                                     {20480, 0, 20480, 0, 1, 0, 1000, 0}};
        std::memcpy(waterVertices.data(), surface, sizeof(surface));
    }
    // The device remembers which context it made current and does not look
    // again: each switch to the reference is undone before the engine's next frame.
    SDL_Window* deviceWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext deviceContext = SDL_GL_GetCurrentContext();
    if (!OpenFloor(floor, skyVertices.data(), waterVertices.data())) {
        std::fprintf(stderr, "bench: the plain-OpenGL floor could not be set up\n");
        return 1;
    }
    SDL_GL_MakeCurrent(deviceWindow, deviceContext);

    const int rounds = 5;
    const int perRound = std::max(2, frames / rounds);
    std::vector<double> engineTimes, glTimes, engineEmpty, glEmpty;
    std::vector<std::uint32_t> enginePicture;
    double draws = 0;
    for (int round = 0; round < rounds; ++round) {
        for (int f = 0; f < warmup / 2 + perRound; ++f) {
            const bool counted = f >= warmup / 2;
            bench::TimeFrame(
                [&] {
                    objDevice->SetTransform(D3DTS_VIEW, &view);
                    objDevice->SetTransform(D3DTS_PROJECTION, &ev_matrix3DProj);
                    D3D9_ResetFrameStats(objDevice);
                    water.BeginRender(eye);
                    sky.Update(mirroredEye, 50.0f);
                    sky.Render(false);
                    water.EndRender();
                    engine->Clear();
                    sky.Update(eye, 50.0f);
                    sky.Render(false);
                    water.RenderSurface(&dudv, 0.001f * f);
                    D3D9FrameStats stats = {};
                    D3D9_GetFrameStats(objDevice, &stats, nullptr);
                    if (counted) draws += stats.drawCalls;
                    if (round == rounds - 1 && f == warmup / 2 + perRound - 1) enginePicture = bench::ReadBackBuffer();
                    engine->Present();
                },
                counted ? &engineTimes : nullptr);
        }
        // The fixed cost of a frame: the target's clear, the screen's clear and the present.
        for (int f = 0; f < warmup / 2 + perRound; ++f)
            bench::TimeFrame(
                [&] {
                    water.BeginRender(eye);
                    water.EndRender();
                    engine->Clear();
                    engine->Present();
                },
                f >= warmup / 2 ? &engineEmpty : nullptr);
        std::vector<double> times, empty;
        RunFloor(floor, mirroredSkyMvp, skyMvp, viewProj, projTex, warmup / 2 + perRound, false, times);
        glTimes.insert(glTimes.end(), times.begin() + warmup / 2, times.end());
        RunFloor(floor, mirroredSkyMvp, skyMvp, viewProj, projTex, warmup / 2 + perRound, true, empty);
        glEmpty.insert(glEmpty.end(), empty.begin() + warmup / 2, empty.end());
        SDL_GL_MakeCurrent(deviceWindow, deviceContext);
    }

    engine->Clear();
    water = vWaterPlane();
    sky = vSkyBox();
    dudv.Kill();
    for (vTexture& t : skyTextures) t.Kill();
    delete engine;
    DestroyWindow(hwnd);
    floor.window.Close();
    std::filesystem::remove_all(dir);

    const double e = bench::Median(engineTimes), g = bench::Median(glTimes);
    PrintMeans("engine", enginePicture, kWidth, enginePicture.empty() ? 0 : kHeight);
    PrintMeans("plain GL", floor.lastPicture, kWidth, floor.lastPicture.empty() ? 0 : kHeight);
    std::printf("sky box + water with reflection pass, %d x %d, %zu frames per side\n", kWidth, kHeight,
                engineTimes.size());
    std::printf("  engine   median %7.3f ms  (%.0f draws per frame)\n", e,
                draws / (double)std::max<size_t>(1, engineTimes.size()));
    std::printf("  plain GL median %7.3f ms  (13 draws per frame)\n", g);
    std::printf("  ratio of medians %.3f\n", g > 0 ? e / g : 0.0);
    const double ee = bench::Median(engineEmpty), ge = bench::Median(glEmpty);
    std::printf("  empty frames (clears and present): engine %7.3f ms, plain GL %7.3f ms\n", ee, ge);
    if (g - ge > 0)
        std::printf("  drawing only: %7.3f ms against %7.3f ms, ratio %.3f\n", e - ee, g - ge, (e - ee) / (g - ge));
    return 0;
}
