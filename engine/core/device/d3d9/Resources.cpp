// Surfaces, textures and buffers. Lockable resources keep a system-memory
// copy; managed ones upload what a lock wrote when it is unlocked.
#include "d3d9/D3D9Impl.h"

#include <string.h>

#include <algorithm>

namespace d3d9gl {

void FlipRows(uint8_t* rows, size_t pitch, UINT height)
{
    std::vector<uint8_t> line(pitch);
    for (UINT top = 0, bottom = height ? height - 1 : 0; top < bottom; ++top, --bottom) {
        memcpy(line.data(), rows + (size_t)top * pitch, pitch);
        memcpy(rows + (size_t)top * pitch, rows + (size_t)bottom * pitch, pitch);
        memcpy(rows + (size_t)bottom * pitch, line.data(), pitch);
    }
}

namespace {

// Uploads go through a texture unit the fixed-function stages never use.
constexpr GLenum kUploadUnit = GL_TEXTURE0 + 15;

void BindForUpload(Device* device, GLuint tex)
{
    GLCache& c = device->gl();
    if (c.activeUnit != 15) {
        glActiveTexture(kUploadUnit);
        c.activeUnit = 15;
    }
    glBindTexture(GL_TEXTURE_2D, tex);
}

}  // namespace

// --- Child ------------------------------------------------------------------

Child::Child(Device* device, Owner owner, Child* container, bool blocksReset)
    : m_device(device), m_owner(owner), m_container(container), m_refs(owner == kOwned ? 0 : 1),
      m_blocksReset(blocksReset && owner != kContained)
{
    if (owner != kStandalone) return;
    device->AddRef();
    if (m_blocksReset) device->CountResetBlocker(1);
}

ULONG Child::ChildAddRef()
{
    if (m_owner == kContained) return m_container->ChildAddRef();
    // Taken (again) by the program: the device is held with it, and an owned
    // object keeps its container.
    if (m_refs++ == 0) {
        m_device->AddRef();
        if (m_blocksReset) m_device->CountResetBlocker(1);
        if (m_owner == kOwned && m_container) m_container->Bind();
    }
    return m_refs;
}

ULONG Child::ChildRelease()
{
    if (m_owner == kContained) return m_container->ChildRelease();
    if (m_refs == 0) return 0;
    if (--m_refs > 0) return m_refs;
    Device* device = m_device;
    if (m_blocksReset) device->CountResetBlocker(-1);
    if (m_owner == kOwned) {
        // Its owner keeps it. Letting go of the container may end that, and
        // this object with it.
        if (m_container) m_container->Unbind();
    } else if (m_internal == 0) {
        delete this;
    }
    // Releasing the device may end it, which unbinds (and so deletes) a
    // still-bound object; nothing of this object is touched afterwards.
    device->Release();
    return 0;
}

void Child::Bind()
{
    if (m_owner == kStandalone)
        ++m_internal;
    else if (m_container)
        m_container->Bind();
}

void Child::Unbind()
{
    if (m_owner == kStandalone) {
        if (m_internal > 0 && --m_internal == 0 && m_refs == 0) delete this;
    } else if (m_container) {
        m_container->Unbind();
    }
}

// --- Surface ----------------------------------------------------------------

Surface::Surface(Device* device, Kind kind, Owner owner, Child* container, UINT width, UINT height, D3DFORMAT format,
                 D3DPOOL pool, DWORD usage)
    : ChildUnknown(device, owner, container,
                   kind == kBackBuffer || kind == kDepth || kind == kRenderTarget ||
                       (kind == kOffscreen && pool == D3DPOOL_DEFAULT)),
      m_kind(kind), m_width(width), m_height(height), m_format(format), m_pool(pool), m_usage(usage),
      m_pf(FindPixelFormat(format))
{
    const bool lockable =
        kind == kOffscreen || (kind == kTextureLevel && (pool != D3DPOOL_DEFAULT || (usage & D3DUSAGE_DYNAMIC)));
    if (m_pf && lockable) {
        m_pitch = width * m_pf->bytesPerPixel;
        m_memory.assign((size_t)m_pitch * height, 0);
    }
}

Surface::~Surface()
{
    if ((m_fbo || m_renderbuffer || privateDepth) && m_device->SafeContext()) FreeGL();
}

void Surface::FreeGL()
{
    if (m_fbo) glDeleteFramebuffers(1, &m_fbo);
    if (m_renderbuffer) glDeleteRenderbuffers(1, &m_renderbuffer);
    if (privateDepth) glDeleteRenderbuffers(1, &privateDepth);
    m_fbo = m_renderbuffer = privateDepth = attachedDepth = 0;
    privateStencil = StencilContent();
    m_device->InvalidateGLCache();
}

HRESULT Surface::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice) return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *ppDevice = m_device;
    return D3D_OK;
}

