#include "vMemoryBuffer.h"

#include <windows.h>

#include <climits>
#include <cstdlib>
#include <cstring>

vAllocationCallbacks ev_CBAlloc = {nullptr, nullptr, nullptr};

void SetAllocationCallbacks(void* (*allocate)(int size), void (*free)(void* pointer, int size),
                            void* (*reallocate)(void* pointer, int newSize))
{
    ev_CBAlloc.allocate = allocate;
    ev_CBAlloc.free = free;
    ev_CBAlloc.reallocate = reallocate;
}

namespace {

// The next capacity for at least need units: doubling from a small start,
// capped at INT_MAX.
int NextCapacity(int current, int need, int minimum)
{
    long long grown = current > 0 ? (long long)current * 2 : minimum;
    if (grown < need) grown = need;
    if (grown > INT_MAX) grown = INT_MAX;
    return (int)grown;
}

char* NewString(const char* from, int length)
{
    char* text = new char[(size_t)length + 1];
    if (length > 0) std::memcpy(text, from, (size_t)length);
    text[length] = '\0';
    return text;
}

}  // namespace

// --- vMemoryBuffer ---------------------------------------------------------

vMemoryBuffer::vMemoryBuffer()
    : m_numVars(0), m_size(0), m_sizeTable(nullptr), m_data(nullptr), m_capacity(0), m_tableCapacity(0)
{
}

vMemoryBuffer::~vMemoryBuffer()
{
    clear();
}

vMemoryBuffer::vMemoryBuffer(const vMemoryBuffer& other) : vMemoryBuffer()
{
    *this = other;
}

vMemoryBuffer& vMemoryBuffer::operator=(const vMemoryBuffer& other)
{
    if (this == &other) return *this;
    clear();
    if (!Reserve(other.m_size) || !ReserveTable(other.m_numVars)) {
        clear();
        return *this;
    }
    if (other.m_size > 0) std::memcpy(m_data, other.m_data, (size_t)other.m_size);
    if (other.m_numVars > 0)
        std::memcpy(m_sizeTable, other.m_sizeTable, sizeof(vMemSizeNode) * (size_t)other.m_numVars);
    m_size = other.m_size;
    m_numVars = other.m_numVars;
    return *this;
}

bool vMemoryBuffer::Reserve(int bytes)
{
    if (bytes <= m_capacity) return true;
    const int capacity = NextCapacity(m_capacity, bytes, 64);
    char* data = static_cast<char*>(std::realloc(m_data, (size_t)capacity));
    if (!data) return false;
    m_data = data;
    m_capacity = capacity;
    return true;
}

bool vMemoryBuffer::ReserveTable(int entries)
{
    if (entries <= m_tableCapacity) return true;
    const int capacity = NextCapacity(m_tableCapacity, entries, 8);
    void* table = std::realloc(m_sizeTable, sizeof(vMemSizeNode) * (size_t)capacity);
    if (!table) return false;
    m_sizeTable = static_cast<vMemSizeNode*>(table);
    m_tableCapacity = capacity;
    return true;
}

void vMemoryBuffer::grow(int newSize)
{
    if (newSize < 0 || !Reserve(newSize)) return;
    if (newSize > m_size) std::memset(m_data + m_size, 0, (size_t)(newSize - m_size));
    m_size = newSize;
}

bool vMemoryBuffer::MakeRoom(int values, size_t bytes)
{
    if (bytes > (size_t)(INT_MAX - m_size) || m_numVars > INT_MAX - 2 - values) return false;
    // The table keeps room for two entries past the values it holds.
    return ReserveTable(m_numVars + values + 1) && Reserve(m_size + (int)bytes);
}

void vMemoryBuffer::Append(const void* data, int size)
{
    const int offset = m_size;
    if (size > 0) std::memcpy(m_data + offset, data, (size_t)size);
    m_size += size;
    m_sizeTable[m_numVars].size = size;
    m_sizeTable[m_numVars].offset = offset;
    ++m_numVars;
}

