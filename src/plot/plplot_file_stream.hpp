// Plot files of any size: the drawing calls go to a drawing process as they
// are made, so that pages reach the file as they are drawn and nothing of a
// page stays in this process. Each file is drawn under a temporary name
// beside it and renamed into place once the library has finished it, so a
// failing or interrupted run never leaves a partial plot file.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "plot/plotter.hpp"
#include "text/output_file.hpp"

namespace ruvela {

class PlplotFileStream : public Plotter {
  public:
    // `stall_limit`: how long the drawing process may go without taking a
    // call or writing to the file before it is taken for hung and stopped.
    explicit PlplotFileStream(std::chrono::seconds stall_limit = std::chrono::seconds(120));
    ~PlplotFileStream() override;
    PlplotFileStream(const PlplotFileStream&) = delete;
    PlplotFileStream& operator=(const PlplotFileStream&) = delete;

    // Starts the drawing process now rather than at the first call: forked
    // before the run fills its tables, it shares none of them, where a copy
    // of the run's memory taken later would be kept alive beside the run's
    // own as the run moves on to the next pair.
    void start() {
        if (child_ < 0) start_process();
    }

    // A file name (Sfnam) starts a file, End completes it; the calls between
    // draw into it. A file that cannot be created, written or completed
    // throws FileFailure naming it and the reason; its temporary file is gone.
    void record(PlotCall call) override;

  private:
    void start_file(const std::string& target);
    void send(const PlotCall& call);
    void finish_file();
    void start_process();
    void stop_process();
    [[noreturn]] void fail(const std::string& reason);
    std::string process_end();
    bool progress_seen();

    std::chrono::seconds stall_limit_;
    std::vector<std::string> devices_;
    pid_t child_ = -1;
    int socket_ = -1;
    std::string target_;
    TemporaryFile temp_;
    long long temp_size_ = -1;
};

}  // namespace ruvela
