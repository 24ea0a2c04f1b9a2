// The memory buffer's byte stream against bytes written out by hand, its
// size table, the copies, bad arguments, and the iterator's plain and
// checked reads.
#include <gtest/gtest.h>

#include <windows.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "vMemoryBuffer.h"

namespace {

std::vector<unsigned char> Bytes(vMemoryBuffer& buffer)
{
    std::unique_ptr<char[]> copy(buffer.copybuffer());
    const unsigned char* p = reinterpret_cast<const unsigned char*>(copy.get());
    return std::vector<unsigned char>(p, p + buffer.GetSize());
}

std::vector<std::pair<int, int>> Table(const vMemoryBuffer& buffer, int count)
{
    std::vector<std::pair<int, int>> table;
    vMemSizeNode entry;
    for (int i = 0; i < count && buffer.GetVar(i, &entry); ++i) table.push_back({entry.size, entry.offset});
    return table;
}

// 7, "abc" with its length, 1.0f.
void PushExample(vMemoryBuffer& buffer)
{
    int i = 7;
    float f = 1.0f;
    buffer.push(&i, 4);
    buffer.pushstring("abc", true);
    buffer.push(&f, 4);
}

TEST(MemoryBuffer, WorkedExampleByteForByte)
{
    vMemoryBuffer buffer;
    PushExample(buffer);
    EXPECT_EQ(buffer.GetSize(), 15);
    EXPECT_EQ(buffer.GetNumVars(), 4);
    const std::vector<unsigned char> want = {0x07, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,
                                             0x61, 0x62, 0x63, 0x00, 0x00, 0x80, 0x3F};
    EXPECT_EQ(Bytes(buffer), want);
    const std::vector<std::pair<int, int>> table = {{4, 0}, {4, 4}, {3, 8}, {4, 11}};
    EXPECT_EQ(Table(buffer, 5), table);

    std::unique_ptr<char[]> data(buffer.copybuffer());
    vMemoryIterator it;
    EXPECT_EQ(it.GetInt(data.get()), 7);
    EXPECT_EQ(it.GetInt(data.get()), 3);
    std::unique_ptr<char[]> text(it.GetString(data.get(), 3));
    EXPECT_STREQ(text.get(), "abc");
    EXPECT_EQ(it.GetFloat(data.get()), 1.0f);
    EXPECT_EQ(it.GetPosition(), 15);
    it.ResetIterator();
    EXPECT_EQ(it.GetPosition(), 0);
    EXPECT_EQ(it.GetInt(data.get()), 7);
}

TEST(MemoryBuffer, CopiesOfTheBlockAndOfEachValue)
{
    vMemoryBuffer buffer;
    PushExample(buffer);

    std::vector<char> whole(15 + 2, 'x');
    buffer.copybuffer2(whole.data());
    EXPECT_EQ(std::memcmp(whole.data(), "\x07\0\0\0\x03\0\0\0abc\0\0\x80\x3F", 15), 0);
    EXPECT_EQ(whole[15], 'x') << "copybuffer2 wrote past the block";

    char var[8];
    std::memset(var, 'x', sizeof(var));
    buffer.copyvar(var, 2);
    EXPECT_EQ(std::string(var, 4), "abcx");
    float f = 0;
    buffer.copyvar(&f, 3);
    EXPECT_EQ(f, 1.0f);

    // Out of range or null: nothing copied, nothing crashes.
    std::memset(var, 'x', sizeof(var));
    buffer.copyvar(var, 4);
    buffer.copyvar(var, -1);
    buffer.copyvar(var, 1 << 30);
    buffer.copyvar(nullptr, 0);
    buffer.copybuffer2(nullptr);
    EXPECT_EQ(std::string(var, 8), "xxxxxxxx");

    // A copy of the buffer owns its own bytes.
    vMemoryBuffer copy(buffer);
    buffer.clear();
    EXPECT_EQ(copy.GetSize(), 15);
    EXPECT_EQ(Bytes(copy)[8], 'a');
    vMemoryBuffer assigned;
    assigned = copy;
    vMemoryBuffer& self = assigned;
    assigned = self;
    copy.clear();
    EXPECT_EQ(assigned.GetNumVars(), 4);
    EXPECT_EQ(Table(assigned, 4)[3], std::make_pair(4, 11));
}

TEST(MemoryBuffer, EmptyStringsClearAndNewBuffers)
{
    vMemoryBuffer buffer;
    EXPECT_EQ(buffer.GetSize(), 0);
    EXPECT_EQ(buffer.GetNumVars(), 0);
    std::unique_ptr<char[]> none(buffer.copybuffer());
    EXPECT_NE(none.get(), nullptr);

    buffer.pushstring("", true);
    EXPECT_EQ(buffer.GetSize(), 4);
    EXPECT_EQ(buffer.GetNumVars(), 2);
    EXPECT_EQ(Table(buffer, 2), (std::vector<std::pair<int, int>>{{4, 0}, {0, 4}}));

    buffer.pushstring("hi", false);
    EXPECT_EQ(buffer.GetSize(), 6);
    EXPECT_EQ(buffer.GetNumVars(), 3);
    EXPECT_EQ(Bytes(buffer), (std::vector<unsigned char>{0, 0, 0, 0, 'h', 'i'}));

    buffer.clear();
    EXPECT_EQ(buffer.GetSize(), 0);
    EXPECT_EQ(buffer.GetNumVars(), 0);
    int v = 0x01020304;
    buffer.push(&v, 4);
    EXPECT_EQ(Table(buffer, 1), (std::vector<std::pair<int, int>>{{4, 0}}));
    EXPECT_EQ(Bytes(buffer), (std::vector<unsigned char>{4, 3, 2, 1}));
}

TEST(MemoryBuffer, BadArgumentsAddNothing)
{
    vMemoryBuffer buffer;
    PushExample(buffer);
    const std::vector<unsigned char> before = Bytes(buffer);
    int v = 5;
    buffer.push(nullptr, 4);
    buffer.push(&v, -1);
    buffer.push(&v, 0x7FFFFFFF);  // would pass 2 GiB with what is there
    buffer.pushstring(nullptr, true);
    buffer.pushsizebuffer(-1);
    buffer.pushsizebuffer(16);
    buffer.grow(-5);
    EXPECT_EQ(buffer.GetSize(), 15);
    EXPECT_EQ(buffer.GetNumVars(), 4);
    EXPECT_EQ(Bytes(buffer), before);
}

TEST(MemoryBuffer, ASizeEntryPushedByItselfCountsAsAValue)
{
    vMemoryBuffer buffer;
    PushExample(buffer);
    buffer.grow(19);
    buffer.pushsizebuffer(4);  // the 4 bytes the grow added
    EXPECT_EQ(buffer.GetNumVars(), 5);
    int v = 9;
    buffer.push(&v, 4);
    EXPECT_EQ(buffer.GetSize(), 23);
    EXPECT_EQ(buffer.GetNumVars(), 6);
    EXPECT_EQ(Table(buffer, 6), (std::vector<std::pair<int, int>>{{4, 0}, {4, 4}, {3, 8}, {4, 11}, {4, 15}, {4, 19}}));
    int read = -1;
    buffer.copyvar(&read, 4);
    EXPECT_EQ(read, 0);
    buffer.copyvar(&read, 5);
    EXPECT_EQ(read, 9);
}

// The sanitizers' allocator dies when the address space runs out instead of
// returning null, so this runs in the plain build only.
#if !defined(__SANITIZE_ADDRESS__)
namespace {

// Limits the process's address space to what it uses now plus slack bytes.
bool LimitAddressSpace(long slack)
{
    long pages = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return false;
    const bool read = std::fscanf(statm, "%ld", &pages) == 1;
    std::fclose(statm);
    const rlimit limit{(rlim_t)(pages * sysconf(_SC_PAGESIZE) + slack), RLIM_INFINITY};
    return read && setrlimit(RLIMIT_AS, &limit) == 0;
}

}  // namespace

TEST(MemoryBuffer, APushThatCannotHaveItsMemoryLeavesTheBufferAsItWas)
{
    // In a child process, so the limit ends with it.
    EXPECT_EXIT(
        {
            vMemoryBuffer buffer;
            PushExample(buffer);
            const std::vector<unsigned char> before = Bytes(buffer);
            const std::string text(64 << 20, 'x');
            if (!LimitAddressSpace(16 << 20)) std::_Exit(2);
            buffer.pushstring(text.c_str(), true);
            buffer.pushstring(text.c_str(), false);
            buffer.push(text.data(), (int)text.size());
            const bool unchanged = buffer.GetSize() == 15 && buffer.GetNumVars() == 4 && Bytes(buffer) == before;
            int v = 3;
            buffer.push(&v, 4);  // a small one still fits
            std::_Exit(unchanged && buffer.GetNumVars() == 5 && buffer.GetSize() == 19 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
#endif

TEST(MemoryBuffer, GrowLeavesExactlyTheSizeAskedAndKeepsTheContent)
{
    vMemoryBuffer buffer;
    PushExample(buffer);
    buffer.grow(20);
    EXPECT_EQ(buffer.GetSize(), 20);
    EXPECT_EQ(buffer.GetNumVars(), 4);
    std::vector<unsigned char> bytes = Bytes(buffer);
    EXPECT_EQ(bytes[8], 'a');
    EXPECT_EQ(bytes[19], 0);

    // Smaller keeps the first bytes; a value now past the end is not copied.
    buffer.grow(10);
    EXPECT_EQ(buffer.GetSize(), 10);
    EXPECT_EQ(Bytes(buffer)[9], 'b');
    float f = -2.0f;
    buffer.copyvar(&f, 3);
    EXPECT_EQ(f, -2.0f);

    // Many pushes: every value where it was pushed.
    vMemoryBuffer many;
    for (int i = 0; i < 10000; ++i) many.push(&i, 4);
    EXPECT_EQ(many.GetSize(), 40000);
    EXPECT_EQ(many.GetNumVars(), 10000);
    std::unique_ptr<char[]> data(many.copybuffer());
    vMemoryIterator it;
    bool inOrder = true;
    for (int i = 0; i < 10000; ++i) inOrder = inOrder && it.GetInt(data.get()) == i;
    EXPECT_TRUE(inOrder);
    vMemSizeNode last;
    ASSERT_TRUE(many.GetVar(9999, &last));
    EXPECT_EQ(last.offset, 39996);
    EXPECT_EQ(last.size, 4);
}

TEST(MemoryIterator, PlainReadsOfEmptyAndBadLengths)
{
    const char data[] = "xyz";
    vMemoryIterator it;
    std::unique_ptr<char[]> empty(it.GetString(data, 0));
    EXPECT_STREQ(empty.get(), "");
    EXPECT_EQ(it.GetPosition(), 0);
    std::unique_ptr<char[]> negative(it.GetString(data, -3));
    EXPECT_STREQ(negative.get(), "");
    EXPECT_EQ(it.GetPosition(), 0);
    std::unique_ptr<char[]> two(it.GetString(data, 2));
    EXPECT_STREQ(two.get(), "xy");
    EXPECT_EQ(it.GetPosition(), 2);
    EXPECT_EQ(it.GetInt(nullptr), 0);
    EXPECT_EQ(it.GetPosition(), 2);
}

TEST(MemoryIterator, CheckedReadsRefuseToPassTheEnd)
{
    vMemoryBuffer buffer;
    PushExample(buffer);
    std::unique_ptr<char[]> data(buffer.copybuffer());
    const int size = buffer.GetSize();

    vMemoryIterator it;
    int i = 0;
    float f = 0;
    char* text = reinterpret_cast<char*>(1);
    ASSERT_EQ(it.GetInt(data.get(), size, &i), S_OK);
    EXPECT_EQ(i, 7);
    ASSERT_EQ(it.GetInt(data.get(), size, &i), S_OK);
    EXPECT_EQ(i, 3);
    // Longer than what is left: refused, position kept, then the right length.
    EXPECT_EQ(it.GetString(data.get(), size, 8, &text), E_FAIL);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(it.GetString(data.get(), size, -1, &text), E_FAIL);
    EXPECT_EQ(it.GetPosition(), 8);
    ASSERT_EQ(it.GetString(data.get(), size, 3, &text), S_OK);
    EXPECT_STREQ(text, "abc");
    delete[] text;
    ASSERT_EQ(it.GetFloat(data.get(), size, &f), S_OK);
    EXPECT_EQ(f, 1.0f);

    // At the end: every read refused and nothing changed.
    i = 42;
    f = 42.0f;
    EXPECT_EQ(it.GetInt(data.get(), size, &i), E_FAIL);
    EXPECT_EQ(it.GetFloat(data.get(), size, &f), E_FAIL);
    EXPECT_EQ(i, 42);
    EXPECT_EQ(f, 42.0f);
    EXPECT_EQ(it.GetPosition(), 15);
    ASSERT_EQ(it.GetString(data.get(), size, 0, &text), S_OK);  // an empty string still fits
    EXPECT_STREQ(text, "");
    delete[] text;

    // Two bytes left is not enough for an integer.
    vMemoryIterator near;
    ASSERT_EQ(near.GetString(data.get(), size, 13, &text), S_OK);
    delete[] text;
    EXPECT_EQ(near.GetInt(data.get(), size, &i), E_FAIL);
    EXPECT_EQ(near.GetPosition(), 13);

    // Null data, negative sizes, null outputs.
    vMemoryIterator fresh;
    EXPECT_EQ(fresh.GetInt(nullptr, 4, &i), E_FAIL);
    EXPECT_EQ(fresh.GetInt(data.get(), -4, &i), E_FAIL);
    EXPECT_EQ(fresh.GetInt(data.get(), size, nullptr), E_FAIL);
    EXPECT_EQ(fresh.GetString(data.get(), size, 1, nullptr), E_FAIL);
    EXPECT_EQ(fresh.GetPosition(), 0);
}

void* TestAllocate(int size)
{
    return std::malloc((size_t)size);
}
void TestFree(void* p, int)
{
    std::free(p);
}
void* TestReallocate(void* p, int size)
{
    return std::realloc(p, (size_t)size);
}

TEST(AllocationCallbacks, StoredInFieldOrder)
{
    const vAllocationCallbacks before = ev_CBAlloc;
    SetAllocationCallbacks(TestAllocate, TestFree, TestReallocate);
    EXPECT_EQ(ev_CBAlloc.allocate, &TestAllocate);
    EXPECT_EQ(ev_CBAlloc.free, &TestFree);
    EXPECT_EQ(ev_CBAlloc.reallocate, &TestReallocate);
    SetAllocationCallbacks(before.allocate, before.free, before.reallocate);
    EXPECT_EQ(ev_CBAlloc.allocate, nullptr);
}

}  // namespace
