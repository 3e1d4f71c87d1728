#include "run/list_files.hpp"

#include <fstream>

#include "run/stop.hpp"
#include "run/warning_text.hpp"
#include "text/fixed_text.hpp"
#include "text/input_file.hpp"
#include "text/lines.hpp"

namespace ruvela {

namespace {

FileList names_of(std::ifstream& file, const std::string& list_file) {
    LineReader lines(file);
    // A list without line ends (/dev/zero) is not read whole.
    lines.bound_lines(max_name_length);
    FileList list;
    try {
        for (std::string line; lines.next(line);) {
            const std::string_view name = trim(line);
            if (name.empty()) {
                ++list.empty_lines;
                continue;
            }
            if (name.starts_with('#')) continue;
            list.names.emplace_back(name);
            list.lines.push_back(lines.line_number());
        }
    } catch (const LineTooLong& too_long) {
        throw ListLineTooLong{list_file, too_long.line};
    }
    return list;
}

// A listed name the program would have to cut stops the run: a cut name may
// open another file.
[[noreturn]] void stop_at_long_line(const ListLineTooLong& too_long, Console& con) {
    stop_run(con, {" The list file " + too_long.list + ", line " + std::to_string(too_long.line) +
                       ", is longer than " + std::to_string(max_name_length) + " characters;",
                   " names of more than " + std::to_string(max_name_length) +
                       " characters cannot be used."});
}

void tell_empty_lines(const std::string& list_file, const FileList& list, Console& con) {
    if (list.empty_lines == 0) return;
    write_warning(con, "File " + list_file + ": " + std::to_string(list.empty_lines) +
                           (list.empty_lines == 1 ? " empty line is" : " empty lines are") +
                           " passed over; the names of the other lines are paired.");
}

}  // namespace

FileLists read_file_lists(const std::string& ring_list, const std::string& companion_list) {
    // Both are opened before either is read: a list that cannot be opened is
    // told before anything else.
    std::ifstream ring_file, companion_file;
    open_input(ring_file, ring_list);
    open_input(companion_file, companion_list);
    FileList rings = names_of(ring_file, ring_list);
    return {std::move(rings), names_of(companion_file, companion_list)};
}

namespace {

// A ring-width list alone: each file's series take their values from it.
void take_listed_ring_files(Job& job, Console& con) {
    std::ifstream list;
    open_input(list, job.ring_list);
    FileList rings;
    try {
        rings = names_of(list, job.ring_list);
    } catch (const ListLineTooLong& too_long) {
        stop_at_long_line(too_long, con);
    }
    for (std::size_t k = 0; k < rings.names.size(); ++k) {
        if (k == max_files)
            stop_run(con, {" The list file " + job.ring_list + " names more than " +
                               std::to_string(max_files) + " ring-width files;",
                           " line " + std::to_string(rings.lines[k]) + " names \"" +
                               rings.names[k] + "\"."});
        job.pairs.push_back({padded_name(rings.names[k]), ""});
    }
    tell_empty_lines(job.ring_list, rings, con);
}

}  // namespace

void take_listed_pairs(Job& job, Console& con) {
    if (job.companion_list.empty()) return take_listed_ring_files(job, con);
    FileLists lists;
    try {
        lists = read_file_lists(job.ring_list, job.companion_list);
    } catch (const ListLineTooLong& too_long) {
        stop_at_long_line(too_long, con);
    }
    write_line(con);
    write_line(con, " Data Files                    Offset Files");
    const std::vector<std::string>& rings = lists.rings.names;
    const std::vector<std::string>& companions = lists.companions.names;
    for (std::size_t k = 0; k < companions.size(); ++k) {
        if (k == max_files) {
            stop_run(con, {" The list file " + job.companion_list + " names more than " +
                               std::to_string(max_files) + " file pairs;",
                           " line " + std::to_string(lists.companions.lines[k]) + " names \"" +
                               companions[k] + "\"."});
        }
        job.pairs.push_back(
            {padded_name(k < rings.size() ? rings[k] : ""), padded_name(companions[k])});
        std::string shown(1, ' ');
        shown += job.pairs.back().ring_file;
        shown += job.pairs.back().companion_file;
        write_line(con, shown);
    }
    tell_empty_lines(job.ring_list, lists.rings, con);
    tell_empty_lines(job.companion_list, lists.companions, con);
    // A pair without a ring-width file cannot be processed: say so now
    // rather than after the pairs before it.
    const std::size_t pairs = companions.size();
    if (rings.size() < pairs) {
        stop_run(con, {" The list file " + job.ring_list + " has fewer lines (" +
                           std::to_string(rings.size()) + ") than the list file " +
                           job.companion_list + " (" + std::to_string(pairs) + "):",
                       " pair " + std::to_string(rings.size() + 1) + " has no ring-width file."});
    }
    if (rings.size() > pairs) {
        const std::vector<std::string> left_out(rings.begin() + static_cast<long>(pairs),
                                                rings.end());
        write_warning(con, "File " + job.ring_list + " names " + std::to_string(left_out.size()) +
                               (left_out.size() == 1 ? " ring-width file" : " ring-width files") +
                               " more than " + job.companion_list +
                               " names companion files; not processed: " + listed_names(left_out) +
                               ".");
    }
}

}  // namespace ruvela
