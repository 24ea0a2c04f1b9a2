// A growable byte block that packs values one after another, and an iterator
// that reads such bytes back in order.
//
// The stream has no tags, padding or alignment; the reader must know the
// sequence of types. Pushing 7, then "abc" with its length, then 1.0f gives
//
//   offset  0           4           8        11          15
//           07 00 00 00 03 00 00 00 61 62 63 00 00 80 3F
//           int 7       length 3    "abc"    float 1.0
//
// and the size table (4, 0) (4, 4) (3, 8) (4, 11): one entry per value, a
// string with its length counting as two. Integers and floats are 4 bytes in
// the machine's byte order; the terminating zero of a string is never stored.
#pragma once

#include <windows.h>

#include <cstddef>

// One entry of the size table: a value's byte count and its offset in the block.
struct vMemSizeNode {
    int size;    // bytes of the value
    int offset;  // where the value starts in the block
};

class vMemoryBuffer {
public:
    vMemoryBuffer();                                       // empty: no bytes, no values
    ~vMemoryBuffer();                                      // clear
    vMemoryBuffer(const vMemoryBuffer& other);             // deep copy: bytes and table duplicated
    vMemoryBuffer& operator=(const vMemoryBuffer& other);  // frees ours, copies other's block and table

    // Appends size bytes from data as one value. A null pointer, a negative
    // size, a block that would pass 2 GiB or memory that cannot be had adds
    // nothing: a failed push leaves the buffer exactly as it was.
    void push(const void* data, int size);
    // Appends the characters of a zero-terminated string (without the zero),
    // preceded by its length as a 4-byte integer when withLength is set (two
    // values then, added together or not at all). A null text adds nothing.
    void pushstring(const char* text, bool withLength);
    // Counts the last size bytes of the block as one more value (after a
    // grow, say), with its size-table entry. Nothing when size is negative or
    // larger than the block.
    void pushsizebuffer(int size);
    // Sets the block to exactly newSize bytes in use: the content is kept (a
    // smaller size keeps the first newSize bytes), new bytes are zero.
    // Storage grows geometrically, so pushing costs amortised constant time.
    // A negative size changes nothing.
    void grow(int newSize);

    // A new copy of the bytes (GetSize() of them, a zero-length array when
    // empty); the caller releases it with delete[].
    char* copybuffer();
    // Copies the bytes to destination, which holds at least GetSize() bytes. Null: nothing.
    void copybuffer2(void* destination);
    // Copies value number index (its size bytes) to destination. An index out
    // of range or a null destination copies nothing.
    void copyvar(void* destination, int index);
    int GetSize();     // bytes in use
    int GetNumVars();  // entries in the size table
    // The size-table entry of value index; false (entry untouched) when out of range.
    bool GetVar(int index, vMemSizeNode* entry) const;

    // Frees both blocks and returns to the empty state; pushing starts again at offset 0.
    void clear();

private:
    bool Reserve(int bytes);         // capacity for bytes; false when it cannot grow
    bool ReserveTable(int entries);  // capacity for entries
    // Room for values more values of bytes more bytes in all; false, nothing changed, when there is none.
    bool MakeRoom(int values, size_t bytes);
    void Append(const void* data, int size);  // one value, into room already made

    int m_numVars;              // entries in the size table
    int m_size;                 // bytes in use
    vMemSizeNode* m_sizeTable;  // owned, m_tableCapacity entries
    char* m_data;               // owned, m_capacity bytes
    int m_capacity;
    int m_tableCapacity;
};

// Reads values from bytes at a position it keeps; the bytes are passed on
// every call, so one iterator can read any copy of them.
//
// The plain reads trust the caller: they read wherever the position points
// and the caller must not pass the end. The reads that take the data's size
// check first and refuse (E_FAIL, position unchanged) to read past it.
class vMemoryIterator {
public:
    vMemoryIterator();        // position 0
    void ResetIterator();     // position 0
    int GetPosition() const;  // byte offset of the next read

    // The 4 bytes at data + position as an integer; position += 4. Null data: 0, nothing read.
    int GetInt(const char* data);
    // The 4 bytes at data + position as a float; position += 4. Null data: 0, nothing read.
    float GetFloat(const char* data);
    // A new zero-terminated copy of the length bytes at data + position (the
    // caller releases it with delete[]); position += length. A negative
    // length or null data gives an empty string and leaves the position.
    char* GetString(const char* data, int length);

    // Checked reads of the size bytes at data: S_OK with the value and the
    // position advanced, or E_FAIL with nothing read or changed when the value
    // would end past size (or data is null, or size or position is negative).
    long GetInt(const char* data, int size, int* value);
    long GetFloat(const char* data, int size, float* value);  // the checked read of a float
    // *text gets a new zero-terminated string (delete[]) on S_OK, null on E_FAIL.
    long GetString(const char* data, int size, int length, char** text);

private:
    bool CanRead(const char* data, int size, int count) const;

    int m_position;
};

// Allocation callbacks a program can hand to the library. The library keeps
// them in ev_CBAlloc and does not call them itself: its own blocks (memory
// buffers, particle pools, strings) come from the ordinary allocator.
struct vAllocationCallbacks {
    void* (*allocate)(int size);                      // null when the memory cannot be had
    void (*free)(void* pointer, int size);            // gives back what allocate or reallocate gave
    void* (*reallocate)(void* pointer, int newSize);  // null when the memory cannot be had; the old block stays
};

extern vAllocationCallbacks ev_CBAlloc;  // all null until set

// Stores the three functions in ev_CBAlloc.
void SetAllocationCallbacks(void* (*allocate)(int size), void (*free)(void* pointer, int size),
                            void* (*reallocate)(void* pointer, int newSize));
