// Meshes read from Wavefront OBJ files, with tinyobjloader.
#pragma once

#include <cstddef>
#include <string>

#include "standin/scene/scene.h"

namespace vxs {

// Larger files are refused before they are parsed.
inline constexpr std::size_t kMaxObjBytes = std::size_t{16} << 20;

// Reads every face of the file, whatever its group or object, into one mesh
// (materials and normals are ignored). The texture coordinates become a
// "TXUV" map named "uv", with per-polygon values where a point has different
// coordinates on different faces. False, with a one-line reason in `error`,
// when the file cannot be read or parsed, a face refers to a missing point or
// coordinate, or points plus face corners exceed `maxElements`.
bool readObjMesh(const std::string& path, std::size_t maxElements, Mesh& out, std::string& error);

}  // namespace vxs
