// PNG pages encoded here rather than by the plotting library: its own PNG
// writer spends most of a page's time compressing as hard as it can, which
// a plot, mostly one colour, does not need.
#pragma once

#include <string>

namespace ruvela {

// The size of a PNG page, that of the library's own PNG device.
inline constexpr int png_page_width = 720;
inline constexpr int png_page_height = 540;

// An image of png_page_width x png_page_height pixels, four bytes each (red,
// green, blue, alpha, as the library's memory device draws them), as a PNG
// file of 8-bit RGB.
std::string encode_png_page(const unsigned char* rgba);

}  // namespace ruvela
