// Gamepads through XInput: virtual pads made by the seam, and pads attached
// straight through SDL, read back through XInputGetState.
#include "Win32TestWindow.h"

#include <Pad.h>
#include <xinput.h>

#include <SDL.h>

#include <cstring>
#include <utility>

namespace {

using win32test::PadAxis;

constexpr WORD kAllButtons = 0xF3FF;
constexpr DWORD kOk = ERROR_SUCCESS;
constexpr DWORD kNotConnected = ERROR_DEVICE_NOT_CONNECTED;
constexpr DWORD kBadArguments = ERROR_BAD_ARGUMENTS;

class Win32Pad : public Win32Test {
protected:
    void SetUp() override
    {
        Win32Test::SetUp();
        ASSERT_TRUE(win32detail::EnsurePads()) << SDL_GetError();
        win32test::UseVirtualPadsOnly(true);
        XInputEnable(TRUE);
    }

    void TearDown() override
    {
        for (int slot = 0; slot < XUSER_MAX_COUNT; ++slot) win32test::DetachVirtualPad(slot);
        for (SDL_JoystickID id : rawPads_) DetachRaw(id);
        XInputEnable(TRUE);
        win32test::UseVirtualPadsOnly(false);
        Win32Test::TearDown();
    }

    // A standard controller plugged in behind the layer's back; its instance id.
    SDL_JoystickID AttachRaw()
    {
        SDL_VirtualJoystickDesc desc = {};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
        desc.axis_mask = (1u << desc.naxes) - 1;
        desc.button_mask = (1u << desc.nbuttons) - 1;
        desc.name = "Raw pad";
        int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
        rawPads_.push_back(id);
        return id;
    }

    static void DetachRaw(SDL_JoystickID id)
    {
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
    }

    static XINPUT_STATE State(DWORD slot)
    {
        XINPUT_STATE s = {};
        EXPECT_EQ(XInputGetState(slot, &s), kOk) << "slot " << slot;
        return s;
    }

    static DWORD Connected(DWORD slot)
    {
        XINPUT_STATE s;
        return XInputGetState(slot, &s);
    }

    // The virtual pad's motors: low and high frequency.
    static std::pair<int, int> Motors(int pad)
    {
        WORD low = 1, high = 1;
        EXPECT_TRUE(win32test::VirtualPadMotors(pad, &low, &high));
        return {low, high};
    }

    std::vector<SDL_JoystickID> rawPads_;
};

TEST_F(Win32Pad, NoPadIsNotConnectedAndLeavesEverythingAlone)
{
    OpenWindow();
    Drain();
    for (DWORD slot = 0; slot < XUSER_MAX_COUNT; ++slot) {
        XINPUT_STATE s;
        std::memset(&s, 0xAB, sizeof(s));
        EXPECT_EQ(XInputGetState(slot, &s), kNotConnected);
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&s);
        for (std::size_t i = 0; i < sizeof(s); ++i) ASSERT_EQ(bytes[i], 0xAB) << "byte " << i;
        XINPUT_VIBRATION v = {1, 1};
        EXPECT_EQ(XInputSetState(slot, &v), kNotConnected);
        XINPUT_CAPABILITIES caps;
        EXPECT_EQ(XInputGetCapabilities(slot, 0, &caps), kNotConnected);
    }
    // Pads coming and going queue no window messages.
    int pad = win32test::AttachVirtualPad();
    win32test::SetVirtualPadButton(pad, XINPUT_GAMEPAD_A, true);
    win32test::DetachVirtualPad(pad);
    EXPECT_TRUE(Drain().empty());
}

