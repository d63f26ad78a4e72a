#include "memo/memo_actions.h"

#include "memo/memo_statements.h"

namespace plumo {
namespace {

void openSelect(MemoQuery& query, const std::string& statement) {
    query.clear();
    query.setText(statement);
    query.open();
}

void executeStatement(MemoQuery& query, const std::string& statement) {
    query.clear();
    query.setText(statement);
    query.execute();
}

}  // namespace

std::int64_t countOpenPlans(MemoQuery& query) {
    openSelect(query, countOpenPlansStatement());
    return query.field("total").asInteger();
}

std::int64_t countOverdueReminders(MemoQuery& query, DateTime now) {
    openSelect(query, countOverdueRemindersStatement(now));
    return query.field("total").asInteger();
}

std::optional<DueItem> findDueItem(MemoQuery& query, DateTime now) {
    openSelect(query, dueItemStatement(now));
    if (query.eof()) return std::nullopt;
    return DueItem{query.field("title").asString(), query.field("id").asInteger()};
}

void closeItem(MemoQuery& query, std::int64_t id) {
    executeStatement(query, closeItemStatement(id));
}

void postponeItem(MemoQuery& query, std::int64_t id) {
    executeStatement(query, postponeItemStatement(id));
}

std::string readStoredPassword(MemoQuery& query) {
    openSelect(query, selectPasswordStatement());
    if (query.eof()) return {};
    return query.field("pwd").asString();
}

void removePassword(MemoQuery& query) { executeStatement(query, deletePasswordStatement()); }

void changePassword(MemoQuery& query, std::string_view password, DateTime now) {
    executeStatement(query, changePasswordStatement(password, now));
}

void insertPassword(MemoQuery& query, std::string_view password, DateTime now) {
    executeStatement(query, insertPasswordStatement(password, now));
}

}  // namespace plumo
