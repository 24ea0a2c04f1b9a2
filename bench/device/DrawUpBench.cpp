// One frame of 2025 separate textured 4-vertex quads, each with its own world
// transform, at 1016 x 756 headless: through the device (SetTransform +
// DrawPrimitiveUP per quad) and as the same draws in plain GL on the same
// context (uniform + streamed vertices + draw per quad). Both end with
// glFinish, so the figures include the rasteriser's work.
//
//   SDL_VIDEODRIVER=offscreen ./device_drawup_bench
#include <d3d9.h>
#include <d3dx9math.h>
#include <windows.h>

#include "d3d9/DeviceGL.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include "GlFloorSupport.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <vector>

namespace {

constexpr int kWidth = 1016, kHeight = 756, kGrid = 45;

struct Vertex {  // 0x142: position, colour, one texture coordinate
    float x, y, z;
    DWORD color;
    float u, v;
};

struct Scene {
    HWND hwnd = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    IDirect3DTexture9* texture = nullptr;
    std::vector<D3DXMATRIX> worlds;
    Vertex quad[4];
    D3DXMATRIX proj;

    bool Open()
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "DrawUpBench";
        RegisterClassExA(&wc);
        hwnd = CreateWindowExA(0, "DrawUpBench", "bench", WS_OVERLAPPEDWINDOW, 0, 0, kWidth + 16, kHeight + 39, nullptr,
                               nullptr, nullptr, nullptr);
        d3d = hwnd ? Direct3DCreate9(D3D_SDK_VERSION) : nullptr;
        if (!d3d) return false;
        D3DPRESENT_PARAMETERS pp = {};
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.Windowed = TRUE;
        pp.EnableAutoDepthStencil = TRUE;
        pp.AutoDepthStencilFormat = D3DFMT_D24S8;
        pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hwnd, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp,
                                     &device)))
            return false;
        if (FAILED(device->CreateTexture(16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr)))
            return false;
        D3DLOCKED_RECT lr;
        texture->LockRect(0, &lr, nullptr, 0);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(lr.pBits) + y * lr.Pitch)[x] =
                    ((x ^ y) & 1) ? 0xFFFFFFFF : 0xFF808080;
        texture->UnlockRect(0);
        // Quads of 20 x 14 pixels on a 45 x 45 grid, centred on the screen.
        const Vertex q[4] = {{-10, 7, 2, 0xFFFFFFFF, 0, 0},
                             {10, 7, 2, 0xFFFFFFFF, 1, 0},
                             {-10, -7, 2, 0xFFFFFFFF, 0, 1},
                             {10, -7, 2, 0xFFFFFFFF, 1, 1}};
        memcpy(quad, q, sizeof(q));
        for (int j = 0; j < kGrid; ++j)
            for (int i = 0; i < kGrid; ++i) {
                D3DXMATRIX w;
                D3DXMatrixTranslation(&w, -kWidth / 2.0f + 12 + i * 22.2f, kHeight / 2.0f - 10 - j * 16.5f, 0);
                worlds.push_back(w);
            }
        D3DXMatrixOrthoLH(&proj, (float)kWidth, (float)kHeight, 1.0f, 10.0f);
        return true;
    }

    void Close()
    {
        if (texture) texture->Release();
        if (device) device->Release();
        if (d3d) d3d->Release();
        if (hwnd) DestroyWindow(hwnd);
        texture = nullptr;
        device = nullptr;
        d3d = nullptr;
        hwnd = nullptr;
    }
};

Scene& TheScene()
{
    static Scene* scene = [] {
        Scene* s = new Scene;
        if (!s->Open()) {
            fprintf(stderr, "device_drawup_bench: no device (%s)\n", "CreateDevice failed");
            s->Close();
        }
        return s;
    }();
    return *scene;
}

void SetUpDeviceState(IDirect3DDevice9* d, const Scene& s)
{
    D3DXMATRIX id;
    D3DXMatrixIdentity(&id);
    d->SetTransform(D3DTS_PROJECTION, &s.proj);
    d->SetTransform(D3DTS_VIEW, &id);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_ZENABLE, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    d->SetTexture(0, s.texture);
    d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
}

// One device frame: clear, then per quad its world transform and a
// 4-vertex DrawPrimitiveUP; glFinish waits for the rasteriser unless the
// caller presents instead.
void DeviceFrame(Scene& s, bool finish = true)
{
    IDirect3DDevice9* d = s.device;
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF202040, 1.0f, 0);
    d->BeginScene();
    for (const D3DXMATRIX& w : s.worlds) {
        d->SetTransform(D3DTS_WORLD, &w);
        d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, s.quad, sizeof(Vertex));
    }
    d->EndScene();
    if (finish) glFinish();
}