TEST_F(Win32Pad, BadArgumentsAreRefusedBeforeTheSlotIsLookedAt)
{
    ASSERT_EQ(win32test::AttachVirtualPad(), 0);
    XINPUT_STATE s;
    XINPUT_VIBRATION v = {};
    XINPUT_CAPABILITIES caps;
    for (DWORD bad : {4u, 0xFFu, 0xFFFFFFFFu}) {
        EXPECT_EQ(XInputGetState(bad, &s), kBadArguments) << bad;
        EXPECT_EQ(XInputSetState(bad, &v), kBadArguments) << bad;
        EXPECT_EQ(XInputGetCapabilities(bad, 0, &caps), kBadArguments) << bad;
    }
    EXPECT_EQ(XInputGetState(0, nullptr), kBadArguments);
    EXPECT_EQ(XInputSetState(0, nullptr), kBadArguments);
    EXPECT_EQ(XInputGetCapabilities(0, 0, nullptr), kBadArguments);
    EXPECT_EQ(XInputGetCapabilities(0, 2, &caps), kBadArguments);
    EXPECT_EQ(Connected(0), kOk);
}

TEST_F(Win32Pad, PadsTakeSlotsInOrderAndFreeThemWhenUnplugged)
{
    ASSERT_EQ(win32test::AttachVirtualPad(), 0);
    ASSERT_EQ(win32test::AttachVirtualPad(), 1);
    EXPECT_EQ(Connected(0), kOk);
    EXPECT_EQ(Connected(1), kOk);
    EXPECT_EQ(Connected(2), kNotConnected);
    DWORD firstPadsPacket = State(0).dwPacketNumber;

    win32test::DetachVirtualPad(0);
    EXPECT_EQ(Connected(0), kNotConnected);
    EXPECT_EQ(Connected(1), kOk);  // the others keep their slots
    ASSERT_EQ(win32test::AttachVirtualPad(), 0);
    EXPECT_NE(State(0).dwPacketNumber, firstPadsPacket);

    // A fifth pad waits for a free slot.
    ASSERT_EQ(win32test::AttachVirtualPad(), 2);
    ASSERT_EQ(win32test::AttachVirtualPad(), 3);
    EXPECT_EQ(win32test::AttachVirtualPad(), -1);
    AttachRaw();
    win32test::DetachVirtualPad(2);
    EXPECT_EQ(Connected(2), kOk);
}

TEST_F(Win32Pad, APadPluggedInIsFoundByThePumpOrByXInputGetState)
{
    // The message pump alone, without a look from XInputGetState.
    SDL_JoystickID id = AttachRaw();
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(win32detail::PadSlotOf(id), 0);
    DetachRaw(id);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(win32detail::PadController(0), nullptr);

    // A program that never pumps.
    AttachRaw();
    EXPECT_EQ(Connected(0), kOk);
    DetachRaw(rawPads_.back());
    EXPECT_EQ(Connected(0), kNotConnected);
}

