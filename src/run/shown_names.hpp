// File names as the run's tables and messages show them.
#pragma once

#include "run/store.hpp"
#include "text/console.hpp"

namespace ruvela {

// A name with a line end, another control character or bytes that are not
// UTF-8 would break the records of the tables and the lines of the console:
// they show each such character as ? (shown_text), which the user hears
// once a run, in one warning naming the first such name of the job.
void tell_names_shown_otherwise(const Job& job, Console& con);

}  // namespace ruvela
