// The console: prompts, lines, pauses and the four kinds of answer.
#pragma once

#include <exception>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "text/lines.hpp"

namespace ruvela {

// Standard input, output and error of one run, passed by reference to every
// routine that talks to the user, so that each runs in a test on strings.
struct Console {
    Console(std::istream& in, std::ostream& out, std::ostream& err)
        : out(out), err(err), lines_(in) {}

    std::ostream& out;
    std::ostream& err;

    // Warning lines written so far in this run (see write_warning).
    int warnings = 0;

    // A run named on the command line: only warnings and reports are
    // written, no dialogue lines, prompts or listings.
    bool quiet = false;

    // Whether a prompt waits for its answer on the current output line, and
    // the warnings held back until that line ends.
    bool mid_line = false;
    std::string held_warnings;

    // One answer line without its line end; throws InputEnded at the end of input.
    std::string read_line();

  private:
    LineReader lines_;
};

// Writes out what standard output holds; throws FileFailure when it cannot
// be written (a full disk, a closed pipe): a run whose console output is
// lost must not pass for a normal one.
void flush_output(Console& con);

// The end of a run or of --help: writes out `out`, and returns `status`, or,
// when `out` cannot be written, failure_status after one line on `err`.
int finish_output(std::ostream& out, std::ostream& err, int status);

// The end of a run by a failure of the console and file layer (InputEnded,
// FileFailure, a failed read, running out of memory): one line on standard
// error after what standard output holds; returns failure_status.
int end_with_failure(Console& con, const std::exception& failure);

// Writes `text` and a line end (nothing in a quiet run).
void write_line(Console& con, std::string_view text = {});

// Writes `text` and a line end, in a quiet run too: what a run named on the
// command line reports.
void write_report(Console& con, std::string_view text);

// Every message that tells the user of a suspect input or result is one
// line that starts with this prefix, so that scripts can filter on it.
inline constexpr std::string_view warning_prefix = " Warning: ";

// Writes warning_prefix + `text` as one line and counts it. After a prompt
// the line is written when the prompt's line ends, so that it stays a whole
// line and every other line stays as it is.
void write_warning(Console& con, std::string_view text);

// Writes `text` without a line end, so the answer is typed after it.
void write_prompt(Console& con, std::string_view text);

// The pause: `text` as a line, then one input line whose content is discarded.
void pause(Console& con, std::string_view text);

// Logical answer: true when the first non-blank character, after an
// optional period, is t or T. Empty and blank lines are skipped.
bool read_logical(Console& con);

// Text answer cut or blank-padded to `length` characters.
std::string read_text(Console& con, std::size_t length);

// The first `width` characters of one line read as an integer field (blanks
// ignored, an empty line gives 0); nullopt when they are no integer.
std::optional<int> read_int_field(Console& con, int width);

// Free reading: empty and blank lines are skipped; the value ends at a blank,
// a comma or the end of the line. nullopt when the item is no number of the
// kind asked for.
std::optional<float> read_free_real(Console& con);
std::optional<int> read_free_int(Console& con);

}  // namespace ruvela
