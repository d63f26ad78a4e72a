#pragma once

// The memo program's window, "备忘录": the memo items with add, edit, done and open
// again, delete and postpone. Every change is written the moment it is made, and the
// list follows changes other programs make to the file (checked once a second). The
// list sorts by any column and filters by a piece of the title; an open item turns
// 已过期 as its time passes.

#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "memo/hand_off.h"
#include "memo/memo_database.h"
#include "memo/memo_store.h"
#include "memo/repeat_store.h"
#include "notavo_prompts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace plumo::notavo {

class ItemDialog;
struct ItemEntry;

class NotavoWindow : public QMainWindow {
public:
    enum class View { All, OpenPlans, OverdueReminders };

    NotavoWindow(std::unique_ptr<MemoDatabase> database, NotavoPrompts& prompts);
    ~NotavoWindow() override;

    void applyHandOff(const HandOff& handOff);

    View view() const;
    void showView(View view);
    // The ids in the list, top to bottom.
    std::vector<std::int64_t> shownIds() const;
    std::optional<std::int64_t> selectedId() const;
    bool select(std::int64_t id);
    QTreeWidget* list() const { return list_; }
    QString details() const;
    // Shows only the items whose title holds `text`, in any letter case.
    void search(const QString& text);

    // The dialogs of 新建 and 修改 (nothing when no item is selected), not yet shown. An
    // edit writes only what the user changed in it.
    std::unique_ptr<ItemDialog> makeAddDialog();
    std::unique_ptr<ItemDialog> makeEditDialog();

    // The actions; each writes at once and reports a failure in a message. They act on
    // the selected item; false when nothing was changed.
    bool addItem(const ItemInput& input);
    bool editSelected(const std::string& title, std::optional<DateTime> reminder);
    bool toggleDoneSelected();
    bool deleteSelected();  // asks first
    bool postponeSelected();
    // The reminder `seconds` from now, for this occurrence only.
    bool snoozeSelected(int seconds);

    // Reloads the list when another program has written to the file; true when it did.
    bool refreshIfChanged();
    // Shows each item's state as of now, without reading the file again.
    void refreshStates();

private:
    void buildWidgets();
    void reload();
    void fill();
    void scheduleStateRefresh();
    void sortBy(int column);
    void updateActions();
    std::optional<MemoItem> selectedItem() const;
    std::optional<RepeatRule> repeatOf(std::int64_t id) const;
    void writeRepeat(std::int64_t id, const ItemEntry& opened, const ItemEntry& saved);
    bool guarded(const std::function<bool()>& change, const QString& missing);
    void openAddDialog();
    void openEditDialog();

    std::unique_ptr<MemoDatabase> database_;
    MemoStore store_;
    NotavoPrompts& prompts_;
    std::vector<MemoItem> loaded_;
    std::map<std::int64_t, RepeatSeries> series_;
    std::int64_t dataVersion_ = 0;
    QTimer watch_;
    QTimer stateTimer_;
    int sortColumn_ = -1;  // the order of the file until a header is clicked
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;

    QComboBox* viewBox_ = nullptr;
    QLineEdit* search_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLabel* details_ = nullptr;
    QPushButton* editButton_ = nullptr;
    QPushButton* doneButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* postponeButton_ = nullptr;
    QPushButton* snoozeButton_ = nullptr;
};

// Opens the memo database of `database` (creating it when there is none, bringing one
// made before ids were never used twice over), asks for the memo password when one is
// set, and makes the window for the hand-off file of `programFolder`. Nothing (after
// telling the user why) when the program should end.
std::unique_ptr<NotavoWindow> openNotavoWindow(const std::filesystem::path& programFolder,
                                               const std::filesystem::path& database,
                                               NotavoPrompts& prompts);

// Time conversions between the date-time value and Qt's.
QDateTime toQDateTime(DateTime value);
DateTime fromQDateTime(const QDateTime& value);

}  // namespace plumo::notavo
