// The memory iterator's checked reads over any bytes: a script taken from
// the input's first bytes reads integers, floats and strings of any length
// from the rest. No read may pass the end (AddressSanitizer sees the exact
// size, as the data is copied into a block of its own), a refused read
// changes nothing, and what was read, pushed again into a memory buffer,
// gives back exactly the bytes it came from.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "vMemoryBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    if (size < 1) return 0;
    const size_t scriptLength = input[0] % 32;
    if (size < 1 + scriptLength) return 0;
    const uint8_t* script = input + 1;
    const int dataSize = int(size - 1 - scriptLength);
    std::unique_ptr<char[]> data(new char[size_t(dataSize) + 1]);
    if (dataSize > 0) std::memcpy(data.get(), script + scriptLength, size_t(dataSize));

    vMemoryIterator it;
    vMemoryBuffer again;
    for (size_t s = 0; s < scriptLength; ++s) {
        const int before = it.GetPosition();
        const uint8_t op = script[s];
        long hr = 0;
        if (op % 3 == 0) {
            int v = 0;
            hr = it.GetInt(data.get(), dataSize, &v);
            if (hr == S_OK) again.push(&v, 4);
        } else if (op % 3 == 1) {
            float v = 0;
            hr = it.GetFloat(data.get(), dataSize, &v);
            if (hr == S_OK) again.push(&v, 4);
        } else {
            char* text = nullptr;
            const int length = int(op / 3) - 8;  // negative lengths too
            hr = it.GetString(data.get(), dataSize, length, &text);
            if ((hr == S_OK) != (text != nullptr)) std::abort();
            if (text) {
                if (text[length] != '\0') std::abort();
                again.push(text, length);
                delete[] text;
            }
        }
        if (hr != S_OK && it.GetPosition() != before) std::abort();
        if (it.GetPosition() < 0 || it.GetPosition() > dataSize) std::abort();
    }
    if (again.GetSize() != it.GetPosition()) std::abort();
    std::unique_ptr<char[]> bytes(again.copybuffer());
    if (again.GetSize() > 0 && std::memcmp(bytes.get(), data.get(), size_t(again.GetSize())) != 0) std::abort();
    return 0;
}
