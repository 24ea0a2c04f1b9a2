// The frame cycle of vEngine: Clear, Present and the debug text they use.
#include <cstdarg>
#include <cstdio>

#include "vEngine.h"

long vEngine::Clear()
{
    if (!m_deviceReady || !objDevice) return E_FAIL;

    SetupSwapChains();
    objDevice->SetTransform(D3DTS_PROJECTION, &ev_matrix3DProj);
    CalculateViewFrustum();
    m_framerate.Init(60.0f);
    objDevice->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, (D3DCOLOR)m_backColor, 1.0f, 0);
    objDevice->BeginScene();
    return S_OK;
}

long vEngine::Present()
{
    if (!m_deviceReady || !objDevice) return E_FAIL;

    // The value shown is the one sampled before this frame is counted.
    if (m_showFps) DebugTextSprintf(0, 0, "FPS: %i", m_fps);

    ++m_frameCount;
    if (GetTickCount() > m_fpsNextTick) {
        m_fps = m_frameCount;
        m_frameCount = 0;
        m_fpsNextTick = GetTickCount() + 1000;
    }

    if (m_showWindowSize) DebugTextSprintf(150, 0, "Window Size: %d : %d", m_engineVars.width, m_engineVars.height);

    objDevice->EndScene();

    if (m_activeSwapChain >= 0 && m_activeSwapChain <= 1 && m_swapChains[m_activeSwapChain]) {
        HWND target = m_activeSwapChain == 0 ? m_hWnd : m_hWndSecondary;
        m_swapChains[m_activeSwapChain]->Present(NULL, NULL, target, NULL, 0);
    }

    m_framerate.SetSpeedFactor();
    return S_OK;
}

void vEngine::DebugText(const char* text, int x, int y)
{
    if (!m_deviceReady || !m_debugFont || !text) return;

    RECT rect;
    rect.left = x;
    rect.top = y;
    rect.right = m_engineVars.width;
    rect.bottom = m_engineVars.height;

    D3DXCOLOR color(1.0f - m_backColor.r, 1.0f - m_backColor.g, 1.0f - m_backColor.b, 1.0f);
    m_debugFont->DrawTextA(NULL, text, -1, &rect, DT_NOCLIP, (D3DCOLOR)color);
}

void vEngine::DebugTextSprintf(int x, int y, const char* format, ...)
{
    if (!format) return;
    // Bounded by the buffer: longer results are cut at 1023 characters.
    char buffer[1024];
    va_list args;
    va_start(args, format);
    int written = std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    if (written < 0) return;
    DebugText(buffer, x, y);
}
