#include "sim/pty_server.h"

#include "sim/fd_port.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

void make_raw(int fd)
{
    termios t{};
    if (::tcgetattr(fd, &t) != 0) {
        throw std::runtime_error("cannot read the pseudo-terminal settings");
    }
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    ::tcsetattr(fd, TCSANOW, &t);
}

std::string link_target(const std::string& path)
{
    char target[PATH_MAX] = {};
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
    return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string();
}

void replace_link(const std::string& path, const std::string& target)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            throw std::runtime_error(path + " exists and is not a symbolic link");
        }
        ::unlink(path.c_str());
    }
    if (::symlink(target.c_str(), path.c_str()) != 0) {
        throw std::runtime_error("cannot create the link " + path);
    }
}

} // namespace

pty_server::pty_server(std::string link_path) : link_path_(std::move(link_path))
{
    master_.reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master_ || ::grantpt(master_.get()) != 0 || ::unlockpt(master_.get()) != 0) {
        throw std::runtime_error("cannot create a pseudo-terminal");
    }
    char name[128] = {};
    if (::ptsname_r(master_.get(), name, sizeof name) != 0) {
        throw std::runtime_error("cannot name the pseudo-terminal");
    }
    device_path_ = name;
    device_.reset(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!device_) {
        throw std::runtime_error("cannot open " + device_path_);
    }
    make_raw(device_.get());
    replace_link(link_path_, device_path_);
}

pty_server::~pty_server()
{
    if (link_target(link_path_) == device_path_) {
        ::unlink(link_path_.c_str());
    }
}

void pty_server::serve(sim_instrument& instrument, const fault_set& faults, transcript& log,
                       stop_signal& stop, int baud)
{
    const std::string who = "pty " + device_path_;
    fd_port port(master_.get(), false, baud, stop, device_.get());
    std::optional<sim_session> session;
    session.emplace(instrument, faults, log, who, stop);
    char buffer[4096];
    while (wait_readable(master_.get(), stop)) {
        const ssize_t n = ::read(master_.get(), buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EIO)) {
            stop.sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        if (n <= 0) {
            break;
        }
        if (!session->feed(std::string_view(buffer, static_cast<std::size_t>(n)), port)) {
            // A dropped serial line loses what was on its way; the port stays.
            ::tcflush(master_.get(), TCIOFLUSH);
            session.emplace(instrument, faults, log, who, stop);
        }
    }
}

} // namespace sim
