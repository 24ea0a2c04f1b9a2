// D3DX effects: techniques of passes, each pass a GLSL vertex and fragment
// program, with parameters set by name. See detail/EffectFile.h for the
// file form; media/fx holds the engine's effects.
#pragma once

#include <d3d9.h>
#include "d3dx9core.h"
#include "d3dx9math.h"

// A parameter or technique: its name (any name string works as a handle).
typedef LPCSTR D3DXHANDLE;

// A preprocessor definition handed to the effect compiler: name and text.
struct D3DXMACRO {
    LPCSTR Name;        // defined for every stage as #define Name Definition
    LPCSTR Definition;  // the text the name stands for (NULL: empty)
};
typedef D3DXMACRO* LPD3DXMACRO;  // pointer to D3DXMACRO

// Include handlers and pools are accepted and not used.
struct ID3DXInclude;
typedef ID3DXInclude* LPD3DXINCLUDE;  // pointer to ID3DXInclude
struct ID3DXEffectPool;
typedef ID3DXEffectPool* LPD3DXEFFECTPOOL;  // pointer to ID3DXEffectPool

// An effect's counts of parameters, techniques and functions.
struct D3DXEFFECT_DESC {
    LPCSTR Creator;   // the compiler's name
    UINT Parameters;  // the number of parameters
    UINT Techniques;  // the number of techniques
    UINT Functions;   // the number of functions
};

// A compiled effect: its parameters, techniques and passes.
struct ID3DXEffect : public IUnknown {
    // Fills *desc with the counts of the effect's parameters, techniques and functions.
    virtual HRESULT GetDesc(D3DXEFFECT_DESC* desc) = 0;
    // The parameter's handle (parent must be NULL), NULL when there is none.
    virtual D3DXHANDLE GetParameterByName(D3DXHANDLE parent, LPCSTR name) = 0;
    // The technique's handle, NULL when there is none by that name.
    virtual D3DXHANDLE GetTechniqueByName(LPCSTR name) = 0;
    // The handle of technique number index, NULL past the last.
    virtual D3DXHANDLE GetTechnique(UINT index) = 0;
    // Setters: D3DERR_INVALIDCALL for an unknown name or a parameter of another
    // kind. Values reach the programs at Begin/BeginPass/CommitChanges.
    virtual HRESULT SetFloat(D3DXHANDLE parameter, FLOAT value) = 0;
    // Sets count floats of a float, vector, matrix or array parameter.
    virtual HRESULT SetFloatArray(D3DXHANDLE parameter, const FLOAT* values, UINT count) = 0;
    // Sets an int parameter.
    virtual HRESULT SetInt(D3DXHANDLE parameter, INT value) = 0;
    // Sets a bool parameter.
    virtual HRESULT SetBool(D3DXHANDLE parameter, BOOL value) = 0;
    virtual HRESULT SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) = 0;  // first n of 4 for vecN
    // Sets a matrix parameter.
    virtual HRESULT SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* matrix) = 0;
    // The texture is referenced until replaced or the effect is released; NULL unbinds.
    virtual HRESULT SetTexture(D3DXHANDLE parameter, LPDIRECT3DBASETEXTURE9 texture) = 0;
    // *value gets the float parameter's value.
    virtual HRESULT GetFloat(D3DXHANDLE parameter, FLOAT* value) = 0;
    // *matrix gets the matrix parameter's value.
    virtual HRESULT GetMatrix(D3DXHANDLE parameter, D3DXMATRIX* matrix) = 0;
    // Makes the technique current for Begin.
    virtual HRESULT SetTechnique(D3DXHANDLE technique) = 0;
    // The current technique's handle.
    virtual D3DXHANDLE GetCurrentTechnique() = 0;
    // Starts the current technique: *passes gets its pass count. Flags are accepted and ignored.
    virtual HRESULT Begin(UINT* passes, DWORD flags) = 0;
    // Draws after this use the pass's programs, with the vertex inputs of the
    // FVF set at draw time, until EndPass.
    virtual HRESULT BeginPass(UINT pass) = 0;
    virtual HRESULT CommitChanges() = 0;  // parameters set inside a pass take effect
    // Ends the pass BeginPass started.
    virtual HRESULT EndPass() = 0;
    // Ends the technique Begin started.
    virtual HRESULT End() = 0;
    virtual HRESULT GetDevice(LPDIRECT3DDEVICE9* device) = 0;  // adds a reference
    // Nothing to do before a device reset: D3D_OK.
    virtual HRESULT OnLostDevice() = 0;
    // Nothing to do after a device reset: D3D_OK.
    virtual HRESULT OnResetDevice() = 0;
};
typedef ID3DXEffect* LPD3DXEFFECT;  // pointer to ID3DXEffect

// Reads and compiles an effect file. A file that is missing, fails to parse,
// or whose programs fail to compile or link gives E_FAIL (or
// D3DXERR_INVALIDDATA) and no effect; the reason, with the compiler's
// message, goes to *compilationErrors when asked for (the caller's reference).
HRESULT WINAPI D3DXCreateEffectFromFileA(LPDIRECT3DDEVICE9 device, LPCSTR srcFile, const D3DXMACRO* defines,
                                         LPD3DXINCLUDE include, DWORD flags, LPD3DXEFFECTPOOL pool,
                                         LPD3DXEFFECT* effect, LPD3DXBUFFER* compilationErrors);
// The same from effect text held in memory.
HRESULT WINAPI D3DXCreateEffect(LPDIRECT3DDEVICE9 device, LPCVOID srcData, UINT srcDataLen, const D3DXMACRO* defines,
                                LPD3DXINCLUDE include, DWORD flags, LPD3DXEFFECTPOOL pool, LPD3DXEFFECT* effect,
                                LPD3DXBUFFER* compilationErrors);
