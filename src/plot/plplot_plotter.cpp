#include "plot/plplot_plotter.hpp"

#include <fcntl.h>
#include <plplot/plplot.h>
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

#include "plot/settings.hpp"

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

bool ends_with_ignoring_case(std::string_view name, std::string_view ending) {
    if (name.size() < ending.size()) return false;
    return std::equal(
        ending.begin(), ending.end(), name.end() - static_cast<std::ptrdiff_t>(ending.size()),
        [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

// --- the drawing process -------------------------------------------------

// The library loops over every tick it is given; more ticks than this on one
// axis are left to the library's own choice.
constexpr float most_major_ticks = 1000.0f;
constexpr int most_minor_ticks = 100;
constexpr int widest_pen = 50;

struct replay_state {
    float xmin = 0.0f, xmax = 1.0f, ymin = 0.0f, ymax = 1.0f;
};

float usable_tick(float tick, float from, float to) {
    const float ticks = std::fabs((to - from) / tick);
    return std::isfinite(ticks) && ticks <= most_major_ticks ? tick : 0.0f;
}

int usable_subdivisions(int n) {
    return n >= 0 && n <= most_minor_ticks ? n : 0;
}

int i(const plot_arg& a) {
    return std::get<int>(a);
}
PLFLT r(const plot_arg& a) {
    return static_cast<PLFLT>(std::get<float>(a));
}
float f(const plot_arg& a) {
    return std::get<float>(a);
}
const char* t(const plot_arg& a) {
    return std::get<std::string>(a).c_str();
}

void replay(const plot_call& c, const std::string& device, replay_state& st) {
    const auto& a = c.args;
    if (c.name == "sdev") {
        plsdev(device.c_str());
    } else if (c.name == "scol0") {
        plscol0(i(a[0]), i(a[1]), i(a[2]), i(a[3]));
    } else if (c.name == "scolbg") {
        plscolbg(i(a[0]), i(a[1]), i(a[2]));
    } else if (c.name == "init") {
        plinit();
    } else if (c.name == "fontld") {
        plfontld(i(a[0]));
    } else if (c.name == "font") {
        plfont(i(a[0]));
    } else if (c.name == "ssub") {
        plssub(i(a[0]), i(a[1]));
    } else if (c.name == "adv") {
        pladv(i(a[0]));
    } else if (c.name == "vpor") {
        plvpor(r(a[0]), r(a[1]), r(a[2]), r(a[3]));
    } else if (c.name == "wind") {
        st = {f(a[0]), f(a[1]), f(a[2]), f(a[3])};
        plwind(r(a[0]), r(a[1]), r(a[2]), r(a[3]));
    } else if (c.name == "col0") {
        plcol0(i(a[0]));
    } else if (c.name == "axes") {
        plaxes(r(a[0]), r(a[1]), t(a[2]), usable_tick(f(a[3]), st.xmin, st.xmax),
               usable_subdivisions(i(a[4])), t(a[5]), usable_tick(f(a[6]), st.ymin, st.ymax),
               usable_subdivisions(i(a[7])));
    } else if (c.name == "lab") {
        pllab(t(a[0]), t(a[1]), t(a[2]));
    } else if (c.name == "lsty") {
        pllsty(i(a[0]));
    } else if (c.name == "width") {
        plwidth(static_cast<PLFLT>(std::clamp(i(a[0]), 0, widest_pen)));
    } else if (c.name == "line") {
        std::vector<PLFLT> x(c.x.begin(), c.x.end()), y(c.y.begin(), c.y.end());
        plline(static_cast<PLINT>(std::min(x.size(), y.size())), x.data(), y.data());
    } else if (c.name == "mtex") {
        plmtex(t(a[0]), r(a[1]), r(a[2]), r(a[3]), t(a[4]));
    } else if (c.name == "end") {
        plend();
    }
}

[[noreturn]] void draw_and_exit(const std::vector<plot_call>& calls, const std::string& device,
                                const std::string& file_name) {
    // The library must not read the answers meant for the menus.
    const int null_fd = ::open("/dev/null", O_RDONLY);
    if (null_fd >= 0) ::dup2(null_fd, STDIN_FILENO);
    if (!file_name.empty()) plsfnam(file_name.c_str());
    replay_state st;
    for (const auto& call : calls) replay(call, device, st);
    std::fflush(nullptr);
    ::_exit(0);
}

constexpr auto longest_file_drawing = std::chrono::seconds(60);

// Waits for the drawing process; returns a problem, or empty when it drew.
std::string wait_for(pid_t child, bool may_wait_for_user) {
    const auto deadline = std::chrono::steady_clock::now() + longest_file_drawing;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(child, &status, may_wait_for_user ? 0 : WNOHANG);
        if (done == child) break;
        if (done < 0 && errno != EINTR)
            return std::string("waiting for it failed: ") + std::strerror(errno);
        if (!may_wait_for_user && std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return "the plotting library took too long and was stopped";
        }
        if (!may_wait_for_user) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {};
    if (WIFEXITED(status))
        return "the plotting library stopped with status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "the plotting library ended with signal " + std::to_string(WTERMSIG(status));
    return "the plotting library ended abnormally";
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

void PlplotPlotter::end() {
    PlotRecorder::end();
    draw();
    calls.clear();
}

// The latest file name given; a save whose drawing was skipped may have left
// an older one before it.
std::string PlplotPlotter::file_name() const {
    std::string name;
    for (const auto& call : calls)
        if (call.name == "sfnam") name = std::get<std::string>(call.args[0]);
    return name;
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
        std::FILE* file = std::fopen(file_name.c_str(), "wb");
        if (!file) {
            messages_ << " Can not create plot file " << file_name << ": " << std::strerror(errno)
                      << '\n';
            return false;
        }
        std::fclose(file);
    }
    return true;
}

void PlplotPlotter::draw() {
    const auto sdev = std::find_if(calls.begin(), calls.end(),
                                   [](const plot_call& c) { return c.name == "sdev"; });
    if (sdev == calls.end()) return;
    const std::string name = std::get<std::string>(sdev->args[0]);
    const std::string device = device_for(name);
    const std::string file = name == save_device ? file_name() : std::string();
    if (!ready(device, file)) return;

    // The child must not write out a copy of what is still buffered.
    messages_.flush();
    std::cout.flush();
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        messages_ << " The plot could not be drawn: " << std::strerror(errno) << '\n';
        return;
    }
    if (child == 0) draw_and_exit(calls, device, file);
    const std::string problem = wait_for(child, name == screen_device && interactive(device));
    if (!problem.empty()) messages_ << " The plot could not be drawn: " << problem << ".\n";
}

}  // namespace ruvela
