// Drives the showcase program headless through the program driver: start-up
// once per process, the real loop pass by pass on the virtual clock, injected
// keys and mouse, and what the last frame drew read back through the
// rendering fixture.
#pragma once

#include <gtest/gtest.h>

#include <ProgramDriver.h>
#include <RequireDevice.h>
#include <Win32TestSeam.h>

#include <string>

#include "ShowcaseApp.h"

namespace showdrive {

using programdriver::ClickAt;
using programdriver::Dump;
using programdriver::Frame;
using programdriver::Frames;
using programdriver::HoldKey;
using programdriver::ReadPresented;

// Starts the showcase the first time; false (with the reason in *why) when it cannot run here.
// mediaFile names the generated file whose absence means no media at all (the
// terrain's height file unless given: a run without it names another).
bool EnsureStarted(std::string* why, const char* mediaFile = nullptr);
// Keys and buttons up, the GUI window and options as at start, camera at the first spot.
void Reset();

void ClickOn(vGUIElement* element);  // in the middle of the widget

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
