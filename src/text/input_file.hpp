// Opening input files by name.
#pragma once

#include <fstream>
#include <string>
#include <string_view>

namespace ruvela {

// Opens `name` for reading; throws FileFailure naming the file and the
// system's reason when it cannot be opened. The stream keeps its name for
// the messages of later failures (input_name), and it is the file being read
// until it is closed.
void open_input(std::ifstream& file, const std::string& name);

// The whole content of `name`; throws FileFailure when it cannot be opened
// or read.
std::string read_whole_file(const std::string& name);

// How a message names the input `stream` reads: `file "NAME"` for a stream
// opened by open_input, `standard input`, or `input`.
std::string input_name(std::ios_base& stream);

// The name of the file opened last and not closed since, or closed by the
// unwinding of the failure now being told; empty when there is none. It
// names what was being read when a failure that does not know it (running
// out of memory) ends the run.
std::string_view file_being_read();

// Notes that `stream`, opened by open_input, is the file being read now:
// of two files open at once, the one read last is the one a failure names.
void note_reading(std::ios_base& stream);

// Forgets that note once it is told, so that the next run starts without it.
void forget_file_being_read();

// True when a file (or anything else) of that name exists.
bool file_exists(const std::string& name);

}  // namespace ruvela