// Resident memory of this process in megabytes.
double ResidentMegabytes()
{
    long pages = 0, resident = 0;
    FILE* f = fopen("/proc/self/statm", "r");
    if (f) {
        if (fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

const char* kVertexShader =
    "#version 330 core\n"
    "layout(location = 0) in vec3 a_position;\n"
    "layout(location = 2) in vec4 a_color;\n"
    "layout(location = 5) in vec2 a_tex;\n"
    "uniform mat4 u_wvp;\n"
    "out vec4 v_color;\nout vec2 v_tex;\n"
    "void main() {\n"
    "    v_color = a_color; v_tex = a_tex;\n"
    "    vec4 p = u_wvp * vec4(a_position, 1.0);\n"
    "    gl_Position = vec4(p.x, -p.y, p.z, p.w);\n"
    "}\n";
const char* kFragmentShader =
    "#version 330 core\n"
    "in vec4 v_color;\nin vec2 v_tex;\nuniform sampler2D u_tex;\nout vec4 o_color;\n"
    "void main() { o_color = texture(u_tex, v_tex) * v_color; }\n";

// The same frame written directly in GL, into the device's back buffer with
// the device's blend state: one program, a streamed vertex buffer mapped
// without synchronisation, a uniform and a draw per quad.
struct PlainGL {
    GLuint prog = 0, vao = 0, vbo = 0, sampler = 0;
    GLint wvpLoc = -1;
    size_t pos = 0;
    static constexpr size_t kStreamBytes = 4u << 20;

    void Begin(Scene& s)
    {
        D3D9GL_BeginCustomDraw(s.device);
        if (!prog) {
            prog = bench::LinkGlProgram(kVertexShader, kFragmentShader);
            if (!prog) {
                fprintf(stderr, "device_drawup_bench: the plain GL program did not build\n");
                exit(1);
            }
            wvpLoc = glGetUniformLocation(prog, "u_wvp");
            glGenVertexArrays(1, &vao);
            glGenBuffers(1, &vbo);
            glGenSamplers(1, &sampler);
            glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            glBindVertexArray(vao);
            glBindBuffer(GL_ARRAY_BUFFER, vbo);
            glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)kStreamBytes, nullptr, GL_STREAM_DRAW);
            glEnableVertexAttribArray(0);
            glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), (void*)0);
            glEnableVertexAttribArray(2);
            glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex), (void*)12);
            glEnableVertexAttribArray(5);
            glVertexAttribPointer(5, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), (void*)16);
        }
        glUseProgram(prog);
        glUniform1i(glGetUniformLocation(prog, "u_tex"), 0);
        glBindVertexArray(vao);
        glBindBuffer(GL_ARRAY_BUFFER, vbo);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, D3D9GL_TextureName(s.texture));
        glBindSampler(0, sampler);
    }

    void Frame(Scene& s)
    {
        D3DXMATRIX view;
        D3DXMatrixIdentity(&view);
        glClearColor(0.125f, 0.125f, 0.25f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        for (const D3DXMATRIX& w : s.worlds) {
            const D3DXMATRIX wvp = w * view * s.proj;
            glUniformMatrix4fv(wvpLoc, 1, GL_FALSE, &wvp._11);
            if (pos + sizeof(s.quad) > kStreamBytes) {
                glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)kStreamBytes, nullptr, GL_STREAM_DRAW);
                pos = 0;
            }
            void* dst = glMapBufferRange(GL_ARRAY_BUFFER, (GLintptr)pos, sizeof(s.quad),
                                         GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT | GL_MAP_INVALIDATE_RANGE_BIT);
            memcpy(dst, s.quad, sizeof(s.quad));
            glUnmapBuffer(GL_ARRAY_BUFFER);
            glDrawArrays(GL_TRIANGLE_STRIP, (GLint)(pos / sizeof(Vertex)), 4);
            pos += sizeof(s.quad);
        }
        glFinish();
    }

    void End(Scene& s)
    {
        glBindSampler(0, 0);
        D3D9GL_EndCustomDraw(s.device);
    }
};

PlainGL& ThePlainGL()
{
    static PlainGL gl;
    return gl;
}

// Pixels of the back buffer that are not the clear colour.
long CoveredPixels(Scene& s)
{
    IDirect3DSurface9 *back = nullptr, *sys = nullptr;
    long n = -1;
    if (SUCCEEDED(s.device->GetRenderTarget(0, &back)) &&
        SUCCEEDED(s.device->CreateOffscreenPlainSurface(kWidth, kHeight, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &sys,
                                                        nullptr)) &&
        SUCCEEDED(s.device->GetRenderTargetData(back, sys))) {
        D3DLOCKED_RECT lr;
        if (SUCCEEDED(sys->LockRect(&lr, nullptr, D3DLOCK_READONLY))) {
            n = 0;
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    if ((reinterpret_cast<DWORD*>(static_cast<BYTE*>(lr.pBits) + y * lr.Pitch)[x] & 0xFFFFFF) !=
                        0x202040)
                        ++n;
            sys->UnlockRect();
        }
    }
    if (sys) sys->Release();
    if (back) back->Release();
    return n;
}

