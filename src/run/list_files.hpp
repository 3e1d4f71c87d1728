// The two list files of list mode: ring-width files in one, their companion
// files in the other, one name a line, paired line by line.
#pragma once

#include <string>
#include <vector>

#include "run/store.hpp"
#include "text/console.hpp"
#include "text/stops.hpp"

namespace ruvela {

// The names of one list: its lines without the blanks and tabs around
// them, passing over empty lines and lines that begin with "#". Read as R
// writes lists (runs named on the command line): a byte-order mark is passed
// over; a name in double quotes is the text inside them (a doubled quote
// inside is one), and of a row of two fields whose first is a row number,
// the second; the heading row write.table writes above the names is passed
// over and kept in `heading`.
struct FileList {
    std::vector<std::string> names;
    std::vector<long> lines;  // the line of each name
    int empty_lines = 0;      // passed over
    std::string heading;      // a heading row passed over, as written
    long heading_line = 0;
};

struct FileLists {
    FileList rings, companions;
};

// A line of a list too long to hold a name, refused as it was read.
struct ListLineTooLong {
    std::string list;
    long line = 0;
};

// Reads both lists whole; with `as_r_writes`, as names_of says (FileList).
// Throws FileFailure when one cannot be opened, and ListLineTooLong at a
// line of more than max_name_length characters.
FileLists read_file_lists(const std::string& ring_list, const std::string& companion_list,
                          bool as_r_writes);

// The pairs of job.ring_list and job.companion_list, added to job.pairs and
// shown as they are taken: one per name of the companion list, with the
// ring-width list's name of the same number. Stops the run on a name longer
// than a name may be, on more pairs than a run takes, or on a ring-width
// list shorter than the companion list; tells passed-over empty lines and
// surplus ring-width files. In a run named on the command line, a relative
// name that names nothing in the working folder but a file beside the list
// (in the list's folder) is taken from there, with a warning; one found in
// neither place stays as listed. Each pair then keeps where its names are
// listed (FilePair), for a failure to open one to be told at that place
// (tell_listed_place).
void take_listed_pairs(Job& job, Console& con);

// Tells `failure`, met while the files of pair f were read, at the place a
// list file names the file it is about (a run named on the command line):
// "Warning: File rings.lst, line 2: cannot open file "b.rwl": No such file or
// directory." Nothing when it is about no listed file of the pair.
void tell_listed_place(const Job& job, int f, const FileFailure& failure, Console& con);

}  // namespace ruvela