TEST_F(Win32Pad, SticksReadUpAndRightPositive)
{
    int pad = win32test::AttachVirtualPad();
    ASSERT_EQ(pad, 0);
    win32test::SetVirtualPadAxis(pad, PadAxis::LeftThumbX, 32767);
    win32test::SetVirtualPadAxis(pad, PadAxis::LeftThumbY, 32767);
    XINPUT_STATE s = State(0);
    EXPECT_EQ(s.Gamepad.sThumbLX, 32767);
    EXPECT_EQ(s.Gamepad.sThumbLY, 32767);
    EXPECT_EQ(s.Gamepad.sThumbRX, 0);  // centred

    win32test::SetVirtualPadAxis(pad, PadAxis::LeftThumbX, 0);
    win32test::SetVirtualPadAxis(pad, PadAxis::RightThumbX, -16384);
    win32test::SetVirtualPadAxis(pad, PadAxis::RightThumbY, 16384);
    s = State(0);
    EXPECT_EQ(s.Gamepad.sThumbLX, 0);
    EXPECT_EQ(s.Gamepad.sThumbRX, -16384);
    EXPECT_EQ(s.Gamepad.sThumbRY, 16384);

    // SDL's own sense, set on the device: its Y axis grows downwards.
    SDL_GameController* c = win32detail::PadController(0);
    SDL_Joystick* j = SDL_GameControllerGetJoystick(c);
    auto raw = [&](SDL_GameControllerAxis axis, Sint16 value) {
        SDL_JoystickSetVirtualAxis(j, SDL_GameControllerGetBindForAxis(c, axis).value.axis, value);
    };
    raw(SDL_CONTROLLER_AXIS_LEFTY, -32768);  // pushed away from the player
    raw(SDL_CONTROLLER_AXIS_RIGHTY, 32767);
    raw(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    s = State(0);
    EXPECT_EQ(s.Gamepad.sThumbLY, 32767);
    EXPECT_EQ(s.Gamepad.sThumbRY, -32767);
    EXPECT_EQ(s.Gamepad.sThumbLX, 32767);
}

TEST_F(Win32Pad, TriggersRestAtZeroAndReachEveryStep)
{
    int pad = win32test::AttachVirtualPad();
    ASSERT_EQ(pad, 0);
    XINPUT_STATE s = State(0);
    EXPECT_EQ(s.Gamepad.bLeftTrigger, 0);
    EXPECT_EQ(s.Gamepad.bRightTrigger, 0);
    for (int v = 0; v <= 255; ++v) {
        win32test::SetVirtualPadAxis(pad, PadAxis::LeftTrigger, v);
        win32test::SetVirtualPadAxis(pad, PadAxis::RightTrigger, 255 - v);
        s = State(0);
        ASSERT_EQ(s.Gamepad.bLeftTrigger, v);
        ASSERT_EQ(s.Gamepad.bRightTrigger, 255 - v);
    }
    EXPECT_EQ(s.Gamepad.sThumbLX, 0);
    EXPECT_EQ(s.Gamepad.wButtons, 0);
}

TEST_F(Win32Pad, EveryButtonSetsItsOwnBit)
{
    int pad = win32test::AttachVirtualPad();
    ASSERT_EQ(pad, 0);
    for (WORD bit = 1; bit != 0; bit <<= 1) {
        if (!(kAllButtons & bit)) continue;
        win32test::SetVirtualPadButton(pad, bit, true);
        EXPECT_EQ(State(0).Gamepad.wButtons, bit) << std::hex << bit;
        win32test::SetVirtualPadButton(pad, bit, false);
        EXPECT_EQ(State(0).Gamepad.wButtons, 0) << std::hex << bit;
    }
    win32test::SetVirtualPadButton(pad, kAllButtons, true);
    EXPECT_EQ(State(0).Gamepad.wButtons, kAllButtons);
    win32test::SetVirtualPadButton(pad, kAllButtons, false);

    // The guide button has no bit.
    SDL_GameController* c = win32detail::PadController(0);
    SDL_GameControllerButtonBind guide = SDL_GameControllerGetBindForButton(c, SDL_CONTROLLER_BUTTON_GUIDE);
    SDL_JoystickSetVirtualButton(SDL_GameControllerGetJoystick(c), guide.value.button, SDL_PRESSED);
    EXPECT_EQ(State(0).Gamepad.wButtons, 0);
}

TEST_F(Win32Pad, PacketNumberChangesOnlyWithTheState)
{
    int pad = win32test::AttachVirtualPad();
    ASSERT_EQ(pad, 0);
    DWORD first = State(0).dwPacketNumber;
    EXPECT_EQ(State(0).dwPacketNumber, first);

    win32test::SetVirtualPadButton(pad, XINPUT_GAMEPAD_A, true);
    DWORD pressed = State(0).dwPacketNumber;
    EXPECT_NE(pressed, first);
    win32test::SetVirtualPadButton(pad, XINPUT_GAMEPAD_A, true);
    EXPECT_EQ(State(0).dwPacketNumber, pressed);

    win32test::SetVirtualPadAxis(pad, PadAxis::RightThumbX, 1);
    DWORD moved = State(0).dwPacketNumber;
    EXPECT_NE(moved, pressed);
    EXPECT_EQ(State(0).dwPacketNumber, moved);
}

TEST_F(Win32Pad, APadReadsWhileNoWindowHasFocus)
{
    OpenWindow();
    Drain();
    ASSERT_EQ(SDL_GetKeyboardFocus(), nullptr);
    int pad = win32test::AttachVirtualPad();
    ASSERT_EQ(pad, 0);
    win32test::SetVirtualPadAxis(pad, PadAxis::LeftThumbX, 20000);
    win32test::SetVirtualPadButton(pad, XINPUT_GAMEPAD_START, true);
    Drain();  // the game's pump
    XINPUT_STATE s = State(0);
    EXPECT_EQ(s.Gamepad.sThumbLX, 20000);
    EXPECT_EQ(s.Gamepad.wButtons, XINPUT_GAMEPAD_START);
}

TEST_F(Win32Pad, VibrationReachesThePadAndXInputEnableHoldsItBack)
{
    int pad = win32test::AttachVirtualPad();
    ASSERT_EQ(pad, 0);
    EXPECT_EQ(Motors(pad), std::make_pair(0, 0));
    XINPUT_VIBRATION v = {40000, 1000};
    EXPECT_EQ(XInputSetState(0, &v), kOk);
    EXPECT_EQ(Motors(pad), std::make_pair(40000, 1000));

    // Disabled: neutral data, motors stopped, new speeds kept for later.
    win32test::SetVirtualPadButton(pad, XINPUT_GAMEPAD_B, true);
    win32test::SetVirtualPadAxis(pad, PadAxis::LeftTrigger, 200);
    XInputEnable(FALSE);
    EXPECT_EQ(Motors(pad), std::make_pair(0, 0));
    XINPUT_STATE s = State(0);
    EXPECT_EQ(s.Gamepad.wButtons, 0);
    EXPECT_EQ(s.Gamepad.bLeftTrigger, 0);
    v = {5, 6};
    EXPECT_EQ(XInputSetState(0, &v), kOk);
    EXPECT_EQ(Motors(pad), std::make_pair(0, 0));

    XInputEnable(TRUE);
    EXPECT_EQ(Motors(pad), std::make_pair(5, 6));
    s = State(0);
    EXPECT_EQ(s.Gamepad.wButtons, XINPUT_GAMEPAD_B);
    EXPECT_EQ(s.Gamepad.bLeftTrigger, 200);
}

TEST_F(Win32Pad, CapabilitiesDescribeAStandardPad)
{
    ASSERT_EQ(win32test::AttachVirtualPad(), 0);
    XINPUT_CAPABILITIES caps;
    ASSERT_EQ(XInputGetCapabilities(0, XINPUT_FLAG_GAMEPAD, &caps), kOk);
    EXPECT_EQ(caps.Type, XINPUT_DEVTYPE_GAMEPAD);
    EXPECT_EQ(caps.SubType, XINPUT_DEVSUBTYPE_GAMEPAD);
    EXPECT_EQ(caps.Gamepad.wButtons, kAllButtons);
    EXPECT_EQ(caps.Gamepad.bRightTrigger, 255);
    EXPECT_EQ(caps.Gamepad.sThumbLY, -1);  // all sixteen bits of resolution
    EXPECT_EQ(caps.Vibration.wLeftMotorSpeed, 0xFFFF);

    AttachRaw();  // no motors
    ASSERT_EQ(XInputGetCapabilities(1, 0, &caps), kOk);
    EXPECT_EQ(caps.Vibration.wLeftMotorSpeed, 0);
    XINPUT_VIBRATION v = {5, 6};
    EXPECT_EQ(XInputSetState(1, &v), kOk);  // taken, nothing done
}

}  // namespace
