#include "SummaryJson.h"

#include "report/JsonString.h"

namespace rolvik {

void WriteSummaryAsJson(std::ostream& out, const BatchSummary& summary) {
    out << "{\"converted\":" << summary.converted << ",\"failed\":" << summary.failed
        << ",\"skipped\":" << summary.skipped
        << ",\"stopped\":" << (summary.stopped ? "true" : "false") << ",\"failures\":[";
    for (std::size_t i = 0; i < summary.failures.size(); ++i) {
        const ConvertFailure& failure = summary.failures[i];
        out << (i == 0 ? "\n" : ",\n") << "{\"file\":" << JsonString(failure.input.string())
            << ",\"reason\":" << JsonString(failure.reason) << '}';
    }
    out << "]}\n";
}

}  // namespace rolvik
