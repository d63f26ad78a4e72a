#include "memo/jet_dialect.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "memo/memo_errors.h"

namespace plumo {
namespace {

enum class TokenKind { Space, Word, Operator, Text, Date, Other };

struct Token {
    TokenKind kind;
    std::string text;  // SQLite text of the token (text literals already re-quoted)
    DateTime date = 0;
};

bool isWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '.' || c == '$' || u >= 0x80;
}

[[noreturn]] void syntaxError(const std::string& what, std::string_view statement) {
    std::string shown(statement);
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r')) shown.pop_back();
    throw DatabaseError(what + " in query expression '" + shown + "'.");
}

std::string quoteForSqlite(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}

std::vector<Token> tokenize(std::string_view s) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            std::size_t j = i;
            while (j < s.size() && std::isspace(static_cast<unsigned char>(s[j]))) ++j;
            tokens.push_back({TokenKind::Space, " "});
            i = j;
        } else if (c == '"') {
            std::string body;
            std::size_t j = i + 1;
            for (;;) {
                if (j >= s.size()) syntaxError("Syntax error in string", s);
                if (s[j] == '"') {
                    if (j + 1 < s.size() && s[j + 1] == '"') {
                        body += '"';
                        j += 2;
                        continue;
                    }
                    break;
                }
                body += s[j++];
            }
            tokens.push_back({TokenKind::Text, quoteForSqlite(body)});
            i = j + 1;
        } else if (c == '\'') {
            std::size_t j = i + 1;
            for (;;) {
                if (j >= s.size()) syntaxError("Syntax error in string", s);
                if (s[j] == '\'') {
                    if (j + 1 < s.size() && s[j + 1] == '\'') {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            tokens.push_back({TokenKind::Text, std::string(s.substr(i, j + 1 - i))});
            i = j + 1;
        } else if (c == '#') {
            const std::size_t end = s.find('#', i + 1);
            if (end == std::string_view::npos) syntaxError("Syntax error in date", s);
            const std::string_view body = s.substr(i + 1, end - i - 1);
            DateTime value;
            try {
                value = parseJetDateLiteral(body);
            } catch (const DatabaseError&) {
                syntaxError("Syntax error in date", s);
            }
            tokens.push_back({TokenKind::Date, std::string(s.substr(i, end + 1 - i)), value});
            i = end + 1;
        } else if (c == '[' || c == '`') {
            // A name in brackets or backquotes, which both dialects read as one name: quotes
            // and dashes inside it start no text and no comment.
            const std::size_t end = s.find(c == '[' ? ']' : '`', i + 1);
            if (end == std::string_view::npos) syntaxError("Invalid bracketing of name", s);
            tokens.push_back({TokenKind::Word, std::string(s.substr(i, end + 1 - i))});
            i = end + 1;
        } else if (isWordChar(c)) {
            std::size_t j = i;
            while (j < s.size() && isWordChar(s[j])) ++j;
            tokens.push_back({TokenKind::Word, std::string(s.substr(i, j - i))});
            i = j;
        } else if (c == '<' || c == '>' || c == '=') {
            std::string op(1, c);
            if (i + 1 < s.size() && (s[i + 1] == '=' || (c == '<' && s[i + 1] == '>'))) {
                op += s[i + 1];
            }
            tokens.push_back({TokenKind::Operator, op});
            i += op.size();
        } else if (c == ';') {
            for (std::size_t j = i + 1; j < s.size(); ++j)
                if (!std::isspace(static_cast<unsigned char>(s[j])))
                    syntaxError("Characters found after end of SQL statement", s);
            i = s.size();
        } else if (c == '-' || c == '/') {
            // Jet has no comments: "--" is two minus signs, "/*" a division and a product.
            tokens.push_back({TokenKind::Other, std::string(1, c)});
            tokens.push_back({TokenKind::Space, " "});
            ++i;
        } else {
            tokens.push_back({TokenKind::Other, std::string(1, c)});
            ++i;
        }
    }
    return tokens;
}

std::string formatNumber(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

// Writes a number: spliced into the text, or as a parameter when `parameters` collects them.
std::string numberText(double value, std::vector<double>* parameters) {
    if (!parameters) return formatNumber(value);
    parameters->push_back(value);
    return "?" + std::to_string(parameters->size());
}

std::optional<std::string> compareToSecond(const std::string& name, const std::string& op,
                                           DateTime literal, std::vector<double>* parameters) {
    const double seconds = std::round(literal * 86400.0);
    const double lowValue = (seconds - 0.5) / 86400.0;
    const double highValue = (seconds + 0.5) / 86400.0;
    const bool both = op == "=" || op == "<>";
    const bool usesLow = both || op == "<" || op == ">=";
    if (!both && !usesLow && op != "<=" && op != ">") return std::nullopt;
    const std::string low = usesLow ? numberText(lowValue, parameters) : std::string();
    const std::string high = usesLow && !both ? std::string() : numberText(highValue, parameters);
    if (op == "=") return "(" + name + ">=" + low + " AND " + name + "<" + high + ")";
    if (op == "<>") return "(" + name + "<" + low + " OR " + name + ">=" + high + ")";
    if (op == "<") return name + "<" + low;
    if (op == "<=") return name + "<" + high;
    if (op == ">") return name + ">=" + high;
    return name + ">=" + low;  // ">="
}

bool isName(const Token& t) {
    if (t.kind != TokenKind::Word) return false;
    const auto first = static_cast<unsigned char>(t.text.front());
    return !std::isdigit(first) && first != '.';
}

}  // namespace

DateTime parseJetDateLiteral(std::string_view body) {
    auto fail = [&]() -> DateTime {
        throw DatabaseError("Syntax error in date '#" + std::string(body) + "#'.");
    };
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < body.size() && body[i] == ' ') ++i;
    };
    auto number = [&](int maxDigits) -> std::optional<int> {
        int value = 0;
        const std::size_t start = i;
        while (i < body.size() && std::isdigit(static_cast<unsigned char>(body[i])) &&
               i - start < static_cast<std::size_t>(maxDigits)) {
            value = value * 10 + (body[i] - '0');
            ++i;
        }
        if (i == start) return std::nullopt;
        return value;
    };
    skipBlanks();
    const auto year = number(4);
    if (!year || i >= body.size() || (body[i] != '-' && body[i] != '/')) return fail();
    const char dateSeparator = body[i++];
    const auto month = number(2);
    if (!month || i >= body.size() || body[i] != dateSeparator) return fail();
    ++i;
    const auto day = number(2);
    if (!day) return fail();
    int hour = 0, minute = 0, second = 0;
    skipBlanks();
    if (i < body.size()) {
        if (i == 0 || body[i - 1] != ' ') return fail();
        const auto h = number(2);
        auto separator = [&] {
            const std::size_t start = i;
            while (i < body.size() && body[i] == ':') ++i;
            return i > start;
        };
        if (!h || !separator()) return fail();
        const auto m = number(2);
        if (!m) return fail();
        hour = *h;
        minute = *m;
        if (i < body.size() && body[i] == ':') {
            separator();
            const auto s = number(2);
            if (!s) return fail();
            second = *s;
        }
        skipBlanks();
        if (i != body.size()) return fail();
    }
    const auto value = tryEncodeDateTime(*year, *month, *day, hour, minute, second);
    if (!value) return fail();
    return *value;
}

