#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace fl::bench {

// Prints the usual console table, then the ratio of each named pair of benchmarks'
// real times (the work measured against its floor) and whether it meets its goal.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Goal {
        std::string work, floor;
        double most;
    };
    explicit RatioReporter(std::vector<Goal> goals) : m_goals(std::move(goals)) {}
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;
    bool allMet() const { return m_allMet; }

private:
    std::vector<Goal> m_goals;
    std::map<std::string, double> m_times;
    bool m_allMet = true;
};

} // namespace fl::bench
