// Deletes the files named in a list (NUL-separated paths) and nothing else:
// the floor under any sweep that deletes the same files.
//
//   unlink_list LIST [THREADS]
//
// With THREADS, that many threads share the list by folder, each taking the
// next folder's run of names as the sweep's workers take the next folder: the
// floor under a sweep with that many workers, where the kernel's own cost of
// unlinks made at once (the journal, the locks) shows.

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// The list cut where the folder changes: each piece is one folder's names.
std::vector<std::vector<const char*>> ByFolder(const std::string& list) {
    std::vector<std::vector<const char*>> folders;
    std::string_view folder;
    for (size_t at = 0, end; at < list.size(); at = end + 1) {
        end = list.find('\0', at);
        if (end == std::string::npos) end = list.size();
        const std::string_view path(list.data() + at, end - at);
        const std::string_view parent = path.substr(0, path.rfind('/') + 1);
        if (folders.empty() || parent != folder) folders.emplace_back();
        folder = parent;
        folders.back().push_back(list.c_str() + at);
    }
    return folders;
}

}  // namespace

int main(int argc, char** argv) {
    const int threads = argc == 3 ? std::atoi(argv[2]) : 1;
    if (argc < 2 || argc > 3 || threads < 1) {
        std::fprintf(stderr, "usage: %s LIST [THREADS]\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string list((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto folders = ByFolder(list);
    std::atomic<size_t> next{0}, deleted{0};
    auto work = [&] {
        for (size_t folder; (folder = next++) < folders.size();)
            for (const char* path : folders[folder]) deleted += unlink(path) == 0;
    };
    std::vector<std::thread> others;
    for (int i = 1; i < threads; ++i) others.emplace_back(work);
    work();
    for (auto& other : others) other.join();
    std::printf("%zu deleted\n", deleted.load());
    return 0;
}
