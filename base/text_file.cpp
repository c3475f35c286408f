#include "base/text_file.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string folder_of(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The mode the new file takes: the replaced file's, else what a plainly
// created file would get.
bool target_mode(const std::string& path, mode_t& mode)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
        return errno == ENOENT;
    }
    if (!S_ISREG(st.st_mode))
        return false;
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    mode = st.st_mode & 07777;
    return true;
}

// The temporaries are named ".t2" and six letters or digits.
constexpr const char* TEMPORARY_PATTERN = "/.t2XXXXXX";

bool is_temporary_name(const char* name)
{
    if (std::strncmp(name, ".t2", 3) != 0 || std::strlen(name) != 9)
        return false;
    for (const char* c = name + 3; *c; ++c)
        if (!std::isalnum(static_cast<unsigned char>(*c)))
            return false;
    return true;
}

bool earlier(const timespec& a, const timespec& b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// A writer that was killed may have left its named temporary behind; one of
// ours, last written before this write began, is removed.
void remove_stale_temporaries(const std::string& folder, const timespec& start)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st {};
        if (!is_temporary_name(entry->d_name) ||
            ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && earlier(st.st_mtim, start))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

// The file being written: without a name until it is whole where the file
// system allows (the writer opens it through /proc), else a named temporary.
struct temporary_file {
    int fd = -1;
    std::string path;  // what the writer opens
    std::string named; // its name in the folder, when it has one
};

bool open_temporary(const std::string& folder, mode_t mode, temporary_kind kind, temporary_file& t)
{
    if (kind == temporary_kind::unnamed_where_possible)
        t.fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (t.fd >= 0) {
        t.path = "/proc/self/fd/" + std::to_string(t.fd);
        if (::access(t.path.c_str(), W_OK) == 0)
            return ::fchmod(t.fd, mode) == 0;
        ::close(t.fd);
    }
    t.named = folder + TEMPORARY_PATTERN;
    t.fd = ::mkstemp(t.named.data());
    if (t.fd < 0)
        return false;
    t.path = t.named;
    return ::fchmod(t.fd, mode) == 0;
}

// Gives the unnamed file a temporary name of our pattern; the name appears
// only with the whole file behind it.
bool name_temporary(const std::string& folder, temporary_file& t)
{
    static const char LETTERS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = folder + "/.t2";
        for (int i = 0; i < 6; ++i)
            name += LETTERS[random() % (sizeof LETTERS - 1)];
        if (::linkat(AT_FDCWD, t.path.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            t.named = name;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// Puts the whole file at path: over what is there when replace, else only
// where nothing has the name.
bool publish(const std::string& folder, const std::string& path, bool replace, temporary_file& t)
{
    if (!replace && t.named.empty())
        return ::linkat(AT_FDCWD, t.path.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
    if (t.named.empty() && !name_temporary(folder, t))
        return false;
    if (replace)
        return std::rename(t.named.c_str(), path.c_str()) == 0;
    if (::renameat2(AT_FDCWD, t.named.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    return errno == EINVAL && ::link(t.named.c_str(), path.c_str()) == 0 &&
           ::unlink(t.named.c_str()) == 0;
}

bool write_through_temporary(const std::string& path, bool replace, temporary_kind kind,
                             const std::function<bool(const std::string& temporary)>& write)
{
    timespec start{};
    ::clock_gettime(CLOCK_REALTIME, &start);
    mode_t mode = 0;
    struct stat st {};
    if (path.empty() || !target_mode(path, mode) || (!replace && ::lstat(path.c_str(), &st) == 0))
        return false;
    const std::string folder = folder_of(path);
    remove_stale_temporaries(folder, start);
    temporary_file t;
    const bool written = open_temporary(folder, mode, kind, t) && write(t.path) &&
                         ::fsync(t.fd) == 0 && publish(folder, path, replace, t);
    if (t.fd >= 0)
        ::close(t.fd);
    if (!written && !t.named.empty())
        ::unlink(t.named.c_str());
    return written;
}

} // namespace

void text_file_write_crlf(FILE* file, const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    std::fwrite(out.data(), 1, out.size(), file);
}

bool file_write_replacing(const std::string& path,
                          const std::function<bool(const std::string& temporary)>& write,
                          temporary_kind kind)
{
    return write_through_temporary(path, true, kind, write);
}

bool file_write_new(const std::string& path,
                    const std::function<bool(const std::string& temporary)>& write)
{
    return write_through_temporary(path, false, temporary_kind::unnamed_where_possible, write);
}

bool file_put_bytes(const std::string& temporary, std::string_view bytes)
{
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

bool export_write_text_file(const std::string& path, const std::string& text)
{
    return file_write_replacing(path, [&text](const std::string& temporary) {
        FILE* file = std::fopen(temporary.c_str(), "wb");
        if (!file)
            return false;
        text_file_write_crlf(file, text);
        const bool written = std::fflush(file) == 0 && !std::ferror(file);
        return std::fclose(file) == 0 && written;
    });
}

std::string export_strip_extension(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path;
    return path.substr(0, dot);
}
