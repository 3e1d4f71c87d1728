#include "plot/call_wire.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "plot/recorder.hpp"

namespace ruvela {
namespace {

// The drawing process of a plot file gets every call through these bytes:
// a field lost or swapped on the way would draw another plot.
TEST(CallWire, EveryCallArrivesAsMade) {
    PlotRecorder made;
    made.sfnam("/tmp/a b\nc.pdf");
    made.sdev("pdfcairo");
    made.scol0(15, 0, 1, 255);
    made.scolbg(255, 254, 253);
    made.init();
    made.fontld(1);
    made.font(2);
    made.ssub(1, 2);
    made.adv(0);
    made.vpor(0.12f, 0.9f, 0.2f, 0.85f);
    made.wind(1570.0f, 1990.0f, -1e-30f, 3.4e38f);
    made.col0(3);
    made.axes(1.0f, 2.0f, "abinst", 50.0f, 5, "abinstv", 0.5f, 2);
    made.lab("YEAR", "", "01A");
    made.lsty(4);
    made.width(2);
    const std::vector<float> x{1.0f, 2.0f, 3.0f}, y{0.5f, -0.25f, 7.0f};
    made.line(3, x, y);
    made.mtex("r", 5.2f, 0.24f, 0.0f, "BAI(cm2)");
    made.scmap0n(17);
    made.fill(3, y, x);
    made.end();
    PlotRecorder arrived;
    for (const PlotCall& call : made.calls) {
        const auto decoded = decode_call(encode_call(call));
        ASSERT_TRUE(decoded) << describe(call);
        arrived.record(*decoded);
    }
    EXPECT_EQ(arrived.described(), made.described());
    const auto lines = calls_of<call::Line>(arrived.calls);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].x, x);
    EXPECT_EQ(lines[0].y, y);
    const auto fills = calls_of<call::Fill>(arrived.calls);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].x, y);
    EXPECT_EQ(fills[0].y, x);
}

TEST(CallWire, BytesItDidNotMakeAreNoCall) {
    const std::string whole = encode_call(call::Lab{"YEAR", "RWW(mm.)", "01A"});
    EXPECT_FALSE(decode_call(""));
    EXPECT_FALSE(decode_call(whole.substr(0, whole.size() - 1)));
    EXPECT_FALSE(decode_call(whole + "x"));
    EXPECT_FALSE(decode_call(std::string(1, static_cast<char>(200))));
}

}  // namespace
}  // namespace ruvela
