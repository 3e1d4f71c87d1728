// The two editions built from one source.
#pragma once

#include <string_view>

namespace ruvela {

enum class Edition { v11 = 11, v12 = 12 };

// The program's own name, as the banner and the command line show it.
constexpr std::string_view program_name(Edition edition) {
    return edition == Edition::v11 ? "Ruvela_v11" : "Ruvela_v12";
}

}  // namespace ruvela
