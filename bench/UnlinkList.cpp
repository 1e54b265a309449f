// Deletes the files named in a list (NUL-separated paths) and nothing else:
// the floor under any sweep that deletes the same files.
//
//   unlink_list LIST

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s LIST\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string list((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t deleted = 0;
    for (size_t at = 0, end; at < list.size(); at = end + 1) {
        end = list.find('\0', at);
        if (end == std::string::npos) end = list.size();
        deleted += unlink(list.c_str() + at) == 0;
    }
    std::printf("%zu deleted\n", deleted);
    return 0;
}
