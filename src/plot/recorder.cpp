#include "plot/recorder.hpp"

#include <array>
#include <charconv>
#include <string_view>

namespace ruvela {

namespace {

std::string arg_text(int value) {
    return std::to_string(value);
}

std::string arg_text(float value) {
    std::array<char, 32> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    return std::string(buf.data(), res.ptr);
}

std::string arg_text(const std::string& value) {
    return "'" + value + "'";
}

template <typename... Args>
std::string text(std::string_view name, const Args&... args) {
    std::string out(name);
    ((out += ' ', out += arg_text(args)), ...);
    return out;
}

// One case per call: a call without one does not compile.
struct call_text {
    std::string operator()(const call::Sdev& c) const { return text("sdev", c.device); }
    std::string operator()(const call::Scol0& c) const {
        return text("scol0", c.index, c.red, c.green, c.blue);
    }
    std::string operator()(const call::Scolbg& c) const {
        return text("scolbg", c.red, c.green, c.blue);
    }
    std::string operator()(const call::Init&) const { return text("init"); }
    std::string operator()(const call::Fontld& c) const { return text("fontld", c.set); }
    std::string operator()(const call::Font& c) const { return text("font", c.font); }
    std::string operator()(const call::Ssub& c) const { return text("ssub", c.columns, c.rows); }
    std::string operator()(const call::Adv& c) const { return text("adv", c.page); }
    std::string operator()(const call::Vpor& c) const {
        return text("vpor", c.xmin, c.xmax, c.ymin, c.ymax);
    }
    std::string operator()(const call::Wind& c) const {
        return text("wind", c.xmin, c.xmax, c.ymin, c.ymax);
    }
    std::string operator()(const call::Col0& c) const { return text("col0", c.index); }
    std::string operator()(const call::Axes& c) const {
        return text("axes", c.x0, c.y0, c.xopt, c.xtick, c.nxsub, c.yopt, c.ytick, c.nysub);
    }
    std::string operator()(const call::Lab& c) const {
        return text("lab", c.xlabel, c.ylabel, c.title);
    }
    std::string operator()(const call::Lsty& c) const { return text("lsty", c.style); }
    std::string operator()(const call::Width& c) const { return text("width", c.width); }
    std::string operator()(const call::Line& c) const { return text("line", c.n); }
    std::string operator()(const call::Mtex& c) const {
        return text("mtex", c.side, c.disp, c.pos, c.just, c.text);
    }
    std::string operator()(const call::Sfnam& c) const { return text("sfnam", c.file_name); }
    std::string operator()(const call::End&) const { return text("end"); }
    std::string operator()(const call::Scmap0n& c) const { return text("scmap0n", c.colors); }
    std::string operator()(const call::Fill& c) const { return text("fill", c.n); }
};

}  // namespace

std::string describe(const PlotCall& call) {
    return std::visit(call_text{}, call);
}

std::vector<std::string> PlotRecorder::described() const {
    std::vector<std::string> out;
    for (const auto& call : calls) out.push_back(describe(call));
    return out;
}

}  // namespace ruvela
