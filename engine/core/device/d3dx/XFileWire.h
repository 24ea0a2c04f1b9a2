// The .X helper program's protocol, shared by the device layer and the
// helper. Over a stream socket, one request at a time:
//   request  8-byte length n, then n bytes of the .X file
//   reply    8-byte length m, then m bytes: 1 byte ok, then the mesh
//            (ok) or the reason (not ok)
// Lengths are in the host's byte order: both ends are the same machine.
#pragma once

#include "d3dx/XFileReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace d3dx {
namespace detail {

// The largest request or reply either end accepts.
constexpr uint64_t kXWireMaxBytes = uint64_t(1) << 32;

// Reply bytes for a parse that gave mesh (ok) or failed with why.
std::vector<uint8_t> EncodeXReply(bool ok, const XMeshData& mesh, const std::string& why);
// Reads a reply. False when the bytes are no reply or the mesh is not one a
// caller can index safely (indices and attributes in range); else ok and
// mesh or why as sent.
bool DecodeXReply(const std::vector<uint8_t>& bytes, bool& ok, XMeshData& mesh, std::string& why);

// Writes all n bytes (no SIGPIPE); false when the peer is gone.
bool SendAll(int fd, const void* p, size_t n);
// Reads n bytes, waiting at most until deadline (milliseconds of the
// monotonic clock, INT64_MAX: no limit); false on end of stream, error or
// time-out (*timedOut set).
bool ReceiveAll(int fd, void* p, size_t n, int64_t deadline, bool* timedOut);
int64_t MonotonicMs();

}  // namespace detail
}  // namespace d3dx
