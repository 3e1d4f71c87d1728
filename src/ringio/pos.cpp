#include "ringio/pos.hpp"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "ringio/ring_values.hpp"
#include "text/fixed_text.hpp"
#include "text/lines.hpp"

namespace ruvela {

namespace {

// A decimal as written: the unit that scales it by one.
constexpr WidthUnit as_written{1, 0};

// The oldest writer version whose files carry the pith line.
constexpr int pith_line_major = 7;
constexpr int pith_line_minor = 8;

struct Xy {
    float x = 0.0f;
    float y = 0.0f;
};

// Straight distance in single precision throughout: the differences, their
// squares, their sum and the root are each one float operation, so that a
// width does not depend on how the compiler would widen them.
float distance(Xy a, Xy b) {
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

enum class PointKind { boundary, seasonwood, gap };

struct Point {
    PointKind kind = PointKind::boundary;
    Xy at;
    std::optional<Xy> inner;  // the second pair of a double point
    int zero_rings = 0;
    long line = 0;
    int decimals = 0;  // the most decimals its coordinates are written with

    // Where the path goes on from this point: across a double point's jump.
    Xy end() const { return inner ? *inner : at; }
};

struct Entry {
    std::string value;
    long line = 0;
};

struct Header {
    std::map<std::string, Entry> keys;  // lower-cased: older files write DISTANCETOPITH
    std::optional<Entry> dated;
    std::optional<Entry> unit;  // what the "#All coordinates in" line names
    long dpi_line = 0;
};

// A reading of the file, or why it stops.
struct Fault {
    long line = 0;
    std::string text;
};

bool starts_with_ignoring_case(std::string_view text, std::string_view start) {
    return text.size() >= start.size() && lower_case(text.substr(0, start.size())) == start;
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

const std::array<std::string_view, 4> read_keys = {"pithcoordinates", "distancetopith",
                                                   "yearstopith", "coorecorder"};

// "#C" lines hold Key=Value; fields, several to a line, or the dated year,
// or free text.
void read_comment(std::string_view rest, long line, Header& h) {
    // Upper case only: a free comment may well begin "Dated by".
    if (rest.starts_with("DATED") && (rest.size() == 5 || rest[5] == ' ' || rest[5] == '\t')) {
        if (!h.dated) h.dated = Entry{std::string(trim(rest.substr(5))), line};
        return;
    }
    while (!rest.empty()) {
        const auto semicolon = std::min(rest.find(';'), rest.size());
        const std::string_view field = rest.substr(0, semicolon);
        rest.remove_prefix(std::min(semicolon + 1, rest.size()));
        const auto eq = field.find('=');
        if (eq == std::string_view::npos) continue;
        // Only the keys read are kept: a header may hold any number of others.
        std::string name = lower_case(trim(field.substr(0, eq)));
        if (std::find(read_keys.begin(), read_keys.end(), name) == read_keys.end()) continue;
        h.keys.emplace(std::move(name), Entry{std::string(trim(field.substr(eq + 1))), line});
    }
}

std::optional<Fault> read_header_line(std::string_view text, long line, Header& h) {
    if (starts_with_ignoring_case(text, "#c") && (text.size() == 2 || text[2] == ' ')) {
        read_comment(trim(text.substr(2)), line, h);
    } else if (starts_with_ignoring_case(text, "#dpi")) {
        h.dpi_line = line;
    } else if (starts_with_ignoring_case(text, "#all coordinates in")) {
        h.unit = Entry{std::string(trim(text.substr(19))), line};
    } else if (starts_with_ignoring_case(text, "scale")) {
        const std::string_view value = trim(text.substr(5));
        if (width_in_mm(value, as_written) != 1.0f)
            return Fault{line, "SCALE " + quoted(value) + ", not 1: the points are scaled"};
    }
    return std::nullopt;
}

const Entry* key(const Header& h, const std::string& name) {
    const auto it = h.keys.find(name);
    return it == h.keys.end() ? nullptr : &it->second;
}

// The writer's version "9.8.1 March 23 2022" as major and minor, when it
// reads as one.
std::optional<std::pair<int, int>> version_of(std::string_view text) {
    const auto dot = text.find('.');
    if (dot == std::string_view::npos) return std::nullopt;
    std::string_view minor = text.substr(dot + 1);
    std::size_t digits = 0;
    while (digits < minor.size() && is_digit(minor[digits])) ++digits;
    const auto major = whole_number(text.substr(0, dot));
    const auto minor_number = whole_number(minor.substr(0, digits));
    if (!major || !minor_number) return std::nullopt;
    return std::pair{*major, *minor_number};
}

// `decimals`, when given, takes the most decimals the two numbers are written with.
std::optional<Fault> pair_of(std::string_view text, long line, Xy& xy, int* decimals = nullptr) {
    const auto comma = text.find(',');
    if (comma == std::string_view::npos || comma == 0 || comma + 1 == text.size())
        return Fault{line, "a truncated coordinate line: " + quoted(text) + " is no pair x,y"};
    const std::string_view parts[] = {text.substr(0, comma), text.substr(comma + 1)};
    float* targets[] = {&xy.x, &xy.y};
    for (int k = 0; k < 2; ++k) {
        const auto v = width_in_mm(parts[k], as_written);
        if (!v) return Fault{line, "coordinate " + quoted(parts[k]) + " is not a number"};
        *targets[k] = *v;
        if (decimals) *decimals = std::max(*decimals, written_decimals(parts[k], as_written));
    }
    return std::nullopt;
}

// The pith's facts from the header keys; the distance itself follows from
// the points.
std::optional<Fault> read_pith_keys(const Header& h, PosPith& p, std::optional<Xy>& pith_at) {
    if (const Entry* e = key(h, "pithcoordinates")) {
        Xy xy;
        if (pair_of(e->value, e->line, xy))
            return Fault{e->line, "PithCoordinates " + quoted(e->value) + " are not two numbers"};
        pith_at = xy;
        p.pith_line = true;
    }
    if (const Entry* e = key(h, "distancetopith")) {
        const auto d = width_in_mm(e->value, as_written);
        if (!d || *d < 0.0f)
            return Fault{e->line, "DistanceToPith " + quoted(e->value) + " is no distance"};
        p.distance_mm = *d;
    }
    if (const Entry* e = key(h, "yearstopith")) {
        const auto n = whole_number(e->value);
        if (!n || *n < 0)
            return Fault{e->line, "YearsToPith " + quoted(e->value) + " is no count of rings"};
        p.years_to_pith = *n;
    }
    return std::nullopt;
}

// What the header must say before points can be read as dated widths in mm.
std::optional<Fault> check_header(const Header& h, long first_point_line, PosPith& p,
                                  std::optional<Xy>& pith_at) {
    if (!h.unit) {
        return Fault{h.dpi_line > 0 ? h.dpi_line : 1,
                     "no line \"#All coordinates in millimeters (mm)\": the points may be in "
                     "pixels of the scan, not millimetres"};
    }
    const std::string unit = lower_case(h.unit->value);
    if (unit != "millimeters (mm)" && unit != "millimetres (mm)")
        return Fault{h.unit->line, "coordinates in " + quoted(h.unit->value) + ", not millimetres"};
    if (const Entry* e = key(h, "coorecorder"); e && !key(h, "pithcoordinates")) {
        const auto v = version_of(e->value);
        if (v && *v < std::pair{pith_line_major, pith_line_minor})
            return Fault{e->line, "written by version " +
                                      excerpt(e->value.substr(0, e->value.find(' '))) +
                                      " of the measuring program, older than 7.8: no pith line "
                                      "(PithCoordinates) and no dated widths"};
    }
    if (!h.dated)
        return Fault{first_point_line,
                     "no dated year (no line \"#C DATED <year>\" before the points): the core "
                     "was never dated"};
    const auto year = whole_number(h.dated->value);
    if (!year)
        return Fault{h.dated->line, "the dated year " + quoted(h.dated->value) + " is no year"};
    p.dated_year = *year;
    return read_pith_keys(h, p, pith_at);
}

// A point line: "x,y", "x1,y1  x2,y2" (a double point), "Dx,y #W#"
// (seasonwood) or "Dx,y #%gap", each perhaps with a label after '#'.
std::optional<Fault> read_point(std::string_view text, long line, Point& p) {
    p.line = line;
    const bool marked = text.front() == 'D' || text.front() == 'd';
    if (marked) text.remove_prefix(1);
    const auto hash = text.find('#');
    const std::string_view label =
        hash == std::string_view::npos ? std::string_view{} : text.substr(hash + 1);
    std::string_view rest = trim(text.substr(0, hash));
    std::string_view pairs[2];
    int count = 0;
    while (!rest.empty()) {
        if (count == 2) return Fault{line, "more than two coordinate pairs on a line"};
        const auto end = std::min(rest.find_first_of(blanks), rest.size());
        pairs[count++] = rest.substr(0, end);
        rest = trim(rest.substr(end));
    }
    if (count == 0) return Fault{line, "a truncated coordinate line: no coordinates"};
    if (auto f = pair_of(pairs[0], line, p.at, &p.decimals)) return f;
    if (count == 2) {
        if (marked) return Fault{line, "a seasonwood or gap point with two pairs"};
        Xy inner;
        if (auto f = pair_of(pairs[1], line, inner, &p.decimals)) return f;
        p.inner = inner;
    }
    const std::string tag = lower_case(label.substr(0, 5));
    if (marked) {
        if (tag.starts_with("w#"))
            p.kind = PointKind::seasonwood;
        else if (tag.starts_with("%gap"))
            p.kind = PointKind::gap;
        else
            return Fault{line, "a D point that is neither seasonwood (#W#) nor a gap (#%gap)"};
        return std::nullopt;
    }
    if (tag.size() > 4 && tag.starts_with("zero") && is_digit(tag[4])) {
        std::size_t digits = 4;
        while (digits < label.size() && is_digit(label[digits])) ++digits;
        const auto n = whole_number(label.substr(4, digits - 4));
        if (!n || *n > max_years)
            return Fault{line, "more zero rings than a series can hold (" +
                                   excerpt(label.substr(0, digits)) + ")"};
        p.zero_rings = *n;
    }
    return std::nullopt;
}

// The widths from the outermost ring inward, and where the path ends.
struct Path {
    std::vector<float> widths;
    Xy first;
    Xy last;  // the innermost boundary, past a double point's jump
};

std::optional<Fault> measure(const std::vector<Point>& points, Path& path) {
    bool started = false;
    bool gap_open = false;  // the segments until the next gap point or boundary are missing wood
    float ring = 0.0f;
    Xy from;
    for (const Point& p : points) {
        if (!started) {
            // Points outside the first boundary belong to no dated ring.
            if (p.kind != PointKind::boundary) continue;
            started = true;
            path.first = p.at;
            for (int k = 0; k < p.zero_rings; ++k) path.widths.push_back(0.0f);
            from = path.last = p.end();
            continue;
        }
        if (!gap_open) ring += distance(from, p.at);
        if (!std::isfinite(ring))
            return Fault{p.line, "points too far apart for a width in single precision"};
        from = p.end();
        if (p.kind == PointKind::gap) {
            gap_open = !gap_open;
            continue;
        }
        if (p.kind == PointKind::seasonwood) continue;
        gap_open = false;
        path.widths.push_back(ring);
        for (int k = 0; k < p.zero_rings; ++k) path.widths.push_back(0.0f);
        if (path.widths.size() > max_years)
            return Fault{p.line,
                         "more rings than a series can hold (" + std::to_string(max_years) + ")"};
        ring = 0.0f;
        path.last = from;
    }
    return std::nullopt;
}

int sign(float v) {
    return (v > 0.0f) - (v < 0.0f);
}

// Steps that go back on both axes against the core's course, from its first
// point to its last: points saved out of order, or a path that doubles back.
std::optional<Finding> reversed_steps(const std::vector<Point>& points, const Path& path) {
    const int sx = sign(path.last.x - path.first.x);
    const int sy = sign(path.last.y - path.first.y);
    Finding f{.kind = FindingKind::point_order_reversed};
    for (std::size_t k = 1; k < points.size(); ++k) {
        const Xy from = points[k - 1].end();
        const Xy to = points[k].at;
        if (sx != 0 && sy != 0 && sign(to.x - from.x) == -sx && sign(to.y - from.y) == -sy) {
            if (f.count++ == 0) f.line = points[k].line;
        }
    }
    if (f.count == 0) return std::nullopt;
    return f;
}

// A pith behind the innermost point, or farther from it than half the core
// is long, was most likely placed wrong.
std::optional<Finding> pith_off_line(const Path& path, Xy pith, float to_pith, long line) {
    const Xy core{path.last.x - path.first.x, path.last.y - path.first.y};
    const Xy step{pith.x - path.last.x, pith.y - path.last.y};
    const float along = core.x * step.x + core.y * step.y;
    const float half_core = distance(path.first, path.last) / 2.0f;
    std::string why;
    if (along < 0.0f)
        why = "back toward the bark";
    else if (to_pith > half_core)
        why = "farther than half the core's length";
    else
        return std::nullopt;
    return Finding{
        .kind = FindingKind::pith_off_core_line, .line = line, .value = to_pith, .text = why};
}

std::string not_pos(std::string_view text) {
    if (looks_like_utf16(text)) return "UTF-16 text, not a coordinate file";
    const RingFormat format = detect_ring_format(text);
    if (format != RingFormat::decade)
        return "a " + std::string(ring_format_name(format)) + " file, not a coordinate file";
    return "not a coordinate file: its first line does not start with #DENDRO";
}

PosReading refused(const Fault& f) {
    return {read_error(f.line, f.text), {}};
}

class PosReader {
  public:
    PosReader(std::string_view text, std::string_view stem) : text_(text), stem_(stem) {}

    PosReading read() {
        if (text_.empty()) return refused({0, "an empty file"});
        if (!looks_like_pos(text_)) return refused({1, not_pos(text_)});
        if (auto f = read_lines()) return refused(*f);
        const long last = lines_.line_number();
        if (!header_checked_) {
            if (auto f = check_header(header_, last, pith_, pith_at_)) return refused(*f);
        }
        if (points_.empty()) return refused({last, "no points: the file ends after its header"});
        const auto boundaries = std::count_if(points_.begin(), points_.end(), [](const Point& p) {
            return p.kind == PointKind::boundary;
        });
        if (boundaries == 0)
            return refused({last, "no ring boundaries, only seasonwood or gap points"});
        Path path;
        if (auto f = measure(points_, path)) return refused(*f);
        if (path.widths.empty()) return refused({last, "one ring boundary: no ring to measure"});
        return done(path);
    }

  private:
    std::optional<Fault> read_lines() {
        std::string line;
        while (lines_.next(line)) {
            const std::string_view text = trim(line);
            const long n = lines_.line_number();
            if (text.empty()) continue;
            if (text.front() == '#' ||
                (points_.empty() && starts_with_ignoring_case(text, "scale"))) {
                if (!points_.empty()) return Fault{n, "a header line among the points"};
                if (auto f = read_header_line(text, n, header_)) return f;
                continue;
            }
            if (!header_checked_) {
                header_checked_ = true;
                if (auto f = check_header(header_, n, pith_, pith_at_)) return f;
            }
            if (points_.size() == max_pos_points)
                return Fault{n, "more than " + std::to_string(max_pos_points) + " points"};
            Point p;
            if (auto f = read_point(text, n, p)) return f;
            points_.push_back(p);
        }
        return std::nullopt;
    }

    PosReading done(Path& path) {
        const long long first_year = static_cast<long long>(pith_.dated_year) -
                                     static_cast<long long>(path.widths.size()) + 1;
        if (first_year < INT_MIN)
            return refused({header_.dated->line, "years beyond any calendar"});
        PithInfo info;
        if (pith_at_) {
            const float d = distance(path.last, *pith_at_);
            if (!std::isfinite(d))
                return refused({key(header_, "pithcoordinates")->line,
                                "the pith too far from the points for single precision"});
            pith_.distance_mm = d;
            info.distance_source = "PithCoordinates";
        } else if (pith_.distance_mm) {
            info.distance_source = "DistanceToPith";
        }
        info.distance_mm = pith_.distance_mm;
        if (pith_.years_to_pith) {
            info.offset = pith_.years_to_pith;
            info.offset_source = "YearsToPith";
        }
        std::vector<float> widths(path.widths.rbegin(), path.widths.rend());
        // The widths are computed: they are given at the precision of the
        // coordinates they come from.
        int decimals = 0;
        for (const Point& p : points_) decimals = std::max(decimals, p.decimals);
        SeriesCollector series;
        series.keep(stem_, 0, static_cast<int>(first_year), std::move(widths),
                    info == PithInfo{} ? std::nullopt : std::optional(info), decimals);
        PosReading r{std::move(series).done(), pith_};
        const std::string id = r.reading.series[0].id.cut();
        if (auto f = reversed_steps(points_, path)) {
            f->series = id;
            r.reading.findings.push_back(std::move(*f));
        }
        if (pith_at_) {
            if (auto f = pith_off_line(path, *pith_at_, *pith_.distance_mm,
                                       key(header_, "pithcoordinates")->line)) {
                f->series = id;
                r.reading.findings.push_back(std::move(*f));
            }
        }
        return r;
    }

    std::string_view text_;
    std::string_view stem_;
    LineReader lines_{text_};
    Header header_;
    bool header_checked_ = false;
    PosPith pith_;
    std::optional<Xy> pith_at_;
    std::vector<Point> points_;
};

}  // namespace

bool looks_like_pos(std::string_view content) {
    return without_byte_order_mark(content).starts_with("#DENDRO");
}

PosReading read_pos(std::string_view content, std::string_view stem) {
    return PosReader(without_byte_order_mark(content), stem).read();
}

}  // namespace ruvela
