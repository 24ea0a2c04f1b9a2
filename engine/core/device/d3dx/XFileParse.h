// Parsing .X files in this process: a pre-scan that holds every count the
// file declares against the data that follows it, then the importer. The
// device layer runs these in its helper program (see XFileReader.h); the
// helper and the fuzz target call them directly.
#pragma once

#include "d3dx/XFileReader.h"

namespace d3dx {
namespace detail {

// False, with the reason in error, when a count in the file (vertices,
// faces, a face's indices, normals, texture coordinates, colours, material
// indices, weights, declaration data, animation keys, a binary list's
// length) needs more values than the file holds after it, so that no reader
// sizes its arrays from it. Compressed files, and text or binary it cannot
// follow, pass: the importer judges those.
bool PrescanXFile(const uint8_t* data, size_t size, std::string* error);

// The checks before any importer sees a file: long enough, the "xof "
// header, then the pre-scan. False with the reason in error.
bool AcceptXFile(const uint8_t* data, size_t size, std::string* error);

// The pre-scan, then the importer: the contract of ReadXFile, without a
// process of its own. Memory the importer cannot get ends the process.
bool ParseXFile(const uint8_t* data, size_t size, XMeshData& out, std::string* error);

}  // namespace detail
}  // namespace d3dx
