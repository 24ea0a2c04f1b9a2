// D3DX buffers and fonts. A font draws text on the device from a cached
// glyph atlas; its device context reports the same character widths that
// its drawing uses.
#pragma once

#include <d3d9.h>

// D3DX's own failure results.
#define D3DXERR_INVALIDDATA MAKE_D3DHRESULT(2905)
#define D3DXERR_CANNOTMODIFYINDEXBUFFER MAKE_D3DHRESULT(2900)
#define D3DXERR_INVALIDMESH MAKE_D3DHRESULT(2901)

// ---------------------------------------------------------------------------
// GDI names the font calls take (values as the platform defines them).
#ifndef KOLVAR_GDI_FONT_NAMES_DEFINED
#define KOLVAR_GDI_FONT_NAMES_DEFINED
#ifndef DT_TOP
#define DT_TOP 0x00000000              // align to the top (default)
#define DT_LEFT 0x00000000             // align to the left (default)
#define DT_CENTER 0x00000001           // centre across the rectangle
#define DT_RIGHT 0x00000002            // align to the right
#define DT_VCENTER 0x00000004          // centre down the rectangle (one line)
#define DT_BOTTOM 0x00000008           // align to the bottom (one line)
#define DT_WORDBREAK 0x00000010        // break lines between words at the right edge
#define DT_SINGLELINE 0x00000020       // one line: line breaks are not taken
#define DT_EXPANDTABS 0x00000040       // expand tabs to the tab stops
#define DT_TABSTOP 0x00000080          // set the tab stop width
#define DT_NOCLIP 0x00000100           // draw without clipping to the rectangle
#define DT_EXTERNALLEADING 0x00000200  // add external leading to the line height
#define DT_CALCRECT 0x00000400         // measure only: the rectangle gets the text's extent
#define DT_NOPREFIX 0x00000800         // an ampersand is drawn as written
#define DT_INTERNAL 0x00001000         // measure with the system font
#endif
#ifndef FW_NORMAL
#define FW_DONTCARE 0      // any weight
#define FW_THIN 100        // weight 100
#define FW_EXTRALIGHT 200  // weight 200
#define FW_LIGHT 300       // weight 300
#define FW_NORMAL 400      // weight 400, regular
#define FW_REGULAR 400     // same as FW_NORMAL
#define FW_MEDIUM 500      // weight 500
#define FW_SEMIBOLD 600    // weight 600
#define FW_BOLD 700        // weight 700
#define FW_EXTRABOLD 800   // weight 800
#define FW_HEAVY 900       // weight 900
#define FW_BLACK 900       // same as FW_HEAVY
#endif
#ifndef DEFAULT_CHARSET
#define ANSI_CHARSET 0            // the Western character set
#define DEFAULT_CHARSET 1         // the character set of the current locale
#define SYMBOL_CHARSET 2          // the symbol character set
#define OEM_CHARSET 255           // the console character set
#define OUT_DEFAULT_PRECIS 0      // default output precision
#define OUT_TT_PRECIS 4           // prefer an outline font
#define OUT_TT_ONLY_PRECIS 7      // outline fonts only
#define CLIP_DEFAULT_PRECIS 0     // default clipping precision
#define DEFAULT_QUALITY 0         // quality does not matter
#define DRAFT_QUALITY 1           // draft quality
#define PROOF_QUALITY 2           // the best glyph shapes
#define NONANTIALIASED_QUALITY 3  // glyphs not smoothed
#define ANTIALIASED_QUALITY 4     // glyphs smoothed
#define CLEARTYPE_QUALITY 5       // glyphs smoothed per subpixel
#define DEFAULT_PITCH 0           // any pitch
#define FIXED_PITCH 1             // every character as wide
#define VARIABLE_PITCH 2          // characters of their own widths
#define FF_DONTCARE (0 << 4)      // any family
#define FF_ROMAN (1 << 4)         // serif, proportional
#define FF_SWISS (2 << 4)         // sans serif, proportional
#define FF_MODERN (3 << 4)        // fixed width
#define FF_SCRIPT (4 << 4)        // handwriting style
#define FF_DECORATIVE (5 << 4)    // decorative
#endif
#ifndef LF_FACESIZE
#define LF_FACESIZE 32  // longest face name, with its terminator
#endif
// A font's measures in pixels, filled by ID3DXFont::GetTextMetricsA.
struct TEXTMETRICA {
    LONG tmHeight;            // character height (ascent plus descent)
    LONG tmAscent;            // height above the baseline
    LONG tmDescent;           // depth below the baseline
    LONG tmInternalLeading;   // space for accents inside tmHeight
    LONG tmExternalLeading;   // extra space between lines
    LONG tmAveCharWidth;      // average character width
    LONG tmMaxCharWidth;      // widest character
    LONG tmWeight;            // weight (FW_ values)
    LONG tmOverhang;          // extra width of synthesized bold or italic
    LONG tmDigitizedAspectX;  // horizontal aspect the font was made for
    LONG tmDigitizedAspectY;  // vertical aspect the font was made for
    BYTE tmFirstChar;         // first character in the font
    BYTE tmLastChar;          // last character in the font
    BYTE tmDefaultChar;       // drawn for characters not in the font
    BYTE tmBreakChar;         // character that breaks words
    BYTE tmItalic;            // nonzero for italic
    BYTE tmUnderlined;        // nonzero for underlined
    BYTE tmStruckOut;         // nonzero for struck out
    BYTE tmPitchAndFamily;    // pitch in the low bits, family (FF_) in the high
    BYTE tmCharSet;           // character set (_CHARSET values)
};
typedef TEXTMETRICA* LPTEXTMETRICA;  // pointer to TEXTMETRICA
#endif

