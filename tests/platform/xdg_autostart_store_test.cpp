#include "platform/linux/xdg_autostart_store.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <filesystem>

#include "support/temp_dir.h"

namespace plumo {
namespace {

namespace fs = std::filesystem;

// Points XDG_CONFIG_HOME and HOME at a temporary folder for the test's lifetime.
class XdgAutostartTest : public ::testing::Test {
protected:
    XdgAutostartTest() : savedConfigHome_(qgetenv("XDG_CONFIG_HOME")), savedHome_(qgetenv("HOME")) {
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((dir / "cfg").string()));
        qputenv("HOME", QByteArray::fromStdString((dir / "home").string()));
    }
    ~XdgAutostartTest() override {
        restore("XDG_CONFIG_HOME", savedConfigHome_);
        restore("HOME", savedHome_);
    }

    static void restore(const char* name, const QByteArray& value) {
        if (value.isNull()) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    }
    std::string entry(const std::string& fileName) const {
        return dir.read("cfg/autostart/" + fileName);
    }
    static std::string line(const std::string& key, const std::string& text) {
        const std::string prefix = "\n" + key + "=";
        const auto start = text.find(prefix);
        if (start == std::string::npos) return "(no " + key + ")";
        const auto end = text.find('\n', start + 1);
        return text.substr(start + prefix.size(), end - start - prefix.size());
    }

    test::TempDir dir;

private:
    QByteArray savedConfigHome_;
    QByteArray savedHome_;
};

TEST_F(XdgAutostartTest, WritesAnEntryNamedAfterTheExecutable) {
    XdgAutostartStore store("/opt/plumo/plumo");
    EXPECT_EQ(store.entryPath().toStdString(), (dir / "cfg/autostart/plumo.desktop").string());

    store.writeEntry();

    const std::string text = entry("plumo.desktop");
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_EQ(line("Type", text), "Application");
    EXPECT_EQ(line("Name", text), "Plumo小秘书");
    EXPECT_EQ(line("Exec", text), "/opt/plumo/plumo");
    EXPECT_EQ(line("TryExec", text), "/opt/plumo/plumo");
}

TEST_F(XdgAutostartTest, FollowsAMovedExecutableAndIsRemovedWhenOff) {
    XdgAutostartStore before("/opt/plumo/plumo");
    XdgAutostartStore after("/home/me/apps/plumo");
    before.writeEntry();
    after.writeEntry();
    EXPECT_EQ(line("Exec", entry("plumo.desktop")), "/home/me/apps/plumo");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "cfg/autostart"), {}), 1);

    after.removeEntry();
    EXPECT_FALSE(fs::exists(dir / "cfg/autostart/plumo.desktop"));
    EXPECT_NO_THROW(after.removeEntry());  // removing what is gone is no error
}

TEST_F(XdgAutostartTest, TwoExecutableNamesKeepTwoEntries) {
    XdgAutostartStore first("/opt/plumo/plumo");
    XdgAutostartStore second("/opt/plumo/plumo-copy");
    first.writeEntry();
    second.writeEntry();
    EXPECT_EQ(line("Exec", entry("plumo-copy.desktop")), "/opt/plumo/plumo-copy");

    first.removeEntry();
    EXPECT_FALSE(fs::exists(dir / "cfg/autostart/plumo.desktop"));
    EXPECT_EQ(line("Exec", entry("plumo-copy.desktop")), "/opt/plumo/plumo-copy");
}

TEST_F(XdgAutostartTest, FallsBackToTheHomeConfigFolder) {
    qunsetenv("XDG_CONFIG_HOME");
    XdgAutostartStore store("/opt/plumo/plumo");
    store.writeEntry();
    EXPECT_TRUE(fs::exists(dir / "home/.config/autostart/plumo.desktop"));

    qputenv("XDG_CONFIG_HOME", "relative/config");  // not absolute: ignored
    EXPECT_EQ(XdgAutostartStore("/opt/plumo/plumo").entryPath().toStdString(),
              (dir / "home/.config/autostart/plumo.desktop").string());
}

TEST_F(XdgAutostartTest, AFailedWriteNamesTheEntry) {
    dir.write("cfg/autostart", "a file where the folder should be");
    XdgAutostartStore store("/opt/plumo/plumo");
    try {
        store.writeEntry();
        FAIL() << "no error";
    } catch (const AutostartError& e) {
        EXPECT_EQ(e.text(), "Failed to set data for '" + store.entryPath() + "'");
    }
    EXPECT_EQ(dir.read("cfg/autostart"), "a file where the folder should be");
    EXPECT_NO_THROW(store.removeEntry());
}

TEST(AutostartEntryContent, QuotesAndEscapesAnExecutablePathWithReservedCharacters) {
    const std::string text =
        autostartEntryContent(QString::fromUtf8(R"(/opt/my apps/50%/pl"u$mo\x)")).toStdString();
    // Exec: quoted, with " $ \ escaped, % doubled, then every backslash doubled again.
    EXPECT_NE(text.find(R"(Exec="/opt/my apps/50%%/pl\\"u\\$mo\\\\x")"
                        "\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(R"(TryExec=/opt/my apps/50%/pl"u$mo\\x)"
                        "\n"),
              std::string::npos)
        << text;
}

TEST(AutostartEntryContent, ALineBreakInThePathCannotAddLines) {
    const QByteArray text = autostartEntryContent("/opt/evil\nExec=/bin/false\r\n/plumo");
    const QByteArray plain = autostartEntryContent("/opt/plumo");
    EXPECT_EQ(text.count('\n'), plain.count('\n'));
    EXPECT_FALSE(text.contains('\r'));
    EXPECT_EQ(text.count("\nExec="), 1);
}

TEST(AutostartEntryContent, APlainPathStaysUnquoted) {
    const std::string text = autostartEntryContent("/usr/lib/plumo-1.0/plumo_bin").toStdString();
    EXPECT_NE(text.find("\nExec=/usr/lib/plumo-1.0/plumo_bin\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace plumo
