// The .X reader's helper program and its pre-scan: the importer runs in a
// program of its own that holds nothing of the window or GL and ends with
// its parent (and without it nothing is read), and a file that declares
// more than it holds, indexes past its arrays or that the pre-scan cannot
// follow is refused before any importer sees it.
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
#include <sys/stat.h>
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

bool Prescan(const std::string& text, std::string* why)
{
    return PrescanXFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), why);
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
         {"libSDL2", "libGL", "libEGL", "libepoxy", "libX11", "libwayland", "libvorpex-win32", "libvorpex-d3d9"})
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

// Without a helper program the layer reads no .X file at all (the importer
// never runs in this process): each read fails with the reason, one line on
// stderr says so, and once the helper is back files read again.
TEST(XFileHelper, WithoutTheHelperNothingIsReadAndOneLineSaysWhy)
{
    struct Case {
        std::string path;
        const char* reason;
    };
    char folder[] = "/tmp/xfile-helper-test-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string notAProgram = std::string(folder) + "/d3dx-xfile-helper";
    {
        std::ofstream out(notAProgram);
        out << "not a program\n";
    }
    ASSERT_EQ(chmod(notAProgram.c_str(), 0755), 0);
    const Case cases[] = {
        {std::string(folder) + "/missing/d3dx-xfile-helper", "is missing"},
        {notAProgram, "could not start"},
    };
    for (const Case& c : cases) {
        SetXFileHelperPathForTests(c.path);
        testing::internal::CaptureStderr();
        XMeshData m;
        std::string first, second;
        const bool readFirst = ReadCube(m, &first);
        const bool readSecond = ReadCube(m, &second);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(readFirst) << c.path;
        EXPECT_FALSE(readSecond) << c.path;
        EXPECT_EQ(m.FaceCount(), 0u);
        EXPECT_EQ(XFileHelperProcessId(), 0);
        for (const std::string& why : {first, second}) {
            EXPECT_NE(why.find("d3dx-xfile-helper"), std::string::npos) << why;
            EXPECT_NE(why.find(c.reason), std::string::npos) << why;
        }
        size_t lines = 0;
        for (size_t at = err.find("d3dx-xfile-helper"); at != std::string::npos;
             at = err.find("d3dx-xfile-helper", err.find('\n', at)))
            ++lines;
        EXPECT_EQ(lines, 1u) << err;
    }
    SetXFileHelperPathForTests("");
    unlink(notAProgram.c_str());
    rmdir(folder);
    XMeshData m;
    ASSERT_TRUE(ReadCube(m, nullptr));
    EXPECT_EQ(m.FaceCount(), 12u);
    EXPECT_GT(XFileHelperProcessId(), 0);
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

// Files the importer would read past its arrays (or ask absurd memory for):
// each refused with the reason, through the reader as well.
TEST(XFilePrescan, IndicesPastTheirArraysAreRefused)
{
    const std::string head = "xof 0303txt 0032\n";
    const std::string tri = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n";
    const std::string quads = "Mesh { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;; 2; 4;0,1,2,3;, 3;0,1,2;;\n";
    const std::string mat = "Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; }";
    struct Case {
        std::string text;
        const char* reason;
    };
    const Case cases[] = {
        // A mesh with no vertices and one face: the importer read through a null pointer.
        {head + "Mesh{0;1;4;4,0,3,7;}", "face 0 uses vertex 4 of 0"},
        {head + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,3;; }\n", "face 0 uses vertex 3 of 3"},
        {head + tri + " MeshNormals { 1; 0;0;1;; 1; 3;0,0,1;; } }\n", "normal face 0 uses normal 1 of 1"},
        {head + quads + " MeshNormals { 1; 0;0;1;; 1; 4;0,0,0,0;; } }\n", "1 normal faces for 2 faces"},
        {head + quads + " MeshNormals { 1; 0;0;1;; 2; 4;0,0,0,0;, 4;0,0,0,0;; } }\n",
         "normal face 1 has 4 corners, its face 3"},
        {head + tri + " MeshTextureCoords { 2; 0;0;, 1;0;; } }\n", "2 texture coordinates for 3 vertices"},
        {head + tri + " MeshVertexColors { 2; 0;1;1;1;1;;, 1;1;1;1;1;;; } }\n", "2 vertex colours for 3 vertices"},
        {head + tri + " MeshVertexColors { 3; 0;1;1;1;1;;, 1;1;1;1;1;;, 5;1;1;1;1;;; } }\n",
         "vertex colour 2 is for vertex 5 of 3"},
        {head + quads + " MeshMaterialList { 1; 3; 0,0,0;; " + mat + " } }\n", "3 material indices for 2 faces"},
        {head + quads + " MeshMaterialList { 1; 2; 0,1;; " + mat + " } }\n", "material index 1 of 1"},
        {head + quads + " MeshMaterialList { 2; 2; 0,1;; " + mat + " } }\n", "declares 2 materials and holds 1"},
        {head + tri + " SkinWeights { \"Bone\"; 1; 7; 1.0; 1;0;0;0; 0;1;0;0; 0;0;1;0; 0;0;0;1;; } }\n",
         "skin weight 0 is for vertex 7 of 3"},
    };
    for (const Case& c : cases) {
        std::string why;
        EXPECT_FALSE(Prescan(c.text, &why)) << c.text;
        EXPECT_NE(why.find("corrupt .X file: "), std::string::npos) << why;
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
        XMeshData m;
        why.clear();
        EXPECT_FALSE(ReadXFile(reinterpret_cast<const uint8_t*>(c.text.data()), c.text.size(), m, &why));
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    }
}

// Text the importer reads differently from a plain walk (an open quote, a
// comment that ends at a carriage return, a mesh named by a quoted string,
// a brace inside a template, a decimal comma, a number too long to read
// whole) used to pass unchecked and let a vertex count of -1 through:
// 48 GB asked of the importer. Such files are refused.
TEST(XFilePrescan, TextThePrescanCannotFollowIsRefused)
{
    const std::string head = "xof 0303txt 0032\n";
    const std::string longMinusOne = "-" + std::string(70, '0') + "1";
    const std::string cases[] = {
        head + "Mesh{-1;\"",  // the 26-byte file
        head + "Mesh <{-1;",
        head + "Mesh{#\r-1;}",
        head + "Mesh \"a\"{-1;}",
        "xof 0303txt 0032 \"\nMesh{-1;}\"\n",
        head + "template T { <3D82AB44-62DA-11cf-AB39-0020AF71E433> { } Mesh{-1;} }",
        head + "Mesh{" + longMinusOne + ";}",
        head + "Mesh { 1; 0,5;0;0;; 1; 3;0,0,0;; }",
        head + "Mesh { 1; 1.#IND00;0;0;; 1; 3;0,0,0;; }",
        head + "Mesh { 1; nan;0;0;; 1; 3;0,0,0;; }",
        head + "Mesh { 1; 0;0;0;; 1; 3;0,0,0;; }}",
        head + "Frame { ; Mesh{-1;} }",
        head +
            "Mesh { 1; 0;0;0;; 1; 3;0,0,0;; MeshMaterialList { 1; 1; 0;; { M } } MeshMaterialList { 1; 1; 0;; { M } } "
            "}",
        std::string("xof 0303txt 0032\nMesh\0{-1;}", 27),
        "xof 0303txt 005>\nMesh { 1; 0;0;0;; 1; 3;0,0,0;; }",
    };
    for (const std::string& text : cases) {
        std::string why;
        EXPECT_FALSE(Prescan(text, &why)) << text;
        EXPECT_NE(why.find("corrupt .X file: "), std::string::npos) << why;
    }
    EXPECT_EQ(cases[0].size(), 26u);
}

// Binary files: the importer takes numbers from its lists by a running
// count, so an empty list, values left over past an object's data or
// reals given in an integer list put it out of step with the file.
TEST(XFilePrescan, BinaryListsOutOfStepWithTheImporterAreRefused)
{
    auto word = [](std::string& s, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
    };
    auto list = [&](std::string& s, unsigned code, std::vector<uint32_t> values) {
        word(s, code, 2);
        word(s, uint32_t(values.size()), 4);
        for (uint32_t v : values) word(s, v, 4);
    };
    const uint32_t one = 0x3f800000;  // 1.0f
    auto mesh = [&](const std::string& before, std::vector<uint32_t> faces, unsigned vertexCode) {
        std::string s = "xof 0303bin 0032";
        word(s, 1, 2);
        word(s, 4, 4);
        s += "Mesh";
        word(s, 0x0a, 2);
        s += before;
        list(s, 6, {3});
        list(s, vertexCode, {0, 0, 0, one, 0, 0, 0, one, 0});
        list(s, 6, faces);
        word(s, 0x0b, 2);
        return s;
    };
    const std::string good = mesh("", {1, 3, 0, 1, 2}, 7);
    std::string why;
    EXPECT_TRUE(Prescan(good, &why)) << why;
    XMeshData m;
    EXPECT_TRUE(ReadXFile(reinterpret_cast<const uint8_t*>(good.data()), good.size(), m, &why)) << why;
    EXPECT_EQ(m.FaceCount(), 1u);

    std::string empty;
    list(empty, 6, {});
    const std::string cases[] = {
        mesh(empty, {1, 3, 0, 1, 2}, 7),   // an empty list: the importer's count runs below zero
        mesh("", {1, 3, 0, 1, 2, 10}, 7),  // a value left over, read as the next token
        mesh("", {1, 3, 0, 1, 2}, 6),      // the vertices as integers
        mesh("", {1, 3, 0, 1, 3}, 7),      // a face past the vertices
    };
    for (const std::string& c : cases) {
        why.clear();
        EXPECT_FALSE(Prescan(c, &why));
        EXPECT_NE(why.find("corrupt .X file: "), std::string::npos) << why;
    }
}

// Compressed files hide their content from the pre-scan: refused, by name.
TEST(XFilePrescan, CompressedFilesAreRefused)
{
    for (const char* format : {"tzip", "bzip"}) {
        std::string text = std::string("xof 0303") + format + "0032" + std::string(40, '\0');
        std::string why;
        EXPECT_FALSE(Prescan(text, &why));
        EXPECT_NE(why.find("compressed"), std::string::npos) << why;
    }
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
