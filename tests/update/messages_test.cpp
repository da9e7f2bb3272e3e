#include <gtest/gtest.h>

#include "support/box_recorder.h"
#include "support/expected_texts.h"
#include "update/message_helpers.h"
#include "update/update_sequence.h"
#include "update_core/messages.h"
#include "update_core/update_settings.h"

TEST(MessageHelpers, CaptionIsTheUpdateTitleWhenShown)
{
    C_box_recorder boxes;
    UpdateSettings.update_title = L"";
    notify_user(L"info");
    UpdateSettings.update_title = L"夏の追加パック";
    warn_user(L"careful");
    UpdateSettings.update_title.clear();

    ASSERT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(boxes.boxes()[0].text, L"info");
    EXPECT_EQ(boxes.boxes()[0].caption, L"");
    EXPECT_EQ(boxes.boxes()[0].flags, 0x40u);
    EXPECT_EQ(boxes.boxes()[0].owner, nullptr);
    EXPECT_EQ(boxes.boxes()[1].text, L"careful");
    EXPECT_EQ(boxes.boxes()[1].caption, L"夏の追加パック");
    EXPECT_EQ(boxes.boxes()[1].flags, 0x30u);
}

TEST(MessageHelpers, FailureIsTwoWarningBoxes)
{
    C_box_recorder boxes;
    UpdateSettings.update_title = L"Patch 1.2";
    report_failure(L"what went wrong");
    UpdateSettings.update_title.clear();

    ASSERT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(boxes.boxes()[0].text, L"what went wrong");
    EXPECT_EQ(boxes.boxes()[1].text, expected::update_failed);
    for (const auto& box : boxes.boxes()) {
        EXPECT_EQ(box.caption, L"Patch 1.2");
        EXPECT_EQ(box.flags, 0x30u);
    }
}

TEST(UpdateSettingsClearing, EmptiesOnlyTheScriptValues)
{
    UpdateSettings.reg_path = L"Maker\\Title";
    UpdateSettings.update_title = L"u";
    UpdateSettings.game_title = L"g";
    UpdateSettings.copy_files = {L"a", L"b"};
    UpdateSettings.exe_dir = L"C:\\Game";
    UpdateSettings.dat_dir = L"C:\\Game\\dat";
    UpdateSettings.dat_setup = L"full";
    UpdateSettings.source_dir = L"gamedata";
    UpdateSettings.dest_dir = L"C:\\Game";

    EXPECT_TRUE(clear_update_settings());

    EXPECT_TRUE(UpdateSettings.reg_path.empty());
    EXPECT_TRUE(UpdateSettings.update_title.empty());
    EXPECT_TRUE(UpdateSettings.game_title.empty());
    EXPECT_TRUE(UpdateSettings.copy_files.empty());
    EXPECT_EQ(UpdateSettings.exe_dir, L"C:\\Game");
    EXPECT_EQ(UpdateSettings.dat_dir, L"C:\\Game\\dat");
    EXPECT_EQ(UpdateSettings.dat_setup, L"full");
    EXPECT_EQ(UpdateSettings.source_dir, L"gamedata");
    EXPECT_EQ(UpdateSettings.dest_dir, L"C:\\Game");
    UpdateSettings = C_update_settings();
}
