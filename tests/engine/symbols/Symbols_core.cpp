// Engine core and math utilities.
#include "SymbolTable.h"

#include "vCamera.h"
#include "vEngine.h"
#include "vFramerate.h"
#include "vFrustum.h"
#include "vMathUtils.h"

VORPEX_SYMBOLS{
    VORPEX_SYMBOL(&objD3D),
    VORPEX_SYMBOL(&objDevice),
    VORPEX_SYMBOL(&m_engineVars),
    VORPEX_SYMBOL(&ev_matrixIdentity),
    VORPEX_SYMBOL(&ev_matrix3DProj),
    VORPEX_SYMBOL(&ev_matrix3DProj2),
    VORPEX_SYMBOL(&ev_matrix2DProj),
    VORPEX_SYMBOL(&ev_vectorZero),
    VORPEX_SYMBOL(&ev_vectorOne),
    VORPEX_SYMBOL(&ev_frustumPlanes),

    VORPEX_SYMBOL(&vEngine::InitWindowed),
    VORPEX_SYMBOL(&vEngine::InitFullscreen),
    VORPEX_SYMBOL(&vEngine::Clear),
    VORPEX_SYMBOL(&vEngine::Present),
    VORPEX_SYMBOL(&vEngine::Kill),
    VORPEX_SYMBOL(&vEngine::SetBackColor),
    VORPEX_SYMBOL(&vEngine::SetActiveSwapChain),
    VORPEX_SYMBOL(&vEngine::SetSecondaryHWND),
    VORPEX_SYMBOL(&vEngine::SetupSwapChains),
    VORPEX_SYMBOL(&vEngine::GetSpeedfactor),
    VORPEX_SYMBOL(&vEngine::SetTimingMode),
    VORPEX_SYMBOL(&vEngine::GetKeyPressed),
    VORPEX_SYMBOL(&vEngine::GetKeyPressedOnce),
    VORPEX_SYMBOL(&vEngine::DebugText),
    VORPEX_SYMBOL(&vEngine::DebugTextSprintf),
    VORPEX_SYMBOL(&vEngine::SetFog),
    VORPEX_SYMBOL(&vEngine::SetFPPLighting),
    VORPEX_SYMBOL(&vEngine::SetZEnable),
    VORPEX_SYMBOL(&vEngine::DebugLight),
    VORPEX_SYMBOL(&vEngine::DebugLine),
    VORPEX_SYMBOL(&vEngine::ChangePerspective),
    VORPEX_SYMBOL(static_cast<void (vEngine::*)(char*)>(&vEngine::TakeScreenshot)),
    VORPEX_SYMBOL(static_cast<std::string (vEngine::*)(const std::string&)>(&vEngine::TakeScreenshot)),
    VORPEX_SYMBOL(static_cast<std::string (vEngine::*)(const char*)>(&vEngine::TakeScreenshot)),

    VORPEX_SYMBOL(&vFramerate::Init),
    VORPEX_SYMBOL(&vFramerate::SetTimingMode),
    VORPEX_SYMBOL(&vFramerate::SetSpeedFactor),

    VORPEX_SYMBOL(&TFrustumPlane::Normalise),
    VORPEX_SYMBOL(&TFrustumPlane::DistanceToPoint),
    VORPEX_SYMBOL(&CalculateViewFrustum),

    VORPEX_SYMBOL(&vCamera::SetPosition),
    VORPEX_SYMBOL(&vCamera::GetPosition),
    VORPEX_SYMBOL(&vCamera::GetPositionPointer),
    VORPEX_SYMBOL(&vCamera::MoveRelative),
    VORPEX_SYMBOL(&vCamera::RotateX),
    VORPEX_SYMBOL(&vCamera::RotateY),
    VORPEX_SYMBOL(&vCamera::RotateZ),
    VORPEX_SYMBOL(&vCamera::SetRotation),
    VORPEX_SYMBOL(&vCamera::SetLookAt),
    VORPEX_SYMBOL(&vCamera::PanLook),
    VORPEX_SYMBOL(&vCamera::UpdateCameraMatrix),
    VORPEX_SYMBOL(&vCamera::UpdateCameraTransform),
    VORPEX_SYMBOL(&vCamera::UpdateCamera),
    VORPEX_SYMBOL(&vCamera::GetMatrix),
    VORPEX_SYMBOL(&vCamera::SetMatrix),
    VORPEX_SYMBOL(&vCamera::FollowMatrix),

    VORPEX_SYMBOL(&GetMouse3D),
    VORPEX_SYMBOL(&GetLocalMousePos),
    VORPEX_SYMBOL(&DistanceVector3D),
    VORPEX_SYMBOL(&wstring2string),
    VORPEX_SYMBOL(&FixAngle),
    VORPEX_SYMBOL(&EngineRand),
    VORPEX_SYMBOL(&RndNumber),
    VORPEX_SYMBOL(&GetRandomVector),
    VORPEX_SYMBOL(&CreateTrigMatrix),
    VORPEX_SYMBOL(&RescaleMatrix),
    VORPEX_SYMBOL(&SetMatrixPosition),
    VORPEX_SYMBOL(&TransformVectorCoord),
    VORPEX_SYMBOL(&TransformVectorNormal),
    VORPEX_SYMBOL(&MatrixInvert),
    VORPEX_SYMBOL(&ScaleVector),
    VORPEX_SYMBOL(&CalculateTrisNormal),
    VORPEX_SYMBOL(&Draw3DLine),
    VORPEX_SYMBOL(&Draw3DCircle),
};

// Constructors cannot be named by address; constructing the objects pulls
// their symbols from the library.
namespace {
struct Constructed {
    Constructed()
    {
        vEngine* engine = new vEngine;
        delete engine;
        vCamera camera;
        tCamera record;
        vFramerate timer;
        (void)camera;
        (void)record;
        (void)timer;
    }
} constructed;
}  // namespace
