// Frame time of the showcase program, headless at 1024 x 768 at its first
// camera spot: terrain, sky, water with its reflection pass, models,
// fountain, GUI window and status line, against a plain-OpenGL floor that
// draws what the showcase draws (ShowcaseFloor.h), taken from the
// showcase's own objects, in the same run. Before timing, both pictures are
// compared (the share of pixels that agree) and both sides' draws and
// triangles counted.
//
//   vorpex_showcase_bench [media root, default "."] [frames, default 300] [picture folder]
//
// With a picture folder, the two compared pictures are written there as
// showcase_engine.png and showcase_floor.png.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <Win32TestSeam.h>

#include <vBoundingBox.h>
#include <vMathUtils.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "ShowcaseApp.h"
#include "ShowcaseFloor.h"

namespace {

// Frames of the real loop; appends each frame's wall time and counts its draws.
void RunShowcase(int frames, std::vector<double>* times, bench::FrameCounts* counts)
{
    bench::RunLoopFrames(frames, showcase::FrameCount, showcase::LoopPass, times, counts);
}

// A texture's top level as BGRA bytes, top row first; false when it cannot be read.
bool CopyTexture(IDirect3DBaseTexture9* base, FloorImage& image)
{
    IDirect3DTexture9* texture = static_cast<IDirect3DTexture9*>(base);
    D3DSURFACE_DESC desc = {};
    D3DLOCKED_RECT locked;
    if (!texture || FAILED(texture->GetLevelDesc(0, &desc)) ||
        FAILED(texture->LockRect(0, &locked, NULL, D3DLOCK_READONLY)))
        return false;
    image.width = (int)desc.Width;
    image.height = (int)desc.Height;
    image.bgra.resize((size_t)image.width * image.height * 4);
    for (int y = 0; y < image.height; ++y)
        std::copy_n((const std::uint8_t*)locked.pBits + (size_t)y * locked.Pitch, (size_t)image.width * 4,
                    image.bgra.data() + (size_t)y * image.width * 4);
    texture->UnlockRect(0);
    return true;
}

void Store(const D3DXMATRIX& m, float* out)
{
    std::copy(&m._11, &m._11 + 16, out);
}

// The chunks RenderAll draws with the device's current view and frustum, nearest first.
void GatherChunks(vTerrain& terrain, ShowcaseFloorData& d, FloorPass& pass)
{
    D3DXMATRIX view, toWorld;
    objDevice->GetTransform(D3DTS_VIEW, &view);
    D3DXMatrixInverse(&toWorld, nullptr, &view);
    std::vector<std::pair<float, int>> order;
    for (int i = 0; i < 9; ++i) {
        const vBoundingBox& box = terrain.m_chunks[i].boundingBox;
        const float dx = 0.5f * (box.min.x + box.max.x) - toWorld._41,
                    dz = 0.5f * (box.min.z + box.max.z) - toWorld._43;
        order.push_back({dx * dx + dz * dz, i});
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const std::pair<float, int>& a, const std::pair<float, int>& b) { return a.first < b.first; });
    for (const auto& entry : order) {
        const int i = entry.second;
        if (CullAABB(terrain.m_chunks[i].boundingBox) == 0) continue;
        const std::vector<unsigned short> indices = terrain.ChunkIndices(i, terrain.ChunkStep(i, D3DXVECTOR3(0, 0, 0)));
        pass.chunks.push_back({(int)d.terrainIndices.size(), (int)indices.size()});
        d.terrainIndices.insert(d.terrainIndices.end(), indices.begin(), indices.end());
    }
}

