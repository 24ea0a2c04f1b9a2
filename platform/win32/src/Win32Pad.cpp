// Gamepads: XInput's four user slots over SDL's game controllers.
#include "Pad.h"

#include "PadMap.h"
#include "Win32State.h"

#include <SDL.h>

namespace {

// SDL ends a rumble after at most this long (its own cap, 0xFFFF ms); XInput
// keeps a vibration until it is changed, so a running one is sent again
// well before SDL would stop it.
constexpr Uint32 kRumbleMs = 0xFFFF;
constexpr Uint64 kRumbleRenewMs = 30000;

struct PadSlot {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
    bool isVirtual = false;
    // Kept from pad to pad, so a new pad never repeats the number its slot
    // last reported.
    DWORD packet = 0;
    XINPUT_GAMEPAD reported = {};     // as the last XInputGetState gave it
    XINPUT_VIBRATION vibration = {};  // as the last XInputSetState asked
    Uint64 rumbleSentMs = 0;
};

struct Pads {
    bool tried = false;
    bool ready = false;
    bool enabled = true;  // XInputEnable
    bool virtualOnly = false;
    PadSlot slots[XUSER_MAX_COUNT];
};

Pads& GetPads()
{
    // Never destroyed, like the layer's state: a global's destructor may
    // still ask for a pad.
    static Pads* pads = new Pads;
    return *pads;
}

void SendVibration(PadSlot& slot)
{
    const Pads& p = GetPads();
    WORD low = p.enabled ? slot.vibration.wLeftMotorSpeed : 0;
    WORD high = p.enabled ? slot.vibration.wRightMotorSpeed : 0;
    // A pad without motors says so; XInput does nothing and succeeds.
    SDL_GameControllerRumble(slot.controller, low, high, kRumbleMs);
    slot.rumbleSentMs = SDL_GetTicks64();
}

void ClosePad(PadSlot& slot)
{
    if (slot.controller) SDL_GameControllerClose(slot.controller);
    slot.controller = nullptr;
    slot.id = -1;
}

void OpenPad(int deviceIndex)
{
    Pads& p = GetPads();
    if (!SDL_IsGameController(deviceIndex)) return;
    if (p.virtualOnly && !SDL_JoystickIsVirtual(deviceIndex)) return;
    SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (id < 0 || win32detail::PadSlotOf(id) >= 0) return;
    for (PadSlot& slot : p.slots) {
        if (slot.controller) continue;
        SDL_GameController* c = SDL_GameControllerOpen(deviceIndex);
        if (!c) return;
        slot.controller = c;
        slot.id = id;
        slot.isVirtual = SDL_JoystickIsVirtual(deviceIndex);
        ++slot.packet;
        slot.reported = {};
        slot.vibration = {};
        slot.rumbleSentMs = 0;
        return;
    }
}

XINPUT_GAMEPAD ReadGamepad(SDL_GameController* c)
{
    XINPUT_GAMEPAD g = {};
    std::size_t count = 0;
    const win32detail::PadButtonEntry* buttons = win32detail::PadButtonTable(&count);
    for (std::size_t i = 0; i < count; ++i)
        if (SDL_GameControllerGetButton(c, static_cast<SDL_GameControllerButton>(buttons[i].sdlButton)))
            g.wButtons |= buttons[i].xinputButton;
    const win32detail::PadAxisEntry* axes = win32detail::PadAxisTable(&count);
    for (std::size_t i = 0; i < count; ++i) {
        int value = SDL_GameControllerGetAxis(c, static_cast<SDL_GameControllerAxis>(axes[i].sdlAxis));
        win32detail::SetGamepadAxis(g, axes[i].axis, win32detail::XInputAxisValue(axes[i].kind, value));
    }
    return g;
}

bool SameGamepad(const XINPUT_GAMEPAD& a, const XINPUT_GAMEPAD& b)
{
    return a.wButtons == b.wButtons && a.bLeftTrigger == b.bLeftTrigger && a.bRightTrigger == b.bRightTrigger &&
           a.sThumbLX == b.sThumbLX && a.sThumbLY == b.sThumbLY && a.sThumbRX == b.sThumbRX && a.sThumbRY == b.sThumbRY;
}

// The connected pad in a slot after a fresh look; NULL for an empty slot.
PadSlot* ConnectedPad(DWORD userIndex)
{
    win32detail::RefreshPads();
    PadSlot& slot = GetPads().slots[userIndex];
    return slot.controller ? &slot : nullptr;
}

}  // namespace