// ---------------------------------------------------------------------------
// ID3DXBuffer: a block of bytes handed out by D3DX (materials, messages).
struct ID3DXBuffer : public IUnknown {
    virtual LPVOID GetBufferPointer() = 0;  // the bytes; valid until the last Release
    // The buffer's size in bytes.
    virtual DWORD GetBufferSize() = 0;
};
typedef ID3DXBuffer* LPD3DXBUFFER;  // pointer to ID3DXBuffer

// A zeroed buffer of size bytes; E_OUTOFMEMORY when it cannot be had.
HRESULT WINAPI D3DXCreateBuffer(DWORD size, LPD3DXBUFFER* buffer);

// Sprites are not offered: a font given one draws as it does without.
struct ID3DXSprite;
typedef ID3DXSprite* LPD3DXSPRITE;  // pointer to ID3DXSprite

// What a font was made with, filled by ID3DXFont::GetDescA.
struct D3DXFONT_DESCA {
    INT Height;                  // the line height in pixels
    UINT Width;                  // average character width
    UINT Weight;                 // weight (FW_ values)
    UINT MipLevels;              // mipmap levels of the glyph atlas
    BOOL Italic;                 // TRUE for italic
    BYTE CharSet;                // character set (_CHARSET values)
    BYTE OutputPrecision;        // output precision (OUT_ values)
    BYTE Quality;                // quality (_QUALITY values)
    BYTE PitchAndFamily;         // pitch and family (_PITCH | FF_ values)
    CHAR FaceName[LF_FACESIZE];  // the name asked for
};
typedef D3DXFONT_DESCA* LPD3DXFONT_DESCA;  // pointer to D3DXFONT_DESCA

// ---------------------------------------------------------------------------
// ID3DXFont: antialiased text in one face and size.
struct ID3DXFont : public IUnknown {
    virtual HRESULT GetDevice(LPDIRECT3DDEVICE9* device) = 0;  // adds a reference
    // Fills *desc with the height, width, weight and face the font was made with.
    virtual HRESULT GetDescA(D3DXFONT_DESCA* desc) = 0;
    // Fills *metrics with the face's height, ascent, descent and character widths; FALSE for NULL.
    virtual BOOL GetTextMetricsA(TEXTMETRICA* metrics) = 0;
    // The font's device context, for GetCharWidth32A; owned by the font, valid while it lives.
    virtual HDC GetDC() = 0;
    // Texture, atlas rectangle and cell origin of a character's glyph (the texture not referenced).
    virtual HRESULT GetGlyphData(UINT glyph, LPDIRECT3DTEXTURE9* texture, RECT* blackBox, POINT* cellInc) = 0;
    // Makes the glyphs of the characters first..last ready; D3DERR_INVALIDCALL when last < first.
    virtual HRESULT PreloadCharacters(UINT first, UINT last) = 0;
    // Makes the glyphs of count bytes (-1: up to the terminator) of UTF-8 text ready; D3DERR_INVALIDCALL for NULL.
    virtual HRESULT PreloadTextA(LPCSTR text, INT count) = 0;
    // Draws count characters (-1: up to the terminator) of text in rect with
    // the DT_ format flags and the ARGB colour; returns the text's height in
    // pixels, 0 on failure. DT_CALCRECT only measures, widening rect. The
    // device's states are as the caller left them afterwards. The sprite is ignored.
    virtual INT DrawTextA(LPD3DXSPRITE sprite, LPCSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR color) = 0;
    // As DrawTextA for wide characters (UTF-32 here).
    virtual INT DrawTextW(LPD3DXSPRITE sprite, LPCWSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR color) = 0;
    // As DrawTextA for 16-bit characters (UTF-16 units, as window messages carry them).
    virtual INT DrawTextW(LPD3DXSPRITE sprite, const WORD* text, INT count, LPRECT rect, DWORD format,
                          D3DCOLOR color) = 0;
    // Nothing to do before a device reset: D3D_OK.
    virtual HRESULT OnLostDevice() = 0;
    // Nothing to do after a device reset: D3D_OK.
    virtual HRESULT OnResetDevice() = 0;
};
typedef ID3DXFont* LPD3DXFONT;  // pointer to ID3DXFont

// A font: height > 0 is the cell (line) height in pixels, < 0 the em
// height; width 0 lets the face choose; weight FW_NORMAL, FW_BOLD, FW_HEAVY...
// The face name resolves to the installed face or its metric-compatible
// substitute. E_FAIL when no face can be opened, D3DERR_INVALIDCALL without a
// device or output; *font stays NULL then. The caller owns the reference.
HRESULT WINAPI D3DXCreateFontA(LPDIRECT3DDEVICE9 device, INT height, UINT width, UINT weight, UINT mipLevels,
                               BOOL italic, DWORD charSet, DWORD outputPrecision, DWORD quality, DWORD pitchAndFamily,
                               LPCSTR faceName, LPD3DXFONT* font);
