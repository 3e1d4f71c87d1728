#include "run/series_csv.hpp"

#include <algorithm>

#include "run/csv_tables.hpp"
#include "text/numfmt.hpp"
#include "text/output_file.hpp"

namespace ruvela {

namespace {

// The fields a range can be given on, with their columns' names.
struct RangeColumns {
    CompanionField field;
    std::string_view names;
};
constexpr RangeColumns range_columns[] = {
    {CompanionField::pith_offset, "pith_offset_low,pith_offset_high"},
    {CompanionField::d2pith, "d2pith_low_mm,d2pith_high_mm"},
    {CompanionField::diameter, "dbh_low_cm,dbh_high_cm"}};

void put_number(std::string& row, CompanionField field, const CompanionRecord& record) {
    if (field == CompanionField::pith_offset)
        row += std::to_string(record.pith_offset);
    else
        put_shortest(row, value_of(record, field));
}

void put_value(std::string& row, const CompanionKindInfo& kind, CompanionField field,
               const CompanionRecord& record, const std::string& origin) {
    row += ',';
    if (!kind.takes(field)) {
        row += ',';
        return;
    }
    put_number(row, field, record);
    row += ',';
    put_csv_text(row, origin);
}

void put_range(std::string& row, const CompanionKindInfo& kind, const ValueRange& range) {
    for (const RangeColumns& columns : range_columns) {
        row += ',';
        if (kind.gives(columns.field)) put_number(row, columns.field, range.low);
        row += ',';
        if (kind.gives(columns.field)) put_number(row, columns.field, range.high);
    }
}

void put_series_row(std::string& row, const CompanionKindInfo& kind, const PairSeries& pair,
                    const PairTables& tables, int s, const ValueRange* range) {
    const int first = pair.series_first_year(s);
    const int rings = std::max(pair.series_length(s), 0);
    const auto widths = tables.ring_width.cells(s, first, static_cast<std::size_t>(rings));
    put_csv_text(row, trim_right(pair.series_ids(s).whole()));
    row += ',' + std::to_string(first) + ',' + std::to_string(pair.series_last_year(s)) + ',' +
           std::to_string(rings) + ',';
    if (rings > 0) put_shortest(row, measured_width(widths) / static_cast<float>(rings));
    for (const CompanionField field : all_companion_fields)
        put_value(row, kind, field, pair.companion(s), pair.companion_source(s).origin(field));
    if (range != nullptr) put_range(row, kind, *range);
    row += '\n';
}

}  // namespace

void write_series_csv_file(std::string_view path, CompanionKind kind, const PairSeries& pair,
                           const PairTables& tables, std::span<const ValueRange> ranges) {
    OutputFile file{std::string(path)};
    std::string rows =
        "series,first_year,last_year,rings,mean_width_mm,pith_offset,pith_offset_from,d2pith_mm,"
        "d2pith_from,dbh_cm,dbh_from,bark_mm,bark_from";
    if (!ranges.empty())
        for (const RangeColumns& columns : range_columns) (rows += ',') += columns.names;
    rows += '\n';
    for (int s = 1; s <= pair.series_count; ++s)
        put_series_row(rows, kind_info(kind), pair, tables, s,
                       ranges.empty() ? nullptr : &ranges[static_cast<std::size_t>(s - 1)]);
    file.stream() << rows;
    file.commit();
}

}  // namespace ruvela
