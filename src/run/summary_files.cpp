#include "run/summary_files.hpp"

#include "run/tables.hpp"
#include "text/output_file.hpp"

namespace ruvela {

void write_summary_files(const Job& job, const RunResults& run, const PairTables& tables,
                         Edition edition, const SummaryCsv* csv) {
    if (csv == nullptr) return write_summary_tables(job, run, tables, edition);
    OutputFile files[] = {OutputFile(job.output_path(summary_tables[0].file_name)),
                          OutputFile(job.output_path(summary_tables[1].file_name)),
                          OutputFile(job.output_path(summary_tables[2].file_name)),
                          OutputFile(job.output_path(summary_csv_name))};
    for (int i = 0; i < 3; ++i)
        write_summary_table_to(job, run, tables, edition, summary_tables[i], files[i].stream());
    write_summary_csv(files[3].stream(), *csv);
    commit_together(files);
}

}  // namespace ruvela
