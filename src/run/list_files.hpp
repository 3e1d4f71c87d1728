// The two list files of list mode: ring-width files in one, their companion
// files in the other, one name a line, paired line by line.
#pragma once

#include <string>
#include <vector>

namespace ruvela {

struct FileLists {
    std::vector<std::string> ring_names;       // every line of the ring-width list
    std::vector<std::string> companion_names;  // every line of the companion list
};

// Reads both lists whole. Throws FileFailure when one cannot be opened.
FileLists read_file_lists(const std::string& ring_list, const std::string& companion_list);

}  // namespace ruvela
