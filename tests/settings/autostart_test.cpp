#include "settings/autostart.h"

#include <gtest/gtest.h>

#include "fake_autostart_store.h"

namespace plumo {
namespace {

TEST(SetAutostart, WritesTheEntryWhenOnAndRemovesItOtherwise) {
    test::FakeAutostartStore store;
    EXPECT_TRUE(setautostart(store, true));
    EXPECT_TRUE(store.present);
    EXPECT_EQ(store.writes, 1);

    EXPECT_TRUE(setautostart(store, false));
    EXPECT_FALSE(store.present);
    EXPECT_EQ(store.removals, 1);
    EXPECT_TRUE(setautostart(store, false));  // removing what is gone is no error
    EXPECT_EQ(store.writes, 1);
}

TEST(SetAutostart, AFailedWriteIsThrownOn) {
    test::FakeAutostartStore store;
    store.failWrites = true;
    EXPECT_THROW(setautostart(store, true), AutostartError);
    EXPECT_FALSE(store.present);
    EXPECT_NO_THROW(setautostart(store, false));
}

}  // namespace
}  // namespace plumo
