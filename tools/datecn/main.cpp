// datecn FROM [TO]: one line of Chinese calendar data per day, tab-separated UTF-8.

#include <cstdio>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "calendar/date_cn_line.h"
#include "calendar/datecn_arguments.h"
#include "platform/clock.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kWriteError = 1;

int printDays(plumo::DateTime from, plumo::DateTime to) {
    std::string buffer;
    buffer.reserve(1 << 16);
    for (plumo::DateTime day = from; day <= to; day += 1) {
        buffer += plumo::DateCn::DayLine(day);
        buffer += '\n';
        if (buffer.size() >= (1 << 16) - 256 || day + 1 > to) {
            if (std::fwrite(buffer.data(), 1, buffer.size(), stdout) != buffer.size()) break;
            buffer.clear();
        }
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::perror("datecn: cannot write the output");
        return kWriteError;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const plumo::DatecnRequest request =
        plumo::parseDatecnArguments(arguments, plumo::currentClock().now());
    switch (request.kind) {
        case plumo::DatecnRequest::Kind::Help:
            std::fputs(plumo::datecnHelpText().c_str(), stdout);
            return 0;
        case plumo::DatecnRequest::Kind::UsageError:
            std::fprintf(stderr, "datecn: %s\n", request.error.c_str());
            return kUsageError;
        case plumo::DatecnRequest::Kind::Days:
            break;
    }
    return printDays(request.from, request.to);
}
