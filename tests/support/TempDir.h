#pragma once
// A fresh directory under the system's temporary folder, removed with all its
// contents when the object goes out of scope. Tests build real trees in it.

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

class TempDir {
public:
    TempDir() {
        std::random_device seed;
        std::mt19937_64 random(seed());
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        do root = base / ("vorn-test-" + std::to_string(random()));
        while (!std::filesystem::create_directory(root));
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(root, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(root, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return root; }
    // The directory with a trailing separator, as the program directory is given.
    std::string Dir() const { return (root / "").string(); }
    std::filesystem::path operator/(const std::string& name) const { return root / FromUtf8(name); }

    // Writes `bytes` to `name`, creating parent directories.
    std::filesystem::path Write(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path file = root / FromUtf8(name);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

    // Test texts are UTF-8; a narrow path text is not that on every system
    // (Windows takes it byte by byte).
    static std::filesystem::path FromUtf8(const std::string& text) {
        return std::u8string(text.begin(), text.end());
    }
    static std::string Utf8(const std::filesystem::path& path) {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    }

    // How many entries `dir` holds, those of its folders not counted.
    static std::ptrdiff_t EntriesIn(const std::filesystem::path& dir) {
        return std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator());
    }

    static std::string Read(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path root;
};
