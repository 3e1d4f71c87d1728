#include "plot/recorder.hpp"

#include <algorithm>
#include <array>
#include <charconv>

namespace ruvela {

namespace {

std::string shortest(float value) {
    std::array<char, 32> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    return std::string(buf.data(), res.ptr);
}

struct arg_text {
    std::string operator()(int v) const { return std::to_string(v); }
    std::string operator()(float v) const { return shortest(v); }
    std::string operator()(const std::string& v) const { return "'" + v + "'"; }
};

}  // namespace

std::string describe(const plot_call& call) {
    std::string text = call.name;
    for (const auto& arg : call.args) text += ' ' + std::visit(arg_text{}, arg);
    return text;
}

std::vector<std::string> PlotRecorder::described() const {
    std::vector<std::string> out;
    for (const auto& call : calls) out.push_back(describe(call));
    return out;
}

void PlotRecorder::add(std::string name, std::vector<plot_arg> args) {
    calls.push_back(plot_call{std::move(name), std::move(args), {}, {}});
}

void PlotRecorder::sdev(std::string_view device) {
    add("sdev", {std::string(device)});
}
void PlotRecorder::scol0(int index, int red, int green, int blue) {
    add("scol0", {index, red, green, blue});
}
void PlotRecorder::scolbg(int red, int green, int blue) {
    add("scolbg", {red, green, blue});
}
void PlotRecorder::init() {
    add("init", {});
}
void PlotRecorder::fontld(int set) {
    add("fontld", {set});
}
void PlotRecorder::font(int font) {
    add("font", {font});
}
void PlotRecorder::ssub(int columns, int rows) {
    add("ssub", {columns, rows});
}
void PlotRecorder::adv(int page) {
    add("adv", {page});
}
void PlotRecorder::vpor(float xmin, float xmax, float ymin, float ymax) {
    add("vpor", {xmin, xmax, ymin, ymax});
}
void PlotRecorder::wind(float xmin, float xmax, float ymin, float ymax) {
    add("wind", {xmin, xmax, ymin, ymax});
}
void PlotRecorder::col0(int index) {
    add("col0", {index});
}

void PlotRecorder::axes(float x0, float y0, std::string_view xopt, float xtick, int nxsub,
                        std::string_view yopt, float ytick, int nysub) {
    add("axes", {x0, y0, std::string(xopt), xtick, nxsub, std::string(yopt), ytick, nysub});
}

void PlotRecorder::lab(std::string_view xlabel, std::string_view ylabel, std::string_view title) {
    add("lab", {std::string(xlabel), std::string(ylabel), std::string(title)});
}

void PlotRecorder::lsty(int style) {
    add("lsty", {style});
}
void PlotRecorder::width(int width) {
    add("width", {width});
}

void PlotRecorder::line(int n, std::span<const float> x, std::span<const float> y) {
    add("line", {n});
    const auto count = static_cast<std::size_t>(std::max(n, 0));
    calls.back().x.assign(x.begin(),
                          x.begin() + static_cast<std::ptrdiff_t>(std::min(count, x.size())));
    calls.back().y.assign(y.begin(),
                          y.begin() + static_cast<std::ptrdiff_t>(std::min(count, y.size())));
}

void PlotRecorder::mtex(std::string_view side, float disp, float pos, float just,
                        std::string_view text) {
    add("mtex", {std::string(side), disp, pos, just, std::string(text)});
}

void PlotRecorder::sfnam(std::string_view file_name) {
    add("sfnam", {std::string(file_name)});
}
void PlotRecorder::end() {
    add("end", {});
}

}  // namespace ruvela
