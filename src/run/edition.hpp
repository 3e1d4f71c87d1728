// The two editions built from one source.
#pragma once

namespace ruvela {

enum class Edition { v11 = 11, v12 = 12 };

}  // namespace ruvela
