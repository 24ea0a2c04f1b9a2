// Drives the showcase program headless: start-up once per process, the real
// loop pass by pass on the virtual clock, injected keys and mouse, and what
// the last frame drew read back through the rendering fixture.
#pragma once

#include <gtest/gtest.h>

#include <EngineFixture.h>
#include <RequireDevice.h>
#include <Win32TestSeam.h>

#include <string>

#include "ShowcaseApp.h"

namespace showdrive {

// Starts the showcase the first time; false (with the reason in *why) when it cannot run here.
bool EnsureStarted(std::string* why);
// Keys and buttons up, the GUI window and options as at start, camera at the first spot.
void Reset();

// Advances the virtual clock by ms, then runs loop passes until one frame was drawn.
void Frame(double ms = 16.0);
void Frames(int n, double ms = 16.0);

// A left click at a client point (move, press, frame, release, frame).
void ClickAt(int x, int y);
void ClickOn(vGUIElement* element);  // in the middle of the widget
// Holds a key for n frames, then lets it go.
void HoldKey(int virtualKey, int frames);

// The frame as drawn, before Present (the loop's last frame is drawn again).
rendertest::Image DrawnFrame();
// Writes the image as a binary PPM when KOLVAR_PLAY_DUMP names a folder.
void Dump(const rendertest::Image& image, const char* name);

// Screen pixel of a world point through the showcase camera.
POINT Project(D3DXVECTOR3 world);

}  // namespace showdrive

class Showcase : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        if (!showdrive::EnsureStarted(&why)) RENDERTEST_NO_DEVICE(why);
        showdrive::Reset();
    }
};
