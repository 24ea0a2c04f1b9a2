// Virtual gamepads for tests: SDL virtual joysticks made as game controllers,
// found and read by the layer like any pad plugged in.
#include "Win32TestSeam.h"

#include "Pad.h"
#include "PadMap.h"

#include <SDL.h>

#include <algorithm>
#include <list>

namespace {

struct VirtualPad {
    SDL_JoystickID id = -1;
    WORD lowFrequency = 0;
    WORD highFrequency = 0;
};

// Stable addresses: SDL holds each record as the device's user data.
std::list<VirtualPad>& VirtualPads()
{
    static std::list<VirtualPad>* pads = new std::list<VirtualPad>;
    return *pads;
}

int SDLCALL RecordRumble(void* userdata, Uint16 lowFrequency, Uint16 highFrequency)
{
    VirtualPad* pad = static_cast<VirtualPad*>(userdata);
    pad->lowFrequency = lowFrequency;
    pad->highFrequency = highFrequency;
    return 0;
}

int DeviceIndexOf(SDL_JoystickID id)
{
    int count = SDL_NumJoysticks();
    for (int i = 0; i < count; ++i)
        if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
    return -1;
}

void Detach(std::list<VirtualPad>::iterator pad)
{
    int index = DeviceIndexOf(pad->id);
    if (index >= 0) SDL_JoystickDetachVirtual(index);
    VirtualPads().erase(pad);
}

// The virtual pad in a slot, with its joystick; end() when the slot holds none.
std::list<VirtualPad>::iterator Find(int slot, SDL_Joystick** joystick)
{
    auto& pads = VirtualPads();
    SDL_GameController* c = win32detail::PadController(slot);
    if (!c) return pads.end();
    SDL_Joystick* j = SDL_GameControllerGetJoystick(c);
    SDL_JoystickID id = SDL_JoystickInstanceID(j);
    auto it = std::find_if(pads.begin(), pads.end(), [id](const VirtualPad& p) { return p.id == id; });
    if (joystick) *joystick = j;
    return it;
}

}  // namespace

namespace win32test {

int AttachVirtualPad()
{
    if (!win32detail::EnsurePads()) return -1;
    auto& pads = VirtualPads();
    VirtualPad& pad = pads.emplace_back();

    // The standard controller: SDL maps a virtual game controller's buttons
    // and axes in its own order, the d-pad as four buttons.
    SDL_VirtualJoystickDesc desc = {};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
    desc.nhats = 0;
    desc.axis_mask = (1u << desc.naxes) - 1;
    desc.button_mask = (1u << desc.nbuttons) - 1;
    desc.name = "Virtual pad";
    desc.userdata = &pad;
    desc.Rumble = RecordRumble;
    int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) {
        pads.pop_back();
        return -1;
    }
    pad.id = SDL_JoystickGetDeviceInstanceID(index);
    if (!SDL_IsGameController(index)) {
        Detach(std::prev(pads.end()));
        return -1;
    }

    win32detail::RefreshPads();
    int slot = win32detail::PadSlotOf(pad.id);
    if (slot < 0) Detach(std::prev(pads.end()));  // every slot taken
    return slot;
}

void SetVirtualPadAxis(int pad, PadAxis axis, int value)
{
    SDL_Joystick* joystick = nullptr;
    if (Find(pad, &joystick) == VirtualPads().end()) return;
    const win32detail::PadAxisEntry* e = win32detail::PadAxisEntryFor(axis);
    SDL_GameController* c = win32detail::PadController(pad);
    SDL_GameControllerButtonBind bind =
        SDL_GameControllerGetBindForAxis(c, static_cast<SDL_GameControllerAxis>(e->sdlAxis));
    if (bind.bindType != SDL_CONTROLLER_BINDTYPE_AXIS) return;
    int raw = win32detail::SdlAxisValue(e->kind, value);
    // A trigger's joystick axis spans the whole range, at rest at its minimum.
    if (e->kind == win32detail::PadAxisKind::Trigger) raw = std::min(2 * raw - 32767, 32767);
    SDL_JoystickSetVirtualAxis(joystick, bind.value.axis, static_cast<Sint16>(raw));
}

void SetVirtualPadButton(int pad, WORD xinputButtons, bool down)
{
    SDL_Joystick* joystick = nullptr;
    if (Find(pad, &joystick) == VirtualPads().end()) return;
    SDL_GameController* c = win32detail::PadController(pad);
    std::size_t count = 0;
    const win32detail::PadButtonEntry* buttons = win32detail::PadButtonTable(&count);
    for (std::size_t i = 0; i < count; ++i) {
        if (!(xinputButtons & buttons[i].xinputButton)) continue;
        SDL_GameControllerButtonBind bind =
            SDL_GameControllerGetBindForButton(c, static_cast<SDL_GameControllerButton>(buttons[i].sdlButton));
        if (bind.bindType == SDL_CONTROLLER_BINDTYPE_BUTTON)
            SDL_JoystickSetVirtualButton(joystick, bind.value.button, down ? SDL_PRESSED : SDL_RELEASED);
    }
}

bool VirtualPadMotors(int pad, WORD* lowFrequency, WORD* highFrequency)
{
    auto it = Find(pad, nullptr);
    if (it == VirtualPads().end()) return false;
    if (lowFrequency) *lowFrequency = it->lowFrequency;
    if (highFrequency) *highFrequency = it->highFrequency;
    return true;
}

void DetachVirtualPad(int pad)
{
    auto it = Find(pad, nullptr);
    if (it != VirtualPads().end()) Detach(it);
}

void UseVirtualPadsOnly(bool on)
{
    win32detail::UseVirtualPadsOnly(on);
}

}  // namespace win32test
