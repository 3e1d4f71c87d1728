// Drawing calls as bytes, for a drawing process that gets them through a
// socket one by one as they are made.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "plot/plotter.hpp"

namespace ruvela {

// The call as one message: which call it is, then its fields in order.
std::string encode_call(const PlotCall& call);

// The call of a message made by encode_call; nothing for bytes it did not make.
std::optional<PlotCall> decode_call(std::string_view message);

}  // namespace ruvela
