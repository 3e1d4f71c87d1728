#include "plot/display.hpp"

#include <algorithm>

#include "plot/options_menu.hpp"
#include "plot/scale.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"

namespace ruvela {

namespace {

constexpr int tick_count = 10;

// Texts reach the library without trailing blanks; a text of blanks only
// as one blank, since an empty option string means something else to it.
std::string library_text(std::string_view text) {
    const std::string_view trimmed = trim_right(text);
    return trimmed.empty() ? std::string(" ") : std::string(trimmed);
}

// Widens a running range to hold `value`, by strict comparisons.
void widen(float& min, float& max, float value) {
    if (value > max) max = value;
    if (value < min) min = value;
}

void clear_points(PlotSession& ps) {
    for (std::vector<float>* points : {&ps.plot_x, &ps.plot_y1, &ps.plot_y2, &ps.plot_y3,
                                       &ps.band_y2_low, &ps.band_y2_high, &ps.band_y3_low,
                                       &ps.band_y3_high})
        points->clear();
}

float band_value(std::span<const float> values, const CurveBand& band, int year) {
    const auto k = static_cast<std::size_t>(year - band.first_year);
    return year >= band.first_year && k < values.size() ? values[k] : 0.0f;
}

// The band's values at the point just added, the axes widened to hold them.
void add_band_point(PlotSession& ps, const CurveBand& band, int year) {
    const float values[] = {band_value(band.increment_low, band, year),
                            band_value(band.increment_high, band, year),
                            band_value(band.basal_area_low, band, year),
                            band_value(band.basal_area_high, band, year)};
    ps.band_y2_low.push_back(values[0]);
    ps.band_y2_high.push_back(values[1]);
    ps.band_y3_low.push_back(values[2]);
    ps.band_y3_high.push_back(values[3]);
    PlotSettings& s = ps.settings;
    for (const float y2 : {values[0], values[1]}) widen(s.y2_min, s.y2_max, y2);
    for (const float y3 : {values[2], values[3]}) widen(s.y3_min, s.y3_max, y3);
}

// Stores one point and widens the running bounds.
void add_point(PlotSession& ps, int year, float y1, float y2, float y3) {
    const float x = static_cast<float>(year);
    ps.plot_x.push_back(x);
    ps.plot_y1.push_back(y1);
    ps.plot_y2.push_back(y2);
    ps.plot_y3.push_back(y3);
    PlotSettings& s = ps.settings;
    widen(s.x_min, s.x_max, x);
    widen(s.y1_min, s.y1_max, y1);
    widen(s.y2_min, s.y2_max, y2);
    widen(s.y3_min, s.y3_max, y3);
}

// The series and years that every table of `d` holds.
int stored_series(const PlotData& d) {
    return std::min({d.ring_width.series(), d.basal_area_increment.series(), d.basal_area.series(),
                     d.series_first_year.extent(), d.series_last_year.extent(),
                     d.series_length.extent()});
}
int stored_years(const PlotData& d) {
    return std::min({d.ring_width.years(), d.basal_area_increment.years(), d.basal_area.years(),
                     d.mean_ring_width.extent(), d.mean_basal_area.extent(),
                     d.mean_basal_area_increment.extent()});
}

// Returns the number of points to draw.
int gather_individual(const PlotData& d, int s, PlotSession& ps) {
    clear_points(ps);
    if (s < 1 || s > stored_series(d)) return 0;
    const int last = std::min(d.series_last_year(s), stored_years(d));
    const auto band = static_cast<std::size_t>(s - 1);
    for (int y = std::max(d.series_first_year(s), 1); y <= last; ++y) {
        add_point(ps, y, d.ring_width(s, y), d.basal_area_increment(s, y), d.basal_area(s, y));
        if (band < d.series_bands.size()) add_band_point(ps, d.series_bands[band], y);
    }
    return std::clamp(d.series_length(s), 0, static_cast<int>(ps.plot_x.size()));
}

int gather_summary(const PlotData& d, PlotSession& ps) {
    clear_points(ps);
    ps.point_total = d.summary_last_year - d.summary_first_year + 1;
    const int last = std::min(d.summary_last_year, stored_years(d));
    for (int y = std::max(d.summary_first_year, 1); y <= last; ++y) {
        add_point(ps, y, d.mean_ring_width(y), d.mean_basal_area_increment(y),
                  d.mean_basal_area(y));
        if (d.mean_band) add_band_point(ps, *d.mean_band, y);
    }
    return std::clamp(ps.point_total, 0, static_cast<int>(ps.plot_x.size()));
}

// One scale call; a refused range keeps the results of the call before.
void scale_axis(PlotSession& ps, float lo, float hi) {
    scale(lo, hi, tick_count, ps.axis_min, ps.axis_step, ps.axis_max, ps.scale_error);
}

void scale_axes(PlotSession& ps) {
    PlotSettings& s = ps.settings;
    scale_axis(ps, s.x_min, s.x_max);
    s.x_min = ps.axis_min;
    s.x_major = ps.axis_step;
    s.x_max = ps.axis_max;
    s.x_minor = axis_default::x_minor_ticks;
    scale_axis(ps, s.y1_min, s.y1_max);
    s.y1_major = ps.axis_step;
    s.y1_minor = axis_default::y_minor_ticks;
    s.y1_min = ps.axis_min;
    s.y1_max = ps.axis_max;
    scale_axis(ps, s.y2_min, s.y2_max);
    s.y2_major = ps.axis_step;
    s.y2_minor = axis_default::y_minor_ticks;
    s.y2_min = ps.axis_min;
    s.y2_max = ps.axis_max;
    scale_axis(ps, s.y3_min, s.y3_max);
    s.y3_major = ps.axis_step;
    s.y3_minor = axis_default::y_minor_ticks;
    s.y3_min = ps.axis_min;
    s.y3_max = ps.axis_max;
}

bool draws(PlotChoice plot_mode) {
    return plot_mode == PlotChoice::individual || plot_mode == PlotChoice::summary;
}

struct PageTexts {
    std::string title;
    std::string_view bottom_ylabel;
};

PageTexts texts_of(const PlotData& d, PlotChoice plot_mode, int series_index) {
    if (plot_mode == PlotChoice::individual) {
        const bool known = series_index >= 1 && series_index <= d.series_ids.extent();
        return {library_text(known ? d.series_ids(series_index).padded() : std::string()), "dm2"};
    }
    return {library_text(d.plot_title), "BA(dm2)"};
}

struct YScale {
    float min, max, major;
    int minor;
};

// The next subpage with its frame, the year axis and a left scale, and labels.
void draw_frame(Plotter& p, const PlotSettings& s, const YScale& y, std::string_view ylabel,
                std::string_view title) {
    p.adv(0);
    p.vpor(0.12f, 0.9f, 0.2f, 0.85f);
    p.wind(s.x_min, s.x_max, y.min, y.max);
    p.col0(s.frame_color);
    p.axes(s.x_min, y.min, "abinst", s.x_major, s.x_minor, "abinstv", y.major, y.minor);
    p.col0(s.text_color);
    p.lab("YEAR", ylabel, title);
}

// The device of the settings, its colours and font, a page of two subpages.
void open_device(const PlotSettings& s, Plotter& p) {
    p.sdev(library_text(s.device_name));
    p.scol0(15, 0, 0, 0);
    p.scolbg(s.bg_red, s.bg_green, s.bg_blue);
    p.init();
    p.fontld(1);
    p.font(1);
    p.ssub(1, 2);
}

// A band as a light grey area under the curve: it reads in grey print as in
// colour, and the curves drawn over it stay whole. Its colour has an entry of
// its own after the 16 the menu offers.
constexpr int band_color = 16;
constexpr int band_grey = 217;

void draw_band(Plotter& p, int n, const PlotSession& ps, const std::vector<float>& low,
               const std::vector<float>& high, int curve_color) {
    if (low.empty() || n < 2) return;
    std::vector<float> x(ps.plot_x.begin(), ps.plot_x.begin() + n);
    std::vector<float> y(low.begin(), low.begin() + n);
    for (int k = n - 1; k >= 0; --k) {
        x.push_back(ps.plot_x[static_cast<std::size_t>(k)]);
        y.push_back(high[static_cast<std::size_t>(k)]);
    }
    p.scmap0n(band_color + 1);
    p.scol0(band_color, band_grey, band_grey, band_grey);
    p.col0(band_color);
    p.fill(2 * n, x, y);
    p.col0(curve_color);
}

// The two panels of a page: ring width and increment above, the cumulative
// basal area below, each area with its band when there is one.
void draw_panels(const PlotSession& ps, const PageTexts& texts, Plotter& p) {
    const PlotSettings& s = ps.settings;
    const int n = ps.points_drawn;
    draw_frame(p, s, {s.y1_min, s.y1_max, s.y1_major, s.y1_minor}, "RWW(mm.)", texts.title);
    if (!ps.band_y2_low.empty()) {
        // Under both curves of the panel: in the increment's window, and back.
        p.wind(s.x_min, s.x_max, s.y2_min, s.y2_max);
        draw_band(p, n, ps, ps.band_y2_low, ps.band_y2_high, s.text_color);
        p.wind(s.x_min, s.x_max, s.y1_min, s.y1_max);
    }
    p.lsty(s.line_style);
    p.width(2);
    p.col0(s.line_color);
    p.line(n, ps.plot_x, ps.plot_y1);
    p.wind(s.x_min, s.x_max, s.y2_min, s.y2_max);
    p.col0(s.curve_color);
    p.width(1);
    p.lsty(s.line_style);
    p.axes(s.x_min, s.y2_min, " ", s.x_major, s.x_minor, "cmstv", s.y2_major, s.y2_minor);
    p.mtex("r", 5.2f, 0.24f, 0.0f, "BAI(cm2)");
    p.line(n, ps.plot_x, ps.plot_y2);
    p.width(1);

    draw_frame(p, s, {s.y3_min, s.y3_max, s.y3_major, s.y3_minor}, texts.bottom_ylabel,
               "Cumulative Basal Area");
    p.lsty(s.line_style);
    p.width(s.curve_width);
    p.col0(s.line_color);
    draw_band(p, n, ps, ps.band_y3_low, ps.band_y3_high, s.line_color);
    p.line(n, ps.plot_x, ps.plot_y3);
}

void draw_page(const PlotSession& ps, const PageTexts& texts, Plotter& p) {
    open_device(ps.settings, p);
    draw_panels(ps, texts, p);
    p.end();
}

// An empty selection draws nothing; the user hears why.
void draw(const PlotSession& ps, const PageTexts& texts, Console& con, Plotter& p) {
    if (ps.points_drawn <= 0) {
        write_line(con, " Nothing to plot: the selection holds no years.");
        return;
    }
    draw_page(ps, texts, p);
}

// The default settings; the device chosen before (the screen, or the file
// device of a save) survives the reset.
void reset_settings(PlotSession& ps, Console& con) {
    const std::string device = ps.settings.device_name;
    pltstyle(reset_option, ps.settings, ps.background_choice, con);
    ps.settings.device_name = device;
    ps.settings.y3_min = axis_default::y3_min;
    ps.settings.y3_max = axis_default::y3_max;
}

// The page's points, and axes scaled to them.
void gather_and_scale(const PlotData& d, PlotChoice plot_mode, int series_index, PlotSession& ps) {
    ps.points_drawn = plot_mode == PlotChoice::individual ? gather_individual(d, series_index, ps)
                                                          : gather_summary(d, ps);
    scale_axes(ps);
}

// Reset, gathering, scaling and drawing.
void fresh_start(const PlotData& d, PlotChoice plot_mode, int series_index, PlotSession& ps,
                 Console& con, Plotter& p) {
    reset_settings(ps, con);
    if (!draws(plot_mode)) return;
    gather_and_scale(d, plot_mode, series_index, ps);
    draw(ps, texts_of(d, plot_mode, series_index), con, p);
}

}  // namespace

void begin_plot_file(std::string_view file_name, PlotSession& session, Console& con,
                     Plotter& plotter) {
    session.settings.device_name = save_device;
    reset_settings(session, con);
    plotter.sfnam(file_name);
    open_device(session.settings, plotter);
}

bool draw_plot_page(const PlotData& data, const PlotPage& page, PlotSession& session, Console& con,
                    Plotter& plotter) {
    reset_settings(session, con);
    if (!draws(page.mode)) return false;
    gather_and_scale(data, page.mode, page.series, session);
    if (session.points_drawn <= 0) return false;
    draw_panels(session, texts_of(data, page.mode, page.series), plotter);
    return true;
}

void end_plot_file(Plotter& plotter) {
    plotter.end();
}

bool display(const PlotData& data, PlotChoice plot_mode, int series_index, PlotSession& session,
             Console& con, Plotter& plotter) {
    session.settings.device_name = screen_device;
    bool start_afresh = true;
    for (;;) {
        if (start_afresh) fresh_start(data, plot_mode, series_index, session, con, plotter);
        session.settings.device_name = screen_device;
        start_afresh = false;
        switch (plot_options_menu(session, con, plotter)) {
            case MenuOutcome::redraw:
                if (draws(plot_mode))
                    draw(session, texts_of(data, plot_mode, series_index), con, plotter);
                break;
            case MenuOutcome::fresh_start:
            case MenuOutcome::save:
                start_afresh = true;
                break;
            case MenuOutcome::carry_on:
                return true;
            case MenuOutcome::no_more_plots:
                return false;
        }
    }
}

}  // namespace ruvela
