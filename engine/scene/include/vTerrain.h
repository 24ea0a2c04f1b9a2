// A heightmap terrain: a square grid of n x n cells ((n + 1)^2 vertices) in
// one vertex buffer, lifted by an 8-bit height table of 4096 x 4096 samples,
// cut into 3 x 3 chunks that are culled and drawn separately, and textured by
// four detail textures blended through an alpha map in "media\fx\terrain.fx".
//
// Calling order: construct; set the public tuning fields if wanted;
// GenerateEmpty(n); CreateChunks(); ApplyHeight(file, x, z); CalcNormals();
// GenerateAlphaMaps(x, z); then RenderAll every frame.
//
// Its files ("media\fx\terrain.fx", the layers "media\grass.bmp" and the
// others, "media\alphamap.tga", "media\TerrData\terrtex.btd") and a height
// file named "media\..." are read from the working directory, or where it
// lacks them from the engine's installed data (share/vorpex).
//
// Chunk grid (cs = n / 3 cells a side), element chunkX + 3 * chunkZ:
//
//      z ^  +---+---+---+
//        |  | 6 | 7 | 8 |
//        |  +---+---+---+
//        |  | 3 | 4 | 5 |
//        |  +---+---+---+
//        |  | 0 | 1 | 2 |
//        |  +---+---+---+
//        +-------------> x
//
// Height and layer tables: 4096 rows (z) of 4096 bytes (x), row-major, no
// header. A height byte h stands for h / 255 * m_heightScale.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <vector>

#include "vBoundingBox.h"
#include "vTexture.h"

// One of the nine chunks: its triangles, where it starts and its extent.
struct s_vChunkDesc {
    IDirect3DIndexBuffer9* indexBuffer;  // the chunk's triangles; owned by the terrain
    D3DXVECTOR3 origin;                  // (x of its first vertex column, 0, z of its first row)
    vBoundingBox boundingBox;            // x and z from the grid, y the whole grid's height range
    vTexture* layerTextures[4];          // grass, mud, concrete, bricks; borrowed from the terrain
};

// The terrain vertex: 40 bytes, flexible vertex format 0x212.
//   0 position (3 floats)   12 normal (3 floats)
//  24 detail texture (u, v) 32 alpha map (u, v)
struct s_vTerrainVertex {
    D3DXVECTOR3 position;    // world position
    D3DXVECTOR3 normal;      // points below the surface (see CalcNormals)
    float detailU, detailV;  // detail texture coordinates
    float alphaU, alphaV;    // alpha map coordinates
};

const DWORD kTerrainFVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2;  // 0x212
const int kTerrainTableSide = 4096;                                  // samples per table row and column

class vTerrain {
public:
    vTerrain();   // not ready; no buffers, tables or textures
    ~vTerrain();  // releases everything the terrain created
    // Copies share the device objects (each copy holds references) and get
    // their own copies of the two tables.
    vTerrain(const vTerrain& other);
    vTerrain& operator=(const vTerrain& other);  // releases ours, shares other's device objects, copies the tables

    // Builds the flat grid of size x size cells and loads the five textures
    // and the effect. size must be a multiple of 3 from 3 to 255 (16-bit
    // indices); any other size, or a vertex buffer that cannot be created,
    // leaves the terrain not ready (the size with an "Error!" box).
    void GenerateEmpty(int size);
    // Lifts the grid from the height table, the sample at column offsetX + i,
    // row offsetZ + j for vertex (i, j); positions outside the table give 0.
    // The table is read from fileName on the first call only: a missing file
    // leaves the grid untouched (the table counts as loaded, all zero); a short
    // file repeats its last byte to the end of the table. Sets every chunk
    // box's y range to the whole grid's height range.
    void ApplyHeight(const char* fileName, int offsetX, int offsetZ);
    // Recomputes the vertex normals from the lifted grid: face normals, then
    // one smoothing pass. They point below the surface ((0, -1, 0) on a flat
    // grid); the terrain effect lights with their opposite.
    void CalcNormals();
    // Height of the table under a world position, interpolated bilinearly
    // between the four samples around it (without the offsets of ApplyHeight).
    // 0 when not ready, without a table, or beyond cell 4096.
    float GetHeight(D3DXVECTOR3 position);
    // Height of the surface as drawn under the position (the terrain's own
    // space, before a drawing offset): the plane of the triangle that the
    // chunk's index buffer draws there (with m_detailDistance above 0, the
    // triangle of the detail the chunk was last drawn at). 0 when not ready
    // or off the grid.
    float GetSurfaceHeight(D3DXVECTOR3 position);
    // Writes a W x W height file from the green channel of an image W wide,
    // byte k = image column k / W, row k % W (the image lies transposed on
    // the terrain). Needs the device. Nothing is written when the image
    // cannot be read or is shorter than it is wide, or the output cannot be created.
    void CreateHeightFileFromBitmap(const char* bitmapFile, const char* heightFile);