HRESULT Surface::GetContainer(REFIID, void** ppContainer)
{
    if (!ppContainer) return D3DERR_INVALIDCALL;
    *ppContainer = nullptr;
    return E_NOINTERFACE;
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* d)
{
    if (!d) return D3DERR_INVALIDCALL;
    d->Format = m_format;
    d->Type = D3DRTYPE_SURFACE;
    d->Usage = m_usage;
    d->Pool = m_pool;
    d->MultiSampleType = D3DMULTISAMPLE_NONE;
    d->MultiSampleQuality = 0;
    d->Width = m_width;
    d->Height = m_height;
    return D3D_OK;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* out, const RECT* rect, DWORD flags)
{
    if (!out || m_memory.empty() || m_locked) return D3DERR_INVALIDCALL;
    RECT r = {0, 0, (LONG)m_width, (LONG)m_height};
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            rect->right > (LONG)m_width || rect->bottom > (LONG)m_height)
            return D3DERR_INVALIDCALL;
        r = *rect;
    }
    m_locked = true;
    m_lockReadOnly = (flags & D3DLOCK_READONLY) != 0;
    m_lockRect = r;
    out->Pitch = (INT)m_pitch;
    out->pBits = m_memory.data() + (size_t)r.top * m_pitch + (size_t)r.left * m_pf->bytesPerPixel;
    return D3D_OK;
}

HRESULT Surface::UnlockRect()
{
    if (!m_locked) return D3DERR_INVALIDCALL;
    m_locked = false;
    if (!m_lockReadOnly && m_kind == kTextureLevel) CheckAlphaOpaque(&m_lockRect);
    if (!m_lockReadOnly && m_kind == kTextureLevel && glTexture && m_device->MakeCurrent())
        UploadRows((UINT)m_lockRect.top, (UINT)m_lockRect.bottom);
    return D3D_OK;
}

void Surface::CheckAlphaOpaque(const RECT* changed)
{
    if (m_pf->swizzle[3] == GL_ONE) {
        alphaOpaque = true;
    } else if (m_memory.empty()) {
        alphaOpaque = false;
    } else {
        // Where each format keeps its alpha, and what full alpha reads as.
        UINT offset = 0, bytes = 1;
        uint32_t mask = 0xff;
        switch (m_format) {
            case D3DFMT_A8R8G8B8:
            case D3DFMT_A8B8G8R8:
                offset = 3;
                break;
            case D3DFMT_A8L8:
                offset = 1;
                break;
            case D3DFMT_A4R4G4B4:
                bytes = 2;
                mask = 0xf000;
                break;
            case D3DFMT_A1R5G5B5:
                bytes = 2;
                mask = 0x8000;
                break;
            case D3DFMT_A8:
                break;
            default:
                mask = 0;  // unknown layout: never claimed opaque
                break;
        }
        // A level known to be opaque need only have its changed rows looked at.
        RECT r = {0, 0, (LONG)m_width, (LONG)m_height};
        if (alphaOpaque && changed) r = *changed;
        bool opaque = mask != 0;
        const UINT bpp = m_pf->bytesPerPixel;
        for (UINT y = (UINT)r.top; y < (UINT)r.bottom && opaque; ++y) {
            const uint8_t* row = m_memory.data() + (size_t)y * m_pitch;
            for (UINT x = (UINT)r.left; x < (UINT)r.right; ++x) {
                const uint8_t* p = row + (size_t)x * bpp + offset;
                const uint32_t v = bytes == 2 ? (uint32_t)(p[0] | (p[1] << 8)) : p[0];
                if ((v & mask) != mask) {
                    opaque = false;
                    break;
                }
            }
        }
        alphaOpaque = opaque;
    }
}

