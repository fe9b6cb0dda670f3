#include "standin/cli/record_json.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "standin/scene/json_fields.h"

namespace vxs {

namespace {
enum class Shape { Pixel, Vector, Scalar };

struct Field {
    const char* key;
    Shape shape;
    double (HostShading::*vector)[3] = nullptr;
    double HostShading::*scalar = nullptr;
};

constexpr Field vec(const char* key, double (HostShading::*m)[3]) { return {key, Shape::Vector, m, nullptr}; }
constexpr Field num(const char* key, double HostShading::*m) { return {key, Shape::Scalar, nullptr, m}; }

// clang-format off
constexpr Field kFields[] = {
    {"pixel", Shape::Pixel},
    vec("object_position",        &HostShading::oPos),
    vec("world_position",         &HostShading::wPos),
    vec("geometric_normal",       &HostShading::gNorm),
    vec("normal",                 &HostShading::wNorm),
    vec("normal_before_bump",     &HostShading::wNorm0),
    vec("ray_source",             &HostShading::raySource),
    num("ray_length",             &HostShading::rayLength),
    num("cosine",                 &HostShading::cosine),
    num("spot_size",              &HostShading::spotSize),
    vec("base_color",             &HostShading::color),
    num("luminosity",             &HostShading::luminous),
    num("diffuse",                &HostShading::diffuse),
    num("specularity",            &HostShading::specular),
    num("reflectivity",           &HostShading::mirror),
    num("transparency",           &HostShading::transparency),
    num("refraction_index",       &HostShading::eta),
    num("roughness",              &HostShading::roughness),
    num("translucency",           &HostShading::translucency),
    num("color_highlights",       &HostShading::colorHL),
    num("color_filter",           &HostShading::colorFL),
    num("additive_transparency",  &HostShading::addTransp),
    num("diffuse_sharpness",      &HostShading::diffSharpness),
    num("reflection_blurring",    &HostShading::reflectionBlur),
    num("refraction_blurring",    &HostShading::refractionBlur),
    num("replacement_percentage", &HostShading::replacementPercentage),
    vec("replacement_color",      &HostShading::replacementColor),
    num("bump_height",            &HostShading::bumpHeight),
};
// clang-format on

const Field* findField(std::string_view key) {
    for (const Field& f : kFields)
        if (key == f.key) return &f;
    return nullptr;
}

bool isInt(const nlohmann::json& v) {
    if (!v.is_number_integer()) return false;
    if (v.is_number_unsigned()) return v.get<uint64_t>() <= uint64_t(std::numeric_limits<int>::max());
    const int64_t i = v.get<int64_t>();
    return i >= std::numeric_limits<int>::min() && i <= std::numeric_limits<int>::max();
}

// JSON has no non-finite numbers: they are the strings "nan", "inf" and
// "-inf", as the record is written.
bool readNumber(const nlohmann::json& v, double& out) {
    if (v.is_number()) {
        out = v.get<double>();
        return true;
    }
    if (!v.is_string()) return false;
    const std::string& s = v.get_ref<const std::string&>();
    const double inf = std::numeric_limits<double>::infinity();
    if (s == "nan") out = std::numeric_limits<double>::quiet_NaN();
    else if (s == "inf") out = inf;
    else if (s == "-inf") out = -inf;
    else return false;
    return true;
}

// False when `value` does not have the field's shape.
bool setField(const Field& f, const nlohmann::json& value, HostShading& sa) {
    switch (f.shape) {
        case Shape::Pixel:
            if (!value.is_array() || value.size() != 2 || !isInt(value[0]) || !isInt(value[1])) return false;
            sa.sx = value[0].get<int>();
            sa.sy = value[1].get<int>();
            return true;
        case Shape::Vector: {
            double v[3];
            if (!value.is_array() || value.size() != 3) return false;
            for (int i = 0; i < 3; ++i)
                if (!readNumber(value[i], v[i])) return false;
            std::copy(v, v + 3, sa.*f.vector);
            return true;
        }
        case Shape::Scalar:
            return readNumber(value, sa.*f.scalar);
    }
    return false;
}

bool setTarget(const std::string& key, const nlohmann::json& value, RecordTarget& target) {
    if (key == "object") {
        if (!value.is_string()) return false;
        target.object = value.get<std::string>();
        return true;
    }
    if (!isInt(value) || value.get<int>() < 1) return false;
    target.polygon = value.get<int>();
    return true;
}

const char* shapeText(Shape shape) {
    switch (shape) {
        case Shape::Pixel: return "an array of two integers";
        case Shape::Vector: return "an array of three numbers";
        case Shape::Scalar: return "a number";
    }
    return "";
}

void appendNumber(std::string& out, double v) {
    if (!std::isfinite(v)) {
        out += std::isnan(v) ? "\"nan\"" : v > 0 ? "\"inf\"" : "\"-inf\"";
        return;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    out += buf;
}
}  // namespace

bool readRecordJson(std::string_view text, HostShading& record, std::string& error, RecordTarget* target) {
    Json doc;
    try {
        doc = parseJson(text);
    } catch (const JsonError& e) {
        error = e.what();
        return false;
    } catch (const Json::exception&) {
        error = "not valid JSON";
        return false;
    }
    if (!doc.is_object()) {
        error = "not a JSON object";
        return false;
    }
    for (const auto& [key, value] : doc.items()) {
        if (key == "object" || key == "polygon") {
            if (!target) {
                error = "\"" + key + "\" needs a scene";
                return false;
            }
            if (!setTarget(key, value, *target)) {
                error = "\"" + key + "\" must be " + (key == "object" ? "a string" : "a positive integer");
                return false;
            }
            continue;
        }
        const Field* f = findField(key);
        if (!f) {
            error = "unknown key \"" + key + "\"" + nulNote(key);
            return false;
        }
        if (!setField(*f, value, record)) {
            error = "\"" + key + "\" must be " + shapeText(f->shape);
            return false;
        }
    }
    return true;
}

std::string recordJson(const HostShading& sa) {
    std::string out = "{";
    for (const Field& f : kFields) {
        if (out.size() > 1) out += ", ";
        out += '"';
        out += f.key;
        out += "\": ";
        switch (f.shape) {
            case Shape::Pixel:
                out += '[' + std::to_string(sa.sx) + ", " + std::to_string(sa.sy) + ']';
                break;
            case Shape::Vector:
                for (int i = 0; i < 3; ++i) {
                    out += i ? ", " : "[";
                    appendNumber(out, (sa.*f.vector)[i]);
                }
                out += ']';
                break;
            case Shape::Scalar:
                appendNumber(out, sa.*f.scalar);
                break;
        }
    }
    return out + "}";
}

}  // namespace vxs
