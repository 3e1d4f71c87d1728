// The two list files of list mode: ring-width files in one, their companion
// files in the other, one name a line, paired line by line.
#pragma once

#include <string>
#include <vector>

namespace ruvela {

// The names of one list: its lines without the blanks and tabs around
// them, passing over empty lines and lines that begin with "#".
struct FileList {
    std::vector<std::string> names;
    std::vector<long> lines;  // the line of each name
    int empty_lines = 0;      // passed over
};

struct FileLists {
    FileList rings, companions;
};

// Reads both lists whole. Throws FileFailure when one cannot be opened.
FileLists read_file_lists(const std::string& ring_list, const std::string& companion_list);

}  // namespace ruvela
