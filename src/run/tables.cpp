#include "run/tables.hpp"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "ringio/trrw.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"
#include "text/output_file.hpp"
#include "text/shown_text.hpp"

namespace ruvela {

std::string output_file_name(std::string_view ring_file_name) {
    constexpr std::string_view suffix = "_BAI";
    std::string_view name = trim_right(ring_file_name);
    // A folder's table is named after the folder.
    while (name.size() > 1 && name.ends_with('/')) name.remove_suffix(1);
    // The table goes to the working folder, named after the file, not its path.
    const auto slash = name.rfind('/');
    const std::string_view base = slash == std::string_view::npos ? name : name.substr(slash + 1);
    const std::string_view stem = base.substr(0, base.find_first_of(". "));
    return padded_name(std::string(stem) + std::string(suffix));
}

std::string unused_table_name(const std::string& name, const std::vector<std::string>& used) {
    const auto taken = [&](const std::string& n) {
        return std::find(used.begin(), used.end(), n) != used.end();
    };
    const std::string whole(trim_right(name));
    if (!taken(whole)) return name;
    std::string other;
    for (int k = 2; taken(other = whole + "_" + std::to_string(k)); ++k) {
    }
    return padded_name(other);
}

std::string series_heading(std::string_view series_id) {
    const std::string id = fixed_text(series_id, id_length);
    return id + "rrw " + id + "ba " + id + "bai ";
}

namespace {

// A real in a table cell: Fw.6.
char* put_cell(char* cell, float value, int width) {
    return put_fixed(cell, value, width, 6);
}

constexpr int column_cell_width = 11;
constexpr int summary_cell_width = 12;

// A cell of the column layout. Years outside a series hold zeros, about a
// third of the cells of a batch of archive files, so a zero is copied from
// one cell written beforehand.
struct ColumnCells {
    char zero[column_cell_width];
    ColumnCells() { put_cell(zero, 0.0f, column_cell_width); }
    char* put(char* cell, float value) const {
        if (value != 0.0f) return put_cell(cell, value, column_cell_width);
        std::memcpy(cell, zero, column_cell_width);
        return cell + column_cell_width;
    }
};

// Rows are formatted straight into the block that goes out next, a few
// years at a time. A row takes one cell from every series, but the store
// keeps a series' years side by side: the block's values are first copied
// out series by series, in a loop short enough for the processor to fetch
// many series at once, and the rows are then formatted from that copy.
constexpr int block_years = 16;

// The block buffer of the column layout: rows are formatted over memory
// that nothing wrote before, where a string sized for each row would first
// fill it with zeros (the whole table once over). Whole blocks go out as
// write_whole_blocks sends them, the rest moves to the front.
class ColumnBlocks {
  public:
    explicit ColumnBlocks(std::string_view heading, std::size_t row_length)
        : capacity_(std::max(2 * block_size, heading.size() + block_size + row_length)),
          data_(std::make_unique_for_overwrite<char[]>(capacity_)) {
        std::memcpy(data_.get(), heading.data(), heading.size());
        size_ = heading.size();
    }
    // Room for the next `length` characters, all of which the caller writes.
    char* row(std::size_t length) {
        char* at = data_.get() + size_;
        size_ += length;
        return at;
    }
    void write_whole_blocks(std::ostream& out) {
        if (size_ < block_size) return;
        const std::size_t whole = size_ / block_size * block_size;
        out.write(data_.get(), static_cast<std::streamsize>(whole));
        std::memmove(data_.get(), data_.get() + whole, size_ - whole);
        size_ -= whole;
    }
    void write_all(std::ostream& out) {
        out.write(data_.get(), static_cast<std::streamsize>(size_));
        size_ = 0;
    }

