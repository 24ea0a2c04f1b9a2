// The engine on a headless window whose procedure feeds every message to a
// GUI manager, as an application's does: injected mouse and characters go
// through the window layer's queue, the window procedure, the manager and the
// widgets; frames are drawn through vTwoDee and read back.
#pragma once

#include <EngineFixture.h>
#include <Win32TestSeam.h>

#include <string>
#include <vector>

#include "vGUIButton.h"
#include "vGUIListbox.h"
#include "vGUIManager.h"
#include "vGUITextbox.h"
#include "vGUIWindow.h"
#include "vTexture.h"
#include "vTwoDee.h"

namespace guitest {

using rendertest::Image;

struct Event {
    int code;
    unsigned int id;
    vGUIElement* element;
};

// Solid skin colours (0xRRGGBB), far apart so each part can be told from the others.
constexpr uint32_t kUp = 0xFF0000;
constexpr uint32_t kDown = 0x00FF00;
constexpr uint32_t kThird = 0x0000FF;
constexpr uint32_t kBackground = 0xC0C0C0;
constexpr uint32_t kBorder = 0xFFFF00;
constexpr uint32_t kClear = 0x204080;  // the frame's clear colour

class GuiFixture : public rendertest::EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        Current() = this;
        rendertest::TestWindowProc() = &GuiFixture::WindowProc;
        win32test::ReleaseAllKeys();
        win32test::SetActiveWindow(hwnd);
        Pump();
        manager = new vGUIManager;
        manager->Init("Arial", 16);
        manager->SetTwoDee(&twoDee);
        manager->SetCallback(&GuiFixture::Record);
        LoadSolid(up, "up.tga", kUp);
        LoadSolid(down, "down.tga", kDown);
        LoadSolid(third, "third.tga", kThird);
        LoadSolid(background, "background.tga", kBackground);
        LoadSolid(border, "border.tga", kBorder);
        events.clear();
    }

    void ReleaseResources() override
    {
        rendertest::TestWindowProc() = nullptr;
        delete manager;
        manager = nullptr;
        for (vTexture* t : {&up, &down, &third, &background, &border}) t->Kill();
        win32test::ReleaseAllKeys();
        win32test::SetActiveWindow(nullptr);
        Current() = nullptr;
    }

    void LoadSolid(vTexture& texture, const char* name, uint32_t rgb, int size = 32)
    {
        ASSERT_TRUE(rendertest::WriteSolidTga(temp.File(name), size, size, 0xFF000000u | rgb));
        ASSERT_EQ(texture.LoadTextureFromFile(temp.File(name).c_str(), 0, 1), S_OK);
    }

    // Dispatches every waiting message to the window procedure, as a message loop does.
    static void Pump()
    {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }

    void Move(int x, int y)
    {
        win32test::MouseMove(hwnd, x, y);
        Pump();
    }
    void Press()
    {
        win32test::MouseButton(hwnd, true);
        Pump();
    }
    void Release()
    {
        win32test::MouseButton(hwnd, false);
        Pump();
    }
    void PressAt(int x, int y)
    {
        Move(x, y);
        Press();
    }
    void ReleaseAt(int x, int y)
    {
        Move(x, y);
        Release();
    }
    void ClickAt(int x, int y)
    {
        PressAt(x, y);
        Release();
    }
    void Type(const char* utf8)
    {
        win32test::TypeText(utf8);
        Pump();
    }
    void TypeUnit(unsigned int unit)
    {
        win32test::TypeChar(unit);
        Pump();
    }

    // One frame: clear, the manager's Render inside the 2D bracket, read back.
    Image Frame()
    {
        BeginFrame(D3DXCOLOR(0x20 / 255.0f, 0x40 / 255.0f, 0x80 / 255.0f, 1.0f));
        twoDee.Begin2D();
        manager->Render();
        twoDee.End2D();
        return rendertest::ReadRenderTarget();
    }

    // Events of one code, in order.
    std::vector<Event> EventsOf(int code) const
    {
        std::vector<Event> out;
        for (const Event& e : events)
            if (e.code == code) out.push_back(e);
        return out;
    }

    // Pixels inside r whose colour is at most tolerance away from rgb.
    static int CountColour(const Image& image, RECT r, uint32_t rgb, int tolerance = 8)
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += rendertest::ColorDistance(image.At(x, y), rgb) <= tolerance;
        return n;
    }

    // Pixels inside r darker than every channel 0x60: text ink on the light skin.
    static int CountInk(const Image& image, RECT r)
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const uint32_t p = image.At(x, y);
                n += rendertest::Channel(p, 16) < 0x60 && rendertest::Channel(p, 8) < 0x60 &&
                     rendertest::Channel(p, 0) < 0x60;
            }
        return n;
    }

    vGUIManager* manager = nullptr;
    vTwoDee twoDee;
    vTexture up, down, third, background, border;
    std::vector<Event> events;
    float timeStep = 0.0f;  // the time handed to the manager with each message
    POINT mouse = {0, 0};   // the application's idea of the mouse point

private:
    static GuiFixture*& Current()
    {
        static GuiFixture* current = nullptr;
        return current;
    }

    static void Record(int code, unsigned int id, vGUIElement* element)
    {
        if (Current()) Current()->events.push_back({code, id, element});
    }

    // The application's window procedure: tracks the mouse point from the
    // mouse messages (client coordinates; the wheel's are screen coordinates)
    // and feeds every message to the manager.
    static LRESULT CALLBACK WindowProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        GuiFixture* f = Current();
        if (f && f->manager) {
            if (msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP) {
                f->mouse = POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)};
            } else if (msg == WM_MOUSEWHEEL) {
                POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
                ScreenToClient(h, &p);
                f->mouse = p;
            }
            f->manager->Update(msg, static_cast<unsigned int>(wParam), static_cast<long>(lParam), f->mouse,
                               f->timeStep);
        }
        return DefWindowProcA(h, msg, wParam, lParam);
    }
};

}  // namespace guitest
