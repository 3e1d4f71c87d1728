#include "run/list_files.hpp"

#include <fstream>

#include "text/input_file.hpp"
#include "text/lines.hpp"

namespace ruvela {

namespace {

std::vector<std::string> lines_of(std::ifstream& file) {
    LineReader lines(file);
    std::vector<std::string> all;
    for (std::string line; lines.next(line);) all.push_back(line);
    return all;
}

}  // namespace

FileLists read_file_lists(const std::string& ring_list, const std::string& companion_list) {
    // Both are opened before either is read: a list that cannot be opened is
    // told before anything else.
    std::ifstream ring_file, companion_file;
    open_input(ring_file, ring_list);
    open_input(companion_file, companion_list);
    return {lines_of(ring_file), lines_of(companion_file)};
}

}  // namespace ruvela
