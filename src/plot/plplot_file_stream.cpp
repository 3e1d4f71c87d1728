#include "plot/plplot_file_stream.hpp"

#include <fcntl.h>
#include <plplot/plplot.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "plot/call_wire.hpp"
#include "plot/plplot_plotter.hpp"
#include "plot/plplot_replay.hpp"
#include "plot/png_pages.hpp"
#include "text/parent_only_descriptors.hpp"
#include "text/stops.hpp"

namespace ruvela {

namespace {

// No call comes near this; a larger length is no message of ours.
constexpr std::uint32_t longest_message = 1u << 28;

bool read_exact(int fd, void* to, std::size_t size) {
    auto* at = static_cast<char*>(to);
    while (size > 0) {
        const ssize_t n = ::read(fd, at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool write_exact(int fd, const void* from, std::size_t size) {
    const auto* at = static_cast<const char*>(from);
    while (size > 0) {
        const ssize_t n = ::write(fd, at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// --- the drawing process -------------------------------------------------

class DrawingProcess {
  public:
    explicit DrawingProcess(int socket) : socket_(socket) {}

    [[noreturn]] void serve() {
        for (std::string message; next_message(message);) {
            const std::optional<PlotCall> call = decode_call(message);
            if (!call) break;
            take(*call);
        }
        ::_exit(0);
    }

  private:
    bool next_message(std::string& message) {
        std::uint32_t size = 0;
        if (!read_exact(socket_, &size, sizeof size) || size > longest_message) return false;
        message.resize(size);
        return read_exact(socket_, message.data(), size);
    }

    void take(const PlotCall& call) {
        if (const auto* name = std::get_if<call::Sfnam>(&call)) return open(name->file_name);
        if (std::holds_alternative<call::End>(call)) return finish();
        if (skipping_) return;
        if (const auto* device = std::get_if<call::Sdev>(&call)) return choose(device->device);
        if (const auto* background = std::get_if<call::Scolbg>(&call))
            background_ = {background->red, background->green, background->blue};
        if (std::holds_alternative<call::Init>(call)) start_page_file();
        std::visit(replayer_, call);
    }

    void open(const std::string& temporary) {
        stream_ = plplot_replay::open_drawn_file(temporary, file_);
        skipping_ = stream_ == nullptr;
    }

    // The memory device draws a PNG page into image_, which is encoded here.
    void choose(const std::string& device) {
        in_memory_ = device == "memcairo";
        plsdev(device.c_str());
    }

    void start_page_file() {
        if (!in_memory_) return plsfile(stream_);
        // The memory device draws over the image it is given and paints no
        // background of its own.
        image_.resize(std::size_t{4} * png_page_width * png_page_height);
        for (std::size_t k = 0; k < image_.size(); k += 4) {
            image_[k] = static_cast<unsigned char>(background_[0]);
            image_[k + 1] = static_cast<unsigned char>(background_[1]);
            image_[k + 2] = static_cast<unsigned char>(background_[2]);
            image_[k + 3] = 255;
        }
        plsmema(png_page_width, png_page_height, image_.data());
    }

    void finish() {
        if (!skipping_) plend();
        if (!skipping_ && in_memory_) {
            const std::string png = encode_png_page(image_.data());
            std::fwrite(png.data(), 1, png.size(), stream_);
        }
        in_memory_ = false;
        const std::int32_t error = plplot_replay::close_drawn_file(stream_, file_);
        stream_ = nullptr;
        skipping_ = false;
        file_ = {};
        if (!write_exact(socket_, &error, sizeof error)) ::_exit(0);
    }

    int socket_;
    plplot_replay::DrawnFile file_;
    std::FILE* stream_ = nullptr;
    bool skipping_ = false;
    bool in_memory_ = false;
    std::array<int, 3> background_{255, 255, 255};
    std::vector<unsigned char> image_;
    std::string no_device_;
    plplot_replay::replay replayer_{no_device_};
};

std::string end_of(int status) {
    if (WIFEXITED(status))
        return "the plotting library stopped with status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "the plotting library ended with signal " + std::to_string(WTERMSIG(status));
    return "the plotting library ended abnormally";
}

bool offered(const std::vector<std::string>& devices, std::string_view name) {
    return std::find(devices.begin(), devices.end(), name) != devices.end();
}

}  // namespace

PlplotFileStream::PlplotFileStream(std::chrono::seconds stall_limit)
    : stall_limit_(stall_limit), devices_(plplot_devices()) {}

PlplotFileStream::~PlplotFileStream() {
    discard(temp_);
    stop_process();
}

void PlplotFileStream::record(PlotCall call) {
    if (const auto* name = std::get_if<call::Sfnam>(&call)) return start_file(name->file_name);
    if (target_.empty()) return;
    if (auto* device = std::get_if<call::Sdev>(&call)) {
        device->device = file_device_for(target_, devices_);
        // PNG pages drawn into memory and encoded by us: the library's own
        // PNG writer takes most of a page's time.
        if (device->device == "pngcairo" && offered(devices_, "memcairo"))
            device->device = "memcairo";
        if (!offered(devices_, device->device))
            fail("the plot device " + device->device + " is not available");
    }
    const bool file_ends = std::holds_alternative<call::End>(call);
    send(call);
    if (file_ends) finish_file();
}

void PlplotFileStream::start_file(const std::string& target) {
    discard(temp_);
    target_ = target;
    temp_ = create_temporary_beside(target);
    temp_size_ = 0;
    send(call::Sfnam{temp_.path});
}

void PlplotFileStream::start_process() {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        fail(std::string("cannot start the drawing: ") + std::strerror(errno));
    // The child must not write out a copy of what is still buffered.
    std::cout.flush();
    std::fflush(nullptr);
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(ends[0]);
        ::close(ends[1]);
        fail(std::string("cannot start the drawing: ") + std::strerror(errno));
    }
    if (child == 0) {
        ::close(ends[0]);
        close_parent_only_descriptors();
        // The drawing ends with the run, however the run ends.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(0);
        // The library must not read the run's standard input.
        const int null_fd = ::open("/dev/null", O_RDONLY);
        if (null_fd >= 0) ::dup2(null_fd, STDIN_FILENO);
        DrawingProcess(ends[1]).serve();
    }
    ::close(ends[1]);
    child_ = child;
    socket_ = ends[0];
}

void PlplotFileStream::stop_process() {
    if (child_ < 0) return;
    // A file left unfinished is not waited for.
    if (!target_.empty()) ::kill(child_, SIGKILL);
    ::close(socket_);
    int status = 0;
    while (::waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
    socket_ = -1;
}

// How the drawing process ended, once it has gone.
std::string PlplotFileStream::process_end() {
    ::close(socket_);
    int status = 0;
    pid_t done;
    while ((done = ::waitpid(child_, &status, 0)) < 0 && errno == EINTR) {
    }
    child_ = -1;
    socket_ = -1;
    return done < 0 ? "the drawing process was lost" : end_of(status);
}

// The file growing is progress as much as calls taken.
bool PlplotFileStream::progress_seen() {
    struct stat info {};
    if (temp_.path.empty() || ::stat(temp_.path.c_str(), &info) != 0) return false;
    if (info.st_size == temp_size_) return false;
    temp_size_ = info.st_size;
    return true;
}

void PlplotFileStream::send(const PlotCall& call) {
    if (child_ < 0) start_process();
    const std::string message = encode_call(call);
    std::string frame(sizeof(std::uint32_t), '\0');
    const auto size = static_cast<std::uint32_t>(message.size());
    std::memcpy(frame.data(), &size, sizeof size);
    frame += message;
    std::size_t done = 0;
    auto last_progress = std::chrono::steady_clock::now();
    while (done < frame.size()) {
        pollfd ready{socket_, POLLOUT, 0};
        const int polled = ::poll(&ready, 1, 1000);
        if (polled < 0 && errno != EINTR) fail(std::string("poll: ") + std::strerror(errno));
        if (polled > 0) {
            const ssize_t n = ::send(socket_, frame.data() + done, frame.size() - done,
                                     MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                last_progress = std::chrono::steady_clock::now();
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            fail(process_end());
        }
        if (progress_seen()) last_progress = std::chrono::steady_clock::now();
        if (std::chrono::steady_clock::now() - last_progress > stall_limit_)
            fail("the plotting library made no progress for " +
                 std::to_string(stall_limit_.count()) + " s and was stopped");
    }
}

void PlplotFileStream::finish_file() {
    std::int32_t error = 0;
    auto last_progress = std::chrono::steady_clock::now();
    for (;;) {
        pollfd ready{socket_, POLLIN, 0};
        const int polled = ::poll(&ready, 1, 1000);
        if (polled < 0 && errno != EINTR) fail(std::string("poll: ") + std::strerror(errno));
        if (polled > 0) {
            if (!read_exact(socket_, &error, sizeof error)) fail(process_end());
            break;
        }
        if (progress_seen()) last_progress = std::chrono::steady_clock::now();
        if (std::chrono::steady_clock::now() - last_progress > stall_limit_)
            fail("the plotting library made no progress for " +
                 std::to_string(stall_limit_.count()) + " s and was stopped");
    }
    if (error != 0) fail(std::strerror(error));
    try {
        rename_into_place(temp_, target_);
    } catch (const FileFailure&) {
        discard(temp_);
        target_.clear();
        throw;
    }
    target_.clear();
}

void PlplotFileStream::fail(const std::string& reason) {
    const std::string target = target_;
    discard(temp_);
    stop_process();
    target_.clear();
    if (target.empty()) throw FileFailure("cannot draw the plots: " + reason);
    throw FileFailure("cannot write file " + target + ": " + reason);
}

}  // namespace ruvela
