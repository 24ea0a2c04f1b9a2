// The .X reader's helper program and its pre-scan: the importer runs in a
// program of its own that holds nothing of the window or GL and ends with
// its parent, and a file that declares more than it holds is refused
// before any importer sizes an array from it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "D3DXTestFiles.h"
#include "d3dx/XFileParse.h"
#include "d3dx/XFileReader.h"

using namespace d3dx::detail;

namespace {

std::string ReadProc(int pid, const char* what)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + what);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Gone, or a zombie nobody has reaped yet: either way no longer running.
bool Ended(int pid)
{
    if (kill(pid, 0) != 0) return true;
    const std::string stat = ReadProc(pid, "stat");
    const size_t close = stat.rfind(')');
    return close == std::string::npos || (close + 2 < stat.size() && stat[close + 2] == 'Z');
}

bool ReadCube(XMeshData& m, std::string* why)
{
    const std::string text = d3dxtest::kTwoMaterialCube;
    return ReadXFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), m, why);
}

TEST(XFileHelper, IsAProgramOfItsOwnWithoutWindowOrGLAndEndsWhenItsParentIsKilled)
{
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t parent = fork();
    ASSERT_GE(parent, 0);
    if (parent == 0) {
        // The parent-to-be-killed: reads a file (starting the helper), then
        // leaves a copy of the helper's socket in a child of its own, so the
        // helper cannot learn of the end from the socket, and waits.
        XMeshData m;
        int ids[2] = {ReadCube(m, nullptr) ? XFileHelperProcessId() : 0, 0};
        const pid_t holder = fork();
        if (holder == 0) {
            pause();
            _exit(0);
        }
        ids[1] = int(holder);
        if (write(report[1], ids, sizeof ids) != sizeof ids) _exit(1);
        pause();
        _exit(0);
    }
    close(report[1]);
    int ids[2] = {0, 0};
    const bool reported = read(report[0], ids, sizeof ids) == sizeof ids;
    close(report[0]);
    const int helper = ids[0], holder = ids[1];
    ASSERT_TRUE(reported);
    ASSERT_GT(helper, 0) << "the cube was read through the helper";

    // A program of its own: its executable is the helper, and nothing of the
    // window layer, SDL, GL or X is mapped into it.
    char path[4096] = {};
    const ssize_t n = readlink(("/proc/" + std::to_string(helper) + "/exe").c_str(), path, sizeof(path) - 1);
    ASSERT_GT(n, 0);
    EXPECT_NE(std::string(path).find("/d3dx-xfile-helper"), std::string::npos) << path;
    const std::string maps = ReadProc(helper, "maps");
    ASSERT_FALSE(maps.empty());
    for (const char* library :
         {"libSDL2", "libGL", "libEGL", "libepoxy", "libX11", "libwayland", "libwin32layer", "libd3d9layer"})
        EXPECT_EQ(maps.find(library), std::string::npos) << library << " is mapped into the helper";

    kill(parent, SIGKILL);
    waitpid(parent, nullptr, 0);
    bool ended = false;
    for (int i = 0; i < 100 && !ended; ++i) {
        ended = Ended(helper);
        if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(ended) << "the helper outlived its parent by a second";
    if (!ended) kill(helper, SIGKILL);
    kill(holder, SIGKILL);
}

TEST(XFileHelper, ReadsInTheSameProcessAcrossFilesAndAfterAFailure)
{
    XMeshData m;
    ASSERT_TRUE(ReadCube(m, nullptr));
    const int first = XFileHelperProcessId();
    EXPECT_GT(first, 0);
    std::string why;
    const std::string bad = "xof 0303txt 0032\nnothing here at all";
    EXPECT_FALSE(ReadXFile(reinterpret_cast<const uint8_t*>(bad.data()), bad.size(), m, &why));
    ASSERT_TRUE(ReadCube(m, nullptr));
    EXPECT_EQ(XFileHelperProcessId(), first) << "a refused file does not cost the helper";
    EXPECT_EQ(m.FaceCount(), 12u);
}

// A small file that declares huge arrays: refused by its counts, before any
// importer allocates for them, with the count in the reason.
TEST(XFilePrescan, CountsBeyondWhatTheFileHoldsAreRefused)
{
    const std::string head = "xof 0302txt 0032\n";
    struct Case {
        std::string text;
        const char* reason;
    };
    const Case cases[] = {
        {head + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 60000000; 3;0,1,2;; }\n", "declares 60000000 faces"},
        {head + "Mesh { 60000000; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n", "declares 60000000 vertices"},
        {head + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 60000000;0,1,2;; }\n", "declares 60000000 face indices"},
        {head + "Frame F { Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
                "  MeshTextureCoords { 9000000; 0;0;, 1;0;, 0;1;; } } }\n",
         "declares 9000000 texture coordinates"},
        {head + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
                "  MeshMaterialList { 1; 70000000; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } } }\n",
         "declares 70000000 material indices"},
        {head + "Mesh { -3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n", "vertices count is not a count"},
        // Found by the fuzzer: a name holding '#', and a count past 32 bits.
        {head + "Mesh O#e { 35555555555555; 0.0;0.0;0.0;, 1.0;0.0;0.0;; 1; 3;0,1,2;; }\n",
         "vertices count is not a count"},
        {head + "Mesh O#e { 3; 0;0;0;, 1;0;0;, 0;1;0;; 7000000; 3;0,1,2;; }\n", "declares 7000000 faces"},
    };
    for (const Case& c : cases) {
        ASSERT_LE(c.text.size(), 200u);
        std::string why;
        EXPECT_FALSE(PrescanXFile(reinterpret_cast<const uint8_t*>(c.text.data()), c.text.size(), &why));
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
        XMeshData m;
        why.clear();
        EXPECT_FALSE(ReadXFile(reinterpret_cast<const uint8_t*>(c.text.data()), c.text.size(), m, &why));
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
        EXPECT_EQ(m.FaceCount(), 0u);
    }

    // Binary: a list whose length runs past the end, and a mesh whose
    // vertex count its float list cannot hold.
    auto word = [](std::string& s, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
    };
    std::string list = "xof 0302bin 0032";
    word(list, 1, 2);  // name "Mesh"
    word(list, 4, 4);
    list += "Mesh";
    word(list, 0x0a, 2);  // {
    word(list, 6, 2);     // integer list of 60,000,000 values, 8 given
    word(list, 60000000, 4);
    word(list, 3, 4);
    word(list, 0, 4);
    std::string why;
    EXPECT_FALSE(PrescanXFile(reinterpret_cast<const uint8_t*>(list.data()), list.size(), &why));
    EXPECT_NE(why.find("list of 60000000 values"), std::string::npos) << why;

    std::string mesh = "xof 0302bin 0032";
    word(mesh, 1, 2);
    word(mesh, 4, 4);
    mesh += "Mesh";
    word(mesh, 0x0a, 2);
    word(mesh, 6, 2);  // [50000000]: the vertex count
    word(mesh, 1, 4);
    word(mesh, 50000000, 4);
    word(mesh, 7, 2);  // three floats: one vertex
    word(mesh, 3, 4);
    for (int i = 0; i < 3; ++i) word(mesh, 0, 4);
    word(mesh, 0x0b, 2);
    why.clear();
    EXPECT_FALSE(PrescanXFile(reinterpret_cast<const uint8_t*>(mesh.data()), mesh.size(), &why));
    EXPECT_NE(why.find("declares 50000000 vertices"), std::string::npos) << why;
}

TEST(XFilePrescan, WellFormedFilesPass)
{
    const std::string cube = d3dxtest::kTwoMaterialCube;
    std::string why;
    EXPECT_TRUE(PrescanXFile(reinterpret_cast<const uint8_t*>(cube.data()), cube.size(), &why)) << why;
    // Counts that exactly fill the file, templates, comments and references.
    const std::string text =
        "xof 0302txt 0032\n"
        "template Mesh { <3D82AB44-62DA-11cf-AB39-0020AF71E433> DWORD nVertices;\n"
        "  array Vector vertices[nVertices]; DWORD nFaces; array MeshFace faces[nFaces]; [...] }\n"
        "// a comment { 999999999; }\n"
        "Material Red { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; }\n"
        "Mesh M { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;; 1; 4;0,1,2,3;;\n"
        "  MeshNormals { 1; 0;0;-1;; 1; 4;0,0,0,0;; }\n"
        "  MeshMaterialList { 1; 1; 0;; { Red } } }\n";
    EXPECT_TRUE(PrescanXFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), &why)) << why;
    XMeshData m;
    EXPECT_TRUE(ParseXFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), m, &why)) << why;
    EXPECT_EQ(m.FaceCount(), 2u);
}

}  // namespace
