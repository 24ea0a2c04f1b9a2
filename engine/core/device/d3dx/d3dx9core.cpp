// ID3DXBuffer and ID3DXFont: text drawn as textured quads from a glyph
// atlas through the device's own pipeline, with the caller's states put back.
#include "d3dx9core.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <Win32DeviceSeam.h>

#include "d3dx/Buffer.h"
#include "d3dx/FontFace.h"
#include "d3dx/GlyphAtlas.h"
#include "d3dx/TextLayout.h"
#include "d3d9/Unknown.h"

namespace d3dx {
namespace detail {
namespace {

class Buffer final : public d3d9gl::Unknown<ID3DXBuffer> {
public:
    explicit Buffer(size_t size) : bytes_(size) {}
    LPVOID GetBufferPointer() override { return bytes_.empty() ? nullptr : bytes_.data(); }
    DWORD GetBufferSize() override { return DWORD(bytes_.size()); }

private:
    ~Buffer() = default;
    std::vector<uint8_t> bytes_;
};

}  // namespace

ID3DXBuffer* MakeBuffer(const void* data, size_t size)
{
    if (size > 0xFFFFFFFFu) return nullptr;
    Buffer* b = new (std::nothrow) Buffer(size);
    if (!b) return nullptr;
    if (data && size) std::memcpy(b->GetBufferPointer(), data, size);
    return b;
}

ID3DXBuffer* MakeTextBuffer(const std::string& text)
{
    return MakeBuffer(text.c_str(), text.size() + 1);
}

}  // namespace detail
}  // namespace d3dx

HRESULT WINAPI D3DXCreateBuffer(DWORD size, LPD3DXBUFFER* buffer)
{
    if (!buffer) return D3DERR_INVALIDCALL;
    *buffer = d3dx::detail::MakeBuffer(nullptr, size);
    return *buffer ? D3D_OK : E_OUTOFMEMORY;
}

namespace {

using d3dx::detail::AtlasGlyph;
using d3dx::detail::FontFace;
using d3dx::detail::GlyphAtlas;

// Pre-transformed, coloured, textured: what a glyph quad needs.
struct TextVertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};
constexpr DWORD kTextFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// The device states text drawing changes, saved before and put back after.
class SavedStates {
public:
    explicit SavedStates(IDirect3DDevice9* device) : device_(device)
    {
        for (size_t i = 0; i < kRenderCount; ++i) device_->GetRenderState(kRender[i], &render_[i]);
        for (size_t i = 0; i < kStageCount; ++i)
            device_->GetTextureStageState(kStage[i].stage, kStage[i].type, &stage_[i]);
        for (size_t i = 0; i < kSamplerCount; ++i) device_->GetSamplerState(0, kSampler[i], &sampler_[i]);
        device_->GetTexture(0, &texture_);
        device_->GetFVF(&fvf_);
        device_->GetStreamSource(0, &stream_, &offset_, &stride_);
    }
    ~SavedStates()
    {
        for (size_t i = 0; i < kRenderCount; ++i) device_->SetRenderState(kRender[i], render_[i]);
        for (size_t i = 0; i < kStageCount; ++i)
            device_->SetTextureStageState(kStage[i].stage, kStage[i].type, stage_[i]);
        for (size_t i = 0; i < kSamplerCount; ++i) device_->SetSamplerState(0, kSampler[i], sampler_[i]);
        device_->SetTexture(0, texture_);
        if (texture_) texture_->Release();
        device_->SetFVF(fvf_);
        device_->SetStreamSource(0, stream_, offset_, stride_);
        if (stream_) stream_->Release();
    }

    // The states of text: alpha blending, no culling, lighting or fog,
    // texture alpha times vertex colour, point sampling of the atlas.
    void SetTextStates()
    {
        device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device_->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
        device_->SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, FALSE);
        device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device_->SetRenderState(D3DRS_LIGHTING, FALSE);
        device_->SetRenderState(D3DRS_FOGENABLE, FALSE);
        device_->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
        device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device_->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        device_->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
        device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
        device_->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
        device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
        device_->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
        device_->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        device_->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
        device_->SetFVF(kTextFvf);
    }

