// Drives a whole program headless through its real loop: start-up once per
// process, loop passes on the virtual clock until a frame was drawn, held keys
// and mouse clicks, and what the frames drew read back through the rendering
// fixture. A suite describes its program (start-up, loop pass, frame counter)
// in a Program and adds what only that program has.
//
//     const programdriver::Program kGame = {"kMedia/board.x", GameStartup, GameLoopPass, GameFrameCount, ...};
//     if (!programdriver::EnsureStarted(kGame, &why)) RENDERTEST_NO_DEVICE(why);
//     programdriver::HoldKey('W', 30);
//     const rendertest::Image frame = programdriver::ReadFrame();
#pragma once

#include <EngineFixture.h>
#include <Win32TestSeam.h>

#include <string>

namespace programdriver {

struct Program {
    // A generated media file, relative to the working folder, the program cannot start without.
    const char* mediaFile;
    // Opens the program's window and engine and loads its media; false when no device could be made.
    bool (*startup)();
    // One pass of the program's message loop; false once it took WM_QUIT.
    bool (*loopPass)();
    // Frames the program has drawn so far.
    unsigned long (*frameCount)();
    // The program's main window once started; it is made the active window.
    HWND (*window)();
    // Put before the names of dumped images ("" for none).
    const char* dumpPrefix;
};

// Starts program the first time: the virtual clock at 100 s, start-up, its
// window active, three frames. False, with the reason in *why, when it cannot
// run here; later calls give the first answer.
bool EnsureStarted(const Program& program, std::string* why);

// Advances the virtual clock by ms, then runs loop passes until one frame was drawn.
void Frame(double ms = 16.0);
void Frames(int n, double ms = 16.0);
// Runs loop passes, 16 ms apart, until WM_QUIT was taken or maxPasses ran; true when the loop ended.
bool RunUntilQuit(int maxPasses);

// Holds a key for the given frames, then lets it go and draws one more.
void HoldKey(int virtualKey, int frames);
void Press(int virtualKey);  // down, one frame, up, one frame
// A left click at a client point of the program's window (move, press, frame, release, frame).
void ClickAt(int x, int y);

// Render target 0 as the last frame left it.
rendertest::Image ReadFrame();
// The program's client area as last presented.
rendertest::Image ReadPresented();
// Writes the image as a binary PPM <prefix><name>.ppm into the folder KOLVAR_PLAY_DUMP names, if it names one
// (for looking at failures).
void Dump(const rendertest::Image& image, const char* name);

}  // namespace programdriver