void Surface::UploadRows(UINT top, UINT bottom)
{
    BindForUpload(m_device, glTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, (GLint)m_width);
    glTexSubImage2D(GL_TEXTURE_2D, glLevel, 0, (GLint)top, (GLsizei)m_width, (GLsizei)(bottom - top), m_pf->format,
                    m_pf->type, m_memory.data() + (size_t)top * m_pitch);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

bool Surface::IsRenderTarget() const
{
    return m_kind == kBackBuffer || m_kind == kRenderTarget ||
           (m_kind == kTextureLevel && (m_usage & D3DUSAGE_RENDERTARGET) && glTexture);
}

bool Surface::CreateGL()
{
    if (m_kind == kDepth) {
        glGenRenderbuffers(1, &m_renderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, m_renderbuffer);
        glRenderbufferStorage(GL_RENDERBUFFER,
                              HasStencil(m_format)     ? GL_DEPTH24_STENCIL8
                              : m_format == D3DFMT_D16 ? GL_DEPTH_COMPONENT16
                                                       : GL_DEPTH_COMPONENT24,
                              (GLsizei)m_width, (GLsizei)m_height);
        return glGetError() == GL_NO_ERROR;
    }
    if (m_kind == kBackBuffer && windowChain) return m_pf != nullptr;  // the window's own framebuffer
    if (m_kind == kBackBuffer || m_kind == kRenderTarget) {
        if (!m_pf) return false;
        glGenRenderbuffers(1, &m_renderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, m_renderbuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, m_pf->internalFormat, (GLsizei)m_width, (GLsizei)m_height);
        return glGetError() == GL_NO_ERROR && Framebuffer() != 0;
    }
    return true;
}

GLuint Surface::Framebuffer()
{
    if (m_fbo || !IsRenderTarget() || windowChain) return m_fbo;
    glGenFramebuffers(1, &m_fbo);
    m_device->BindFramebuffer(m_fbo);
    if (m_kind == kTextureLevel)
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, glTexture, glLevel);
    else
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_renderbuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        fprintf(stderr, "device: a %ux%u render target cannot be drawn into\n", m_width, m_height);
        glDeleteFramebuffers(1, &m_fbo);
        m_fbo = 0;
        m_device->InvalidateGLCache();
    }
    return m_fbo;
}

void Surface::SwapColorRenderbuffer(GLuint* renderbuffer)
{
    std::swap(m_renderbuffer, *renderbuffer);
    if (!m_fbo) return;
    m_device->BindFramebuffer(m_fbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_renderbuffer);
}

bool Surface::ReadPixels(void* dst, INT pitch)
{
    if (chain) chain->FollowWindow();
    if (windowChain) {
        // The window's framebuffer: its drawing buffer, bottom row first.
        if (!m_pf || pitch <= 0 || (UINT)pitch % m_pf->bytesPerPixel != 0 ||
            !m_device->MakeCurrentOn(windowChain->sdlWindow()))
            return false;
        m_device->BindFramebuffer(0);
        GLint doubleBuffered = 0;
        glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffered);
        glReadBuffer(doubleBuffered ? GL_BACK : GL_FRONT);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ROW_LENGTH, pitch / (INT)m_pf->bytesPerPixel);
        glReadPixels(0, 0, (GLsizei)m_width, (GLsizei)m_height, m_pf->format, m_pf->type, dst);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        FlipRows(static_cast<uint8_t*>(dst), (size_t)pitch, m_height);
        return glGetError() == GL_NO_ERROR;
    }
    const GLuint fbo = Framebuffer();
    if (!fbo || !m_pf || pitch <= 0 || (UINT)pitch % m_pf->bytesPerPixel != 0) return false;
    m_device->BindFramebuffer(fbo);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, pitch / (INT)m_pf->bytesPerPixel);
    glReadPixels(0, 0, (GLsizei)m_width, (GLsizei)m_height, m_pf->format, m_pf->type, dst);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    return glGetError() == GL_NO_ERROR;
}

// --- Texture ----------------------------------------------------------------

