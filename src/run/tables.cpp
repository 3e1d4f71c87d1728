#include "run/tables.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

#include "ringio/trrw.hpp"
#include "text/numfmt.hpp"
#include "text/output_file.hpp"

namespace ruvela {

std::string output_file_name(std::string_view ring_file_name) {
    const std::string name = fixed_text(ring_file_name, name_length);
    const std::size_t stem_end = name.find_first_of(". ");
    constexpr std::string_view suffix = "_BAI";
    const std::size_t stem_length =
        stem_end != std::string::npos ? stem_end : name_length - suffix.size();
    return fixed_text(name.substr(0, stem_length) + std::string(suffix), name_length);
}

std::string series_heading(std::string_view series_id) {
    const std::string id = fixed_text(series_id, id_length);
    return id + "rrw " + id + "ba " + id + "bai ";
}

namespace {

// The tables go out in blocks of this size, each at a multiple of it in the
// file: large aligned writes cost the system least per byte.
constexpr std::size_t block_size = 1 << 18;

void flush_if_full(std::string& buffer, std::ostream& out) {
    if (buffer.size() < block_size) return;
    const std::size_t whole_blocks = buffer.size() / block_size * block_size;
    out.write(buffer.data(), static_cast<std::streamsize>(whole_blocks));
    buffer.erase(0, whole_blocks);
}

void flush(std::string& buffer, std::ostream& out) {
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    buffer.clear();
}

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

void write_column_layout(const Store& store, std::ostream& out) {
    const int f = store.file_index;
    // Room for a block and the row or heading that fills it, the same for
    // every table of a batch: taken once, with no copying as it fills, and
    // the next table gets back the same memory.
    std::string buffer;
    buffer.reserve(2 * block_size);
    buffer += " " + store.ring_file_names(f) + "\n Yr. ";
    for (int s = 1; s <= store.series_count; ++s) buffer += store.series_headings(s);
    buffer += '\n';
    const ColumnCells cells;
    const auto series_count = static_cast<std::size_t>(store.series_count);
    const SeriesYearTable* const tables[] = {&store.ring_width, &store.basal_area,
                                             &store.basal_area_increment};
    std::vector<float> values(series_count * 3 * block_years);  // [series][table][year]
    constexpr std::size_t year_length = 5;                      // " yyyy"
    const std::size_t row_length = year_length + series_count * 3 * column_cell_width + 1;
    const int last_year = store.file_last_year(f);
    for (int first = store.file_first_year(f); first <= last_year; first += block_years) {
        const int rows = std::min(block_years, last_year - first + 1);
        float* copy = values.data();
        for (int s = 1; s <= store.series_count; ++s) {
            for (const SeriesYearTable* table : tables) {
                const auto row =
                    table->begin() + static_cast<std::ptrdiff_t>(table->index(s, first));
                std::copy(row, row + rows, copy);
                copy += block_years;
            }
        }
        for (int r = 0; r < rows; ++r) {
            const std::size_t at = buffer.size();
            buffer.resize(at + row_length);
            char* cell = buffer.data() + at;
            *cell++ = ' ';
            std::memcpy(cell, int_field(first + r, 4).data(), year_length - 1);
            cell += year_length - 1;
            for (std::size_t k = static_cast<std::size_t>(r); k < values.size(); k += block_years)
                cell = cells.put(cell, values[k]);
            *cell = '\n';
            flush_if_full(buffer, out);
        }
    }
    flush(buffer, out);
}

// Each series' increments from its second year on, in thousandths through
// the decade-format writer; its first year's increment is always zero.
void write_decade_layout(Store& store, std::ostream& out, Console& con) {
    out << ' ' << store.ring_file_names(store.file_index) << '\n';
    SeriesArgs series;
    series.values = store.value_buffer;
    series.counts = store.count_buffer;
    for (int s = 1; s <= store.series_count; ++s) {
        const int first = store.series_first_year(s);
        series.series_id = store.series_ids(s);
        series.first_year = first + 1;
        series.value_count = store.series_length(s) - 1;
        for (int k = 1; k <= series.value_count; ++k) {
            store.value_buffer(k) = store.basal_area_increment(s, first + k);
        }
        trrw_write(TrrwMode::mw, series, out, con);
    }
}

}  // namespace

void write_file_table_to(Store& store, std::ostream& out, Console& con) {
    for (int s = 1; s <= store.series_count; ++s)
        store.series_headings(s) = series_heading(store.series_ids(s));
    if (store.output_layout == 1) write_column_layout(store, out);
    if (store.output_layout == 2) write_decade_layout(store, out, con);
}

void write_file_table(Store& store, Console& con) {
    const std::string name = output_file_name(store.ring_file_names(store.file_index));
    OutputFile file(std::string(trim_right(name)));
    write_line(con);
    write_line(con, " Writing output to file : " + name);
    write_file_table_to(store, file.stream(), con);
    file.commit();
}

void write_summary_table_to(const Store& store, Edition edition, const SummaryTable& table,
                            std::ostream& out) {
    const bool with_depth = edition == Edition::v12;
    const PerYear<int>& depth = table.measure == FileMeans::mean_basal_area ? store.count_basal_area
                                : table.measure == FileMeans::mean_increment
                                    ? store.count_basal_area_increment
                                    : store.count_ring_width;
    std::string buffer;
    buffer.reserve(2 * block_size);  // a block and the row that fills it
    buffer += with_depth ? " Year   SD    " : " Year";
    for (int f = 1; f <= store.file_count; ++f) {
        buffer += ' ';
        put_text(buffer, store.ring_file_names(f), 12);
    }
    buffer += '\n';
    for (int y = store.overall_first_year; y <= store.overall_last_year; ++y) {
        buffer += ' ';
        put_int(buffer, y, 5);
        if (with_depth) {
            buffer += ' ';
            put_int(buffer, depth(y), 4);
            if (table.measure == FileMeans::mean_basal_area) buffer += ' ';
        }
        const std::size_t at = buffer.size();
        buffer.resize(at + static_cast<std::size_t>(summary_cell_width * store.file_count));
        char* cell = buffer.data() + at;
        for (int f = 1; f <= store.file_count; ++f)
            cell = put_cell(cell, store.file_means(table.measure, f, y), summary_cell_width);
        buffer += '\n';
        flush_if_full(buffer, out);
    }
    flush(buffer, out);
}

void write_summary_tables(const Store& store, Edition edition) {
    OutputFile files[] = {OutputFile(summary_tables[0].file_name),
                          OutputFile(summary_tables[1].file_name),
                          OutputFile(summary_tables[2].file_name)};
    for (int i = 0; i < 3; ++i)
        write_summary_table_to(store, edition, summary_tables[i], files[i].stream());
    for (OutputFile& file : files) file.commit();
}

}  // namespace ruvela
