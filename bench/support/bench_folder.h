#pragma once
// A fresh folder under /tmp for one benchmark's files, removed after it.

#include <filesystem>
#include <string>
#include <unistd.h>

struct bench_folder {
    explicit bench_folder(const std::string& name = "tarvelo-bench")
    {
        std::string pattern = "/tmp/" + name + "-XXXXXX";
        path = ::mkdtemp(pattern.data());
    }
    ~bench_folder() { std::filesystem::remove_all(path); }
    bench_folder(const bench_folder&) = delete;
    bench_folder& operator=(const bench_folder&) = delete;
    std::string path;
};
