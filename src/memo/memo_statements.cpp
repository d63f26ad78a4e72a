#include "memo/memo_statements.h"

#include <cstdio>

namespace plumo {

std::string formatStatementTime(DateTime now) {
    const DateParts d = decodeDate(now);
    const TimeParts t = decodeTime(now);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d::%02d::%02d", d.year, d.month, d.day,
                  t.hour, t.minute, t.second);
    return buffer;
}

std::string formatCreatedTime(DateTime now) {
    const DateParts d = decodeDate(now);
    const TimeParts t = decodeTime(now);
    char buffer[48];
    if (t.hour == 0 && t.minute == 0 && t.second == 0)
        std::snprintf(buffer, sizeof buffer, "%d-%d-%d", d.year, d.month, d.day);
    else
        std::snprintf(buffer, sizeof buffer, "%d-%d-%d %d:%02d:%02d", d.year, d.month, d.day,
                      t.hour, t.minute, t.second);
    return buffer;
}

std::string escapePasswordLiteral(std::string_view password) {
    std::string out;
    out.reserve(password.size());
    for (char c : password) {
        if (c == '"') out += '"';
        out += c;
    }
    return out;
}

std::string countOpenPlansStatement() {
    return "select count(id) as total from log where flag=1 and status=0";
}

std::string countOverdueRemindersStatement(DateTime now) {
    return "select count(id) as total from log where status=0 and reminder<#" +
           formatStatementTime(now) + "# and reminder<>null";
}

std::string dueItemStatement(DateTime now) {
    return "select title,id from log where status=0 and reminder=#" + formatStatementTime(now) +
           "#";
}

std::string closeItemStatement(std::int64_t id) {
    return "update log set status=1 where id=" + std::to_string(id);
}

std::string postponeItemStatement(std::int64_t id) {
    return "update log set reminder=reminder+1 where id=" + std::to_string(id);
}

std::string selectPasswordStatement() { return "select pwd from master"; }

std::string deletePasswordStatement() { return "delete from master"; }

std::string changePasswordStatement(std::string_view password, DateTime now) {
    return "update master set pwd=\"" + escapePasswordLiteral(password) + "\",created=\"" +
           formatCreatedTime(now) + "\"";
}

std::string insertPasswordStatement(std::string_view password, DateTime now) {
    return "insert into master(pwd,created) values(\"" + escapePasswordLiteral(password) + "\",\"" +
           formatCreatedTime(now) + "\")";
}

}  // namespace plumo
