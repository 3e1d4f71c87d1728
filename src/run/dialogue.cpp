#include "run/dialogue.hpp"

#include <algorithm>
#include <optional>
#include <string>

#include "ringio/readfmt.hpp"
#include "run/list_files.hpp"
#include "run/stop.hpp"
#include "run/warning_text.hpp"
#include "text/fixed_text.hpp"
#include "text/input_file.hpp"
#include "text/numfmt.hpp"

namespace ruvela {

namespace {

// A file name as typed; nullopt, after saying why, when it is longer than
// a name may be: cut, it might name another file.
std::optional<std::string> read_name(Console& con) {
    const std::string line = con.read_line();
    const std::size_t length = trim_right(line).size();
    if (length <= max_name_length) return padded_name(line);
    write_warning(con, "A file name of " + std::to_string(length) +
                           " characters is not taken: names may have at most " +
                           std::to_string(max_name_length) + "; please answer again.");
    return std::nullopt;
}

// The first character of an answer as one digit; nullopt when it is none of
// a digit, a blank or (where taken) a sign.
std::optional<int> choice_digit(std::string_view answer, LeadingSign sign) {
    if (answer.empty()) return 0;
    const char c = answer.front();
    if (c >= '0' && c <= '9') return c - '0';
    if (c == ' ' || c == '\t') return 0;
    if ((c == '+' || c == '-') && sign == LeadingSign::reads_as_zero) return 0;
    return std::nullopt;
}

void report_missing(Console& con, const std::string& name, std::string_view last_line,
                    std::string_view pause_text) {
    write_line(con);
    write_line(con, " Can not find file " + name);
    write_line(con, " Please enter a new list file name");
    write_line(con, last_line);
    pause(con, pause_text);
}

constexpr std::string_view indented_pause = "            Hit RETURN to continue";

void ask_list_names(Job& job, Console& con) {
    for (;;) {
        write_line(con);
        write_prompt(con, " Ring-Width ListFile name :> ");
        const auto ring_name = read_name(con);
        if (!ring_name) continue;
        write_line(con);
        write_prompt(con, " Pith Estimate/Diameter ListFile name :> ");
        const auto companion_name = read_name(con);
        if (!companion_name) continue;
        const std::string& ring_list = *ring_name;
        const std::string& companion_list = *companion_name;
        if (!file_exists(file_name_of(ring_list))) {
            report_missing(con, ring_list, " or quit the program.", " Hit RETURN to continue");
        } else if (!file_exists(file_name_of(companion_list))) {
            report_missing(con, companion_list, " or quit the program", indented_pause);
        } else {
            job.ring_list = file_name_of(ring_list);
            job.companion_list = file_name_of(companion_list);
            return;
        }
    }
}

// A listed name the program would have to cut stops the run: a cut name may
// open another file.
void check_name_lengths(const std::string& list_file, const FileList& list, Console& con) {
    for (std::size_t k = 0; k < list.names.size(); ++k) {
        if (list.names[k].size() <= max_name_length) continue;
        stop_run(con, {" The list file " + list_file + ", line " + std::to_string(list.lines[k]) +
                           ", names a file of " + std::to_string(list.names[k].size()) +
                           " characters;",
                       " names of more than " + std::to_string(max_name_length) +
                           " characters cannot be used."});
    }
}

void tell_empty_lines(const std::string& list_file, const FileList& list, Console& con) {
    if (list.empty_lines == 0) return;
    write_warning(con, "File " + list_file + ": " + std::to_string(list.empty_lines) +
                           (list.empty_lines == 1 ? " empty line is" : " empty lines are") +
                           " passed over; the names of the other lines are paired.");
}

// The pairs of the two lists, shown as they are taken: one per name of the
// companion list, with the ring-width list's name of the same number.
void take_listed_pairs(Job& job, Console& con) {
    const FileLists lists = read_file_lists(job.ring_list, job.companion_list);
    check_name_lengths(job.ring_list, lists.rings, con);
    check_name_lengths(job.companion_list, lists.companions, con);
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
        job.pairs.push_back({padded_name(k < rings.size() ? rings[k] : ""),
                             padded_name(companions[k])});
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
                               " names companion files; not processed: " +
                               listed_names(left_out) + ".");
    }
}

