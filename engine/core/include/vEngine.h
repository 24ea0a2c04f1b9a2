// The engine object: opens Direct3D 9 on a window, owns the device and the
// frame cycle, times frames, answers key queries and offers render-state and
// debug services. Also declares the engine globals every engine class reads.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <string>

#include "vFramerate.h"
#include "vFrustum.h"

// Window and presentation metrics of the engine.
// kept: the name is spelt as programs written for the engine spell it.
struct vEngineVaribles {
    int32_t width;                        // back-buffer width in pixels (the screen size for all drawing)
    int32_t height;                       // back-buffer height in pixels
    RECT clientRect;                      // client rectangle of the window at initialisation
    HWND hWnd;                            // main window: device focus window, screenshot window
    D3DPRESENT_PARAMETERS presentParams;  // copy of the presentation parameters
};

// Engine globals, one copy in the library. objD3D and objDevice are null
// before initialisation and after vEngine::Kill; the library owns them.
extern IDirect3D9* objD3D;
extern IDirect3DDevice9* objDevice;   // the device every engine class draws on
extern vEngineVaribles m_engineVars;  // the metrics of the window the engine opened
extern D3DXMATRIX ev_matrixIdentity;  // identity once the engine is initialised (zero before)
extern D3DXMATRIX ev_matrix3DProj;    // 3D projection, set as the projection by every Clear
extern D3DXMATRIX ev_matrix3DProj2;   // second projection: near 0.001, far 100
extern D3DXMATRIX ev_matrix2DProj;    // orthographic projection for screen-space drawing
extern D3DXVECTOR3 ev_vectorZero;     // (0, 0, 0)
extern D3DXVECTOR3 ev_vectorOne;      // (1, 1, 1)

class vEngine {
public:
    // Speed factor 0.01, no swap chains, no device.
    vEngine();
    // Calls Kill.
    ~vEngine();

    // Opens the device in the window, back buffer the size of its client area.
    // E_FAIL (with the "Failed to initialize Direct3D" box when device creation fails).
    long InitWindowed(HWND hWnd);
    // Opens a full-screen device of the given size; failures as InitWindowed.
    long InitFullscreen(HWND hWnd, int width, int height);

    // Begins a frame: binds the active swap chain, sets the 3D projection, rebuilds
    // the frustum and clears. E_FAIL without a ready device.
    long Clear();
    // Draws the debug lines, ends the scene, presents the active chain and takes
    // the frame's time. E_FAIL without a ready device.
    long Present();

    // Releases swap chains, device, Direct3D object and debug font; safe to call twice.
    void Kill();

    void SetBackColor(D3DXCOLOR color);  // clear colour
    void SetActiveSwapChain(int index);  // 0 or 1 (not checked); takes effect at the next Clear
    void SetSecondaryHWND(HWND hWnd);    // window that swap chain 1 presents to
    void SetupSwapChains();              // binds the active chain's back buffer as render target 0

    // Frame timing and keys.
    // kept: the lower-case f of its published name, beside SetSpeedFactor.
    float GetSpeedfactor();                // seconds of the last frame (0.01 before the first)
    void SetTimingMode(e_vTimeMode mode);  // the clock GetSpeedfactor is taken from
    bool GetKeyPressed(int virtualKey);    // the key is down now
    // True once per press: on the first query that sees the key down. Codes that
    // share their low 8 bits share a latch.
    bool GetKeyPressedOnce(int virtualKey);

    // Debug text in the debug font, from (x, y), in the negative of the clear colour.
    void DebugText(const char* text, int x, int y);
    // printf-formatted DebugText; results longer than 1023 characters are truncated.
    void DebugTextSprintf(int x, int y, const char* format, ...) __attribute__((format(printf, 4, 5)));

    // Render-state and debug services; each does nothing without a device.
    void SetFog(float start, float end, float density, D3DXCOLOR color);  // linear table fog on
    // kept: enable is not read; programs call it to turn the lights off.
    void SetFPPLighting(bool enable);  // lighting off and lights 0-3 off, whatever the flag
    void SetZEnable(bool enable);      // depth test on or off
    void DebugLight();                 // white directional light 0, lighting on
    void DebugLine(D3DXVECTOR3 from, D3DXVECTOR3 to, DWORD color);  // one world-space line
    // Rebuilds ev_matrix3DProj (fov in radians); the device sees it at the next Clear.
    void ChangePerspective(float fov, float nearPlane, float farPlane);
    // Saves the main window's screen area as "<baseName>_<n>.jpg", n the first
    // number without a file; silent when the screen cannot be read.
    void TakeScreenshot(char* baseName);
    // The same shot, numbered the same way; returns the name of the file written ("" when none was).
    std::string TakeScreenshot(const std::string& baseName);
    // The same shot for a constant name, as the string call; null writes nothing and returns "".
    // A template only so that a null pointer constant still picks the char* call unambiguously.
    template <typename = void>
    std::string TakeScreenshot(const char* baseName)
    {
        return baseName ? TakeScreenshot(std::string(baseName)) : std::string();
    }

    D3DXCOLOR m_backColor;                  // clear colour (SetBackColor)
    ID3DXFont* m_debugFont;                 // font of the debug text; null without a device
    D3DPRESENT_PARAMETERS m_presentParams;  // the device's presentation parameters
    bool m_deviceReady;                     // a device is open
    uint32_t m_fpsNextTick;                 // tick count at which the frame count becomes m_fps
    int32_t m_frameCount;                   // frames since the last count
    int32_t m_fps;                          // frames in the last whole second
    vFramerate m_framerate;                 // the frame timer behind GetSpeedfactor
    IDirect3DSurface9* m_backBuffer;        // render target 0 as the last set-up bound it
    IDirect3DSwapChain9* m_swapChains[2];   // the main window's chain and the secondary window's
    int32_t m_activeSwapChain;              // the chain Clear binds and Present presents
    HWND m_hWnd;                            // the main window
    HWND m_hWndSecondary;                   // the window of swap chain 1
    unsigned char m_keyStates[256];         // latches of GetKeyPressedOnce
    int32_t m_screenshotIndex;              // first number a screenshot tries
    bool m_showFps;                         // Present draws "FPS: n"
    bool m_showWindowSize;                  // Present draws "Window Size: w : h"

private:
    void PostInit();
    // Both set-ups up to the device: engine variables, the Direct3D object and the
    // present parameters with their formats. False when no Direct3D object exists.
    bool PrepareInit(HWND hWnd, int width, int height, BOOL windowed);
    long SetupDevice(D3DPRESENT_PARAMETERS* params);
    bool IsDepthFormatOk(D3DFORMAT depthFormat, D3DFORMAT adapterFormat, D3DFORMAT backBufferFormat);
};
