// A texture loaded from an image file, bound to a stage by the drawing
// classes. Copies share the device texture (each copy holds a reference).
#pragma once

#include <windows.h>
#include <d3d9.h>

class vTexture {
public:
    vTexture();                                  // empty: no texture, not loaded
    ~vTexture();                                 // Kill
    vTexture(const vTexture& other);             // shares other's texture (AddRef)
    vTexture& operator=(const vTexture& other);  // releases ours, shares other's

    // Loads the image (size from the file) into a managed A8R8G8B8 texture, or
    // A4R4G4B4 where the adapter refuses the first. A non-zero colour key makes
    // matching texels transparent black. 0, or E_FAIL with an "Error!" box;
    // a texture held before is released either way once the format is found.
    // file is relative to the working directory; a "media\..." file not
    // there is read from the engine's installed data (share/vorpex).
    long LoadTextureFromFile(const char* file, DWORD colourKey, int mipLevels);
    // SetTexture(stage, texture); an empty vTexture unbinds the stage.
    void UseTexture(int stage);
    IDirect3DBaseTexture9* GetTexture();        // borrowed; null when empty
    int GetWidth();                             // image width as stored in the file
    int GetHeight();                            // image height as stored in the file
    bool IsLoaded() const { return m_loaded; }  // a load has succeeded
    // Releases the texture once; safe to call again.
    void Kill();

private:
    IDirect3DTexture9* m_texture;  // one reference, null when empty
    bool m_hasColorKey;            // the last load was given a non-zero key
    DWORD m_loadCount;             // 1 after a successful load
    int m_width;
    int m_height;
    bool m_loaded;
};
