// The checks of the ring widths, which every format of ring-width file gets,
// seen from the command line.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "../support/program_runner.hpp"

namespace ruvela::testing {
namespace {

// Fault guarded: only decade files had their widths checked, so hundredths of
// a millimetre read as millimetres from the other formats passed unseen.
TEST(RingWidthChecks, HundredthsReadAsMillimetresAreToldInEveryFormat) {
    const std::map<std::string, std::string> files = {
        {"w.csv", "Year,a1\n1901,120\n1902,130\n"},
        {"w.fh",
         "HEADER:\nKeyCode=a1\nDateBegin=1901\nLength=2\nUnit=mm\nDATA:Single\n   120   130\n"},
        {"w.xml",
         "<tridas><project><object><element><sample><radius><measurementSeries>"
         "<title>a1</title><interpretation><firstYear>1901</firstYear></interpretation>"
         "<values><variable normalTridas=\"ring width\"/><unit normalTridas=\"millimetres\"/>"
         "<value value=\"120\"/><value value=\"130\"/></values>"
         "</measurementSeries></radius></sample></element></object></project></tridas>\n"},
    };
    for (const auto& [name, text] : files) {
        ScratchFolder folder("width_checks");
        const ProgramRun run =
            run_with_files(RUVELA_V12, folder.path, {{name, text}, {"w.pth", "5\n"}},
                           {"--kind", "pith", name, "w.pth"});
        EXPECT_EQ(run.status, 0) << name << run.err;
        EXPECT_NE(run.out.find(" Warning: File " + name +
                               ", series a1: mean ring width 125.000 mm is above 10 mm; are the "
                               "widths in hundredths of a millimetre?\n"),
                  std::string::npos)
            << run.out;
    }
}

}  // namespace
}  // namespace ruvela::testing