// The props RenderAll's models draw in this frustum, each subset one draw.
void GatherModels(showcase::World& w, ShowcaseFloorData& d, FloorPass& pass, std::vector<vStaticModel*>& meshes)
{
    for (showcase::Prop& prop : w.props) {
        if (!prop.model || !prop.model->m_mesh || CullAABB(prop.model->m_boundingBox) == 0) continue;
        const int mesh = int(std::find(meshes.begin(), meshes.end(), prop.model) - meshes.begin());
        if (mesh == int(meshes.size())) {
            meshes.push_back(prop.model);
            FloorMesh m;
            ID3DXMesh* x = prop.model->m_mesh;
            IDirect3DVertexBuffer9* vb = nullptr;
            IDirect3DIndexBuffer9* ib = nullptr;
            void* bits = nullptr;
            const DWORD stride = x->GetNumBytesPerVertex();
            if (SUCCEEDED(x->GetVertexBuffer(&vb)) && SUCCEEDED(vb->Lock(0, 0, &bits, D3DLOCK_READONLY))) {
                for (DWORD v = 0; v < x->GetNumVertices(); ++v) {  // position, normal, then the first uv
                    const float* f = (const float*)((const char*)bits + v * stride);
                    m.vertices.insert(m.vertices.end(), f, f + (stride >= 32 ? 8 : stride / 4));
                    for (DWORD k = stride / 4; k < 8; ++k) m.vertices.push_back(0.0f);
                }
                vb->Unlock();
            }
            if (SUCCEEDED(x->GetIndexBuffer(&ib)) && SUCCEEDED(ib->Lock(0, 0, &bits, D3DLOCK_READONLY))) {
                m.indices.assign((const std::uint16_t*)bits, (const std::uint16_t*)bits + 3 * x->GetNumFaces());
                ib->Unlock();
            }
            if (vb) vb->Release();
            if (ib) ib->Release();
            d.meshes.push_back(m);
        }
        D3DXMATRIX world;
        D3DXVECTOR3 scale(prop.scale, prop.scale, prop.scale);
        CreateTrigMatrix(&world, &prop.position, prop.angle, &scale);
        DWORD ranges = 0;
        prop.model->m_mesh->GetAttributeTable(nullptr, &ranges);
        std::vector<D3DXATTRIBUTERANGE> table(ranges);
        if (ranges) prop.model->m_mesh->GetAttributeTable(table.data(), &ranges);
        for (DWORD s = 0; s < prop.model->m_numSubsets; ++s) {
            FloorModelDraw draw;
            draw.mesh = mesh;
            for (const D3DXATTRIBUTERANGE& r : table)
                if (r.AttribId == s) draw.range = {int(3 * r.FaceStart), int(3 * r.FaceCount)};
            Store(world, draw.world);
            vTexture* texture = prop.model->m_textures ? prop.model->m_textures[s] : nullptr;
            FloorImage image;
            if (texture && CopyTexture(texture->GetTexture(), image)) {
                draw.texture = int(d.modelTextures.size());
                d.modelTextures.push_back(image);
            }
            pass.models.push_back(draw);
        }
    }
}

