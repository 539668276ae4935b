// The mode list of the resolution page without its window, as on a page that failed to create.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "resolution/CResListCtrl.h"

TEST(ResListCtrl, WithoutAWindowInsertingFailsAndTheRecordStaysWithTheCaller)
{
    CResListCtrl list;
    auto mode = std::make_unique<zr::DisplayMode>(zr::DisplayMode{1280, 1024, 32, 75});
    EXPECT_EQ(list.InsertMode(std::move(mode)), -1);
    ASSERT_NE(mode, nullptr) << "the record was handed to a row that does not exist";
    EXPECT_EQ(mode->refresh_rate, 75u);
    EXPECT_EQ(list.GetItemCount(), 0);
}
