#include "GameOptions.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "GameDisplay.h"
#include "GameObjects.h"
#include "GamePause.h"
#include "GameRules.h"
#include "GameSound.h"
#include "vGUIButton.h"
#include "vGUIListbox.h"
#include "vGUIWindow.h"

Settings settings = DefaultSettings();

namespace {

// Control IDs of the window's widgets.
enum {
    kOptionsWindow = 100,
    kKeyButton0 = 101,  // ... kKeyButton0 + kSteerActions - 1
    kVolumeList = 110,
    kFullScreenToggle = 111,
    kFrameRateToggle = 112,
    kResetButton = 113,
    kCloseButton = 114,
};

// Where it stands: the middle of the 1016 x 756 screen.
const int kWindowWidth = 420, kWindowHeight = 312;
const int kWindowX = (1016 - kWindowWidth) / 2, kWindowY = (756 - kWindowHeight) / 2;
const DWORD kHudMessageMs = 6000;

const char* const kActionNames[kSteerActions] = {"Roll up", "Roll down", "Roll left", "Roll right"};

// The keys the game gives other work, in play or in the editor.
struct FixedKey {
    int key;
    const char* use;
};
const FixedKey kFixedKeys[] = {
    {'Z', "the editor's bomb key"},  {'X', "the editor's clear key"},
    {'C', "the editor's coin key"},  {'Y', "the editor's spinner key"},
    {'G', "the editor's goal key"},  {'P', "the pause key"},
    {'H', "the save key"},           {'M', "the load key"},
    {'N', "the screenshot key"},     {'E', "the particle key"},
    {'O', "the options key"},        {VK_RETURN, "the Enter key"},
    {VK_ESCAPE, "the quit key"},     {VK_PAUSE, "the pause key"},
    {VK_F11, "the full-screen key"},
};

struct Widgets {
    vTexture buttonUp, buttonDown, buttonThird, windowBack, windowBorder, listBack, listBorder, listScroll;
    vGUIWindow* window = nullptr;
    vGUIButton* keyButtons[kSteerActions] = {};
    char keyLabels[kSteerActions][48] = {};
    vGUIListbox* volumeList = nullptr;
    vGUIButton* fullScreen = nullptr;
    vGUIButton* frameRate = nullptr;
    vGUIButton* reset = nullptr;
    vGUIButton* close = nullptr;
};
Widgets* ui = nullptr;  // made the first time the window opens

bool open = false;
bool pausedByOptions = false;
int waitingFor = -1;  // the action whose key is being asked for
std::string message;
std::string hudMessage;  // the settings file's own complaint, shown once
DWORD hudMessageUntil = 0;

char kOptionsTitle[] = "Options";
char kFullScreenLabel[] = "Full screen";
char kFrameRateLabel[] = "Frame rate";
char kResetLabel[] = "Reset to defaults";
char kCloseLabel[] = "Close";

// The player's name of a key: a bindable key's own, else the few the game uses.
std::string KeyName(int key)
{
    if (const char* name = BindableKeyName(key)) return name;
    if (key >= 'A' && key <= 'Z') return std::string(1, char(key));
    switch (key) {
        case VK_RETURN:
            return "Enter";
        case VK_ESCAPE:
            return "Escape";
        case VK_PAUSE:
            return "Pause";
        case VK_F11:
            return "F11";
        default:
            break;
    }
    char text[16];
    std::snprintf(text, sizeof(text), "key %d", key);
    return text;
}

// What else the key does, or empty when nothing.
std::string KeyTakenBy(int key, int action)
{
    for (int a = 0; a < kSteerActions; ++a)
        if (a != action && settings.steerKeys[a] == key) return kActionNames[a];
    for (const FixedKey& fixed : kFixedKeys)
        if (fixed.key == key) return fixed.use;
    return "";
}

void Load(vTexture& texture, const char* file)
{
    texture.LoadTextureFromFile(file, 0, 1);
}

vGUIButton* AddButton(int id, char* label, int x, int y, int width)
{
    vGUIButton* button = guiManager.AddButton(id, label, POINT{kWindowX + x, kWindowY + y}, width, 28, &ui->buttonUp,
                                              &ui->buttonDown, &ui->buttonThird);
    if (button) button->SetParent(ui->window);
    return button;
}

// A toggle shows on when down. Setting the look reports no click: it is the
// window showing the setting, not the player's choice.
void ShowToggle(vGUIButton* toggle, bool on)
{
    if (toggle) toggle->SetButtonState(on ? BUTTONSTATE_DOWN : BUTTONSTATE_UP);
}

void ShowSettings()
{
    if (!ui) return;
    for (int a = 0; a < kSteerActions; ++a)
        std::snprintf(ui->keyLabels[a], sizeof(ui->keyLabels[a]), "%s: %s", kActionNames[a],
                      waitingFor == a ? "press a key" : KeyName(settings.steerKeys[a]).c_str());
    ShowToggle(ui->fullScreen, settings.fullScreen);
    ShowToggle(ui->frameRate, settings.showFrameRate);
}

void Build()
{
    ui = new Widgets;
    Load(ui->buttonUp, "media\\gui\\button_up.tga");
    Load(ui->buttonDown, "media\\gui\\button_down.tga");
    Load(ui->buttonThird, "media\\gui\\button_third.tga");
    Load(ui->windowBack, "media\\gui\\window_back.tga");
    Load(ui->windowBorder, "media\\gui\\window_border.tga");
    Load(ui->listBack, "media\\gui\\listbox_back.tga");
    Load(ui->listBorder, "media\\gui\\listbox_border.tga");
    Load(ui->listScroll, "media\\gui\\listbox_scroll.tga");

    ui->window = guiManager.AddWindow(kOptionsWindow, kOptionsTitle, POINT{kWindowX, kWindowY}, kWindowWidth,
                                      kWindowHeight, &ui->windowBack, &ui->windowBorder);
    if (!ui->window) return;
    ui->window->SetWindowBarText(kOptionsTitle);
    for (int a = 0; a < kSteerActions; ++a)
        ui->keyButtons[a] = AddButton(kKeyButton0 + a, ui->keyLabels[a], 10 + 205 * (a % 2), 35 + 34 * (a / 2), 195);
    ui->volumeList = guiManager.AddListbox(kVolumeList, POINT{kWindowX + 10, kWindowY + 108}, 195, 160, &ui->listBack,
                                           &ui->listBorder, &ui->listScroll);
    if (ui->volumeList) {
        ui->volumeList->SetParent(ui->window);
        for (int v = 100; v >= 0; v -= 10) ui->volumeList->Add(("Volume " + std::to_string(v) + " %").c_str());
    }
    ui->fullScreen = AddButton(kFullScreenToggle, kFullScreenLabel, 215, 108, 195);
    ui->frameRate = AddButton(kFrameRateToggle, kFrameRateLabel, 215, 142, 195);
    if (ui->fullScreen) ui->fullScreen->SetToToggleButton(true);
    if (ui->frameRate) ui->frameRate->SetToToggleButton(true);
    ui->reset = AddButton(kResetButton, kResetLabel, 215, 206, 195);
    ui->close = AddButton(kCloseButton, kCloseLabel, 215, 240, 195);
}

void ShowWindow(bool show)
{
    if (!ui) return;
    for (int i = 0; i < guiManager.GetElementCount(); ++i) {
        vGUIElement* element = guiManager.GetElement(i);
        if (element) element->SetVisible(show);
    }
}

void Save()
{
    std::string why;
    if (!SaveSettings(settings, &why)) message = "The settings could not be saved: " + why;
}

}  // namespace

