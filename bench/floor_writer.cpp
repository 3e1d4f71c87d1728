// The benchmark's floor: reads the job's input files and creates its output
// files, of given sizes, the way any program that must never leave a
// truncated table writes them, each under a temporary name in its folder,
// renamed into place once written. The floor thus pays what the program
// cannot avoid: one process start, as many bytes read, as many files, bytes,
// creations and renames written, and nothing else.
// Usage: floor_writer INPUT ... -- SIZE NAME [SIZE NAME ...]
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The program's block size: large writes cost the system least per byte.
constexpr std::size_t block = 1 << 18;
char zeros[block];

[[noreturn]] void fail(const std::string& what) {
    std::perror(what.c_str());
    std::exit(1);
}

char buffer[block];

// Reads a file to its end, as cat to /dev/null would, and keeps nothing.
void read_file(const char* name) {
    const int fd = ::open(name, O_RDONLY);
    if (fd < 0) fail(name);
    for (;;) {
        const ssize_t got = ::read(fd, buffer, block);
        if (got < 0) fail(name);
        if (got == 0) break;
    }
    ::close(fd);
}

void write_file(const std::string& name, unsigned long long size) {
    const std::string temp = name + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0) fail(temp);
    while (size > 0) {
        const std::size_t n = size < block ? static_cast<std::size_t>(size) : block;
        const ssize_t written = ::write(fd, zeros, n);
        if (written <= 0) fail(temp);
        size -= static_cast<unsigned long long>(written);
    }
    if (::close(fd) != 0) fail(temp);
    if (std::rename(temp.c_str(), name.c_str()) != 0) fail(name);
}

}  // namespace

int main(int argc, char** argv) {
    int i = 1;
    for (; i < argc && std::string(argv[i]) != "--"; ++i) read_file(argv[i]);
    if (i == argc || (argc - i) % 2 != 1) {
        std::fputs("usage: floor_writer INPUT ... -- SIZE NAME [SIZE NAME ...]\n", stderr);
        return 2;
    }
    for (++i; i + 1 < argc; i += 2)
        write_file(argv[i + 1], std::strtoull(argv[i], nullptr, 10));
    return 0;
}
