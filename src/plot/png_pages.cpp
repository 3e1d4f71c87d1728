#include "plot/png_pages.hpp"

#include <zlib.h>

#include <cstdint>
#include <string_view>

namespace ruvela {

namespace {

void put_u32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void put_chunk(std::string& out, std::string_view type, std::string_view data) {
    put_u32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t from = out.size();
    out.append(type);
    out.append(data);
    const auto* bytes = reinterpret_cast<const Bytef*>(out.data() + from);
    put_u32(out, static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(out.size() - from))));
}

// Each row after a filter byte 0 (none). A plot is mostly background: at
// zlib's fastest level it comes out within a few per cent of the size the
// library's adaptive row filters and full compression give, at a small part
// of their cost.
std::string rows_of(const unsigned char* rgba) {
    std::string rows;
    rows.reserve(static_cast<std::size_t>(png_page_height) * (png_page_width * 3 + 1));
    for (int y = 0; y < png_page_height; ++y) {
        rows += '\0';
        const unsigned char* pixel = rgba + static_cast<std::size_t>(y) * png_page_width * 4;
        for (int x = 0; x < png_page_width; ++x, pixel += 4)
            rows.append(reinterpret_cast<const char*>(pixel), 3);
    }
    return rows;
}

std::string compressed(const std::string& rows) {
    z_stream stream{};
    deflateInit2(&stream, 1, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(rows.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(rows.data()));
    stream.avail_in = static_cast<uInt>(rows.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

}  // namespace

std::string encode_png_page(const unsigned char* rgba) {
    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    put_u32(header, png_page_width);
    put_u32(header, png_page_height);
    header += std::string("\x08\x02\x00\x00\x00",
                          5);  // 8 bits, RGB, deflate, no filter choice, no interlace
    put_chunk(png, "IHDR", header);
    put_chunk(png, "IDAT", compressed(rows_of(rgba)));
    put_chunk(png, "IEND", "");
    return png;
}

}  // namespace ruvela