private:
    static constexpr D3DRENDERSTATETYPE kRender[] = {
        D3DRS_ALPHABLENDENABLE, D3DRS_SRCBLEND, D3DRS_DESTBLEND, D3DRS_BLENDOP,         D3DRS_SEPARATEALPHABLENDENABLE,
        D3DRS_CULLMODE,         D3DRS_LIGHTING, D3DRS_FOGENABLE, D3DRS_ALPHATESTENABLE, D3DRS_FILLMODE};
    static constexpr size_t kRenderCount = sizeof kRender / sizeof kRender[0];
    struct Stage {
        DWORD stage;
        D3DTEXTURESTAGESTATETYPE type;
    };
    static constexpr Stage kStage[] = {
        {0, D3DTSS_COLOROP},   {0, D3DTSS_COLORARG1}, {0, D3DTSS_COLORARG2},     {0, D3DTSS_ALPHAOP},
        {0, D3DTSS_ALPHAARG1}, {0, D3DTSS_ALPHAARG2}, {0, D3DTSS_TEXCOORDINDEX}, {0, D3DTSS_TEXTURETRANSFORMFLAGS},
        {1, D3DTSS_COLOROP},   {1, D3DTSS_ALPHAOP}};
    static constexpr size_t kStageCount = sizeof kStage / sizeof kStage[0];
    static constexpr D3DSAMPLERSTATETYPE kSampler[] = {D3DSAMP_MINFILTER, D3DSAMP_MAGFILTER, D3DSAMP_MIPFILTER,
                                                       D3DSAMP_ADDRESSU, D3DSAMP_ADDRESSV};
    static constexpr size_t kSamplerCount = sizeof kSampler / sizeof kSampler[0];

    IDirect3DDevice9* device_;
    DWORD render_[kRenderCount] = {};
    DWORD stage_[kStageCount] = {};
    DWORD sampler_[kSamplerCount] = {};
    IDirect3DBaseTexture9* texture_ = nullptr;
    DWORD fvf_ = 0;
    IDirect3DVertexBuffer9* stream_ = nullptr;
    UINT offset_ = 0, stride_ = 0;
};

class Font;

// The font's device context: character widths for GetCharWidth32A.
struct FontContext final : public HDC__ {
    explicit FontContext(Font* f) : font(f) {}
    BOOL CharWidths(UINT first, UINT last, INT* widths) override;
    Font* font;
};

class Font final : public d3d9gl::Unknown<ID3DXFont> {
public:
    Font(IDirect3DDevice9* device, std::unique_ptr<FontFace> face, const D3DXFONT_DESCA& desc)
        : device_(device), face_(std::move(face)), desc_(desc), atlas_(GlyphAtlas::PageSizeFor(face_->Height())),
          context_(this)
    {
        device_->AddRef();
    }

