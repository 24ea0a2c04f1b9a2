// The Vorpex symbol test: every exported class method and free function is
// named here by address, so a missing or misspelled export breaks the link.
// One source file per engine folder (Symbols_<folder>.cpp), each with
// one VORPEX_SYMBOLS block, listed in this folder's CMakeLists.txt.
#pragma once

#include <vector>

struct VorpexSymbol {
    const char* name;
    bool taken;  // the address was taken and is not null
};

std::vector<VorpexSymbol>& VorpexSymbolTable();

struct VorpexSymbolBlock {
    VorpexSymbolBlock(std::initializer_list<VorpexSymbol> symbols)
    {
        auto& table = VorpexSymbolTable();
        table.insert(table.end(), symbols.begin(), symbols.end());
    }
};

template <typename T>
bool VorpexAddressTaken(T address)
{
    // volatile keeps the reference to the symbol in the binary.
    T volatile kept = address;
    return kept != nullptr;
}

// VORPEX_SYMBOL(&vEngine::Clear), VORPEX_SYMBOL(&FixAngle); for overloads cast first:
// VORPEX_SYMBOL(static_cast<void (vX::*)(int)>(&vX::Set)).
#define VORPEX_SYMBOL(address)                \
    VorpexSymbol                              \
    {                                         \
#address, VorpexAddressTaken(address) \
    }
#define VORPEX_SYMBOLS_CONCAT2(a, b) a##b
#define VORPEX_SYMBOLS_CONCAT(a, b) VORPEX_SYMBOLS_CONCAT2(a, b)
#define VORPEX_SYMBOLS static VorpexSymbolBlock VORPEX_SYMBOLS_CONCAT(vorpexSymbols_, __LINE__)
