// The core tests' engine: the rendering fixture's engine on a 320 x 240
// client area, with the frame-rate and window-size lines left as the engine
// sets them up.
#pragma once

#include <EngineFixture.h>

namespace rendertest {

constexpr int kClientWidth = 320;
constexpr int kClientHeight = 240;

class EngineTest : public EngineFixture {
protected:
    int ClientWidth() const override { return kClientWidth; }
    int ClientHeight() const override { return kClientHeight; }
    bool QuietDebugLines() const override { return false; }
};

}  // namespace rendertest