void ShowHudMessage(const std::string& line)
{
    hudMessage = hudMessage.empty() ? line : hudMessage + "  " + line;
    hudMessageUntil = GetTickCount() + kHudMessageMs;
}

void InitSettings()
{
    std::string complaint;
    if (LoadSettings(settings, &complaint) == FileOutcome::Damaged) ShowHudMessage(complaint);
    ApplySettings();
}

void ApplySettings()
{
    audio.SetMasterVolume(settings.volume);
    engine.m_showFps = settings.showFrameRate;
    if (IsFullScreen() != settings.fullScreen) SetFullScreen(settings.fullScreen);
}

void FullScreenChanged()
{
    settings.fullScreen = IsFullScreen();
    ShowSettings();
    Save();
}

bool OptionsOpen()
{
    return open;
}

void OpenOptions()
{
    if (open) return;
    if (!ui) Build();
    open = true;
    waitingFor = -1;
    message.clear();
    ShowWindow(true);
    ShowSettings();
    pausedByOptions = !gamePaused;
    SetPaused(true);
}

void CloseOptions()
{
    if (!open) return;
    open = false;
    waitingFor = -1;
    ShowWindow(false);
    guiManager.RemoveElementFocus();
    if (pausedByOptions) SetPaused(false);
    pausedByOptions = false;
}

