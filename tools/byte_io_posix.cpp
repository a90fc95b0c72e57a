#include "byte_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif
#include <unistd.h>

namespace zandor::tools {
namespace {

int open_failed(int& error) {
    error = errno;
    return -1;
}

} // namespace

std::vector<Argument> arguments(int argc, char** argv) {
    std::vector<Argument> all;
    for (int i = 1; i < argc; ++i)
        all.push_back({argv[i], argv[i]});
    return all;
}

void prepare_standard_streams() {}

void keep_memory_private() {
#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
#endif
}

int open_input(const std::string& path, int& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status = {};
    if (fd >= 0 && ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(fd);
        errno = EISDIR;
        return open_failed(error);
    }
    if (fd < 0)
        return open_failed(error);
    return fd;
}

void close_input(int fd) {
    ::close(fd);
}

long read_some(int fd, char* buffer, std::size_t size, int& error) {
    for (;;) {
        const ssize_t got = ::read(fd, buffer, size);
        if (got >= 0)
            return static_cast<long>(got);
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            // A non-blocking input with nothing yet: wait for it rather than give up.
            pollfd wanted{fd, POLLIN, 0};
            ::poll(&wanted, 1, -1);
        } else if (errno != EINTR) {
            error = errno;
            return -1;
        }
    }
}

bool would_wait(int fd) {
    pollfd wanted{fd, POLLIN, 0};
    return ::poll(&wanted, 1, 0) == 0;
}

bool write_all(int fd, std::string_view bytes, int& error) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put >= 0) {
            bytes.remove_prefix(static_cast<std::size_t>(put));
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            // A non-blocking output that is full: wait until it takes more.
            pollfd wanted{fd, POLLOUT, 0};
            ::poll(&wanted, 1, -1);
        } else if (errno != EINTR) {
            error = errno;
            return false;
        }
    }
    return true;
}

void write_message(std::string_view utf8) {
    std::fprintf(stderr, "%.*s", static_cast<int>(utf8.size()), utf8.data());
}

bool is_terminal(int fd) {
    return ::isatty(fd) == 1;
}

} // namespace zandor::tools
