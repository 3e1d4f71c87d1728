// The input dialogue: which file pairs, what the companion files hold, their
// read format and the layout of the per-file tables.
#pragma once

#include <functional>

#include "run/store.hpp"
#include "text/console.hpp"

namespace ruvela {

// Runs the dialogue and sets the store's dialogue values. In list-file mode
// both list files are read completely here.
void input_dialogue(Store& store, Console& con);

// A numbered choice: the first character of one line as a digit; a blank,
// a sign or an empty line gives 0. Any other first character is not taken:
// a line says so and `ask` writes the question again.
int read_choice(Console& con, const std::function<void()>& ask);

}  // namespace ruvela
