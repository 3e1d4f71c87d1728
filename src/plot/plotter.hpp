// The narrow set of drawing calls a plot needs, named after the plotting
// library's routines without their "pl" prefix. Each call is a value, so
// that a drawing can be kept, compared and replayed as a whole.
#pragma once

#include <algorithm>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ruvela {

namespace call {
struct Sdev {
    std::string device;
};
struct Scol0 {
    int index, red, green, blue;
};
struct Scolbg {
    int red, green, blue;
};
struct Init {};
struct Fontld {
    int set;
};
struct Font {
    int font;
};
struct Ssub {
    int columns, rows;
};
struct Adv {
    int page;
};
struct Vpor {
    float xmin, xmax, ymin, ymax;
};
struct Wind {
    float xmin, xmax, ymin, ymax;
};
struct Col0 {
    int index;
};
struct Axes {
    float x0, y0;
    std::string xopt;
    float xtick;
    int nxsub;
    std::string yopt;
    float ytick;
    int nysub;
};
struct Lab {
    std::string xlabel, ylabel, title;
};
struct Lsty {
    int style;
};
struct Width {
    int width;
};
// The first n points: x and y hold no more than n values each.
struct Line {
    int n;
    std::vector<float> x, y;
};
struct Mtex {
    std::string side;
    float disp, pos, just;
    std::string text;
};
struct Sfnam {
    std::string file_name;
};
struct End {};
// The number of colours of the first colour map, which the menu's 16 fill.
struct Scmap0n {
    int colors;
};
// A polygon of the first n points, filled in the current colour.
struct Fill {
    int n;
    std::vector<float> x, y;
};
}  // namespace call

using PlotCall =
    std::variant<call::Sdev, call::Scol0, call::Scolbg, call::Init, call::Fontld, call::Font,
                 call::Ssub, call::Adv, call::Vpor, call::Wind, call::Col0, call::Axes, call::Lab,
                 call::Lsty, call::Width, call::Line, call::Mtex, call::Sfnam, call::End,
                 call::Scmap0n, call::Fill>;

class Plotter {
  public:
    virtual ~Plotter() = default;

    // Every call arrives here, in the order made.
    virtual void record(PlotCall call) = 0;

    void sdev(std::string_view device) { record(call::Sdev{std::string(device)}); }
    void scol0(int index, int red, int green, int blue) {
        record(call::Scol0{index, red, green, blue});
    }
    void scolbg(int red, int green, int blue) { record(call::Scolbg{red, green, blue}); }
    void init() { record(call::Init{}); }
    void fontld(int set) { record(call::Fontld{set}); }
    void font(int font) { record(call::Font{font}); }
    void ssub(int columns, int rows) { record(call::Ssub{columns, rows}); }
    void adv(int page) { record(call::Adv{page}); }
    void vpor(float xmin, float xmax, float ymin, float ymax) {
        record(call::Vpor{xmin, xmax, ymin, ymax});
    }
    void wind(float xmin, float xmax, float ymin, float ymax) {
        record(call::Wind{xmin, xmax, ymin, ymax});
    }
    void col0(int index) { record(call::Col0{index}); }
    void axes(float x0, float y0, std::string_view xopt, float xtick, int nxsub,
              std::string_view yopt, float ytick, int nysub) {
        record(
            call::Axes{x0, y0, std::string(xopt), xtick, nxsub, std::string(yopt), ytick, nysub});
    }
    void lab(std::string_view xlabel, std::string_view ylabel, std::string_view title) {
        record(call::Lab{std::string(xlabel), std::string(ylabel), std::string(title)});
    }
    void lsty(int style) { record(call::Lsty{style}); }
    void width(int width) { record(call::Width{width}); }
    // Draws the first `n` points; the spans hold at least n values each.
    void line(int n, std::span<const float> x, std::span<const float> y) {
        record(call::Line{n, first_points(x, n), first_points(y, n)});
    }
    void mtex(std::string_view side, float disp, float pos, float just, std::string_view text) {
        record(call::Mtex{std::string(side), disp, pos, just, std::string(text)});
    }
    void sfnam(std::string_view file_name) { record(call::Sfnam{std::string(file_name)}); }
    void end() { record(call::End{}); }
    void scmap0n(int colors) { record(call::Scmap0n{colors}); }
    // Fills the polygon of the first `n` points; the spans hold at least n values each.
    void fill(int n, std::span<const float> x, std::span<const float> y) {
        record(call::Fill{n, first_points(x, n), first_points(y, n)});
    }

  private:
    static std::vector<float> first_points(std::span<const float> values, int n) {
        const auto count = std::min(static_cast<std::size_t>(std::max(n, 0)), values.size());
        return {values.begin(), values.begin() + static_cast<std::ptrdiff_t>(count)};
    }
};

}  // namespace ruvela
