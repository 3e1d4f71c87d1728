#include "run/list_files.hpp"

#include <fstream>

#include "text/fixed_text.hpp"
#include "text/input_file.hpp"
#include "text/lines.hpp"

namespace ruvela {

namespace {

FileList names_of(std::ifstream& file) {
    LineReader lines(file);
    FileList list;
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
    return list;
}

}  // namespace

FileLists read_file_lists(const std::string& ring_list, const std::string& companion_list) {
    // Both are opened before either is read: a list that cannot be opened is
    // told before anything else.
    std::ifstream ring_file, companion_file;
    open_input(ring_file, ring_list);
    open_input(companion_file, companion_list);
    return {names_of(ring_file), names_of(companion_file)};
}

}  // namespace ruvela