// What the showcase's frame draws, from its objects (the camera stands still).
ShowcaseFloorData Gather(showcase::World& w, double engineDraws, double engineTriangles)
{
    ShowcaseFloorData d;
    d.width = m_engineVars.width;
    d.height = m_engineVars.height;
    vTerrain& terrain = w.terrain;
    void* bits = nullptr;
    if (SUCCEEDED(terrain.m_vertexBuffer->Lock(0, 0, &bits, D3DLOCK_READONLY))) {
        d.terrainVertices.assign((const float*)bits, (const float*)bits + (size_t)terrain.m_numVertices * 10);
        terrain.m_vertexBuffer->Unlock();
    }
    CopyTexture(terrain.m_alphaTexture, d.terrainTextures[0]);
    for (int k = 0; k < 4; ++k) CopyTexture(terrain.m_layerTextures[k].GetTexture(), d.terrainTextures[k + 1]);
    for (int k = 0; k < 6; ++k) CopyTexture(w.skyFaces[k].GetTexture(), d.sky[k]);
    CopyTexture(w.dudv.GetTexture(), d.dudv);
    CopyTexture(w.particleTexture.GetTexture(), d.particle);
    d.dudvOffset = w.dudvOffset;

    const float h = showcase::kWaterHeight, e = 20480.0f, r = 1000.0f;
    const float water[4][8] = {
        {0, h, 0, 0, 1, 0, 0, r}, {0, h, e, 0, 1, 0, 0, 0}, {e, h, 0, 0, 1, 0, r, r}, {e, h, e, 0, 1, 0, r, 0}};
    std::copy(&water[0][0], &water[0][0] + 32, d.waterVertices);

    std::vector<vStaticModel*> meshes;
    const D3DXVECTOR3 eye = w.camera.GetPosition();
    D3DXMATRIX view, projection, viewProj;
    w.camera.UpdateCamera();
    objDevice->SetTransform(D3DTS_PROJECTION, &ev_matrix3DProj);
    objDevice->GetTransform(D3DTS_VIEW, &view);

    // The reflection: the water plane's own pass set-up gives its view,
    // projection and frustum; the image is stored top row first, as the
    // device stores a target, so the floor draws it upside down in GL's terms.
    w.water.BeginRender(eye);
    objDevice->GetTransform(D3DTS_VIEW, &view);
    objDevice->GetTransform(D3DTS_PROJECTION, &projection);
    D3DXMatrixMultiply(&viewProj, &view, &projection);
    D3DXMATRIX flip;
    D3DXMatrixScaling(&flip, 1.0f, -1.0f, 1.0f);
    D3DXMATRIX flipped;
    D3DXMatrixMultiply(&flipped, &viewProj, &flip);
    Store(flipped, d.reflection.viewProj);
    const D3DXVECTOR3 mirrored(eye.x, 2.0f * h - eye.y, eye.z);
    d.reflection.eye[0] = mirrored.x;
    d.reflection.eye[1] = mirrored.y;
    d.reflection.eye[2] = mirrored.z;
    d.reflection.cullFront = false;  // mirrored by the view, flipped again by the image's rows
    terrain.m_detailStep = showcase::kReflectionDetailStep;
    GatherChunks(terrain, d, d.reflection);
    terrain.m_detailStep = 1;
    GatherModels(w, d, d.reflection, meshes);
    D3DXMATRIX sky;
    D3DXMatrixScaling(&sky, 100.0f, 100.0f, 100.0f);
    sky._41 = mirrored.x, sky._42 = mirrored.y, sky._43 = mirrored.z;
    Store(sky, d.reflection.skyWorld);
    // The lookup: world -> the mirrored camera's clip space (without the
    // oblique near plane) -> image coordinates, v down.
    D3DXMATRIX mirroredViewProj, texProj;
    D3DXMatrixMultiply(&mirroredViewProj, &view, &ev_matrix3DProj);
    const D3DXMATRIX bias(0.5f, 0, 0, 0, 0, -0.5f, 0, 0, 0, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 1.0f);
    D3DXMatrixMultiply(&texProj, &mirroredViewProj, &bias);
    Store(texProj, d.texProj);
    w.water.EndRender();

    // The main view, culled with the frustum Clear builds.
    objDevice->SetTransform(D3DTS_PROJECTION, &ev_matrix3DProj);
    objDevice->GetTransform(D3DTS_VIEW, &view);
    CalculateViewFrustum();
    D3DXMatrixMultiply(&viewProj, &view, &ev_matrix3DProj);
    Store(viewProj, d.main.viewProj);
    d.main.eye[0] = eye.x;
    d.main.eye[1] = eye.y;
    d.main.eye[2] = eye.z;
    d.main.cullFront = false;
    GatherChunks(terrain, d, d.main);
    GatherModels(w, d, d.main, meshes);
    D3DXMatrixScaling(&sky, 100.0f, 100.0f, 100.0f);
    sky._41 = eye.x, sky._42 = eye.y, sky._43 = eye.z;
    Store(sky, d.main.skyWorld);

    for (int i = 0; i <= w.fountain.m_maxParticle; ++i) {
        const vParticle& p = w.fountain.m_particles[i];
        if (!p.m_alive) continue;
        d.particles.insert(d.particles.end(), {p.m_position.x, p.m_position.y, p.m_position.z});
    }
    d.particleSize = w.fountain.m_particleSize;

    // What is left of the engine's frame is the GUI and the text.
    int draws = 0, triangles = 0;
    for (const FloorPass* pass : {&d.reflection, &d.main}) {
        draws += int(pass->chunks.size() + pass->models.size()) + 6;
        triangles += 12;
        for (const FloorRange& c : pass->chunks) triangles += c.count / 3;
        for (const FloorModelDraw& m : pass->models) triangles += m.range.count / 3;
    }
    draws += 1 + int(d.particles.size() / 3);
    triangles += 2 + int(d.particles.size() / 3);
    d.guiDraws = std::max(0, int(engineDraws + 0.5) - draws);
    d.guiTriangles = std::max(0, int(engineTriangles + 0.5) - triangles);
    return d;
}

void WritePicture(const std::string& file, const std::vector<std::uint32_t>& argb, int width, int height)
{
    std::vector<unsigned char> rgb;
    for (std::uint32_t p : argb)
        rgb.insert(rgb.end(), {(unsigned char)(p >> 16), (unsigned char)(p >> 8), (unsigned char)p});
    if (!stbi_write_png(file.c_str(), width, height, 3, rgb.data(), width * 3))
        std::fprintf(stderr, "bench: cannot write %s\n", file.c_str());
}

