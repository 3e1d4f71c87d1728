#include "plot/plplot_plotter.hpp"

#include <fcntl.h>
#include <plplot/plplot.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <thread>

#include "plot/plplot_replay.hpp"
#include "plot/recorder.hpp"
#include "plot/settings.hpp"
#include "text/fixed_text.hpp"
#include "text/parent_only_descriptors.hpp"
#include "text/stops.hpp"

namespace ruvela {

namespace {

bool offered(const std::vector<std::string>& devices, std::string_view name) {
    return std::find(devices.begin(), devices.end(), name) != devices.end();
}

bool needs_x11_display(std::string_view device) {
    return device == "xwin" || device == "xcairo";
}

// Devices that show a window wait for the user at the end of a page; the
// others finish by themselves.
bool interactive(std::string_view device) {
    return needs_x11_display(device) || device == "qtwidget" || device == "wxwidgets" ||
           device == "tk";
}

bool has_display(const char* display) {
    return display != nullptr && display[0] != '\0';
}

// --- the drawing process -------------------------------------------------

// Draws and tells the parent through `report` the first write error of the
// file drawn into (0 when it was written whole, or there is none).
[[noreturn]] void draw_and_exit(const std::vector<PlotCall>& calls, const std::string& device,
                                const std::string& file_name, int report) {
    // The library must not read the answers meant for the menus.
    const int null_fd = ::open("/dev/null", O_RDONLY);
    if (null_fd >= 0) ::dup2(null_fd, STDIN_FILENO);
    plplot_replay::DrawnFile file;
    std::FILE* stream = nullptr;
    if (!file_name.empty()) {
        stream = plplot_replay::open_drawn_file(file_name, file);
        if (stream == nullptr) {
            (void)!::write(report, &file.error, sizeof file.error);
            ::_exit(0);
        }
        plsfile(stream);
    }
    plplot_replay::replay replayer(device);
    for (const auto& call : calls) std::visit(replayer, call);
    const int error = plplot_replay::close_drawn_file(stream, file);
    (void)!::write(report, &error, sizeof error);
    std::fflush(nullptr);
    ::_exit(0);
}

// A drawing that goes this long without writing to its file is taken for hung.
constexpr auto longest_stall = std::chrono::seconds(60);

long long size_of(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

// Waits for the drawing process; returns a problem, or empty when it drew.
// A drawing that keeps writing to `file` is never cut off.
std::string wait_for(pid_t child, bool may_wait_for_user, const std::string& file) {
    auto deadline = std::chrono::steady_clock::now() + longest_stall;
    long long size = size_of(file);
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(child, &status, may_wait_for_user ? 0 : WNOHANG);
        if (done == child) break;
        if (done < 0 && errno != EINTR)
            return std::string("waiting for it failed: ") + std::strerror(errno);
        if (may_wait_for_user) continue;
        if (const long long now = size_of(file); now != size) {
            size = now;
            deadline = std::chrono::steady_clock::now() + longest_stall;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return "the plotting library made no progress for " +
                   std::to_string(longest_stall.count()) + " s and was stopped";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {};
    if (WIFEXITED(status))
        return "the plotting library stopped with status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "the plotting library ended with signal " + std::to_string(WTERMSIG(status));
    return "the plotting library ended abnormally";
}

// What the drawing process reported of its file's writes.
int reported_error(int report) {
    int error = 0;
    return ::read(report, &error, sizeof error) == static_cast<ssize_t>(sizeof error) ? error : 0;
}

}  // namespace

std::string_view plplot_version() {
    return PLPLOT_VERSION;
}

std::vector<std::string> plplot_devices() {
    constexpr int room = 128;
    std::array<const char*, room> menu{};
    std::array<const char*, room> names{};
    const char** menu_ptr = menu.data();
    const char** names_ptr = names.data();
    int count = room;
    plgDevs(&menu_ptr, &names_ptr, &count);
    std::vector<std::string> devices;
    for (int k = 0; k < count && k < room; ++k)
        if (names[static_cast<std::size_t>(k)])
            devices.emplace_back(names[static_cast<std::size_t>(k)]);
    return devices;
}

std::string choose_screen_device(const char* ruvela_device, const char* display,
                                 const std::vector<std::string>& devices) {
    if (ruvela_device != nullptr && ruvela_device[0] != '\0') return ruvela_device;
    if (!has_display(display)) return {};
    return offered(devices, "xcairo") || !offered(devices, "xwin") ? "xcairo" : "xwin";
}

std::string file_device_for(std::string_view file_name, const std::vector<std::string>& devices) {
    if (ends_with_ignoring_case(file_name, ".png")) return "pngcairo";
    if (ends_with_ignoring_case(file_name, ".pdf")) return "pdfcairo";
    if (ends_with_ignoring_case(file_name, ".svg"))
        return offered(devices, "svg") ? "svg" : "svgcairo";
    return std::string(save_device);
}

PlplotPlotter::PlplotPlotter(std::ostream& messages, std::string screen_device)
    : messages_(messages), screen_device_(std::move(screen_device)), devices_(plplot_devices()) {}

PlplotPlotter PlplotPlotter::from_environment(std::ostream& messages, const std::string& device) {
    const char* chosen = device.empty() ? std::getenv("RUVELA_DEVICE") : device.c_str();
    return PlplotPlotter(messages,
                         choose_screen_device(chosen, std::getenv("DISPLAY"), plplot_devices()));
}

void PlplotPlotter::record(PlotCall call) {
    const bool drawing_ends = std::holds_alternative<call::End>(call);
    recording_.push_back(std::move(call));
    if (!drawing_ends) return;
    draw();
    recording_.clear();
}

// The latest file name given; a save whose drawing was skipped may have left
// an older one before it.
std::string PlplotPlotter::file_name() const {
    const auto names = calls_of<call::Sfnam>(recording_);
    return names.empty() ? std::string() : names.back().file_name;
}

std::string PlplotPlotter::device_for(std::string_view name) const {
    if (name == screen_device) return screen_device_;
    if (name == save_device) return file_device_for(file_name(), devices_);
    return std::string(name);
}

bool PlplotPlotter::ready(const std::string& device, const std::string& file_name) {
    if (device.empty()) {
        if (!told_no_display_)
            messages_ << " No display is available for plots on the screen; [s]ave writes the plot "
                         "to a file.\n";
        told_no_display_ = true;
        return false;
    }
    if (!offered(devices_, device)) {
        messages_ << " The plot device " << device << " is not available.\n";
        return false;
    }
    if (needs_x11_display(device) && !has_display(std::getenv("DISPLAY"))) {
        messages_ << " The plot device " << device << " needs a display, and none is available.\n";
        return false;
    }
    if (!file_name.empty()) {
        // Drawn under a temporary name and renamed when complete: a save that
        // fails leaves an earlier file of that name whole.
        if (const int error = try_create_temporary_beside(file_name, save_temp_)) {
            messages_ << " Can not create plot file " << file_name << ": " << std::strerror(error)
                      << '\n';
            return false;
        }
    }
    return true;
}

void PlplotPlotter::draw() {
    const auto devices = calls_of<call::Sdev>(recording_);
    if (devices.empty()) return;
    const std::string name = devices.front().device;
    const std::string device = device_for(name);
    const std::string file = name == save_device ? file_name() : std::string();
    if (!ready(device, file)) return;
    const std::string problem = draw_in_child(device, name == screen_device && interactive(device));
    if (file.empty()) {
        if (!problem.empty()) messages_ << " The plot could not be drawn: " << problem << ".\n";
        return;
    }
    if (!problem.empty()) {
        discard(save_temp_);
        messages_ << " The plot could not be saved in " << file << ": " << problem << ".\n";
        return;
    }
    try {
        rename_into_place(save_temp_, file);
    } catch (const FileFailure& failure) {
        discard(save_temp_);
        messages_ << " The plot could not be saved: " << failure.what() << ".\n";
    }
}

std::string PlplotPlotter::draw_in_child(const std::string& device, bool may_wait_for_user) {
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return std::strerror(errno);
    // The child must not write out a copy of what is still buffered.
    messages_.flush();
    std::cout.flush();
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return std::strerror(error);
    }
    if (child == 0) {
        ::close(report[0]);
        close_parent_only_descriptors();
        draw_and_exit(recording_, device, save_temp_.path, report[1]);
    }
    ::close(report[1]);
    std::string problem = wait_for(child, may_wait_for_user, save_temp_.path);
    const int error = reported_error(report[0]);
    ::close(report[0]);
    if (problem.empty() && error != 0) problem = std::strerror(error);
    return problem;
}

}  // namespace ruvela
