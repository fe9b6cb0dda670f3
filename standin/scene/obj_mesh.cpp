#include "standin/scene/obj_mesh.h"

#include "standin/streams/files.h"
#include "standin/scene/primitives.h"

#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>

namespace vxs {

namespace {
std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }
}  // namespace

bool readObjMesh(const std::string& path, std::size_t maxElements, Mesh& out, std::string& error) {
    std::string text;
    if (!readFile(path, text, error)) return false;
    if (text.size() > kMaxObjBytes) {
        error = "larger than " + std::to_string(kMaxObjBytes >> 20) + " MiB";
        return false;
    }
    tinyobj::ObjReaderConfig config;
    config.triangulate = false;
    config.vertex_color = false;
    tinyobj::ObjReader reader;
    if (!reader.ParseFromString(text, "", config)) {
        error = "not a readable OBJ file: " + firstLine(reader.Error());
        return false;
    }
    text.clear();
    const tinyobj::attrib_t& attrib = reader.GetAttrib();
    const std::size_t pointCount = attrib.vertices.size() / 3, uvCount = attrib.texcoords.size() / 2;
    std::size_t corners = 0;
    for (const tinyobj::shape_t& shape : reader.GetShapes()) corners += shape.mesh.indices.size();
    // The reader skips lines it does not know, so any text passes it.
    if (corners == 0) {
        error = "not a readable OBJ file: it holds no faces";
        return false;
    }
    if (pointCount + corners > maxElements) {
        error = "more than " + std::to_string(maxElements) + " points and face corners";
        return false;
    }

    Mesh mesh;
    mesh.points.reserve(pointCount);
    for (std::size_t i = 0; i < pointCount; ++i)
        mesh.points.push_back({attrib.vertices[3 * i], attrib.vertices[3 * i + 1], attrib.vertices[3 * i + 2]});
    VertexMap uv;
    uv.type = HOST_VMAP_TXUV;
    uv.name = kPrimitiveUVMap;
    uv.dimension = 2;
    for (const tinyobj::shape_t& shape : reader.GetShapes()) {
        const auto& indices = shape.mesh.indices;
        std::size_t next = 0;
        for (const unsigned char count : shape.mesh.num_face_vertices) {
            // The reader counts a face's vertices in a byte, so longer faces
            // leave the counts short of the indices.
            if (next + count > indices.size()) break;
            const HostID polygon = HostID(mesh.polygons.size() + 1);
            std::vector<HostID>& face = mesh.polygons.emplace_back();
            for (std::size_t k = next; k < next + count; ++k) {
                const tinyobj::index_t& index = indices[k];
                if (index.vertex_index < 0 || std::size_t(index.vertex_index) >= pointCount ||
                    index.texcoord_index >= int(uvCount) || index.texcoord_index < -1) {
                    error = "face " + std::to_string(polygon) + " refers to a point or texture coordinate "
                            "the file does not have";
                    return false;
                }
                const HostID point = HostID(index.vertex_index + 1);
                face.push_back(point);
                if (index.texcoord_index >= 0) {
                    const std::size_t t = std::size_t(index.texcoord_index);
                    setCornerValue(uv, point, polygon, {attrib.texcoords[2 * t], attrib.texcoords[2 * t + 1]});
                }
            }
            next += count;
        }
        if (next != indices.size()) {
            error = "a face has more than 255 vertices";
            return false;
        }
    }
    if (!uv.points.empty()) mesh.maps.push_back(std::move(uv));
    out = std::move(mesh);
    return true;
}

}  // namespace vxs
