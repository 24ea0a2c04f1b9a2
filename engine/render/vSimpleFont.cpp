#include "vSimpleFont.h"

#include <cstdarg>
#include <cstdio>

#include "vEngine.h"
#include "core/detail/ComRef.h"

vSimpleFont::vSimpleFont() : m_font(nullptr), m_dc(nullptr) {}

vSimpleFont::~vSimpleFont()
{
    Release();
}

vSimpleFont::vSimpleFont(const vSimpleFont& other) : m_font(vcore::ShareRef(other.m_font)), m_dc(other.m_dc) {}

vSimpleFont& vSimpleFont::operator=(const vSimpleFont& other)
{
    vcore::AssignRef(m_font, other.m_font);
    m_dc = other.m_dc;
    return *this;
}

void vSimpleFont::Release()
{
    vcore::ReleaseRef(m_font);
    m_dc = nullptr;
}

long vSimpleFont::InitFont(int height, const char* faceName, unsigned int width, unsigned int weight, bool italic)
{
    Release();
    ID3DXFont* font = nullptr;
    HRESULT hr = E_FAIL;
    if (objDevice)
        hr = D3DXCreateFontA(objDevice, height, width, weight, 1, italic ? TRUE : FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, faceName, &font);
    if (FAILED(hr) || !font) {
        vcore::ReleaseRef(font);
        MessageBoxA(NULL, "BLAHABABAHA!", "HAD!", MB_OK);
        return FAILED(hr) ? hr : E_FAIL;
    }
    m_font = font;
    return S_OK;
}

int vSimpleFont::GetFontCharWidth(unsigned int character)
{
    if (!m_font) return 0;
    m_dc = m_font->GetDC();
    int width = 0;
    if (!GetCharWidth32A(m_dc, character, character, &width)) return 0;
    return width;
}

void vSimpleFont::DrawTextA(const char* text, int x, int y, DWORD colour)
{
    if (!m_font || !text) return;
    RECT rectangle;
    SetRect(&rectangle, x, y, m_engineVars.width, m_engineVars.height);
    m_font->DrawTextA(NULL, text, -1, &rectangle, DT_NOCLIP, colour);
}

void vSimpleFont::DrawTextSprintf(int x, int y, DWORD colour, const char* format, ...)
{
    if (!format) return;
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    DrawTextA(buffer, x, y, colour);
}

ID3DXFont* vSimpleFont::GetFont()
{
    return m_font;
}
