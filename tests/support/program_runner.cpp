#include "program_runner.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace ruvela::testing {

namespace fs = std::filesystem;

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_file(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::map<std::string, std::string> files_below(const fs::path& folder) {
    std::map<std::string, std::string> files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = read_file(entry.path());
    }
    return files;
}

ScratchFolder::ScratchFolder(const std::string& label) {
    static std::atomic<int> serial{0};
    path = fs::temp_directory_path() /
           ("ruvela_" + label + "_" + std::to_string(::getpid()) + "_" + std::to_string(serial++));
    fs::remove_all(path);
    fs::create_directories(path);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

ProgramRun run_in_folder(const fs::path& program, const fs::path& folder,
                         const fs::path& stdin_file, const std::vector<std::string>& args) {
    const fs::path out_path = folder.parent_path() / (folder.filename().string() + ".stdout");
    const fs::path err_path = folder.parent_path() / (folder.filename().string() + ".stderr");
    std::vector<std::string> env_text;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string_view(*e).starts_with("RUVELA_DEVICE=")) continue;
        env_text.emplace_back(*e);
    }
    env_text.emplace_back("RUVELA_DEVICE=null");
    std::vector<char*> env;
    for (auto& e : env_text) env.push_back(e.data());
    env.push_back(nullptr);
    std::vector<std::string> argv_text = {program.string()};
    argv_text.insert(argv_text.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argv_text) argv.push_back(a.data());
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        const int in = ::open(stdin_file.c_str(), O_RDONLY);
        const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || ::chdir(folder.c_str()) != 0) ::_exit(127);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execve(argv[0], argv.data(), env.data());
        ::_exit(127);
    }
    int wait_status = 0;
    ::waitpid(pid, &wait_status, 0);
    ProgramRun run;
    run.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
    run.out = read_file(out_path);
    run.err = read_file(err_path);
    fs::remove(out_path);
    fs::remove(err_path);
    return run;
}

ProgramRun run_with_files(const fs::path& program, const fs::path& folder,
                          const std::map<std::string, std::string>& files,
                          const std::vector<std::string>& args) {
    for (const auto& [name, text] : files) write_file(folder / name, text);
    return run_in_folder(program, folder, "/dev/null", args);
}

}  // namespace ruvela::testing
