// A console reporter that also keeps the last measured run of each benchmark, so that a
// benchmark program can print its figures and ratios once every benchmark has run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class RunCollector : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                runs_.insert_or_assign(Name(run), run);
            }
        }
    }

    // The run of a benchmark named by its function and arguments ("BM_Sort/20"); null when it
    // was filtered out or failed.
    const Run* Find(const std::string& name) const {
        const auto found = runs_.find(name);
        return found == runs_.end() ? nullptr : &found->second;
    }

  private:
    static std::string Name(const Run& run) {
        const std::string& args = run.run_name.args;
        return run.run_name.function_name + (args.empty() ? "" : "/" + args);
    }

    std::map<std::string, Run> runs_;
};
