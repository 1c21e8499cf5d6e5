#include "RatioReporter.h"

#include <cstdio>

namespace fl::bench {

void RatioReporter::ReportRuns(const std::vector<Run>& runs)
{
    for (const Run& r : runs)
        if (r.run_type == Run::RT_Iteration) m_times[r.run_name.function_name] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
}

void RatioReporter::Finalize()
{
    ConsoleReporter::Finalize();
    for (const Goal& g : m_goals) {
        const auto w = m_times.find(g.work), f = m_times.find(g.floor);
        if (w == m_times.end() || f == m_times.end() || f->second <= 0) continue;
        const double ratio = w->second / f->second;
        const bool met = ratio <= g.most;
        m_allMet = m_allMet && met;
        std::printf("ratio %s / %s = %.2f (goal: at most %.2f) %s\n", g.work.c_str(), g.floor.c_str(), ratio, g.most,
                    met ? "met" : "NOT MET");
    }
}

} // namespace fl::bench
