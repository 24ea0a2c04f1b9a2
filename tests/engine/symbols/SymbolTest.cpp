#include <gtest/gtest.h>

#include "SymbolTable.h"

std::vector<VorpexSymbol>& VorpexSymbolTable()
{
    static std::vector<VorpexSymbol> table;
    return table;
}

TEST(VorpexSymbols, EveryExportedNameResolves)
{
    const auto& table = VorpexSymbolTable();
    ASSERT_FALSE(table.empty());
    for (const VorpexSymbol& symbol : table) EXPECT_TRUE(symbol.taken) << symbol.name;
}
