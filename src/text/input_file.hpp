// Opening input files by name.
#pragma once

#include <fstream>
#include <string>

namespace ruvela {

// Opens `name` for reading; throws FileFailure naming the file and the
// system's reason when it cannot be opened.
void open_input(std::ifstream& file, const std::string& name);

// The whole content of `name`; throws FileFailure when it cannot be opened
// or read.
std::string read_whole_file(const std::string& name);

// True when a file (or anything else) of that name exists.
bool file_exists(const std::string& name);

}  // namespace ruvela
