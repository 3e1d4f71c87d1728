#include "run/dialogue.hpp"

#include <algorithm>
#include <optional>
#include <string>

#include "run/companion_file.hpp"
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

void ask_companion_kind(Job& job, Console& con) {
    const int answer = read_one_or_two(con, [&] {
        write_line(con);
        write_line(con, " Tell me something about your Pith Estimate/Diameter file");
        for (const CompanionKindInfo& kind : companion_kinds())
            if (kind.menu_answer != 0)
                write_line(con, "  [" + std::to_string(kind.menu_answer) + "] = " +
                                    std::string(kind.menu_text));
        write_prompt(con, " > ");
    });
    job.companion_kind = kind_of_menu_answer(answer).value_or(CompanionKind::pith);
}

// Asked again when the format cannot read the kind's values: the run would
// otherwise stop at the first value.
void ask_companion_format(Job& job, Console& con) {
    for (;;) {
        write_line(con);
        write_line(con, " Enter Estimate/Diameter file READ format");
        write_prompt(con, " e.g., (i2), (f6.3) etc.. > ");
        job.companion_format = read_text(con, name_length);
        const std::string problem = read_format_problem(job.companion_format, job.companion_kind);
        if (problem.empty()) return;
        write_warning(con, "The read format " + quoted(trim(job.companion_format)) +
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
    ask_companion_kind(job, con);
    ask_companion_format(job, con);
    ask_output_layout(job, con);
    return job;
}

}  // namespace ruvela