// The share of pixels whose channels all lie within tolerance of each other,
// the GUI window's and the status line's pixels left out (the floor draws
// their cost, not their picture).
double Agreement(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, int tolerance)
{
    if (a.size() != b.size() || a.empty()) return 0.0;
    const int width = showcase::kClientWidth, height = showcase::kClientHeight;
    size_t same = 0, counted = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const int x = int(i % width), y = int(i / width);
        if ((x >= width - 290 && x < width - 20 && y >= 20 && y < 376) || y >= height - 60) continue;
        ++counted;
        bool close = true;
        for (int shift = 0; shift < 24; shift += 8)
            close = close && std::abs(int((a[i] >> shift) & 255) - int((b[i] >> shift) & 255)) <= tolerance;
        same += close;
    }
    return double(same) / double(counted);
}

}  // namespace

int main(int argc, char** argv)
{
    int frames = 0;
    if (!bench::StartLoopBench(argc, argv, &frames)) return 1;
    if (!showcase::Startup(POINT{-8, -31})) {
        std::fprintf(stderr, "bench: the showcase could not start (no GL context?)\n");
        return 1;
    }
    showcase::World& w = showcase::Scene();
    win32test::SetActiveWindow(w.window);

    // The fountain fills up first: every live particle is a draw of its own.
    bench::FrameCounts settle;
    RunShowcase(200, nullptr, &settle);
    bench::FrameCounts one;
    RunShowcase(1, nullptr, &one);
    const std::vector<std::uint32_t> enginePicture = bench::ReadBackBuffer();
    for (showcase::Prop& prop : w.props)
        prop.angle -= prop.spin * w.engine.GetSpeedfactor();  // the models as that frame drew them
    ShowcaseFloorData data = Gather(w, one.drawCalls, one.primitives);
    for (showcase::Prop& prop : w.props) prop.angle += prop.spin * w.engine.GetSpeedfactor();

    if (!ShowcaseFloorOpen(data)) {
        std::fprintf(stderr, "bench: the OpenGL floor could not be set up\n");
        return 1;
    }
    int floorDraws = 0, floorTriangles = 0;
    const std::vector<std::uint32_t> floorPicture = ShowcaseFloorPicture(&floorDraws, &floorTriangles);
    ShowcaseFloorMakeCurrent(false);
    if (argc > 3) {
        WritePicture(std::string(argv[3]) + "/showcase_engine.png", enginePicture, data.width, data.height);
        WritePicture(std::string(argv[3]) + "/showcase_floor.png", floorPicture, data.width, data.height);
    }

    std::vector<double> showTimes, floorTimes;
    bench::FrameCounts sum;
    const int rounds = 5;
    for (int r = 0; r < rounds; ++r) {
        RunShowcase(frames / rounds, &showTimes, &sum);
        ShowcaseFloorMakeCurrent(true);
        ShowcaseFloorRun(frames / rounds, &floorTimes);
        ShowcaseFloorMakeCurrent(false);
    }
    ShowcaseFloorClose();

    const double n = double(showTimes.size());
    std::printf("screen %d x %d, %d frames each; reflection pass %zu terrain chunks, main view %zu\n",
                m_engineVars.width, m_engineVars.height, frames, data.reflection.chunks.size(),
                data.main.chunks.size());
    std::printf(
        "pictures (the GUI window and status line left out): %.1f %% of pixels agree within 8, %.1f %% within 32\n",
        100.0 * Agreement(enginePicture, floorPicture, 8), 100.0 * Agreement(enginePicture, floorPicture, 32));
    std::printf("checked frame: showcase %.0f draws, %.0f primitives; floor %d draws, %d primitives\n", one.drawCalls,
                one.primitives, floorDraws, floorTriangles);
    std::printf("showcase %7.3f ms mean %7.3f ms median  (%.0f draws, %.0f primitives)  %.1f frames a second\n",
                bench::Mean(showTimes), bench::Median(showTimes), sum.drawCalls / n, sum.primitives / n,
                1000.0 / bench::Median(showTimes));
    std::printf("floor    %7.3f ms mean %7.3f ms median\n", bench::Mean(floorTimes), bench::Median(floorTimes));
    std::printf("ratio %.3f (median; target <= 1.10)\n", bench::Median(showTimes) / bench::Median(floorTimes));
    std::fflush(stdout);
    showcase::Shutdown();
    return 0;
}
