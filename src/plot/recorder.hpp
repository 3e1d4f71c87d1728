// A plotter that keeps every call with its values: the drawing as data, for
// the tests and for replaying it in the drawing process.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "plot/plotter.hpp"

namespace ruvela {

using plot_arg = std::variant<int, float, std::string>;

struct plot_call {
    std::string name;            // "sdev", "col0", ...
    std::vector<plot_arg> args;  // in the order of the call; a line's n only
    std::vector<float> x, y;     // a line's first n points
};

// "name arg arg ...": integers as written, reals in their shortest exact
// form, texts in single quotes.
std::string describe(const plot_call& call);

class PlotRecorder : public Plotter {
  public:
    void sdev(std::string_view device) override;
    void scol0(int index, int red, int green, int blue) override;
    void scolbg(int red, int green, int blue) override;
    void init() override;
    void fontld(int set) override;
    void font(int font) override;
    void ssub(int columns, int rows) override;
    void adv(int page) override;
    void vpor(float xmin, float xmax, float ymin, float ymax) override;
    void wind(float xmin, float xmax, float ymin, float ymax) override;
    void col0(int index) override;
    void axes(float x0, float y0, std::string_view xopt, float xtick, int nxsub,
              std::string_view yopt, float ytick, int nysub) override;
    void lab(std::string_view xlabel, std::string_view ylabel, std::string_view title) override;
    void lsty(int style) override;
    void width(int width) override;
    void line(int n, std::span<const float> x, std::span<const float> y) override;
    void mtex(std::string_view side, float disp, float pos, float just,
              std::string_view text) override;
    void sfnam(std::string_view file_name) override;
    void end() override;

    std::vector<plot_call> calls;

    // Every call described, in order.
    std::vector<std::string> described() const;

  private:
    void add(std::string name, std::vector<plot_arg> args);
};

}  // namespace ruvela
