#include "run/list_files.hpp"

#include <algorithm>
#include <fstream>

#include "ringio/ring_values.hpp"
#include "run/stop.hpp"
#include "run/warning_text.hpp"
#include "text/fields.hpp"
#include "text/fixed_text.hpp"
#include "text/input_file.hpp"
#include "text/lines.hpp"

namespace ruvela {

namespace {

bool is_row_number(std::string_view field) {
    return !field.empty() && field.find_first_not_of("0123456789") == std::string_view::npos;
}

// A listed row as names_of takes it.
struct ListedRow {
    std::string written;  // the row without the blanks around it
    std::string name;
    bool quoted = false;
    bool row_numbered = false;   // "1" "a.rwl"
    bool heading_shape = false;  // "","x" as write.csv heads row-numbered rows
};

// A row that starts with a quote is read as R's write.csv (commas) or
// write.table (blanks) writes it: one name, or a row number and a name.
ListedRow row_of(std::string_view line, bool as_r_writes) {
    ListedRow row{std::string(line), std::string(line)};
    if (!as_r_writes || !line.starts_with('"')) return row;
    for (const char separator : {',', ' '}) {
        const std::vector<Field> fields = split_fields(line, separator);
        if (fields.size() > 2 || !std::all_of(fields.begin(), fields.end(),
                                              [](const Field& f) { return f.well_formed; }))
            continue;
        const bool numbered = fields.size() == 2 && is_row_number(fields[0].text);
        const bool heading = fields.size() == 2 && fields[0].quoted && fields[0].text.empty();
        if (fields.size() == 2 && !numbered && !heading) return row;
        row.name = std::string(trim(fields.back().text));
        row.quoted = true;
        row.row_numbered = numbered;
        row.heading_shape = heading;
        return row;
    }
    return row;
}

// The file `name` beside the list `list_file`: in the list's folder. Empty
// for an absolute name, or a list in the working folder.
std::string beside_the_list(const std::string& name, const std::string& list_file) {
    const auto slash = list_file.rfind('/');
    if (name.starts_with('/') || slash == std::string::npos) return {};
    return list_file.substr(0, slash + 1) + name;
}

// A name, read here or beside the list, is found.
bool found(const std::string& name, const std::string& list_file) {
    if (file_exists(name)) return true;
    const std::string beside = beside_the_list(name, list_file);
    return !beside.empty() && file_exists(beside);
}

// The first row is a heading as R writes it above a list: before rows that
// carry row numbers, or a quoted word without a point that names no file
// before more quoted names ("x", the heading write.table gives a vector).
void pass_over_heading(FileList& list, const std::vector<ListedRow>& rows,
                       const std::string& list_file) {
    if (rows.size() < 2 || !rows[0].quoted) return;
    const bool heading =
        rows[0].heading_shape || (!rows[0].row_numbered && rows[1].row_numbered) ||
        (std::all_of(rows.begin(), rows.end(), [](const ListedRow& r) { return r.quoted; }) &&
         rows[0].name.find_first_of("./") == std::string::npos && !found(rows[0].name, list_file));
    if (!heading) return;
    list.heading = rows[0].written;
    list.heading_line = list.lines.front();
    list.names.erase(list.names.begin());
    list.lines.erase(list.lines.begin());
}

// With `as_r_writes` (a run named on the command line) a byte-order mark,
// quoted names, row numbers and a heading row are read as R writes them;
// the dialogue reads every line as the name it holds, as it always has.
FileList names_of(std::ifstream& file, const std::string& list_file, bool as_r_writes) {
    LineReader lines(file);
    // A list without line ends (/dev/zero) is not read whole.
    lines.bound_lines(max_name_length);
    FileList list;
    std::vector<ListedRow> rows;
    try {
        for (std::string line; lines.next(line);) {
            std::string_view text = line;
            if (as_r_writes && lines.line_number() == 1) text = without_byte_order_mark(text);
            const std::string_view trimmed = trim(text);
            if (trimmed.starts_with('#')) continue;
            ListedRow row = row_of(trimmed, as_r_writes);
            if (row.name.empty()) {
                ++list.empty_lines;
                continue;
            }
            list.names.push_back(row.name);
            list.lines.push_back(lines.line_number());
            rows.push_back(std::move(row));
        }
    } catch (const LineTooLong& too_long) {
        throw ListLineTooLong{list_file, too_long.line};
    }
    pass_over_heading(list, rows, list_file);
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

// A list's names that are read from beside the list, and where they stand.
struct FromBeside {
    std::vector<std::string> names;  // as listed, each with its line
    std::string folder;              // the list's folder, as the names are read from it
};

// "rings.lst, line 2": where listed name k stands.
std::string listed_at(const FileList& list, std::size_t k, const std::string& list_file) {
    return list_file + ", line " + std::to_string(list.lines[k]);
}

// The file that listed name k stands for: the name itself when anything of
// that name is in the working folder, else, in a run named on the command
// line, the file of that name beside the list when there is one, noted in
// `beside`. A name found in neither place stays as it is.
std::string file_of(const FileList& list, std::size_t k, const std::string& list_file,
                    bool command_line, FromBeside& beside) {
    const std::string& name = list.names[k];
    if (!command_line || file_exists(name)) return name;
    const std::string other = beside_the_list(name, list_file);
    if (other.empty() || other.size() > max_name_length || !file_exists(other)) return name;
    beside.names.push_back(name + " (line " + std::to_string(list.lines[k]) + ")");
    beside.folder = other.substr(0, other.size() - name.size());
    return other;
}

void tell_read_from_beside(const std::string& list_file, const FromBeside& beside, Console& con) {
    if (beside.names.empty()) return;
    if (beside.names.size() == 1) {
        write_warning(con, "File " + list_file + ": " + beside.names[0] +
                               " is not in the working folder; it is read from beside the list, "
                               "in " +
                               beside.folder + ".");
        return;
    }
    write_warning(con, "File " + list_file + ": " + std::to_string(beside.names.size()) +
                           " names are not in the working folder; they are read from beside the "
                           "list, in " +
                           beside.folder + ": " + listed_names(beside.names) + ".");
}

void tell_heading(const std::string& list_file, const FileList& list, Console& con) {
    if (list.heading.empty()) return;
    write_warning(con, at_line(list_file, list.heading_line) + list.heading +
                           " is taken for the heading row that R's write.table writes, and "
                           "passed over.");
}

// A ring-width list alone: each file's series take their values from it.
void take_listed_ring_files(Job& job, Console& con) {
    std::ifstream list;
    open_input(list, job.ring_list);
    FileList rings;
    try {
        rings = names_of(list, job.ring_list, job.from_command_line);
    } catch (const ListLineTooLong& too_long) {
        stop_at_long_line(too_long, con);
    }
    FromBeside beside;
    for (std::size_t k = 0; k < rings.names.size(); ++k) {
        if (k == max_files)
            stop_run(con, {" The list file " + job.ring_list + " names more than " +
                               std::to_string(max_files) + " ring-width files;",
                           " line " + std::to_string(rings.lines[k]) + " names \"" +
                               rings.names[k] + "\"."});
        FilePair pair{padded_name(file_of(rings, k, job.ring_list, job.from_command_line, beside)),
                      ""};
        if (job.from_command_line) pair.ring_listed_at = listed_at(rings, k, job.ring_list);
        job.pairs.push_back(std::move(pair));
    }
    tell_heading(job.ring_list, rings, con);
    tell_empty_lines(job.ring_list, rings, con);
    tell_read_from_beside(job.ring_list, beside, con);
}

}  // namespace

FileLists read_file_lists(const std::string& ring_list, const std::string& companion_list,
                          bool as_r_writes) {
    // Both are opened before either is read: a list that cannot be opened is
    // told before anything else.
    std::ifstream ring_file, companion_file;
    open_input(ring_file, ring_list);
    open_input(companion_file, companion_list);
    FileList rings = names_of(ring_file, ring_list, as_r_writes);
    return {std::move(rings), names_of(companion_file, companion_list, as_r_writes)};
}

void take_listed_pairs(Job& job, Console& con) {
    if (job.companion_list.empty()) return take_listed_ring_files(job, con);
    FileLists lists;
    try {
        lists = read_file_lists(job.ring_list, job.companion_list, job.from_command_line);
    } catch (const ListLineTooLong& too_long) {
        stop_at_long_line(too_long, con);
    }
    write_line(con);
    write_line(con, " Data Files                    Offset Files");
    const std::vector<std::string>& rings = lists.rings.names;
    const std::vector<std::string>& companions = lists.companions.names;
    FromBeside ring_beside, companion_beside;
    for (std::size_t k = 0; k < companions.size(); ++k) {
        if (k == max_files) {
            stop_run(con, {" The list file " + job.companion_list + " names more than " +
                               std::to_string(max_files) + " file pairs;",
                           " line " + std::to_string(lists.companions.lines[k]) + " names \"" +
                               companions[k] + "\"."});
        }
        const bool command_line = job.from_command_line;
        FilePair pair{padded_name(k < rings.size() ? file_of(lists.rings, k, job.ring_list,
                                                             command_line, ring_beside)
                                                   : ""),
                      padded_name(file_of(lists.companions, k, job.companion_list, command_line,
                                          companion_beside))};
        if (command_line && k < rings.size())
            pair.ring_listed_at = listed_at(lists.rings, k, job.ring_list);
        if (command_line)
            pair.companion_listed_at = listed_at(lists.companions, k, job.companion_list);
        job.pairs.push_back(std::move(pair));
        std::string shown(1, ' ');
        shown += job.pairs.back().ring_file;
        shown += job.pairs.back().companion_file;
        write_line(con, shown);
    }
    tell_heading(job.ring_list, lists.rings, con);
    tell_heading(job.companion_list, lists.companions, con);
    tell_empty_lines(job.ring_list, lists.rings, con);
    tell_empty_lines(job.companion_list, lists.companions, con);
    tell_read_from_beside(job.ring_list, ring_beside, con);
    tell_read_from_beside(job.companion_list, companion_beside, con);
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

void tell_listed_place(const Job& job, int f, const FileFailure& failure, Console& con) {
    const std::string message = failure.what();
    const FilePair& pair = job.pair(f);
    const std::pair<const std::string&, const std::string&> files[] = {
        {pair.ring_file, pair.ring_listed_at}, {pair.companion_file, pair.companion_listed_at}};
    for (const auto& [file, listed_at] : files) {
        const std::string name = file_name_of(file);
        if (listed_at.empty() || name.empty() ||
            message.find("\"" + name + "\"") == std::string::npos)
            continue;
        write_warning(con, "File " + listed_at + ": " + message + ".");
        return;
    }
}

}  // namespace ruvela
