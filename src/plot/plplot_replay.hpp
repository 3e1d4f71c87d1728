// Replaying recorded drawing calls on PLplot: what both drawing processes
// share, the one of a single drawing and the one a plot file streams to.
#pragma once

#include <fcntl.h>
#include <plplot/plplot.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "plot/plotter.hpp"

namespace ruvela::plplot_replay {

// The library loops over every tick it is given; more ticks than this on one
// axis are left to the library's own choice.
constexpr float most_major_ticks = 1000.0f;
constexpr int most_minor_ticks = 100;
constexpr int widest_pen = 50;
constexpr int most_colors = 256;

inline float usable_tick(float tick, float from, float to) {
    const float ticks = std::fabs((to - from) / tick);
    return std::isfinite(ticks) && ticks <= most_major_ticks ? tick : 0.0f;
}

inline int usable_subdivisions(int n) {
    return n >= 0 && n <= most_minor_ticks ? n : 0;
}

inline PLFLT r(float value) {
    return static_cast<PLFLT>(value);
}

// Replays one call; `device` stands for the device name recorded.
class replay {
  public:
    explicit replay(const std::string& device) : device_(device) {}

    void operator()(const call::Sdev&) { plsdev(device_.c_str()); }
    void operator()(const call::Scol0& c) { plscol0(c.index, c.red, c.green, c.blue); }
    void operator()(const call::Scolbg& c) { plscolbg(c.red, c.green, c.blue); }
    void operator()(const call::Init&) { plinit(); }
    void operator()(const call::Fontld& c) { plfontld(c.set); }
    void operator()(const call::Font& c) { plfont(c.font); }
    void operator()(const call::Ssub& c) { plssub(c.columns, c.rows); }
    void operator()(const call::Adv& c) { pladv(c.page); }
    void operator()(const call::Vpor& c) { plvpor(r(c.xmin), r(c.xmax), r(c.ymin), r(c.ymax)); }
    void operator()(const call::Wind& c) {
        window_ = c;
        plwind(r(c.xmin), r(c.xmax), r(c.ymin), r(c.ymax));
    }
    void operator()(const call::Col0& c) { plcol0(c.index); }
    void operator()(const call::Axes& c) {
        plaxes(r(c.x0), r(c.y0), c.xopt.c_str(), usable_tick(c.xtick, window_.xmin, window_.xmax),
               usable_subdivisions(c.nxsub), c.yopt.c_str(),
               usable_tick(c.ytick, window_.ymin, window_.ymax), usable_subdivisions(c.nysub));
    }
    void operator()(const call::Lab& c) {
        pllab(c.xlabel.c_str(), c.ylabel.c_str(), c.title.c_str());
    }
    void operator()(const call::Lsty& c) { pllsty(c.style); }
    void operator()(const call::Width& c) {
        plwidth(static_cast<PLFLT>(std::clamp(c.width, 0, widest_pen)));
    }
    void operator()(const call::Line& c) {
        std::vector<PLFLT> x(c.x.begin(), c.x.end()), y(c.y.begin(), c.y.end());
        plline(static_cast<PLINT>(std::min(x.size(), y.size())), x.data(), y.data());
    }
    void operator()(const call::Mtex& c) {
        plmtex(c.side.c_str(), r(c.disp), r(c.pos), r(c.just), c.text.c_str());
    }
    void operator()(const call::Sfnam&) {}  // given to the library before the first call
    void operator()(const call::End&) { plend(); }
    void operator()(const call::Scmap0n& c) { plscmap0n(std::clamp(c.colors, 16, most_colors)); }
    void operator()(const call::Fill& c) {
        std::vector<PLFLT> x(c.x.begin(), c.x.end()), y(c.y.begin(), c.y.end());
        const auto n = static_cast<PLINT>(std::min(x.size(), y.size()));
        if (n >= 3) plfill(n, x.data(), y.data());
    }

  private:
    const std::string& device_;
    call::Wind window_{0.0f, 1.0f, 0.0f, 1.0f};
};

// The file the library writes into, seen through a stream of our own: the
// library does not check its writes, so a full disk or a file-size limit is
// caught here and reported when the file is finished.
struct DrawnFile {
    int fd = -1;
    int error = 0;
    bool closed = true;
};

inline ssize_t drawn_file_write(void* cookie, const char* bytes, std::size_t size) {
    auto* file = static_cast<DrawnFile*>(cookie);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(file->fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (file->error == 0) file->error = n < 0 ? errno : ENOSPC;
            return -1;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(size);
}

inline int drawn_file_close(void* cookie) {
    auto* file = static_cast<DrawnFile*>(cookie);
    if (!file->closed && ::close(file->fd) != 0 && file->error == 0) file->error = errno;
    file->closed = true;
    return 0;
}

// Opens `path` for the library to draw into (plsfile before plinit). The
// file was made and noted by the parent: it is opened, never created, so a
// file the parent has already removed (a signal) stays removed. Null, with
// file.error set, when it cannot be opened.
inline std::FILE* open_drawn_file(const std::string& path, DrawnFile& file) {
    file = DrawnFile{::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC), 0, false};
    if (file.fd < 0) {
        file = DrawnFile{-1, errno, true};
        return nullptr;
    }
    std::FILE* stream =
        ::fopencookie(&file, "w", {nullptr, drawn_file_write, nullptr, drawn_file_close});
    if (stream == nullptr) {
        drawn_file_close(&file);
        file.error = ENOMEM;
        return nullptr;
    }
    return stream;
}

// After the library's end: closes the stream if the library has not, and
// gives the first write error, or 0.
inline int close_drawn_file(std::FILE* stream, DrawnFile& file) {
    if (!file.closed && stream != nullptr) std::fclose(stream);
    return file.error;
}

}  // namespace ruvela::plplot_replay