void vMemoryBuffer::pushsizebuffer(int size)
{
    if (size < 0 || size > m_size || !MakeRoom(1, 0)) return;
    m_sizeTable[m_numVars].size = size;
    m_sizeTable[m_numVars].offset = m_size - size;
    ++m_numVars;
}

void vMemoryBuffer::push(const void* data, int size)
{
    if (!data || size < 0 || !MakeRoom(1, (size_t)size)) return;
    Append(data, size);
}

void vMemoryBuffer::pushstring(const char* text, bool withLength)
{
    if (!text) return;
    const size_t length = std::strlen(text);
    // Both values get their room first, so a length is never left without its text.
    if (length > (size_t)INT_MAX || !MakeRoom(withLength ? 2 : 1, length + (withLength ? 4 : 0))) return;
    const int n = (int)length;
    if (withLength) Append(&n, 4);
    Append(text, n);
}

char* vMemoryBuffer::copybuffer()
{
    char* copy = new char[(size_t)m_size];
    if (m_size > 0) std::memcpy(copy, m_data, (size_t)m_size);
    return copy;
}

void vMemoryBuffer::copybuffer2(void* destination)
{
    if (destination && m_size > 0) std::memcpy(destination, m_data, (size_t)m_size);
}

void vMemoryBuffer::copyvar(void* destination, int index)
{
    vMemSizeNode entry;
    if (!destination || !GetVar(index, &entry)) return;
    // A grow to a smaller size can leave entries that pass the end.
    if (entry.offset < 0 || entry.size < 0 || entry.offset > m_size || entry.size > m_size - entry.offset) return;
    if (entry.size > 0) std::memcpy(destination, m_data + entry.offset, (size_t)entry.size);
}

int vMemoryBuffer::GetSize()
{
    return m_size;
}

int vMemoryBuffer::GetNumVars()
{
    return m_numVars;
}

bool vMemoryBuffer::GetVar(int index, vMemSizeNode* entry) const
{
    if (!entry || index < 0 || index >= m_numVars) return false;
    *entry = m_sizeTable[index];
    return true;
}

void vMemoryBuffer::clear()
{
    std::free(m_data);
    std::free(m_sizeTable);
    m_data = nullptr;
    m_sizeTable = nullptr;
    m_size = 0;
    m_numVars = 0;
    m_capacity = 0;
    m_tableCapacity = 0;
}

// --- vMemoryIterator -------------------------------------------------------

vMemoryIterator::vMemoryIterator() : m_position(0) {}

void vMemoryIterator::ResetIterator()
{
    m_position = 0;
}

int vMemoryIterator::GetPosition() const
{
    return m_position;
}

int vMemoryIterator::GetInt(const char* data)
{
    if (!data) return 0;
    int value;
    std::memcpy(&value, data + m_position, 4);
    m_position += 4;
    return value;
}

float vMemoryIterator::GetFloat(const char* data)
{
    if (!data) return 0.0f;
    float value;
    std::memcpy(&value, data + m_position, 4);
    m_position += 4;
    return value;
}

char* vMemoryIterator::GetString(const char* data, int length)
{
    if (!data || length <= 0) return NewString(nullptr, 0);
    char* text = NewString(data + m_position, length);
    m_position += length;
    return text;
}

bool vMemoryIterator::CanRead(const char* data, int size, int count) const
{
    if (!data || size < 0 || count < 0 || m_position < 0) return false;
    return m_position <= size && count <= size - m_position;
}

long vMemoryIterator::GetInt(const char* data, int size, int* value)
{
    if (!value || !CanRead(data, size, 4)) return E_FAIL;
    std::memcpy(value, data + m_position, 4);
    m_position += 4;
    return S_OK;
}

long vMemoryIterator::GetFloat(const char* data, int size, float* value)
{
    if (!value || !CanRead(data, size, 4)) return E_FAIL;
    std::memcpy(value, data + m_position, 4);
    m_position += 4;
    return S_OK;
}

long vMemoryIterator::GetString(const char* data, int size, int length, char** text)
{
    if (!text) return E_FAIL;
    *text = nullptr;
    if (!CanRead(data, size, length)) return E_FAIL;
    *text = NewString(data + m_position, length);
    m_position += length;
    return S_OK;
}
