// Reference counting of device objects, for every engine class that holds
// them. The classes keep plain interface pointers (their fields are part of
// the library's interface); these helpers give them the shallow member-by-
// member copies the engine promises: a copy shares the object and takes a
// reference of its own, and each holder releases its own.
#pragma once

namespace vcore {

// Releases the object, if any, and leaves the pointer null.
template <typename T>
void ReleaseRef(T*& object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}

// Takes a reference to object (may be null) and returns it.
template <typename T>
T* ShareRef(T* object)
{
    if (object) object->AddRef();
    return object;
}

// holder = source, sharing it: source gains a reference before the old
// object loses one, so assigning a holder to itself keeps the object alive.
template <typename T>
void AssignRef(T*& holder, T* source)
{
    ShareRef(source);
    ReleaseRef(holder);
    holder = source;
}

// A local owner of one reference, released when it goes out of scope.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    explicit ComRef(T* adopted) : m_object(adopted) {}
    ComRef(const ComRef& other) : m_object(ShareRef(other.m_object)) {}
    ComRef& operator=(const ComRef& other)
    {
        AssignRef(m_object, other.m_object);
        return *this;
    }
    ~ComRef() { ReleaseRef(m_object); }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    // The address to receive a new reference (the old one is released first).
    T** out()
    {
        ReleaseRef(m_object);
        return &m_object;
    }
    // Hands the reference to the caller.
    T* detach()
    {
        T* object = m_object;
        m_object = nullptr;
        return object;
    }

private:
    T* m_object = nullptr;
};

}  // namespace vcore
