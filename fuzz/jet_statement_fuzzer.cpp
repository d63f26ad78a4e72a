// Statements in the Jet dialect: translated to SQLite or refused with a reason, and never
// turned into SQL that SQLite would read as a comment (Jet has none, so a comment would
// silently drop part of the statement).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "memo/jet_dialect.h"
#include "memo/memo_errors.h"

namespace {

// Where SQLite would start a comment outside quoted text and names, or npos.
std::size_t commentStart(const std::string& sql) {
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '"' || c == '`' || c == '[') {
            const char close = c == '[' ? ']' : c;
            const std::size_t end = sql.find(close, i + 1);
            if (end == std::string::npos) return std::string::npos;  // SQLite refuses it
            i = end;
        } else if (i + 1 < sql.size() &&
                   ((c == '-' && sql[i + 1] == '-') || (c == '/' && sql[i + 1] == '*'))) {
            return i;
        }
    }
    return std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view statement(reinterpret_cast<const char*>(data), size);
    try {
        const std::string sql = plumo::translateJetStatement(statement);
        FUZZ_CHECK(commentStart(sql) == std::string::npos,
                   "the translation '" + sql + "' holds a comment");
    } catch (const plumo::DatabaseError& error) {
        FUZZ_CHECK(std::string_view(error.what()).find("in query expression") != std::string::npos,
                   std::string("a refusal without the statement: ") + error.what());
    }
    try {
        const plumo::DateTime value = plumo::parseJetDateLiteral(statement);
        FUZZ_CHECK(value == value, "a date literal gave no number");
    } catch (const plumo::DatabaseError&) {
    }
    return 0;
}