std::string translateJetStatement(std::string_view jetStatement, std::vector<double>* parameters) {
    const std::vector<Token> tokens = tokenize(jetStatement);

    std::vector<std::size_t> significant;  // indexes of the tokens that are not blanks
    for (std::size_t i = 0; i < tokens.size(); ++i)
        if (tokens[i].kind != TokenKind::Space) significant.push_back(i);

    std::string out;
    out.reserve(jetStatement.size() + 64);
    std::size_t next = 0;  // first token not yet written
    auto emitUpTo = [&](std::size_t end) {
        for (; next < end; ++next) out += tokens[next].text;
    };

    for (std::size_t k = 0; k < significant.size(); ++k) {
        const Token& t = tokens[significant[k]];
        const Token* second = k + 1 < significant.size() ? &tokens[significant[k + 1]] : nullptr;
        const Token* third = k + 2 < significant.size() ? &tokens[significant[k + 2]] : nullptr;

        if (t.kind == TokenKind::Operator && (t.text == "=" || t.text == "<>") && second &&
            second->kind == TokenKind::Word && equalsIgnoringCase(second->text, "null")) {
            emitUpTo(significant[k]);
            if (!out.empty() && out.back() != ' ') out += ' ';
            out += t.text == "=" ? "IS NULL" : "IS NOT NULL";
            next = significant[k + 1] + 1;
            ++k;
        } else if (isName(t) && second && second->kind == TokenKind::Operator && third &&
                   third->kind == TokenKind::Date) {
            if (auto rewritten = compareToSecond(t.text, second->text, third->date, parameters)) {
                emitUpTo(significant[k]);
                out += *rewritten;
                next = significant[k + 2] + 1;
                k += 2;
            }
        } else if (t.kind == TokenKind::Date) {
            emitUpTo(significant[k]);
            out += numberText(t.date, parameters);
            next = significant[k] + 1;
        }
    }
    emitUpTo(tokens.size());
    return out;
}

std::string translateJetStatement(std::string_view jetStatement) {
    return translateJetStatement(jetStatement, nullptr);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace plumo
