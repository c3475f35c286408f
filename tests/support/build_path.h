#pragma once
// The build's programs and the source tree's files, as the tests name them:
// relative to the build folder, which is found from the test program's own
// place (the nearest folder above it that holds CMakeCache.txt). No compiled
// test carries the checkout's path, so a build folder keeps working when its
// checkout moves and a compiler cache serves every checkout of the tree.
#include <climits>
#include <filesystem>
#include <string>
#include <unistd.h>

inline std::string tarvelo_built(const char* relative)
{
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::filesystem::path dir = n > 0 ? std::filesystem::path(std::string(self, n)).parent_path()
                                      : std::filesystem::current_path();
    for (auto up = dir; !up.empty(); up = up.parent_path()) {
        if (std::filesystem::exists(up / "CMakeCache.txt"))
            return (up / relative).lexically_normal().string();
        if (up == up.parent_path())
            break;
    }
    return (dir / relative).lexically_normal().string();
}
