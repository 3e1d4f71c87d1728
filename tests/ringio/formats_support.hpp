// Reading the fixtures of the formats other than the decade format, and the
// exact floats the tests expect of them.
#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <fstream>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "ringio/ring_format.hpp"

namespace ruvela::testing {

inline std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A fixture under tests/data/formats, read in the format its content shows.
inline RingFileReading read_fixture(const std::string& name, RingFormat expected) {
    const std::string text = file_text(std::string(RUVELA_TEST_DATA) + "/formats/" + name);
    EXPECT_FALSE(text.empty()) << name;
    EXPECT_EQ(detect_ring_format(text), expected) << name;
    return read_ring_file(expected, text);
}

// The binary32 nearest to a decimal text: a value rounded once.
inline float nearest(const char* decimal) {
    float value = 0.0f;
    std::from_chars(decimal, decimal + std::strlen(decimal), value);
    return value;
}

inline bool same_bits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A finding in one line, for comparing lists of them.
inline std::string describe(const Finding& f) {
    switch (f.kind) {
        case FindingKind::id_cut:
            return "line " + std::to_string(f.line) + ": ID " + f.other_id + " cut to " + f.series;
        case FindingKind::duplicate_id:
            return "line " + std::to_string(f.line) + ": ID " + f.series + " again";
        case FindingKind::series_skipped:
            return "line " + std::to_string(f.line) + ": " + f.series + " skipped, " + f.text;
        case FindingKind::gap_read_as_zero:
            return f.series + ": " + std::to_string(f.count) + " missing from " +
                   std::to_string(f.year) + " to " + std::to_string(f.expected_year);
        case FindingKind::mean_width_implausible:
            return f.series + ": implausible mean width";
        default:
            return "another finding";
    }
}

inline std::vector<std::string> described(const RingFileReading& r) {
    std::vector<std::string> out;
    for (const Finding& f : r.findings) out.push_back(describe(f));
    return out;
}

// "line N: text" of a reading's error, or "no error".
inline std::string error_of(const RingFileReading& r) {
    if (!r.error) return "no error";
    return "line " + std::to_string(r.error->line) + ": " + r.error->text;
}

// Input a reader cannot take: the error it gives, with nothing read.
struct RefusedFile {
    std::string file;
    const char* error;
};

template <typename Read>
void expect_refused(Read read, std::span<const RefusedFile> cases) {
    for (const RefusedFile& c : cases) {
        const auto r = read(c.file);
        EXPECT_EQ(error_of(r), c.error) << c.file;
        EXPECT_TRUE(r.series.empty() && r.findings.empty()) << c.file;
    }
}

}  // namespace ruvela::testing
