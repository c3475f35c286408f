// Files written through a temporary file and a rename: the target is
// replaced whole or not at all, keeps its permissions, and nothing is left
// beside it.

#include "base/text_file.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

TEST(FileWriteReplacing, ReplacesWholeOrLeavesTheTargetAsItWas)
{
    char pattern[] = "/tmp/tarvelo-file-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    const mode_t mask = ::umask(022);
    enum class target { none, file, folder, fifo };
    const struct {
        const char* what;
        target before;
        size_t name_length;
        bool write_succeeds;
        bool written;
    } cases[] = {
        {"new file", target::none, 8, true, true},
        {"existing file keeps its mode", target::file, 8, true, true},
        {"failed write keeps the file", target::file, 8, false, false},
        {"a folder is not replaced", target::folder, 8, true, false},
        {"a pipe is neither opened nor replaced", target::fifo, 8, true, false},
        {"longest name", target::none, 250, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir + "/" + std::string(c.name_length - 4, 'n') + ".txt";
        fs::remove_all(path);
        if (c.before == target::file) {
            std::ofstream(path) << "old";
            fs::permissions(path, fs::perms(0640));
        } else if (c.before == target::folder) {
            fs::create_directory(path);
        } else if (c.before == target::fifo) {
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        }
        const bool written = file_write_replacing(path, [&](const std::string& temporary) {
            std::ofstream(temporary, std::ios::binary) << "new";
            return c.write_succeeds;
        });
        EXPECT_EQ(written, c.written);
        if (c.before == target::none) {
            EXPECT_EQ(fs::exists(path), c.written);
        }
        if (c.before == target::file) {
            EXPECT_EQ(slurp(path), c.written ? "new" : "old");
            EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
        }
        if (c.before == target::none && c.written) {
            EXPECT_EQ(fs::status(path).permissions(), fs::perms(0644));
        }
        for (const auto& entry : fs::directory_iterator(dir))
            EXPECT_NE(entry.path().filename().string().rfind(".t2", 0), 0u) << "left behind";
    }
    ::umask(mask);
    fs::remove_all(dir);
}