Texture::Texture(Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : ChildUnknown(device, kStandalone, nullptr, pool == D3DPOOL_DEFAULT), m_width(width), m_height(height),
      m_usage(usage), m_format(format), m_pool(pool), m_pf(FindPixelFormat(format))
{
    UINT full = 1;
    for (UINT s = std::max(width, height); s > 1; s >>= 1) ++full;
    if (levels == 0 || levels > full) levels = full;
    for (UINT i = 0; i < levels; ++i) {
        const UINT w = std::max(1u, width >> i), h = std::max(1u, height >> i);
        m_levels.emplace_back(new Surface(device, Surface::kTextureLevel, kContained, this, w, h, format, pool, usage));
    }
}

Texture::~Texture()
{
    m_levels.clear();
    if (m_tex && m_device->SafeContext()) {
        glDeleteTextures(1, &m_tex);
        m_device->InvalidateGLCache();
    }
}

bool Texture::Init()
{
    if (!m_pf) return false;
    if (m_pool == D3DPOOL_SYSTEMMEM || m_pool == D3DPOOL_SCRATCH) return true;
    glGenTextures(1, &m_tex);
    BindForUpload(m_device, m_tex);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, (GLint)m_levels.size() - 1);
    glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, m_pf->swizzle);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (size_t i = 0; i < m_levels.size(); ++i) {
        Surface* s = m_levels[i].get();
        glTexImage2D(GL_TEXTURE_2D, (GLint)i, (GLint)m_pf->internalFormat, (GLsizei)s->width(), (GLsizei)s->height(), 0,
                     m_pf->format, m_pf->type, s->memory().empty() ? nullptr : s->memory().data());
        s->glTexture = m_tex;
        s->glLevel = (GLint)i;
        s->CheckAlphaOpaque();
    }
    if (glGetError() != GL_NO_ERROR) return false;
    if (m_usage & D3DUSAGE_RENDERTARGET) {
        // A new render target starts black, as GL leaves it undefined.
        Surface* s0 = m_levels[0].get();
        const GLuint fbo = s0->Framebuffer();
        if (!fbo) return false;
        m_device->BindFramebuffer(fbo);
        m_device->InvalidateGLCache();
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    return true;
}

HRESULT Texture::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice) return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *ppDevice = m_device;
    return D3D_OK;
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* pDesc)
{
    if (level >= m_levels.size()) return D3DERR_INVALIDCALL;
    return m_levels[level]->GetDesc(pDesc);
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** out)
{
    if (!out || level >= m_levels.size()) return D3DERR_INVALIDCALL;
    *out = m_levels[level].get();
    (*out)->AddRef();
    return D3D_OK;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD flags)
{
    if (level >= m_levels.size()) return D3DERR_INVALIDCALL;
    return m_levels[level]->LockRect(pLockedRect, pRect, flags);
}

bool Texture::AlphaOpaque(bool allLevels, GLint baseLevel) const
{
    const size_t first = (size_t)std::max(0, baseLevel);
    if (first >= m_levels.size()) return false;
    const size_t end = allLevels ? m_levels.size() : first + 1;
    for (size_t i = first; i < end; ++i)
        if (!m_levels[i]->alphaOpaque) return false;
    return true;
}

DWORD Texture::SetLOD(DWORD lod)
{
    if (m_pool != D3DPOOL_MANAGED) return 0;
    const DWORD old = m_lod;
    m_lod = std::min<DWORD>(lod, (DWORD)m_levels.size() - 1);
    if (m_lod != old) m_device->MarkTexturesDirty();
    return old;
}

DWORD Texture::GetLOD()
{
    return m_pool == D3DPOOL_MANAGED ? m_lod : 0;
}

GLint Texture::BaseLevel(DWORD maxMipLevel) const
{
    return (GLint)std::min<DWORD>(std::max(m_lod, maxMipLevel), (DWORD)m_levels.size() - 1);
}

HRESULT Texture::UnlockRect(UINT level)
{
    if (level >= m_levels.size()) return D3DERR_INVALIDCALL;
    return m_levels[level]->UnlockRect();
}

// --- Buffers ----------------------------------------------------------------

