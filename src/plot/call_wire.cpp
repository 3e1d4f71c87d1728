#include "plot/call_wire.hpp"

#include <cstdint>
#include <cstring>
#include <tuple>
#include <vector>

namespace ruvela {

namespace {

// Each call's fields, in the order they travel: one list serves both ways.
auto fields(call::Sdev& c) {
    return std::tie(c.device);
}
auto fields(call::Scol0& c) {
    return std::tie(c.index, c.red, c.green, c.blue);
}
auto fields(call::Scolbg& c) {
    return std::tie(c.red, c.green, c.blue);
}
auto fields(call::Init&) {
    return std::tie();
}
auto fields(call::Fontld& c) {
    return std::tie(c.set);
}
auto fields(call::Font& c) {
    return std::tie(c.font);
}
auto fields(call::Ssub& c) {
    return std::tie(c.columns, c.rows);
}
auto fields(call::Adv& c) {
    return std::tie(c.page);
}
auto fields(call::Vpor& c) {
    return std::tie(c.xmin, c.xmax, c.ymin, c.ymax);
}
auto fields(call::Wind& c) {
    return std::tie(c.xmin, c.xmax, c.ymin, c.ymax);
}
auto fields(call::Col0& c) {
    return std::tie(c.index);
}
auto fields(call::Axes& c) {
    return std::tie(c.x0, c.y0, c.xopt, c.xtick, c.nxsub, c.yopt, c.ytick, c.nysub);
}
auto fields(call::Lab& c) {
    return std::tie(c.xlabel, c.ylabel, c.title);
}
auto fields(call::Lsty& c) {
    return std::tie(c.style);
}
auto fields(call::Width& c) {
    return std::tie(c.width);
}
auto fields(call::Line& c) {
    return std::tie(c.n, c.x, c.y);
}
auto fields(call::Mtex& c) {
    return std::tie(c.side, c.disp, c.pos, c.just, c.text);
}
auto fields(call::Sfnam& c) {
    return std::tie(c.file_name);
}
auto fields(call::End&) {
    return std::tie();
}
auto fields(call::Scmap0n& c) {
    return std::tie(c.colors);
}
auto fields(call::Fill& c) {
    return std::tie(c.n, c.x, c.y);
}

template <typename T>
void put_raw(std::string& out, const T& value) {
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    out.append(bytes, sizeof value);
}

void put(std::string& out, int value) {
    put_raw(out, static_cast<std::int32_t>(value));
}
void put(std::string& out, float value) {
    put_raw(out, value);
}
void put(std::string& out, const std::string& text) {
    put_raw(out, static_cast<std::uint32_t>(text.size()));
    out += text;
}
void put(std::string& out, const std::vector<float>& values) {
    put_raw(out, static_cast<std::uint32_t>(values.size()));
    out.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(float));
}

// Reads fields off the front of a message; a message too short leaves it failed.
struct Reader {
    std::string_view rest;
    bool failed = false;

    bool take(void* to, std::size_t size) {
        if (failed || rest.size() < size) return !(failed = true);
        std::memcpy(to, rest.data(), size);
        rest.remove_prefix(size);
        return true;
    }
    void get(int& value) {
        std::int32_t raw = 0;
        if (take(&raw, sizeof raw)) value = raw;
    }
    void get(float& value) { take(&value, sizeof value); }
    std::size_t length() {
        std::uint32_t size = 0;
        take(&size, sizeof size);
        return size;
    }
    void get(std::string& text) {
        const std::size_t size = length();
        if (failed || rest.size() < size) return void(failed = true);
        text.assign(rest.data(), size);
        rest.remove_prefix(size);
    }
    void get(std::vector<float>& values) {
        const std::size_t size = length();
        if (failed || rest.size() / sizeof(float) < size) return void(failed = true);
        values.resize(size);
        take(values.data(), size * sizeof(float));
    }
};

template <std::size_t I = 0>
std::optional<PlotCall> decode_as(std::size_t index, Reader& in) {
    if constexpr (I == std::variant_size_v<PlotCall>) {
        return std::nullopt;
    } else {
        if (index != I) return decode_as<I + 1>(index, in);
        std::variant_alternative_t<I, PlotCall> call{};
        std::apply([&](auto&... field) { (in.get(field), ...); }, fields(call));
        if (in.failed || !in.rest.empty()) return std::nullopt;
        return PlotCall(std::move(call));
    }
}

}  // namespace

std::string encode_call(const PlotCall& call) {
    std::string out(1, static_cast<char>(call.index()));
    std::visit(
        [&](const auto& c) {
            auto copy = c;  // fields() hands out references it may change
            std::apply([&](const auto&... field) { (put(out, field), ...); }, fields(copy));
        },
        call);
    return out;
}

std::optional<PlotCall> decode_call(std::string_view message) {
    if (message.empty()) return std::nullopt;
    Reader in{message.substr(1)};
    return decode_as(static_cast<unsigned char>(message[0]), in);
}

}  // namespace ruvela
