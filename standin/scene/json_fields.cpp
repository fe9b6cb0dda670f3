#include "standin/scene/json_fields.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace vxs {

Json parseJson(std::string_view text) {
    // The keys seen in each open object; arrays hold an empty set.
    std::vector<std::vector<std::string>> open;
    const Json::parser_callback_t check = [&](int, Json::parse_event_t event, Json& parsed) {
        using Event = Json::parse_event_t;
        if (event == Event::object_start || event == Event::array_start) {
            if (open.size() >= std::size_t(kMaxJsonDepth))
                throw JsonError("nested deeper than " + std::to_string(kMaxJsonDepth) + " levels");
            open.emplace_back();
        } else if (event == Event::object_end || event == Event::array_end) {
            open.pop_back();
        } else if (event == Event::key) {
            std::vector<std::string>& keys = open.back();
            const std::string& key = parsed.get_ref<const std::string&>();
            if (std::find(keys.begin(), keys.end(), key) != keys.end()) throw JsonError("duplicate key \"" + key + "\"" + nulNote(key));
            keys.push_back(key);
        }
        return true;
    };
    return Json::parse(text, check);
}

std::string nulNote(std::string_view key) {
    return key.find('\0') == std::string_view::npos ? "" : " (it holds a NUL byte)";
}

void failAt(const std::string& path, const std::string& what) {
    throw JsonError(path.empty() ? what : path + ": " + what);
}

std::string keyPath(const std::string& path, std::string_view key) {
    return path.empty() ? std::string(key) : path + "." + std::string(key);
}

std::string indexPath(const std::string& path, std::size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

double numberAt(const Json& v, const std::string& path) {
    if (!v.is_number()) failAt(path, "must be a number");
    const double d = v.get<double>();
    if (!std::isfinite(d)) failAt(path, "must be a finite number");
    return d;
}

double positiveAt(const Json& v, const std::string& path) {
    if (!v.is_number() || !(v.get<double>() > 0) || !std::isfinite(v.get<double>()))
        failAt(path, "must be a positive number");
    return v.get<double>();
}

int integerAt(const Json& v, const std::string& path, int lo, int hi) {
    bool ok = false;
    if (v.is_number_unsigned()) {
        const uint64_t u = v.get<uint64_t>();
        ok = u <= uint64_t(std::numeric_limits<int64_t>::max()) && int64_t(u) >= lo && int64_t(u) <= hi;
    } else if (v.is_number_integer()) {
        const int64_t i = v.get<int64_t>();
        ok = i >= lo && i <= hi;
    }
    if (!ok) failAt(path, "must be an integer from " + std::to_string(lo) + " to " + std::to_string(hi));
    return int(v.get<int64_t>());
}

std::string textAt(const Json& v, const std::string& path) {
    if (!v.is_string()) failAt(path, "must be a string");
    return v.get<std::string>();
}

const Json& arrayAt(const Json& v, const std::string& path) {
    if (!v.is_array()) failAt(path, "must be an array");
    return v;
}

std::vector<float> floatsAt(const Json& v, const std::string& path, std::size_t count) {
    const std::string shape = count == 1 ? "one number" : std::to_string(count) + " numbers";
    if (!v.is_array() || v.size() != count) failAt(path, "must be an array of " + shape);
    std::vector<float> out;
    for (std::size_t i = 0; i < count; ++i) out.push_back(float(numberAt(v[i], indexPath(path, i))));
    return out;
}

Vec3 tripleAt(const Json& v, const std::string& path) {
    if (!v.is_array() || v.size() != 3) failAt(path, "must be an array of three numbers");
    Vec3 out;
    for (std::size_t i = 0; i < 3; ++i) out[i] = numberAt(v[i], indexPath(path, i));
    return out;
}

Fields::Fields(const Json& object, std::string path, std::vector<std::string_view> keys)
    : object_(object), path_(std::move(path)) {
    if (!object.is_object()) failAt(path_, "must be an object");
    for (const auto& [key, value] : object.items())
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) failAt(at(key), "unknown key" + nulNote(key));
}

const Json* Fields::find(std::string_view key) const {
    const auto it = object_.find(key);
    return it == object_.end() ? nullptr : &*it;
}

const Json& Fields::required(std::string_view key) const {
    const Json* v = find(key);
    if (!v) failAt(at(key), "must be given");
    return *v;
}

double Fields::number(std::string_view key, double def) const {
    const Json* v = find(key);
    return v ? numberAt(*v, at(key)) : def;
}

double Fields::positive(std::string_view key, double def) const {
    const Json* v = find(key);
    return v ? positiveAt(*v, at(key)) : def;
}

double Fields::between(std::string_view key, double def, double lo, double hi) const {
    const Json* v = find(key);
    if (!v) return def;
    const double d = numberAt(*v, at(key));
    if (d < lo || d > hi) {
        char range[64];
        std::snprintf(range, sizeof range, "from %g to %g", lo, hi);
        failAt(at(key), std::string("must be a number ") + range);
    }
    return d;
}

int Fields::integer(std::string_view key, int def, int lo, int hi) const {
    const Json* v = find(key);
    return v ? integerAt(*v, at(key), lo, hi) : def;
}

bool Fields::flag(std::string_view key, bool def) const {
    const Json* v = find(key);
    if (!v) return def;
    if (!v->is_boolean()) failAt(at(key), "must be true or false");
    return v->get<bool>();
}

std::string Fields::text(std::string_view key, std::string def) const {
    const Json* v = find(key);
    return v ? textAt(*v, at(key)) : def;
}

Vec3 Fields::triple(std::string_view key, Vec3 def) const {
    const Json* v = find(key);
    return v ? tripleAt(*v, at(key)) : def;
}

}  // namespace vxs
