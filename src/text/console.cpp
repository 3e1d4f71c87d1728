#include "text/console.hpp"

#include <cerrno>
#include <cstring>
#include <new>

#include "text/fields.hpp"
#include "text/fixed_text.hpp"
#include "text/input_file.hpp"
#include "text/shown_text.hpp"
#include "text/stops.hpp"

namespace ruvela {

namespace {

// A line of the console keeps to one line and to UTF-8 whatever the names
// it quotes hold; a tab, as a quoted input line holds it, stays.
void put_line_text(std::ostream& out, std::string_view text) {
    if (shows_as_is(text, false))
        out << text;
    else
        out << shown_text(text, false);
}

// Standard output is written in buffers; its failure shows at a flush, with
// errno set by the write that failed.
std::string output_failure_text() {
    return std::string("cannot write standard output: ") +
           (errno != 0 ? std::strerror(errno) : "write error");
}

}  // namespace

void flush_output(Console& con) {
    if (!con.out.flush()) throw FileFailure(output_failure_text());
}

int finish_output(std::ostream& out, std::ostream& err, int status) {
    if (out.flush()) return status;
    err << "Ruvela: " << output_failure_text() << '\n';
    return failure_status;
}

int end_with_failure(Console& con, const std::exception& failure) {
    if (!con.held_warnings.empty()) write_line(con);
    con.out.flush();
    const std::string_view file = file_being_read();
    con.err << "Ruvela: ";
    // Told without building a string: there may be no memory for one.
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) {
        con.err << "out of memory";
        if (!file.empty()) {
            con.err << " while reading file \"";
            put_line_text(con.err, file);
            con.err << '"';
        }
    } else if (const auto* read = dynamic_cast<const std::ios_base::failure*>(&failure)) {
        // A read outside the line reader, which would have named the line.
        con.err << "cannot read " << (file.empty() ? "input" : "file \"" + std::string(file) + '"')
                << ": " << read->code().message();
    } else {
        put_line_text(con.err, failure.what());
    }
    con.err << '\n';
    forget_file_being_read();
    return failure_status;
}

std::string Console::read_line() {
    flush_output(*this);
    std::string line;
    if (!lines_.next(line)) throw InputEnded();
    return line;
}

void write_line(Console& con, std::string_view text) {
    if (!con.quiet) write_report(con, text);
}

void write_report(Console& con, std::string_view text) {
    put_line_text(con.out, text);
    con.out << '\n';
    con.mid_line = false;
    con.out << con.held_warnings;
    con.held_warnings.clear();
}

void write_warning(Console& con, std::string_view text) {
    std::string line(warning_prefix);
    line.append(shows_as_is(text, false) ? std::string(text) : shown_text(text, false));
    line.push_back('\n');
    if (con.mid_line)
        con.held_warnings += line;
    else
        con.out << line;
    ++con.warnings;
}

void write_prompt(Console& con, std::string_view text) {
    if (con.quiet) return;
    put_line_text(con.out, text);
    con.mid_line = !text.empty();
    flush_output(con);
}

void pause(Console& con, std::string_view text) {
    write_line(con, text);
    (void)con.read_line();
}

namespace {

// The next line that holds more than blanks.
std::string read_nonblank_line(Console& con) {
    for (;;) {
        std::string line = con.read_line();
        if (!is_blank_text(line)) return line;
    }
}

}  // namespace

bool read_logical(Console& con) {
    const std::string line = read_nonblank_line(con);
    std::string_view s(line);
    s.remove_prefix(s.find_first_not_of(" \t"));
    if (!s.empty() && s.front() == '.') s.remove_prefix(1);
    return !s.empty() && (s.front() == 't' || s.front() == 'T');
}

std::string read_text(Console& con, std::size_t length) {
    std::string line = con.read_line();
    line.resize(length, ' ');
    return line;
}

std::optional<int> read_int_field(Console& con, int width) {
    const std::string line = con.read_line();
    return decode_int_field(std::string_view(line).substr(0, static_cast<std::size_t>(width)));
}

std::optional<float> read_free_real(Console& con) {
    return decode_free_real(read_nonblank_line(con));
}

std::optional<int> read_free_int(Console& con) {
    return decode_free_int(read_nonblank_line(con));
}

}  // namespace ruvela