void UpdateOptionsKeys()
{
    if (engine.GetKeyPressedOnce('O') && !editorMode) OpenOptions();
}

bool OptionsKeyDown(WPARAM virtualKey)
{
    if (!open || waitingFor < 0) return false;
    const int key = int(virtualKey);
    const int action = waitingFor;
    waitingFor = -1;
    if (key == VK_ESCAPE) {
        message = "Kept " + KeyName(settings.steerKeys[action]) + " for " + kActionNames[action];
    } else if (!IsBindableKey(key) && KeyTakenBy(key, action).empty()) {
        message = KeyName(key) + " cannot steer";
    } else if (!KeyTakenBy(key, action).empty()) {
        message = KeyName(key) + " is already " + KeyTakenBy(key, action) + "; " + kActionNames[action] + " stays " +
                  KeyName(settings.steerKeys[action]);
    } else {
        settings.steerKeys[action] = key;
        message = std::string(kActionNames[action]) + " is now " + KeyName(key);
        Save();
    }
    ShowSettings();
    return true;
}

bool OptionsTakeEscape()
{
    if (!open) return false;
    if (waitingFor >= 0) return OptionsKeyDown(VK_ESCAPE);
    CloseOptions();
    return true;
}

void OptionsGuiEvent(int eventCode, unsigned int controlID, vGUIElement*)
{
    if (!open || eventCode != GUIEVENT_CLICK) return;
    if (controlID >= kKeyButton0 && controlID < unsigned(kKeyButton0 + kSteerActions)) {
        waitingFor = int(controlID) - kKeyButton0;
        message = std::string("Press the key for ") + kActionNames[waitingFor] + " (Escape keeps it)";
    } else if (controlID == kVolumeList && ui->volumeList) {
        const int row = ui->volumeList->GetSelectedIndex();
        if (row < 0) return;
        settings.volume = float(10 - row) / 10.0f;
        message = "Volume " + std::to_string(100 - 10 * row) + " %";
        ApplySettings();
        Save();
    } else if (controlID == kFullScreenToggle) {
        settings.fullScreen = ui->fullScreen->GetButtonState() == 1;
        ApplySettings();
        settings.fullScreen = IsFullScreen();
        message = settings.fullScreen ? "Full screen" : "In a window";
        Save();
    } else if (controlID == kFrameRateToggle) {
        settings.showFrameRate = ui->frameRate->GetButtonState() == 1;
        ApplySettings();
        message = settings.showFrameRate ? "Frame rate shown" : "Frame rate hidden";
        Save();
    } else if (controlID == kResetButton) {
        settings = DefaultSettings();
        ApplySettings();
        message = "Every setting is back to its default";
        Save();
    } else if (controlID == kCloseButton) {
        CloseOptions();
        return;
    }
    ShowSettings();
}

void DrawOptions()
{
    if (!hudMessage.empty() && GetTickCount() < hudMessageUntil) {
        RECT line = {10, 730, 1006, 752};
        guiManager.DrawGWText(DT_LEFT, D3DXCOLOR(1.0f, 0.9f, 0.3f, 1.0f), &line, const_cast<char*>(hudMessage.c_str()));
    }
    if (!open) return;
    twoDee.Begin2D();
    guiManager.Render();
    twoDee.End2D();
    RECT line = {kWindowX + 10, kWindowY + kWindowHeight - 38, kWindowX + kWindowWidth - 10, kWindowY + kWindowHeight};
    if (ui && ui->window) {
        line = {ui->window->GetPositionX() + 10, ui->window->GetPositionY() + kWindowHeight - 40,
                ui->window->GetPositionX() + kWindowWidth - 10, ui->window->GetPositionY() + kWindowHeight - 4};
    }
    guiManager.DrawGWText(DT_LEFT | DT_WORDBREAK, D3DXCOLOR(0.0f, 0.0f, 0.0f, 1.0f), &line,
                          const_cast<char*>(message.c_str()));
}

const char* OptionsMessage()
{
    return message.c_str();
}