    HRESULT GetDevice(LPDIRECT3DDEVICE9* device) override
    {
        if (!device) return D3DERR_INVALIDCALL;
        device_->AddRef();
        *device = device_;
        return D3D_OK;
    }
    HRESULT GetDescA(D3DXFONT_DESCA* desc) override
    {
        if (!desc) return D3DERR_INVALIDCALL;
        *desc = desc_;
        return D3D_OK;
    }
    BOOL GetTextMetricsA(TEXTMETRICA* tm) override
    {
        if (!tm) return FALSE;
        std::memset(tm, 0, sizeof *tm);
        tm->tmHeight = face_->Height();
        tm->tmAscent = face_->Ascent();
        tm->tmDescent = face_->Descent();
        tm->tmAveCharWidth = face_->AverageWidth();
        tm->tmMaxCharWidth = face_->MaxWidth();
        tm->tmWeight = face_->Weight();
        tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = 96;
        tm->tmFirstChar = 0x20;
        tm->tmLastChar = 0xFF;
        tm->tmDefaultChar = '?';
        tm->tmBreakChar = ' ';
        tm->tmItalic = face_->Italic() ? 1 : 0;
        tm->tmPitchAndFamily = desc_.PitchAndFamily;
        tm->tmCharSet = desc_.CharSet;
        return TRUE;
    }
    HDC GetDC() override { return &context_; }
    HRESULT GetGlyphData(UINT glyph, LPDIRECT3DTEXTURE9* texture, RECT* blackBox, POINT* cellInc) override
    {
        const AtlasGlyph* g = atlas_.Find(*face_, glyph);
        if (!g) return E_FAIL;
        if (FAILED(Upload())) return E_FAIL;
        if (texture) *texture = g->width ? pages_[size_t(g->page)] : nullptr;
        if (blackBox) *blackBox = RECT{g->x, g->y, g->x + g->width, g->y + g->height};
        if (cellInc) *cellInc = POINT{g->left, face_->Ascent() - g->top};
        return D3D_OK;
    }
    HRESULT PreloadCharacters(UINT first, UINT last) override
    {
        if (last < first) return D3DERR_INVALIDCALL;
        for (UINT c = first; c <= last && c - first < 0x10000; ++c) atlas_.Find(*face_, c);
        return Upload();
    }
    HRESULT PreloadTextA(LPCSTR text, INT count) override
    {
        if (!text) return D3DERR_INVALIDCALL;
        for (char32_t c : d3dx::detail::DecodeUtf8(text, count)) atlas_.Find(*face_, uint32_t(c));
        return Upload();
    }
    INT DrawTextA(LPD3DXSPRITE, LPCSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR color) override
    {
        if (!text) return 0;
        return Draw(d3dx::detail::DecodeUtf8(text, count), rect, format, color);
    }
    INT DrawTextW(LPD3DXSPRITE, LPCWSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR color) override
    {
        if (!text) return 0;
        return Draw(d3dx::detail::DecodeUtf32(text, count), rect, format, color);
    }
    INT DrawTextW(LPD3DXSPRITE, const WORD* text, INT count, LPRECT rect, DWORD format, D3DCOLOR color) override
    {
        if (!text) return 0;
        return Draw(d3dx::detail::DecodeUtf16(text, count), rect, format, color);
    }
    HRESULT OnLostDevice() override { return D3D_OK; }
    HRESULT OnResetDevice() override { return D3D_OK; }

    FontFace& Face() { return *face_; }

private:
    ~Font()
    {
        for (IDirect3DTexture9* t : pages_)
            if (t) t->Release();
        device_->Release();
    }

