#include "settings/settings_io.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <filesystem>

#include "fake_autostart_store.h"
#include "platform/linux/xdg_autostart_store.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

namespace fs = std::filesystem;

class SettingsIoTest : public ::testing::Test {
protected:
    QString programFolder() const { return QString::fromStdString(dir.path().string()) + "/"; }

    test::TempDir dir;
    test::FakeAutostartStore autostart;
    SettingsValues values;
};

TEST_F(SettingsIoTest, LoadingWithoutASettingsFileGivesEmptyValuesAndRemovesTheEntry) {
    autostart.present = true;
    values = SettingsValues{"on", "1", "on"};
    loadSettings(programFolder(), values, autostart);
    EXPECT_EQ(values, SettingsValues{});
    EXPECT_FALSE(autostart.present);
    EXPECT_EQ(autostart.writes, 0);
}

TEST_F(SettingsIoTest, LoadingAppliesTheEntryOnlyForExactlyOn) {
    dir.write("config/config.ini", "[setting]\r\ntime=on\r\nsound=0\r\nauto=on\r\n");
    loadSettings(programFolder(), values, autostart);
    EXPECT_EQ(values, (SettingsValues{"on", "0", "on"}));
    EXPECT_TRUE(autostart.present);

    dir.write("config/config.ini", "[setting]\r\nauto=On\r\n");
    loadSettings(programFolder(), values, autostart);
    EXPECT_EQ(values.autoset, "On");
    EXPECT_FALSE(autostart.present);
    EXPECT_EQ(autostart.writes, 1);
    EXPECT_EQ(autostart.removals, 1);
}

TEST_F(SettingsIoTest, AFailingEntryStillLeavesTheValuesRead) {
    dir.write("config/config.ini", "[setting]\r\ntime=on\r\nsound=2\r\nauto=on\r\n");
    autostart.failWrites = true;
    EXPECT_THROW(loadSettings(programFolder(), values, autostart), AutostartError);
    EXPECT_EQ(values, (SettingsValues{"on", "2", "on"}));
}

TEST_F(SettingsIoTest, SavingWritesTheFileThenAppliesTheEntry) {
    dir.write("config/config.ini", "[setting]\r\ntime=off\r\n[x]\r\ny=1\r\n");
    saveSettings(programFolder(), SettingsValues{"on", "1", "on"}, autostart);
    EXPECT_EQ(dir.read("config/config.ini"), "[setting]\r\ntime=on\r\nsound=1\r\nauto=on\r\n");
    EXPECT_TRUE(autostart.present);

    saveSettings(programFolder(), SettingsValues{"on", "1", "off"}, autostart);
    EXPECT_FALSE(autostart.present);
}

TEST_F(SettingsIoTest, AFailedSaveLeavesTheEntryAlone) {
    autostart.present = true;
    EXPECT_THROW(saveSettings(programFolder(), SettingsValues{"on", "1", "off"}, autostart),
                 SettingsFileError);
    EXPECT_TRUE(autostart.present);
    EXPECT_EQ(autostart.writes + autostart.removals, 0);
    EXPECT_FALSE(fs::exists(dir / "config"));
}

// The start-up path with the real entry store: no settings file removes this program's
// entry and leaves another executable's entry alone.
TEST_F(SettingsIoTest, AStartWithoutASettingsFileRemovesOnlyThisProgramsEntry) {
    const QByteArray savedConfigHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((dir / "cfg").string()));
    dir.write("cfg/autostart/plumo.desktop", "[Desktop Entry]\nExec=/old/plumo\n");
    dir.write("cfg/autostart/plumo2.desktop", "[Desktop Entry]\nExec=/old/plumo2\n");

    XdgAutostartStore store(programFolder() + "plumo");
    loadSettings(programFolder(), values, store);

    EXPECT_FALSE(fs::exists(dir / "cfg/autostart/plumo.desktop"));
    EXPECT_EQ(dir.read("cfg/autostart/plumo2.desktop"), "[Desktop Entry]\nExec=/old/plumo2\n");
    if (savedConfigHome.isNull()) {
        qunsetenv("XDG_CONFIG_HOME");
    } else {
        qputenv("XDG_CONFIG_HOME", savedConfigHome);
    }
}

}  // namespace
}  // namespace plumo
