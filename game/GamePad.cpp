#include "GamePad.h"

#include <windows.h>
#include <xinput.h>

#include <algorithm>
#include <cmath>

#include "GamePause.h"
#include "GameRules.h"

namespace {

struct PadSlot {
    bool connected = false;
    bool startHeld = false;
    XINPUT_GAMEPAD pad = {};
};
PadSlot slots[XUSER_MAX_COUNT];

}  // namespace

float StickShare(int value, int otherAxis)
{
    const double distance = std::sqrt(double(value) * value + double(otherAxis) * otherAxis);
    if (distance <= XINPUT_GAMEPAD_LEFT_THUMB_DEADZONE) return 0.0f;
    return std::min(1.0f, std::max(-1.0f, float(value) / 32767.0f));
}

void UpdatePads()
{
    for (DWORD i = 0; i < XUSER_MAX_COUNT; ++i) {
        PadSlot& slot = slots[i];
        XINPUT_STATE state = {};
        const bool connected = XInputGetState(i, &state) == ERROR_SUCCESS;
        if (!connected) {
            if (slot.connected && !editorMode) SetPaused(true);
            slot = PadSlot();
            continue;
        }
        const bool start = (state.Gamepad.wButtons & XINPUT_GAMEPAD_START) != 0;
        if (start && !slot.startHeld) SetPaused(!gamePaused);
        slot.connected = true;
        slot.startHeld = start;
        slot.pad = state.Gamepad;
    }
}

D3DXVECTOR3 PadSteering(float keyTorque)
{
    D3DXVECTOR3 torque(0.0f, 0.0f, 0.0f);
    for (const PadSlot& slot : slots) {
        if (!slot.connected) continue;
        const XINPUT_GAMEPAD& p = slot.pad;
        // Stick up is the W key (world +z, torque +x); right is D (torque -z).
        torque.x += keyTorque * StickShare(p.sThumbLY, p.sThumbLX);
        torque.z -= keyTorque * StickShare(p.sThumbLX, p.sThumbLY);
        if (p.wButtons & XINPUT_GAMEPAD_DPAD_UP) torque.x += keyTorque;
        if (p.wButtons & XINPUT_GAMEPAD_DPAD_DOWN) torque.x -= keyTorque;
        if (p.wButtons & XINPUT_GAMEPAD_DPAD_RIGHT) torque.z -= keyTorque;
        if (p.wButtons & XINPUT_GAMEPAD_DPAD_LEFT) torque.z += keyTorque;
    }
    return torque;
}

bool PadAcceptHeld()
{
    for (const PadSlot& slot : slots)
        if (slot.connected && (slot.pad.wButtons & XINPUT_GAMEPAD_A)) return true;
    return false;
}
