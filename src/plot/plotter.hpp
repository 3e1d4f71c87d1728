// The narrow set of drawing calls a plot needs, named after the plotting
// library's routines without their "pl" prefix.
#pragma once

#include <span>
#include <string_view>

namespace ruvela {

class Plotter {
  public:
    virtual ~Plotter() = default;

    virtual void sdev(std::string_view device) = 0;
    virtual void scol0(int index, int red, int green, int blue) = 0;
    virtual void scolbg(int red, int green, int blue) = 0;
    virtual void init() = 0;
    virtual void fontld(int set) = 0;
    virtual void font(int font) = 0;
    virtual void ssub(int columns, int rows) = 0;
    virtual void adv(int page) = 0;
    virtual void vpor(float xmin, float xmax, float ymin, float ymax) = 0;
    virtual void wind(float xmin, float xmax, float ymin, float ymax) = 0;
    virtual void col0(int index) = 0;
    virtual void axes(float x0, float y0, std::string_view xopt, float xtick, int nxsub,
                      std::string_view yopt, float ytick, int nysub) = 0;
    virtual void lab(std::string_view xlabel, std::string_view ylabel, std::string_view title) = 0;
    virtual void lsty(int style) = 0;
    virtual void width(int width) = 0;
    // Draws the first `n` points; the spans hold at least n values each.
    virtual void line(int n, std::span<const float> x, std::span<const float> y) = 0;
    virtual void mtex(std::string_view side, float disp, float pos, float just,
                      std::string_view text) = 0;
    virtual void sfnam(std::string_view file_name) = 0;
    virtual void end() = 0;
};

}  // namespace ruvela
