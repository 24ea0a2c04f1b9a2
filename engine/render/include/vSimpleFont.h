// Single-colour screen text through a D3DX font, and character widths for
// the GUI's layout. The font is released by the destructor; copies share it.
#pragma once

#include <windows.h>
#include <d3dx9core.h>

class vSimpleFont {
public:
    vSimpleFont();
    ~vSimpleFont();                                    // releases the font
    vSimpleFont(const vSimpleFont& other);             // shares other's font (AddRef)
    vSimpleFont& operator=(const vSimpleFont& other);  // releases ours, shares other's

    // Creates the font (width 0: the font mapper chooses, antialiased). 0, or
    // the failing result with a "HAD!" box. A font held before is released.
    long InitFont(int height, const char* faceName, unsigned int width, unsigned int weight, bool italic);
    // Width in pixels of one character of the font; 0 without a font.
    int GetFontCharWidth(unsigned int character);
    // Text with its top-left corner at pixel (x, y), unclipped; line feeds
    // start new lines at x. Nothing without a font.
    void DrawTextA(const char* text, int x, int y, DWORD colour);
    // printf-formatted DrawTextA; results past 1023 characters are cut off.
    void DrawTextSprintf(int x, int y, DWORD colour, const char* format, ...) __attribute__((format(printf, 5, 6)));
    ID3DXFont* GetFont();  // borrowed; null before InitFont

private:
    void Release();

    ID3DXFont* m_font;
    HDC m_dc;  // the font's context, from the last width query
};
