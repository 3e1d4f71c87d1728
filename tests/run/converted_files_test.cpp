// The same rings in another format give the same tables: the three archive
// files, converted to Heidelberg and to CSV by a script of the tests, run
// through the whole program as one list run per format.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "../support/program_runner.hpp"

namespace ruvela::testing {
namespace {

namespace fs = std::filesystem;

struct ArchiveFile {
    const char* stem;
    int series;
};
constexpr ArchiveFile archive_files[] = {{"ca533", 34}, {"co021", 35}, {"wa082", 23}};

// Every line but the first, which names the ring-width file.
std::string without_name_line(const std::string& table) {
    return table.substr(table.find('\n') + 1);
}

// The tables of a list run over the three files in format `extension`.
std::map<std::string, std::string> tables_of(const std::string& extension) {
    ScratchFolder folder("converted_" + extension);
    const fs::path data = fs::path(RUVELA_TEST_DATA) / "itrdb";
    std::string rings, offsets;
    for (const ArchiveFile& f : archive_files) {
        const fs::path from = extension == "rwl"
                                  ? data / (std::string(f.stem) + ".rwl")
                                  : data / "converted" / (f.stem + ("." + extension));
        const std::string name = std::string(f.stem) + "." + extension;
        fs::copy_file(from, folder.path / name);
        std::string zeros;
        for (int s = 0; s < f.series; ++s) zeros += "  0\n";
        write_file(folder.path / (std::string(f.stem) + ".pth"), zeros);
        rings += name + "\n";
        offsets += std::string(f.stem) + ".pth\n";
    }
    write_file(folder.path / "rings.lst", rings);
    write_file(folder.path / "offsets.lst", offsets);
    write_file(folder.path / "answers", "\nt\nrings.lst\noffsets.lst\n1\n(i3)\n1\n\n\n\n");
    const ProgramRun run = run_in_folder(RUVELA_V12, folder.path, folder.path / "answers");
    EXPECT_EQ(run.status, 0) << extension << "\n" << run.out << run.err;
    std::map<std::string, std::string> tables;
    for (const auto& [name, text] : files_below(folder.path))
        if (name.ends_with("_BAI") || name.ends_with(".out"))
            tables[name] = without_name_line(text);
    return tables;
}

TEST(ConvertedFiles, HeidelbergAndCsvGiveTheDecadeFilesTables) {
    const auto decade = tables_of("rwl");
    ASSERT_EQ(decade.size(), 6u);
    for (const std::string extension : {"fh", "csv"}) {
        const auto converted = tables_of(extension);
        ASSERT_EQ(converted.size(), decade.size()) << extension;
        for (const auto& [name, text] : decade) {
            const auto other = converted.find(name);
            ASSERT_NE(other, converted.end()) << extension << ": " << name;
            EXPECT_TRUE(other->second == text) << extension << ": " << name << " differs";
        }
    }
}

}  // namespace
}  // namespace ruvela::testing
