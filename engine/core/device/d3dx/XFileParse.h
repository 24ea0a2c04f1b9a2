// Parsing .X files in this process: a pre-scan that holds every count the
// file declares against the data that follows it, then the importer. The
// device layer runs these in its helper program (see XFileReader.h); the
// helper and the fuzz target call them directly.
#pragma once

#include "d3dx/XFileReader.h"

namespace d3dx {
namespace detail {

// False, with the reason in error, when the importer would size an array
// from a count the rest of the file cannot hold (vertices, faces, a face's
// indices, normals, texture coordinates, colours, material indices,
// weights, animation keys, a binary list's length) or follow an index past
// its array (a face's vertex, a normal face's normal or corners, a colour's
// vertex, a face's material, a weight's vertex), and for what it cannot
// follow as the importer would read it: compressed files, numbers, strings
// or names the importer reads differently, objects out of place.
bool PrescanXFile(const uint8_t* data, size_t size, std::string* error);

// The checks before any importer sees a file: long enough, the "xof "
// header, then the pre-scan. False with the reason in error.
bool AcceptXFile(const uint8_t* data, size_t size, std::string* error);

// The pre-scan, then the importer: the contract of ReadXFile, without a
// process of its own. Memory the importer cannot get ends the process.
bool ParseXFile(const uint8_t* data, size_t size, XMeshData& out, std::string* error);

}  // namespace detail
}  // namespace d3dx