// A few frames of each, and a check that both draw the same picture.
void WarmUp(Scene& s)
{
    static bool checked = false;
    SetUpDeviceState(s.device, s);
    for (int i = 0; i < 3; ++i) DeviceFrame(s);
    const long devicePixels = CoveredPixels(s);
    PlainGL& gl = ThePlainGL();
    gl.Begin(s);
    for (int i = 0; i < 3; ++i) gl.Frame(s);
    gl.End(s);
    if (!checked) {
        checked = true;
        fprintf(stderr, "device_drawup_bench: covered pixels: device %ld, plain GL %ld\n", devicePixels,
                CoveredPixels(s));
    }
}

// The scene, or null with the benchmark skipped when there is no device.
Scene* SceneOrSkip(benchmark::State& state)
{
    Scene& s = TheScene();
    if (s.device) return &s;
    state.SkipWithError("no device");
    return nullptr;
}

// The medians of the alternated frames and their ratio, as counters.
void ReportMedians(benchmark::State& state, const std::vector<double>& dev, const std::vector<double>& plain)
{
    const double dm = bench::Median(dev), pm = bench::Median(plain);
    state.counters["device_ms"] = dm;
    state.counters["plain_gl_ms"] = pm;
    state.counters["ratio"] = dm / pm;
}

void BM_DeviceDrawPrimitiveUP(benchmark::State& state)
{
    Scene* s = SceneOrSkip(state);
    if (!s) return;
    WarmUp(*s);
    SetUpDeviceState(s->device, *s);
    for (auto _ : state) DeviceFrame(*s);
    state.counters["draws"] = (double)s->worlds.size();
}

void BM_PlainGL(benchmark::State& state)
{
    Scene* s = SceneOrSkip(state);
    if (!s) return;
    WarmUp(*s);
    SetUpDeviceState(s->device, *s);
    PlainGL& gl = ThePlainGL();
    gl.Begin(*s);
    for (auto _ : state) gl.Frame(*s);
    gl.End(*s);
    state.counters["draws"] = (double)s->worlds.size();
}

// Device and plain GL frames alternated, so that the machine's load falls on
// both alike; the counters give the median of each and their ratio.
void BM_Interleaved(benchmark::State& state)
{
    Scene* s = SceneOrSkip(state);
    if (!s) return;
    WarmUp(*s);
    PlainGL& gl = ThePlainGL();
    std::vector<double> dev, plain;
    for (auto _ : state) {
        SetUpDeviceState(s->device, *s);
        bench::TimeFrame([&] { DeviceFrame(*s); }, &dev);
        gl.Begin(*s);
        bench::TimeFrame([&] { gl.Frame(*s); }, &plain);
        gl.End(*s);
    }
    ReportMedians(state, dev, plain);
}

// The fixed cost of a frame with nothing drawn: the device's clear and
// present against a plain GL clear and buffer swap of the same window, on
// the same context, alternated. The device's present also copies its back
// buffer to the window with the flip, which the plain frame has no need for.
void BM_EmptyFrameInterleaved(benchmark::State& state)
{
    Scene* s = SceneOrSkip(state);
    if (!s) return;
    IDirect3DDevice9* d = s->device;
    std::vector<double> dev, plain;
    for (auto _ : state) {
        bench::TimeFrame(
            [&] {
                d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF202040, 1.0f, 0);
                d->Present(nullptr, nullptr, nullptr, nullptr);
            },
            &dev);
        D3D9GL_MakeCurrent(d);  // nothing of the device's target touched
        SDL_Window* window = SDL_GL_GetCurrentWindow();
        bench::TimeFrame(
            [&] {
                glBindFramebuffer(GL_FRAMEBUFFER, 0);
                glViewport(0, 0, kWidth, kHeight);
                glClearColor(0.125f, 0.125f, 0.25f, 1.0f);
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                SDL_GL_SwapWindow(window);
            },
            &plain);
        D3D9GL_EndCustomDraw(d);  // the device's cached GL bindings are stale
    }
    ReportMedians(state, dev, plain);
}

// Frames presented as fast as they come, nothing waiting for the rasteriser
// but the device's own present: the memory the process gains over them, as
// the renderer's queue would hold them. Target: 64 MB or less; each frame of
// the queue holds about 3 MB.
void BM_PresentedFramesDoNotPileUp(benchmark::State& state)
{
    Scene* s = SceneOrSkip(state);
    if (!s) return;
    WarmUp(*s);
    SetUpDeviceState(s->device, *s);
    for (int i = 0; i < 10; ++i) {
        DeviceFrame(*s, false);
        s->device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    const double before = ResidentMegabytes();
    for (auto _ : state) {
        DeviceFrame(*s, false);
        s->device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    glFinish();
    state.counters["rss_growth_mb"] = ResidentMegabytes() - before;
}

BENCHMARK(BM_DeviceDrawPrimitiveUP)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_PlainGL)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_Interleaved)->Unit(benchmark::kMillisecond)->Iterations(60)->UseRealTime();
BENCHMARK(BM_EmptyFrameInterleaved)->Unit(benchmark::kMillisecond)->Iterations(200)->UseRealTime();
BENCHMARK(BM_PresentedFramesDoNotPileUp)->Unit(benchmark::kMillisecond)->Iterations(300)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
