// Scenes read from JSON scene files (docs/scene-format.md).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "standin/scene/scene.h"

namespace vxs {

// What one scene may hold, so that a hostile file cannot take all memory.
inline constexpr std::size_t kMaxSceneBytes = std::size_t{16} << 20;
inline constexpr std::size_t kMaxSceneItems = 65536;
// Points, polygon corners and vertex-map values of all meshes together.
inline constexpr std::size_t kMaxSceneMeshElements = std::size_t{8} << 20;
inline constexpr std::size_t kMaxSceneImagePixels = std::size_t{32} << 20;
inline constexpr int kMaxFrameSize = 16384;
inline constexpr int kMaxRadiosityRays = 4096;  // per shaded point

// Replaces `out` with the scene of the file; OBJ, image and tree paths in it
// are relative to the file's directory. False, with a one-line reason in
// `error`, when the file cannot be read or is not a good scene; `out` is then
// unchanged. The reason names the key ("objects[2].radius: must be a positive
// number") and any other file that could not be read; the caller puts the
// scene file's path in front, as reportBadInput does.
bool loadSceneFile(const std::string& path, Scene& out, std::string& error);

// The same for scene text, with relative paths taken from `directory`.
bool readScene(std::string_view text, const std::string& directory, Scene& out, std::string& error);

}  // namespace vxs
