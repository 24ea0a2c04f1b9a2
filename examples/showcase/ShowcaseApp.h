// The showcase program of the engine: a terrain with its four layers under a
// sky box, water flooding the low plain with the scene's reflection in it,
// models, a fountain of particles, a status line, and the "Scene" window
// with toggles, camera spots and a screenshot button.
//
// Start-up, one pass of the message loop and shut-down are separate calls, so
// that a test drives the real loop frame by frame; main() is made of them.
// Everything is drawn through the engine's public classes only.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <vCamera.h>
#include <vEngine.h>
#include <vGUIButton.h>
#include <vGUIListbox.h>
#include <vGUIManager.h>
#include <vGUITextbox.h>
#include <vGUIWindow.h>
#include <vParticleEmitter.h>
#include <vSimpleFont.h>
#include <vSkyBox.h>
#include <vStaticModel.h>
#include <vTerrain.h>
#include <vTexture.h>
#include <vTwoDee.h>
#include <vWaterPlane.h>

#include <string>

#include "SpotList.h"

namespace showcase {

constexpr int kClientWidth = 1024;
constexpr int kClientHeight = 768;
constexpr int kTerrainCells = 255;
// Where the terrain's 255 x 255 samples start in the height table: a round
// plain below the water lies in the middle of the near half.
constexpr int kTableOffsetX = 100;
constexpr int kTableOffsetZ = 0;
constexpr float kWaterHeight = 8.2f;      // just above the plain's flooding level
constexpr float kCameraClearance = 2.0f;  // the eye stays this far above the drawn surface
// The reflection's terrain: every second vertex row and column (a quarter of
// the triangles), as much as its 256 x 256 image shows through the ripples;
// every fourth thickens the far shore's reflection visibly. The showcase
// bench's floor draws the reflection at this step too.
constexpr int kReflectionDetailStep = 2;
constexpr const char* kSpotFile = "showcase_spots.dat";
constexpr const char* kDefaultShotName = "showcase";

// Control IDs of the "Scene" window and its widgets.
enum Control {
    kSceneWindow = 1,
    kWireframeToggle,
    kFogToggle,
    kReflectionToggle,
    kParticlesToggle,
    kSpotListBox,
    kAddSpotButton,
    kSaveSpotsButton,
    kLoadSpotsButton,
    kShotNameBox,
    kScreenshotButton,
};

// A model standing in the scene: drawn at position, scaled and turned about y.
struct Prop {
    vStaticModel* model = nullptr;
    D3DXVECTOR3 position = D3DXVECTOR3(0, 0, 0);
    float scale = 1.0f;
    float angle = 0.0f;
    float spin = 0.0f;  // radians per second
};

constexpr int kPropCount = 4;

// The program's objects. The engine is the first member, so it is destroyed
// last: the device outlives everything made on it.
struct World {
    vEngine engine;
    HWND window = nullptr;
    vCamera camera;

    vTerrain terrain;
    vTexture skyFaces[6];
    vSkyBox sky;
    vWaterPlane water;
    vTexture dudv;
    float dudvOffset = 0.0f;

    vTexture gridTexture, coinTexture, goalTexture, ringTexture, particleTexture;
    vStaticModel ballModel, coinModel, goalModel;
    Prop props[kPropCount];
    vParticleEmitter fountain;

    vSimpleFont statusFont;
    vTwoDee twoDee;
    vGUIManager gui;
    vTexture buttonUp, buttonDown, buttonThird, textBack, textBorder, listBack, listBorder, listScroll, windowBack,
        windowBorder;
    vGUIWindow* sceneWindow = nullptr;
    vGUIButton* wireframeToggle = nullptr;
    vGUIButton* fogToggle = nullptr;
    vGUIButton* reflectionToggle = nullptr;
    vGUIButton* particlesToggle = nullptr;
    vGUIListbox* spotList = nullptr;
    vGUITextbox* shotName = nullptr;
    vGUIButton* screenshotButton = nullptr;
    vGUIButton* addSpotButton = nullptr;
    vGUIButton* saveSpotsButton = nullptr;
    vGUIButton* loadSpotsButton = nullptr;

    bool wireframe = false;
    bool fog = true;
    bool reflection = true;
    bool particles = true;

    SpotList spots;
    std::string message;  // the last spot or screenshot message, under the status line
    POINT mouse = {0, 0};
    bool looking = false;  // right button held
    POINT lookFrom = {0, 0};
    unsigned long frames = 0;
    DWORD lastDrawCalls = 0;
};

World& Scene();

// Registers the window class, opens the window (its outer top-left corner at
// windowPosition) and the engine on it, loads the media and builds the GUI.
// False when the engine could not be opened.
bool Startup(POINT windowPosition = POINT{100, 60});
// One pass: dispatches a pending message or moves the camera and renders a
// frame; Escape posts WM_QUIT. False once the message taken is WM_QUIT.
bool LoopPass();
unsigned long FrameCount();
void RunLoop();
// Unregisters the window class; the objects go with the process.
void Shutdown();

// Puts the camera at a spot (eye and angles), kept above the ground.
void MoveCameraTo(const ShowcaseSpot& spot);
// Raises the eye to the drawn surface + kCameraClearance where it is lower.
void KeepCameraAboveGround();
// The list box shows the spot list again.
void RefreshSpotList();
// The GUI's events: toggles, spot choice and buttons.
void OnGuiEvent(int eventCode, unsigned int controlID, vGUIElement* element);
LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace showcase
