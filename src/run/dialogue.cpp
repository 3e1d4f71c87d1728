#include "run/dialogue.hpp"

#include <algorithm>
#include <fstream>
#include <optional>
#include <string>

#include "run/stop.hpp"
#include "text/fixed_text.hpp"
#include "text/input_file.hpp"
#include "text/lines.hpp"
#include "text/numfmt.hpp"

namespace ruvela {

namespace {

std::string read_name(Console& con) {
    return padded_name(con.read_line());
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

void ask_list_names(Answers& answers, Console& con) {
    for (;;) {
        write_line(con);
        write_prompt(con, " Ring-Width ListFile name :> ");
        answers.ring_list_name = read_name(con);
        write_line(con);
        write_prompt(con, " Pith Estimate/Diameter ListFile name :> ");
        answers.offset_list_name = read_name(con);
        if (!file_exists(file_name_of(answers.ring_list_name))) {
            report_missing(con, answers.ring_list_name, " or quit the program.",
                           " Hit RETURN to continue");
        } else if (!file_exists(file_name_of(answers.offset_list_name))) {
            report_missing(con, answers.offset_list_name, " or quit the program", indented_pause);
        } else {
            return;
        }
    }
}

void read_list_files(Answers& answers, Console& con) {
    std::ifstream ring_file, offset_file;
    open_input(ring_file, file_name_of(answers.ring_list_name));
    open_input(offset_file, file_name_of(answers.offset_list_name));
    LineReader ring_list(ring_file), offset_list(offset_file);
    write_line(con);
    write_line(con, " Data Files                    Offset Files");
    int ring_lines = 0;
    int pairs = 0;
    std::string ring_line, offset_line;
    for (;;) {
        const bool ring_read = ring_list.next(ring_line);
        if (!ring_read) ring_line.clear();
        if (!offset_list.next(offset_line)) break;
        if (pairs == max_files) {
            stop_run(con, {" The list file " + file_name_of(answers.offset_list_name) +
                               " names more than " + std::to_string(max_files) + " file pairs;",
                           " line " + std::to_string(pairs + 1) + " names \"" +
                               std::string(trim_right(offset_line)) + "\"."});
        }
        ring_lines += ring_read ? 1 : 0;
        ++pairs;
        answers.ring_file_names(pairs) = padded_name(ring_line);
        answers.offset_file_names(pairs) = padded_name(offset_line);
        write_line(con, " " + answers.ring_file_names(pairs) + answers.offset_file_names(pairs));
    }
    answers.file_count = pairs;
    // A pair without a ring-width file cannot be processed: say so now
    // rather than after the pairs before it.
    if (ring_lines < pairs) {
        stop_run(con,
                 {" The list file " + file_name_of(answers.ring_list_name) + " has fewer lines (" +
                      std::to_string(ring_lines) + ") than the list file " +
                      file_name_of(answers.offset_list_name) + " (" + std::to_string(pairs) + "):",
                  " pair " + std::to_string(ring_lines + 1) + " has no ring-width file."});
    }
}

void ask_file_pair(Answers& answers, Console& con) {
    for (;;) {
        write_line(con);
        write_line(con);
        write_prompt(con, " Enter Raw Ring Width File  Name >   ");
        answers.ring_file_names(1) = read_name(con);
        if (!file_exists(file_name_of(answers.ring_file_names(1)))) {
            report_missing(con, answers.ring_file_names(1), " or quit the program", indented_pause);
            continue;
        }
        write_line(con);
        write_prompt(con, " Enter Pith Estimate/Diameter File  Name >   ");
        answers.offset_file_names(1) = read_name(con);
        if (file_exists(file_name_of(answers.offset_file_names(1)))) return;
        report_missing(con, answers.offset_file_names(1), " or quit the program", indented_pause);
    }
}

// A question with the two choices 1 and 2; any other answer asks it again.
int read_one_or_two(Console& con, const std::function<void()>& ask) {
    for (;;) {
        const int choice = read_choice(con, ask);
        if (choice == 1 || choice == 2) return choice;
    }
}

void ask_offset_kind(Answers& answers, Console& con) {
    answers.offset_kind = static_cast<OffsetKind>(read_one_or_two(con, [&] {
        write_line(con);
        write_line(con, " Tell me something about your Pith Estimate/Diameter file");
        write_line(con, "  [1] = Pith Estimate only");
        write_line(con, "  [2] = Diameter only");
        write_prompt(con, " > ");
    }));
}

void ask_offset_format(Answers& answers, Console& con) {
    answers.offset_format = std::string(name_length, ' ');
    write_line(con);
    write_line(con, " Enter Estimate/Diameter file READ format");
    write_prompt(con, " e.g., (i2), (f6.3) etc.. > ");
    answers.offset_format = read_text(con, name_length);
}

// Asked again like the kind: another number would write an empty table and
// end the run as if all were well.
void ask_output_layout(Answers& answers, Console& con) {
    answers.output_layout = static_cast<OutputLayout>(read_one_or_two(con, [&] {
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

void input_dialogue(Answers& answers, Console& con) {
    write_line(con);
    write_line(con);
    write_line(con, " Read file names from a list file?");
    write_prompt(con, " Enter [t]rue or [f]alse > ");
    answers.use_list_file = read_logical(con);
    if (answers.use_list_file) {
        ask_list_names(answers, con);
        read_list_files(answers, con);
    } else {
        answers.file_count = 1;
        ask_file_pair(answers, con);
    }
    ask_offset_kind(answers, con);
    ask_offset_format(answers, con);
    ask_output_layout(answers, con);
}

}  // namespace ruvela
