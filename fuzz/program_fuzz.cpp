// The whole program, in process: fuzzed answers on standard input and fuzzed
// input files in a scratch folder, plots on the null device.
// Input: a first line naming the edition ("11", otherwise 12), the answers up
// to the first line "@@@@ NAME", then each such line starts a file NAME
// (letters, digits, ".", "_" and "-"; at most max_files of them) holding the
// lines up to the next.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "fuzz_check.hpp"
#include "fuzz_input.hpp"
#include "run/program.hpp"

using namespace ruvela;
namespace fs = std::filesystem;

namespace {

constexpr int max_files = 8;
constexpr std::string_view file_marker = "@@@@ ";

// The folder every run works in, made once per process and emptied before
// each run, so that the tables of one input never feed the next.
const fs::path& scratch_folder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "ruvela-fuzz-XXXXXX").string();
        FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(scratch_folder(), ignored);
        });
        ::setenv("RUVELA_DEVICE", "null", 1);
        return fs::path(pattern);
    }();
    return folder;
}

void empty_folder(const fs::path& folder) {
    for (const auto& entry : fs::directory_iterator(folder)) fs::remove_all(entry.path());
}

bool safe_name(std::string_view name) {
    if (name.empty() || name.size() > 30 || name.front() == '.') return false;
    if (name.find("tmp") != std::string_view::npos) return false;  // kept for leftovers
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        if (!ok) return false;
    }
    return true;
}

// Splits the rest of the input at the file markers and writes the files.
// The answers come before the first marker.
std::string write_files(std::string_view rest, const fs::path& folder) {
    std::string answers;
    std::string name;
    std::string text;
    int files = 0;
    const auto flush = [&] {
        if (name.empty()) return;
        if (safe_name(name) && files < max_files) {
            std::ofstream(folder / name, std::ios::binary) << text;
            ++files;
        }
    };
    bool in_answers = true;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string_view line =
            rest.substr(0, end == std::string_view::npos ? rest.size() : end + 1);
        rest.remove_prefix(line.size());
        if (line.starts_with(file_marker)) {
            flush();
            name = std::string(line.substr(file_marker.size()));
            while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
            text.clear();
            in_answers = false;
        } else {
            (in_answers ? answers : text) += line;
        }
    }
    flush();
    return answers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path& folder = scratch_folder();
    fuzz::FuzzInput input(data, size);
    const Edition edition = input.line().starts_with("11") ? Edition::v11 : Edition::v12;
    empty_folder(folder);
    const std::string answers = write_files(input.rest(), folder);
    // A name with a folder in it would let the program read and write
    // outside the scratch folder: that is the user's right, not a fault.
    if (answers.find('/') != std::string::npos) return -1;

    const fs::path home = fs::current_path();
    fs::current_path(folder);
    set_plplot_fonts(edition);
    std::istringstream in(answers);
    std::ostringstream out;
    std::ostringstream err;
    Console con(in, out, err);
    // One store for every run: allocating and freeing its tables under the
    // sanitizers would cost far more than the run itself.
    static Store store;
    store.reset();
    const int status = run_program(edition, con, store);
    fs::current_path(home);

    FUZZ_CHECK(status == 0 || status == 1 || status == 2);
    if (status == 2) FUZZ_CHECK(!err.str().empty());
    // No table is ever left half written under a temporary name.
    for (const auto& entry : fs::directory_iterator(folder))
        FUZZ_CHECK(entry.path().filename().string().find(".tmp") == std::string::npos);
    return 0;
}
