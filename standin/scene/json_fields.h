// Reading JSON documents whose every value must be checked: values are read
// through their key path ("objects[2].radius"), and what is wrong with one
// is thrown as a JsonError naming that path.
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "standin/scene/scene.h"

namespace vxs {

using Json = nlohmann::json;

struct JsonError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Arrays and objects nest at most this deep in a JSON file.
inline constexpr int kMaxJsonDepth = 1024;

// Parses a JSON document, refusing what the library would let pass: a key
// given twice in one object (the error names it) and nesting deeper than
// kMaxJsonDepth. Throws JsonError for those, Json::exception for bad syntax.
Json parseJson(std::string_view text);

// " (it holds a NUL byte)" for such a key, which would show as nothing
// odd; "" for any other.
std::string nulNote(std::string_view key);
// "path: what", or just "what" at the top.
[[noreturn]] void failAt(const std::string& path, const std::string& what);
std::string keyPath(const std::string& path, std::string_view key);
std::string indexPath(const std::string& path, std::size_t index);

// Checks of single values; `path` names the value in errors.
double numberAt(const Json& v, const std::string& path);  // finite
double positiveAt(const Json& v, const std::string& path);
int integerAt(const Json& v, const std::string& path, int lo, int hi);
std::string textAt(const Json& v, const std::string& path);
const Json& arrayAt(const Json& v, const std::string& path);
std::vector<float> floatsAt(const Json& v, const std::string& path, std::size_t count);
Vec3 tripleAt(const Json& v, const std::string& path);

// A JSON object whose keys are read one at a time, each with its default
// when absent. A key not named at construction is an error.
class Fields {
public:
    Fields(const Json& object, std::string path, std::vector<std::string_view> keys);

    const std::string& path() const { return path_; }
    std::string at(std::string_view key) const { return keyPath(path_, key); }
    const Json* find(std::string_view key) const;
    const Json& required(std::string_view key) const;

    double number(std::string_view key, double def) const;
    double positive(std::string_view key, double def) const;
    // A number in [lo, hi].
    double between(std::string_view key, double def, double lo, double hi) const;
    int integer(std::string_view key, int def, int lo, int hi) const;
    bool flag(std::string_view key, bool def) const;
    std::string text(std::string_view key, std::string def) const;
    Vec3 triple(std::string_view key, Vec3 def) const;

    // One of the names, as its value.
    template <class T>
    T choice(std::string_view key, T def, std::initializer_list<std::pair<const char*, T>> names) const {
        const Json* v = find(key);
        if (!v) return def;
        if (v->is_string())
            for (const auto& [name, value] : names)
                if (v->get_ref<const std::string&>() == name) return value;
        std::string list;
        for (const auto& n : names) list += (list.empty() ? "\"" : ", \"") + std::string(n.first) + "\"";
        failAt(at(key), "must be one of " + list);
    }

private:
    const Json& object_;
    std::string path_;
};

}  // namespace vxs
