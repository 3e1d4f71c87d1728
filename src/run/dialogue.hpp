// The input dialogue: which file pairs, what the companion files hold, their
// read format and the layout of the per-file tables.
#pragma once

#include <functional>

#include "run/store.hpp"
#include "text/console.hpp"

namespace ruvela {

// Runs the dialogue and returns the job it describes. In list-file mode the
// pairs of both list files are shown as they are taken.
Job input_dialogue(Console& con);

// Whether a numbered choice beginning with a sign reads as 0 (the dialogue's
// questions) or is asked again (the plot selection menu, where 0 would move
// on to the next pair).
enum class LeadingSign { reads_as_zero, asked_again };

// A numbered choice: the first character of one line as a digit; a blank or
// an empty line gives 0. Any other first character is not taken: a line says
// so and `ask` writes the question again.
int read_choice(Console& con, const std::function<void()>& ask,
                LeadingSign sign = LeadingSign::reads_as_zero);

}  // namespace ruvela
