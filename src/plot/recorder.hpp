// A plotter that keeps every call: the drawing as data, for the tests and
// for replaying it in the drawing process.
#pragma once

#include <span>
#include <string>
#include <variant>
#include <vector>

#include "plot/plotter.hpp"

namespace ruvela {

// "name arg arg ...": integers as written, reals in their shortest exact
// form, texts in single quotes; a line by its n only.
std::string describe(const PlotCall& call);

// The calls of one kind, in order.
template <typename Call>
std::vector<Call> calls_of(std::span<const PlotCall> calls) {
    std::vector<Call> found;
    for (const PlotCall& c : calls)
        if (const Call* one = std::get_if<Call>(&c)) found.push_back(*one);
    return found;
}

class PlotRecorder : public Plotter {
  public:
    void record(PlotCall call) override { calls.push_back(std::move(call)); }

    std::vector<PlotCall> calls;

    // Every call described, in order.
    std::vector<std::string> described() const;
};

}  // namespace ruvela
