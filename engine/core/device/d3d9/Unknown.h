// The one IUnknown of the device layer's objects. They offer no interface
// beyond their own (QueryInterface answers E_NOINTERFACE and clears the
// output), and their creator holds the first reference.
#pragma once

#include <d3d9.h>

#include <atomic>

namespace d3d9gl {

// An object that lives until its last reference is released. Releasing an
// object whose count is already zero does nothing and answers 0.
template <class Interface>
class Unknown : public Interface {
public:
    HRESULT QueryInterface(REFIID, void** object) override
    {
        if (object) *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        ULONG refs = m_refs.load();
        while (refs != 0 && !m_refs.compare_exchange_weak(refs, refs - 1)) {
        }
        if (refs == 0) return 0;
        if (refs == 1) delete this;
        return refs - 1;
    }

protected:
    Unknown() = default;
    virtual ~Unknown() = default;
    Unknown(const Unknown&) = delete;
    Unknown& operator=(const Unknown&) = delete;

private:
    std::atomic<ULONG> m_refs{1};
};

}  // namespace d3d9gl
