#include "run/shown_names.hpp"

#include <string>
#include <vector>

#include "run/warning_text.hpp"
#include "text/shown_text.hpp"

namespace ruvela {

void tell_names_shown_otherwise(const Job& job, Console& con) {
    std::vector<std::string> names{job.ring_list, job.companion_list};
    for (const FilePair& pair : job.pairs) {
        names.push_back(file_name_of(pair.ring_file));
        names.push_back(file_name_of(pair.companion_file));
    }
    std::string first;
    int count = 0;
    for (const std::string& name : names) {
        if (shows_as_is(name)) continue;
        if (count++ == 0) first = name;
    }
    if (count == 0) return;
    write_warning(con,
                  "File name \"" + shown_text(first) + "\"" +
                      (count > 1 ? " and " + std::to_string(count - 1) + " more hold" : " holds") +
                      " control characters or bytes that are not UTF-8; the tables, CSV "
                      "files and messages show each such character as ?.");
}

}  // namespace ruvela