void ask_file_pair(Job& job, Console& con) {
    FilePair pair;
    for (;;) {
        write_line(con);
        write_line(con);
        write_prompt(con, " Enter Raw Ring Width File  Name >   ");
        const auto ring_name = read_name(con);
        if (!ring_name) continue;
        pair.ring_file = *ring_name;
        if (!file_exists(file_name_of(pair.ring_file))) {
            report_missing(con, pair.ring_file, " or quit the program", indented_pause);
            continue;
        }
        write_line(con);
        write_prompt(con, " Enter Pith Estimate/Diameter File  Name >   ");
        const auto companion_name = read_name(con);
        if (!companion_name) continue;
        pair.companion_file = *companion_name;
        if (file_exists(file_name_of(pair.companion_file))) break;
        report_missing(con, pair.companion_file, " or quit the program", indented_pause);
    }
    job.pairs.push_back(std::move(pair));
}

// A question with the two choices 1 and 2; any other answer asks it again.
int read_one_or_two(Console& con, const std::function<void()>& ask) {
    for (;;) {
        const int choice = read_choice(con, ask);
        if (choice == 1 || choice == 2) return choice;
    }
}

void ask_offset_kind(Job& job, Console& con) {
    job.offset_kind = static_cast<OffsetKind>(read_one_or_two(con, [&] {
        write_line(con);
        write_line(con, " Tell me something about your Pith Estimate/Diameter file");
        write_line(con, "  [1] = Pith Estimate only");
        write_line(con, "  [2] = Diameter only");
        write_prompt(con, " > ");
    }));
}

// What keeps `format` from reading values of `kind`, or nothing.
std::string format_problem(std::string_view format, OffsetKind kind) {
    const std::string_view text = trim(format);
    if (!text.starts_with('(') || !text.ends_with(')'))
        return "it needs parentheses around its elements, as in (i3) or (f6.1)";
    const auto parsed = parse_read_format(text);
    if (!parsed)
        return "it is not a read format this program can interpret (I, F, E, D, G and X "
               "elements, repeat counts and groups, as in (5x,i3) or (f6.1))";
    if (kind == OffsetKind::pith_offsets && parsed->has_real_field)
        return "pith offsets are whole numbers of rings, read with an I element such as (i3)";
    if (kind == OffsetKind::diameters && parsed->has_int_field)
        return "diameters are real numbers, read with an F element such as (f6.1)";
    return {};
}

// Asked again when the format cannot read the kind's values: the run would
// otherwise stop at the first value.
void ask_offset_format(Job& job, Console& con) {
    for (;;) {
        write_line(con);
        write_line(con, " Enter Estimate/Diameter file READ format");
        write_prompt(con, " e.g., (i2), (f6.3) etc.. > ");
        job.offset_format = read_text(con, name_length);
        const std::string problem = format_problem(job.offset_format, job.offset_kind);
        if (problem.empty()) return;
        write_warning(con, "The read format " + quoted(trim(job.offset_format)) +
                               " cannot be used: " + problem + "; please answer again.");
    }
}

// Asked again like the kind: another number would write an empty table and
// end the run as if all were well.
void ask_output_layout(Job& job, Console& con) {
    job.output_layout = static_cast<OutputLayout>(read_one_or_two(con, [&] {
        write_line(con, " Select output file format");
        write_line(con, "  [1] Column");
        write_line(con, "  [2] Decade");
        write_prompt(con, " > ");
    }));
}

}  // namespace

int read_choice(Console& con, const std::function<void()>& ask, LeadingSign sign) {
    for (;;) {
        ask();
        if (const auto digit = choice_digit(con.read_line(), sign)) return *digit;
        write_line(con, " That answer is not a digit; please answer again.");
    }
}

Job input_dialogue(Console& con) {
    Job job;
    write_line(con);
    write_line(con);
    write_line(con, " Read file names from a list file?");
    write_prompt(con, " Enter [t]rue or [f]alse > ");
    if (read_logical(con)) {
        ask_list_names(job, con);
        take_listed_pairs(job, con);
    } else {
        ask_file_pair(job, con);
    }
    ask_offset_kind(job, con);
    ask_offset_format(job, con);
    ask_output_layout(job, con);
    return job;
}

}  // namespace ruvela
