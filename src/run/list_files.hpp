// The two list files of list mode: ring-width files in one, their companion
// files in the other, one name a line, paired line by line.
#pragma once

#include <string>
#include <vector>

#include "run/store.hpp"
#include "text/console.hpp"

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

// A line of a list too long to hold a name, refused as it was read.
struct ListLineTooLong {
    std::string list;
    long line = 0;
};

// Reads both lists whole. Throws FileFailure when one cannot be opened, and
// ListLineTooLong at a line of more than max_name_length characters.
FileLists read_file_lists(const std::string& ring_list, const std::string& companion_list);

// The pairs of job.ring_list and job.companion_list, added to job.pairs and
// shown as they are taken: one per name of the companion list, with the
// ring-width list's name of the same number. Stops the run on a name longer
// than a name may be, on more pairs than a run takes, or on a ring-width
// list shorter than the companion list; tells passed-over empty lines and
// surplus ring-width files.
void take_listed_pairs(Job& job, Console& con);

}  // namespace ruvela
