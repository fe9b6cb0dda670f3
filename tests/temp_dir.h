// A scratch folder for one test and the files the test puts in it.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace vxt {

// The whole file, or "" when it cannot be read.
inline std::string readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A fresh folder of its own, removed with all it holds when the object goes;
// a fixture may derive from it to reach its files by name.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "vx_test") {
        std::string name = (std::filesystem::temp_directory_path() / (prefix + "_XXXXXX")).string();
        if (!mkdtemp(name.data())) throw std::runtime_error("cannot make a folder like " + name);
        dir_ = name;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    // path("") is the folder with a trailing separator.
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    // Makes the folders the name holds; returns the file's full path.
    std::string write(const std::string& name, const std::string& content) const {
        const std::filesystem::path file = dir_ / name;
        std::error_code ignored;
        std::filesystem::create_directories(file.parent_path(), ignored);
        std::ofstream(file, std::ios::binary) << content;
        return file.string();
    }
    std::string read(const std::string& name) const { return readBytes(dir_ / name); }

private:
    std::filesystem::path dir_;
};

}  // namespace vxt