namespace win32detail {

bool EnsurePads()
{
    Pads& p = GetPads();
    if (p.tried) return p.ready;
    p.tried = true;
    EnsureSdl();  // the layer's hints and SDL's events, as for windows
    // XInput answers whichever window has focus; SDL would otherwise drop a
    // pad's changes while none of ours has it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    p.ready = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    return p.ready;
}

void RefreshPads()
{
    if (!EnsurePads()) return;
    Pads& p = GetPads();
    SDL_GameControllerUpdate();  // state, and SDL's own look for devices
    for (PadSlot& slot : p.slots)
        if (slot.controller && (!SDL_GameControllerGetAttached(slot.controller) || (p.virtualOnly && !slot.isVirtual)))
            ClosePad(slot);
    int count = SDL_NumJoysticks();
    for (int i = 0; i < count; ++i) OpenPad(i);

    Uint64 now = SDL_GetTicks64();
    for (PadSlot& slot : p.slots) {
        bool running = slot.vibration.wLeftMotorSpeed || slot.vibration.wRightMotorSpeed;
        if (slot.controller && p.enabled && running && now - slot.rumbleSentMs >= kRumbleRenewMs) SendVibration(slot);
    }
}

void PadAdded(int deviceIndex)
{
    if (GetPads().ready) OpenPad(deviceIndex);
}

void PadRemoved(int instanceId)
{
    int slot = PadSlotOf(instanceId);
    if (slot >= 0) ClosePad(GetPads().slots[slot]);
}

void ShutdownPads()
{
    Pads& p = GetPads();
    for (PadSlot& slot : p.slots) ClosePad(slot);
    p.tried = true;
    p.ready = false;
}

SDL_GameController* PadController(int slot)
{
    if (slot < 0 || slot >= XUSER_MAX_COUNT) return nullptr;
    return GetPads().slots[slot].controller;
}

int PadSlotOf(int instanceId)
{
    if (instanceId < 0) return -1;
    const Pads& p = GetPads();
    for (int i = 0; i < XUSER_MAX_COUNT; ++i)
        if (p.slots[i].controller && p.slots[i].id == instanceId) return i;
    return -1;
}

void UseVirtualPadsOnly(bool on)
{
    GetPads().virtualOnly = on;
    RefreshPads();
}

}  // namespace win32detail

DWORD WINAPI XInputGetState(DWORD dwUserIndex, XINPUT_STATE* pState)
{
    if (dwUserIndex >= XUSER_MAX_COUNT || !pState) return ERROR_BAD_ARGUMENTS;
    PadSlot* slot = ConnectedPad(dwUserIndex);
    if (!slot) return ERROR_DEVICE_NOT_CONNECTED;
    XINPUT_GAMEPAD now = GetPads().enabled ? ReadGamepad(slot->controller) : XINPUT_GAMEPAD{};
    if (!SameGamepad(now, slot->reported)) {
        slot->reported = now;
        ++slot->packet;
    }
    pState->dwPacketNumber = slot->packet;
    pState->Gamepad = now;
    return ERROR_SUCCESS;
}

DWORD WINAPI XInputSetState(DWORD dwUserIndex, XINPUT_VIBRATION* pVibration)
{
    if (dwUserIndex >= XUSER_MAX_COUNT || !pVibration) return ERROR_BAD_ARGUMENTS;
    PadSlot* slot = ConnectedPad(dwUserIndex);
    if (!slot) return ERROR_DEVICE_NOT_CONNECTED;
    slot->vibration = *pVibration;
    if (GetPads().enabled) SendVibration(*slot);
    return ERROR_SUCCESS;
}

DWORD WINAPI XInputGetCapabilities(DWORD dwUserIndex, DWORD dwFlags, XINPUT_CAPABILITIES* pCapabilities)
{
    if (dwUserIndex >= XUSER_MAX_COUNT || !pCapabilities) return ERROR_BAD_ARGUMENTS;
    if (dwFlags != 0 && dwFlags != XINPUT_FLAG_GAMEPAD) return ERROR_BAD_ARGUMENTS;
    PadSlot* slot = ConnectedPad(dwUserIndex);
    if (!slot) return ERROR_DEVICE_NOT_CONNECTED;

    XINPUT_CAPABILITIES caps = {};
    caps.Type = XINPUT_DEVTYPE_GAMEPAD;
    caps.SubType = XINPUT_DEVSUBTYPE_GAMEPAD;
    std::size_t count = 0;
    const win32detail::PadButtonEntry* buttons = win32detail::PadButtonTable(&count);
    for (std::size_t i = 0; i < count; ++i)
        if (SDL_GameControllerHasButton(slot->controller, static_cast<SDL_GameControllerButton>(buttons[i].sdlButton)))
            caps.Gamepad.wButtons |= buttons[i].xinputButton;
    // Every bit of resolution: SDL's axes have sixteen.
    const win32detail::PadAxisEntry* axes = win32detail::PadAxisTable(&count);
    for (std::size_t i = 0; i < count; ++i)
        if (SDL_GameControllerHasAxis(slot->controller, static_cast<SDL_GameControllerAxis>(axes[i].sdlAxis)))
            win32detail::SetGamepadAxis(caps.Gamepad, axes[i].axis,
                                        axes[i].kind == win32detail::PadAxisKind::Trigger ? 0xFF : -1);
    if (SDL_GameControllerHasRumble(slot->controller)) {
        caps.Vibration.wLeftMotorSpeed = 0xFFFF;
        caps.Vibration.wRightMotorSpeed = 0xFFFF;
    }
    *pCapabilities = caps;
    return ERROR_SUCCESS;
}

void WINAPI XInputEnable(BOOL enable)
{
    Pads& p = GetPads();
    p.enabled = enable != FALSE;
    for (PadSlot& slot : p.slots)
        if (slot.controller) SendVibration(slot);
}