  private:
    std::size_t capacity_;
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
};

// A block's years of one series and table. A whole block is a copy of
// fixed size, done in line: through std::copy every one was a call, and
// there are three per series for every 16 years. The next block's values
// are asked for meanwhile, as they lie in a page of their own for every
// series and table, too many for the processor to follow by itself.
void copy_block(std::span<const float> cells, float* copy, bool next_block_follows) {
    if (cells.size() != static_cast<std::size_t>(block_years)) {
        std::copy(cells.begin(), cells.end(), copy);
        return;
    }
    std::memcpy(copy, cells.data(), block_years * sizeof(float));
    if (next_block_follows) {
        __builtin_prefetch(cells.data() + block_years);
        __builtin_prefetch(cells.data() + 2 * block_years - 1);
    }
}

void write_column_layout(const Job& job, const RunResults& run, const PairSeries& pair,
                         const PairTables& tables, std::ostream& out) {
    const int f = run.file_index;
    std::string heading = " ";
    heading += shown_text(job.ring_file_name(f));
    heading += "\n Yr. ";
    for (int s = 1; s <= pair.series_count; ++s) heading += pair.series_headings(s);
    heading += '\n';
    const ColumnCells cells;
    const auto series_count = static_cast<std::size_t>(pair.series_count);
    const SeriesYearTable* const series_tables[] = {&tables.ring_width, &tables.basal_area,
                                                    &tables.basal_area_increment};
    std::vector<float> values(series_count * 3 * block_years);  // [series][table][year]
    constexpr std::size_t year_length = 5;                      // " yyyy"
    const std::size_t row_length = year_length + series_count * 3 * column_cell_width + 1;
    ColumnBlocks buffer(heading, row_length);
    const int last_year = run.file_last_year(f);
    for (int first = run.file_first_year(f); first <= last_year; first += block_years) {
        const int rows = std::min(block_years, last_year - first + 1);
        const bool more = last_year - first + 1 >= 2 * block_years;
        float* copy = values.data();
        for (int s = 1; s <= pair.series_count; ++s) {
            for (const SeriesYearTable* table : series_tables) {
                copy_block(table->cells(s, first, static_cast<std::size_t>(rows)), copy, more);
                copy += block_years;
            }
        }
        for (int r = 0; r < rows; ++r) {
            char* cell = buffer.row(row_length);
            *cell++ = ' ';
            std::memcpy(cell, int_field(first + r, 4).data(), year_length - 1);
            cell += year_length - 1;
            for (std::size_t k = static_cast<std::size_t>(r); k < values.size(); k += block_years)
                cell = cells.put(cell, values[k]);
            *cell = '\n';
            buffer.write_whole_blocks(out);
        }
    }
    buffer.write_all(out);
}

// Each series' increments from its second year on, in thousandths in the
// lines of the decade format; its first year's increment is always zero.
// Formatted into the block that goes out next, as in the column layout: a
// series' lines (at most one per decade of storable years) never fill a
// block, so the buffer reserved once holds a block and the series after it.
void write_decade_layout(const Job& job, const RunResults& run, const PairSeries& pair,
                         const PairTables& tables, WorkBuffers&, std::ostream& out, Console&) {
    std::string buffer;
    buffer.reserve(2 * block_size);
    buffer += ' ';
    buffer += shown_text(job.ring_file_name(run.file_index));
    buffer += '\n';
    for (int s = 1; s <= pair.series_count; ++s) {
        const int increments = pair.series_length(s) - 1;
        if (increments <= 0) continue;
        const int first = pair.series_first_year(s) + 1;
        append_measurement_lines(
            buffer, pair.series_ids(s).padded(), first,
            tables.basal_area_increment.cells(s, first, static_cast<std::size_t>(increments)));
        write_whole_blocks(buffer, out);
    }
    write_all(buffer, out);
}

}  // namespace

void write_file_table_to(const Job& job, const RunResults& run, PairSeries& pair,
                         const PairTables& tables, WorkBuffers& work, std::ostream& out,
                         Console& con) {
    for (int s = 1; s <= pair.series_count; ++s)
        pair.series_headings(s) = series_heading(pair.series_ids(s).padded());
    switch (job.output_layout) {
        case OutputLayout::column:
            return write_column_layout(job, run, pair, tables, out);
        case OutputLayout::decade:
            return write_decade_layout(job, run, pair, tables, work, out, con);
    }
}

std::string write_file_table(const Job& job, RunResults& run, PairSeries& pair,
                             const PairTables& tables, WorkBuffers& work, Console& con) {
    const std::string& ring_file = job.ring_file_name(run.file_index);
    const std::string usual = output_file_name(ring_file);
    const std::string name = unused_table_name(usual, run.table_names);
    if (name != usual)
        write_warning(con, "File " + file_name_of(ring_file) + ": its table is written to " +
                               file_name_of(name) + ": " + file_name_of(usual) +
                               " holds the table of an earlier pair of this run.");
    run.table_names.push_back(file_name_of(name));
    OutputFile file(job.output_path(file_name_of(name)));
    write_line(con);
    write_line(con, " Writing output to file : " + name);
    write_file_table_to(job, run, pair, tables, work, file.stream(), con);
    file.commit();
    return file_name_of(name);
}

void write_summary_table_to(const Job& job, const RunResults& run, const PairTables& tables,
                            Edition edition, const SummaryTable& table, std::ostream& out) {
    const bool with_depth = edition == Edition::v12;
    const PerYear<int>& depth = table.measure == Measure::basal_area ? tables.count_basal_area
                                : table.measure == Measure::increment
                                    ? tables.count_basal_area_increment
                                    : tables.count_ring_width;
    std::string buffer;
    buffer.reserve(2 * block_size);  // a block and the row that fills it
    buffer += with_depth ? " Year   SD    " : " Year";
    for (int f = 1; f <= job.file_count(); ++f) {
        buffer += ' ';
        put_text(buffer, shown_text(job.ring_file_name(f)), 12);
    }
    buffer += '\n';
    for (int y = run.overall_first_year; y <= run.overall_last_year; ++y) {
        buffer += ' ';
        put_int(buffer, y, 5);
        if (with_depth) {
            buffer += ' ';
            put_int(buffer, depth(y), 4);
            if (table.measure == Measure::basal_area) buffer += ' ';
        }
        const std::size_t at = buffer.size();
        buffer.resize(at + static_cast<std::size_t>(summary_cell_width * job.file_count()));
        char* cell = buffer.data() + at;
        for (int f = 1; f <= job.file_count(); ++f)
            cell = put_cell(cell, run.file_means(table.measure, f, y), summary_cell_width);
        buffer += '\n';
        write_whole_blocks(buffer, out);
    }
    write_all(buffer, out);
}

void write_summary_tables(const Job& job, const RunResults& run, const PairTables& tables,
                          Edition edition) {
    OutputFile files[] = {OutputFile(job.output_path(summary_tables[0].file_name)),
                          OutputFile(job.output_path(summary_tables[1].file_name)),
                          OutputFile(job.output_path(summary_tables[2].file_name))};
    for (int i = 0; i < 3; ++i)
        write_summary_table_to(job, run, tables, edition, summary_tables[i], files[i].stream());
    commit_together(files);
}

}  // namespace ruvela
