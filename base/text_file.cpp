#include "base/text_file.h"

#include <cerrno>
#include <fcntl.h>
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
                          const std::function<bool(const std::string& temporary)>& write)
{
    mode_t mode = 0;
    if (path.empty() || !target_mode(path, mode))
        return false;
    // A short name, so any name the folder takes leaves room for it.
    std::string temporary = folder_of(path) + "/.t2XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    const bool prepared = ::fchmod(fd, mode) == 0;
    ::close(fd);
    if (prepared && write(temporary) && std::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    std::remove(temporary.c_str());
    return false;
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
