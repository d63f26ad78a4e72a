// datecn's command line, one argument per NUL- or line-separated piece: help, a range of
// days within the covered years, or a one-line usage error.

#include <cstddef>
#include <cstdint>
#include <string>

#include "calendar/date_cn.h"
#include "calendar/date_cn_line.h"
#include "calendar/datecn_arguments.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const plumo::DateTime today = *plumo::tryEncodeDateTime(2026, 12, 8, 9, 30, 0);
    const auto arguments = plumo::fuzz::splitArguments(data, size);
    const plumo::DatecnRequest request = plumo::parseDatecnArguments(arguments, today);
    switch (request.kind) {
        case plumo::DatecnRequest::Kind::Help:
            break;
        case plumo::DatecnRequest::Kind::UsageError:
            FUZZ_CHECK(!request.error.empty(), "a usage error without a message");
            break;
        case plumo::DatecnRequest::Kind::Days: {
            FUZZ_CHECK(plumo::DateCn::kFirstDate <= request.from && request.from <= request.to &&
                           request.to <= plumo::DateCn::kLastDate,
                       "a range outside the covered days");
            FUZZ_CHECK(request.from == plumo::dateOf(request.from) &&
                           request.to == plumo::dateOf(request.to),
                       "a range that does not start at midnight");
            // The first and the last line stand for all: the whole range can be 150 years.
            for (const plumo::DateTime day : {request.from, request.to}) {
                const std::string line = plumo::DateCn::DayLine(day);
                FUZZ_CHECK(line.rfind(plumo::formatIsoDate(day) + "\t", 0) == 0,
                           "the line of " + plumo::formatIsoDate(day) + " reads '" + line + "'");
            }
            break;
        }
    }
    return 0;
}
