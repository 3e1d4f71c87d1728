// Running a built program in a folder with standard input from a file.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace ruvela::testing {

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs `program` with the arguments `args`, `folder` as working directory,
// standard input from `stdin_file` and RUVELA_DEVICE=null in its environment.
ProgramRun run_in_folder(const std::filesystem::path& program, const std::filesystem::path& folder,
                         const std::filesystem::path& stdin_file,
                         const std::vector<std::string>& args = {});

// Writes `files` (name and text) into `folder`, then runs `program` there
// with `args` and nothing on standard input: a command-line run.
ProgramRun run_with_files(const std::filesystem::path& program, const std::filesystem::path& folder,
                          const std::map<std::string, std::string>& files,
                          const std::vector<std::string>& args);

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& text);

// Every regular file below `folder`, by path relative to it.
std::map<std::string, std::string> files_below(const std::filesystem::path& folder);

// A fresh folder under the system's temporary folder, removed with its
// contents when destroyed.
struct ScratchFolder {
    explicit ScratchFolder(const std::string& label);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::filesystem::path path;
};

}  // namespace ruvela::testing
