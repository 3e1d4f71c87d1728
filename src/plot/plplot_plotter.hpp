// Drawing through PLplot. Every drawing is collected call by call and, at
// its end, checked and replayed in a child process: the library ends the
// process on its errors and asks on standard input for an unknown device,
// and neither may end the run or swallow the user's answers.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "plot/plotter.hpp"
#include "text/output_file.hpp"

namespace ruvela {

// The PLplot version the programs were compiled against.
std::string_view plplot_version();

// The devices this PLplot offers.
std::vector<std::string> plplot_devices();

// The screen device: `ruvela_device` (RUVELA_DEVICE) when set and not empty;
// otherwise, when `display` (DISPLAY) names a display, xcairo, or xwin where
// cairo is missing; otherwise none (empty).
std::string choose_screen_device(const char* ruvela_device, const char* display,
                                 const std::vector<std::string>& devices);

// The device of a saved plot: the file name's ending .png, .svg or .pdf (any
// case) chooses that format, every other name colour PostScript.
std::string file_device_for(std::string_view file_name, const std::vector<std::string>& devices);

class PlplotPlotter : public Plotter {
  public:
    // `messages` gets the one-line reports of plots that cannot be drawn.
    PlplotPlotter(std::ostream& messages, std::string screen_device);

    // The screen device chosen from the environment, or `device` when not empty.
    static PlplotPlotter from_environment(std::ostream& messages, const std::string& device = {});

    // Keeps the calls of a drawing and draws at its end.
    void record(PlotCall call) override;

  private:
    void draw();
    std::string file_name() const;
    std::string device_for(std::string_view name) const;
    bool ready(const std::string& device, const std::string& file_name);
    std::string draw_in_child(const std::string& device, bool may_wait_for_user);

    std::vector<PlotCall> recording_;
    std::ostream& messages_;
    std::string screen_device_;
    std::vector<std::string> devices_;
    bool told_no_display_ = false;
    TemporaryFile save_temp_;  // the file a save draws into until it is complete
};

}  // namespace ruvela