bool BufferStore::Init(UINT length, D3DPOOL, DWORD usage)
{
    m_memory.assign(length, 0);
    glGenBuffers(1, &m_buffer);
    glBindBuffer(GL_COPY_WRITE_BUFFER, m_buffer);
    glBufferData(GL_COPY_WRITE_BUFFER, length, m_memory.data(),
                 (usage & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    return glGetError() == GL_NO_ERROR;
}

void BufferStore::Free()
{
    if (m_buffer) glDeleteBuffers(1, &m_buffer);
    m_buffer = 0;
}

HRESULT BufferStore::Lock(UINT offset, UINT size, void** data, DWORD flags)
{
    if (!data) return D3DERR_INVALIDCALL;
    const UINT length = (UINT)m_memory.size();
    if (offset > length || (size != 0 && size > length - offset)) {
        *data = nullptr;
        return D3DERR_INVALIDCALL;
    }
    if (size == 0) size = length - offset;
    if (!(flags & D3DLOCK_READONLY)) {
        if (m_dirtyEnd == m_dirtyBegin) {
            m_dirtyBegin = offset;
            m_dirtyEnd = offset + size;
        } else {
            m_dirtyBegin = std::min(m_dirtyBegin, offset);
            m_dirtyEnd = std::max(m_dirtyEnd, offset + size);
        }
        if (flags & D3DLOCK_DISCARD) m_discard = true;
    }
    ++m_locks;
    *data = m_memory.data() + offset;
    return D3D_OK;
}

HRESULT BufferStore::Unlock(bool upload)
{
    if (m_locks == 0) return D3DERR_INVALIDCALL;
    if (--m_locks > 0) return D3D_OK;
    if (upload && m_dirtyEnd > m_dirtyBegin && m_buffer) {
        glBindBuffer(GL_COPY_WRITE_BUFFER, m_buffer);
        if (m_discard)
            glBufferData(GL_COPY_WRITE_BUFFER, (GLsizeiptr)m_memory.size(), m_memory.data(), GL_DYNAMIC_DRAW);
        else
            glBufferSubData(GL_COPY_WRITE_BUFFER, m_dirtyBegin, m_dirtyEnd - m_dirtyBegin,
                            m_memory.data() + m_dirtyBegin);
    }
    m_dirtyBegin = m_dirtyEnd = 0;
    m_discard = false;
    return D3D_OK;
}

VertexBuffer::VertexBuffer(Device* device, UINT, DWORD usage, DWORD fvf, D3DPOOL pool)
    : ChildUnknown(device, kStandalone, nullptr, pool == D3DPOOL_DEFAULT), m_usage(usage), m_fvf(fvf), m_pool(pool)
{
}

VertexBuffer::~VertexBuffer()
{
    if (store.name() && m_device->SafeContext()) store.Free();
    m_device->InvalidateGLCache();
}

HRESULT VertexBuffer::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice) return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *ppDevice = m_device;
    return D3D_OK;
}

HRESULT VertexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags)
{
    return store.Lock(offset, size, data, flags);
}

HRESULT VertexBuffer::Unlock()
{
    return store.Unlock(m_device->MakeCurrent());
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* d)
{
    if (!d) return D3DERR_INVALIDCALL;
    d->Format = D3DFMT_VERTEXDATA;
    d->Type = D3DRTYPE_VERTEXBUFFER;
    d->Usage = m_usage;
    d->Pool = m_pool;
    d->Size = store.length();
    d->FVF = m_fvf;
    return D3D_OK;
}

IndexBuffer::IndexBuffer(Device* device, UINT, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : ChildUnknown(device, kStandalone, nullptr, pool == D3DPOOL_DEFAULT), m_usage(usage), m_format(format),
      m_pool(pool)
{
}

IndexBuffer::~IndexBuffer()
{
    if (store.name() && m_device->SafeContext()) store.Free();
    m_device->InvalidateGLCache();
}

HRESULT IndexBuffer::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice) return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *ppDevice = m_device;
    return D3D_OK;
}

HRESULT IndexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags)
{
    return store.Lock(offset, size, data, flags);
}

HRESULT IndexBuffer::Unlock()
{
    return store.Unlock(m_device->MakeCurrent());
}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* d)
{
    if (!d) return D3DERR_INVALIDCALL;
    d->Format = m_format;
    d->Type = D3DRTYPE_INDEXBUFFER;
    d->Usage = m_usage;
    d->Pool = m_pool;
    d->Size = store.length();
    return D3D_OK;
}

}  // namespace d3d9gl