    // Creates textures for new atlas pages and rewrites the changed ones.
    HRESULT Upload()
    {
        for (int p = 0; p < atlas_.PageCount(); ++p) {
            if (size_t(p) >= pages_.size()) {
                IDirect3DTexture9* t = nullptr;
                HRESULT hr = device_->CreateTexture(UINT(atlas_.PageSize()), UINT(atlas_.PageSize()), 1, 0,
                                                    D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr);
                if (FAILED(hr) || !t) return FAILED(hr) ? hr : E_FAIL;
                pages_.push_back(t);
            }
            if (!atlas_.PageDirty(p)) continue;
            D3DLOCKED_RECT locked{};
            HRESULT hr = pages_[size_t(p)]->LockRect(0, &locked, nullptr, 0);
            if (FAILED(hr) || !locked.pBits) return FAILED(hr) ? hr : E_FAIL;
            int size = atlas_.PageSize();
            const uint8_t* coverage = atlas_.PageCoverage(p);
            for (int y = 0; y < size; ++y) {
                auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch);
                for (int x = 0; x < size; ++x) row[x] = (uint32_t(coverage[size_t(y) * size + x]) << 24) | 0x00FFFFFFu;
            }
            pages_[size_t(p)]->UnlockRect(0);
            atlas_.ClearDirty(p);
        }
        return D3D_OK;
    }

    INT Draw(const std::u32string& text, LPRECT rect, DWORD format, D3DCOLOR color)
    {
        RECT none{0, 0, 0, 0};
        if (!rect) format |= DT_NOCLIP;
        RECT& r = rect ? *rect : none;
        d3dx::detail::TextMetrics metrics;
        metrics.lineHeight = face_->Height();
        metrics.averageWidth = face_->AverageWidth();
        metrics.advance = [this](uint32_t c) { return face_->Advance(c); };
        d3dx::detail::TextBlock block =
            d3dx::detail::LayoutText(text, r.left, r.top, r.right, r.bottom, format, metrics);
        if (format & DT_CALCRECT) {
            r.right = block.right;
            r.bottom = block.bottom;
            return block.height;
        }

        std::vector<std::vector<TextVertex>> quads;
        float scale = 1.0f / float(atlas_.PageSize());
        for (const d3dx::detail::PlacedChar& pc : block.chars) {
            const AtlasGlyph* g = atlas_.Find(*face_, pc.codepoint);
            if (!g || g->width == 0) continue;
            int x0 = pc.penX + g->left, y0 = pc.lineTop + face_->Ascent() - g->top;
            int x1 = x0 + g->width, y1 = y0 + g->height;
            int u0 = g->x, v0 = g->y;
            if (!(format & DT_NOCLIP)) {
                int cx0 = std::max(x0, int(r.left)), cy0 = std::max(y0, int(r.top));
                int cx1 = std::min(x1, int(r.right)), cy1 = std::min(y1, int(r.bottom));
                if (cx0 >= cx1 || cy0 >= cy1) continue;
                u0 += cx0 - x0;
                v0 += cy0 - y0;
                x0 = cx0;
                y0 = cy0;
                x1 = cx1;
                y1 = cy1;
            }
            int u1 = u0 + (x1 - x0), v1 = v0 + (y1 - y0);
            if (quads.size() <= size_t(g->page)) quads.resize(size_t(g->page) + 1);
            // Pixel centres sit on integer coordinates: a quad from x - 0.5
            // to x1 - 0.5 covers pixels x .. x1 - 1, one texel each.
            float fx0 = float(x0) - 0.5f, fy0 = float(y0) - 0.5f, fx1 = float(x1) - 0.5f, fy1 = float(y1) - 0.5f;
            float fu0 = u0 * scale, fv0 = v0 * scale, fu1 = u1 * scale, fv1 = v1 * scale;
            TextVertex a{fx0, fy0, 0, 1, color, fu0, fv0}, b{fx1, fy0, 0, 1, color, fu1, fv0};
            TextVertex c{fx0, fy1, 0, 1, color, fu0, fv1}, d{fx1, fy1, 0, 1, color, fu1, fv1};
            auto& list = quads[size_t(g->page)];
            list.insert(list.end(), {a, b, c, b, d, c});
        }
        if (FAILED(Upload())) return 0;
        bool any = false;
        for (const auto& list : quads) any = any || !list.empty();
        if (any) {
            SavedStates saved(device_);
            saved.SetTextStates();
            for (size_t p = 0; p < quads.size(); ++p) {
                if (quads[p].empty()) continue;
                device_->SetTexture(0, pages_[p]);
                device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, UINT(quads[p].size() / 3), quads[p].data(),
                                         sizeof(TextVertex));
            }
        }
        return block.height;
    }

    IDirect3DDevice9* device_;
    std::unique_ptr<FontFace> face_;
    D3DXFONT_DESCA desc_;
    GlyphAtlas atlas_;
    std::vector<IDirect3DTexture9*> pages_;
    FontContext context_;
};

BOOL FontContext::CharWidths(UINT first, UINT last, INT* widths)
{
    if (!widths || last < first || last - first > 0x10000) return FALSE;
    for (UINT c = first; c <= last; ++c) widths[c - first] = font->Face().Advance(c);
    return TRUE;
}

}  // namespace

HRESULT WINAPI D3DXCreateFontA(LPDIRECT3DDEVICE9 device, INT height, UINT width, UINT weight, UINT mipLevels,
                               BOOL italic, DWORD charSet, DWORD outputPrecision, DWORD quality, DWORD pitchAndFamily,
                               LPCSTR faceName, LPD3DXFONT* font)
{
    if (font) *font = nullptr;
    if (!device || !font) return D3DERR_INVALIDCALL;
    std::unique_ptr<FontFace> face =
        FontFace::Open(faceName, height, int(width), int(weight), italic != FALSE, nullptr);
    if (!face) return E_FAIL;
    D3DXFONT_DESCA desc{};
    desc.Height = height;
    desc.Width = width ? width : UINT(face->AverageWidth());
    desc.Weight = weight;
    desc.MipLevels = mipLevels;
    desc.Italic = italic;
    desc.CharSet = BYTE(charSet);
    desc.OutputPrecision = BYTE(outputPrecision);
    desc.Quality = BYTE(quality);
    desc.PitchAndFamily = BYTE(pitchAndFamily);
    if (faceName) std::strncpy(desc.FaceName, faceName, LF_FACESIZE - 1);
    Font* made = new (std::nothrow) Font(device, std::move(face), desc);
    if (!made) return E_OUTOFMEMORY;
    *font = made;
    return D3D_OK;
}