    // Builds the nine 16-bit index buffers and chunk boxes (y -10 to 10) and
    // makes a generated terrain ready; a failure leaves it not ready.
    void CreateChunks();
    // Fills the n x n alpha map from the layer table "media\TerrData\terrtex.btd"
    // (read on the first call that finds it), texel (a, b) from table column
    // offsetX + a, row offsetZ + b; positions outside the table give layer 0.
    void GenerateAlphaMaps(int offsetX, int offsetZ);
    // Draws the nine chunks, culled one by one, nearest first (from the eye of
    // the device's view), moved by offset in x and z; cull mode CCW
    // (cullCounterClockwise) or CW while drawing, NONE after. At m_detailStep
    // above 1 it draws the coarser grid that step gives. Nothing without the
    // effect or before ready.
    // kept: flag is not used and offset.y is not either (the terrain moves only sideways).
    void RenderAll(bool flag, D3DXVECTOR3 offset, bool cullCounterClockwise);
    // Draws one chunk unless its box, moved by offset, lies outside the
    // frustum, at the step ChunkStep gives. Expects the stream, vertex format and textures RenderAll sets.
    // kept: flag is not used.
    void RenderChunk(int chunkX, int chunkZ, bool flag, D3DXVECTOR3 offset);
    // The step RenderChunk draws chunk (chunkX + 3 * chunkZ, moved by offset)
    // at now: from m_detailStep, m_detailDistance and the eye of the device's view.
    int ChunkStep(int chunk, D3DXVECTOR3 offset);
    // The triangles, three vertex indices each, chunk is drawn with at step
    // (1: its index buffer); empty when not ready or for a chunk out of range.
    std::vector<unsigned short> ChunkIndices(int chunk, int step);

    s_vChunkDesc m_chunks[9];                // chunkX + 3 * chunkZ
    IDirect3DVertexBuffer9* m_vertexBuffer;  // the grid, vertex (n + 1) * j + i
    int m_size;                              // n, cells per side
    int m_numVertices;                       // (n + 1)^2
    int m_numTriangles;                      // 2 n^2
    int m_numIndices;                        // 6 n^2, set by CreateChunks
    bool m_heightsLoaded;                    // the height table has been read
    bool m_layersLoaded;                     // the layer table has been read
    float m_cellSize;                        // world units between vertices (1.0)
    float m_detailTiling;                    // detail texture repeats across the terrain (8.0)
    float m_alphaTiling;                     // alpha map repeats across the terrain (1.0)
    float m_heightScale;                     // world height of byte 255 (64.0)
    // Level of detail of RenderAll and RenderChunk: every m_detailStep-th
    // vertex row and column inside each chunk, and every vertex of its edges,
    // so that chunks of any detail meet without cracks (1, the default:
    // every cell). For passes that need less, such as a small reflection.
    int m_detailStep;
    // 0, the default: off. Above 0, a chunk whose box lies at least this far
    // from the eye of the device's view (in x and z) is drawn at twice
    // m_detailStep, at least twice as far at four times; GetSurfaceHeight
    // then answers for the detail each chunk was last drawn at.
    float m_detailDistance;
    D3DXMATRIX m_chunkWorld;            // world matrix of the chunk being drawn
    int m_lastCellX;                    // cell used by the last GetHeight
    int m_lastCellZ;                    // row of that cell
    unsigned char* m_heightTable;       // 4096 x 4096 bytes, owned; null until ApplyHeight
    unsigned char* m_layerTable;        // 4096 x 4096 bytes, owned; null until loaded
    IDirect3DTexture9* m_alphaTexture;  // n x n A8R8G8B8 layer weights; null until generated
    vTexture m_alphaMapFile;            // "media\alphamap.tga"; loaded, never bound
    vTexture m_layerTextures[4];        // grass, mud, concrete, bricks
    ID3DXEffect* m_effect;              // "media\fx\terrain.fx"; null when it could not be loaded
    bool m_ready;                       // grid (and chunks) built

private:
    void ReleaseAll();
    void CopyFrom(const vTerrain& other);
    // The nine chunks' triangles at one coarser step (vTerrain_detail.cpp).
    struct StepSet {
        int step = 0;                            // 0: unused
        IDirect3DIndexBuffer9* buffers[9] = {};  // owned (shared by copies)
        std::vector<unsigned short> indices[9];  // the same, for GetSurfaceHeight
    };
    // The set of step, built on first use; null for step 1 or when the device refuses.
    const StepSet* Steps(int step);
    void ReleaseStepIndices();
    // The height of the triangle of the coarse chunk that covers (x, z), in cells; false when none does.
    bool CoarseSurfaceHeight(const StepSet& set, int chunk, float x, float z, float* height);

    StepSet m_steps[3];  // the steps in use
    int m_drawnStep[9];  // the step each chunk was last drawn at (1 until drawn)
};
