// The icons in the notification area: which image and tooltip each adapter's
// state shows, the records the shell receives, and icons coming and going.
#include "ProgramRun.h"

#include "common/Mbcs.h"
#include "resource.h"
#include "tray/TrayMessages.h"

#include <algorithm>

namespace {

class TrayIconTest : public DesktopTest {
protected:
    std::string Tip(UINT slot) const { return TrayIcon(slot) ? TrayIcon(slot)->tip : "<no icon>"; }
    // Starts with the given adapters and lets the first poll run.
    void StartPolled() {
        Start();
        Ticks(1);
    }
    // The tip's last line.
    std::string QualityLine(UINT slot) const {
        std::string tip = Tip(slot);
        return tip.substr(tip.rfind('\n') + 1);
    }
};

TEST_F(TrayIconTest, QualityChoosesTextPercentageAndImage) {
    struct Case {
        unsigned long quality;
        std::string line;
        int image;
    };
    const Case cases[] = {
        {15, "Excellent Link Quality 100%", IDI_LINKED},
        {12, "Excellent Link Quality 80%", IDI_LINKED},
        {11, "Good Link Quality 73%", IDI_LINKED},
        {9, "Good Link Quality 60%", IDI_LINKED},
        {8, "Fair Link Quality 53%", IDI_LINKED},
        {5, "Fair Link Quality 33%", IDI_LINKED},
        {4, "Poor Link Quality 26%", IDI_POOR},
        {1, "Poor Link Quality 6%", IDI_POOR},
        {0, "Not Linked", IDI_NOT_LINKED},
    };
    fake::FakeAdapter& adapter = library.Add("Adapter One");
    StartPolled();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quality);
        adapter.linkQuality = c.quality;
        Ticks(1);
        EXPECT_EQ(QualityLine(0), c.line);
        EXPECT_EQ(IconImage(0), c.image);
    }
}

TEST_F(TrayIconTest, TipOnNt5HoldsDescriptionSpeedAndQuality) {
    fake::FakeAdapter& adapter = library.Add("Wireless LAN PC Card");
    StartPolled();
    for (auto [rate, speed] : {std::pair<unsigned long, const char*>{22, "11.0"}, {11, "5.5"}, {108, "54.0"}}) {
        adapter.rate = rate;
        Ticks(1);
        EXPECT_EQ(Tip(0), std::string("Wireless LAN PC Card\nSpeed: ") + speed + " Mbps\nExcellent Link Quality 100%");
    }
    adapter.linkQuality = 0;
    Ticks(1);
    EXPECT_EQ(Tip(0), "Wireless LAN PC Card\nNot Linked");
    // The shell got the 488-byte record with nothing but the documented fields.
    const sim::TrayCall& last = desk.TrayCalls().back();
    EXPECT_EQ(last.message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(last.size, 488u);
    EXPECT_EQ(last.flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(last.callbackMessage, WM_TRAYICON);
    EXPECT_TRUE(last.otherFieldsZero);
}

TEST_F(TrayIconTest, TipBeforeNt5IsTheDescriptionAloneInTheSmallRecord) {
    for (DWORD version : {sim::Desktop::Version98(), sim::Desktop::VersionNt4()}) {
        SCOPED_TRACE(version);
        desk.SetVersion(version);
        library.Add(std::string(100, 'd'));
        StartPolled();
        EXPECT_EQ(Tip(0), std::string(63, 'd'));
        for (const sim::TrayCall& call : desk.TrayCalls()) {
            EXPECT_EQ(call.size, 88u);
            EXPECT_TRUE(call.tipTerminated);
        }
        Post(WM_COMMAND, ID_EXIT, 0);
        StartOver();
    }
}

TEST_F(TrayIconTest, LongDescriptionIsCutSoTheWholeTipFits) {
    const std::string description(127, 'x');
    library.Add(description);
    StartPolled();
    const std::string speed = "\nSpeed: 11.0 Mbps\n";
    const std::string quality = "Excellent Link Quality 100%";
    EXPECT_EQ(Tip(0), description.substr(0, 127 - speed.size() - quality.size()) + speed + quality);
    EXPECT_EQ(Tip(0).size(), 127u);
    EXPECT_TRUE(desk.TrayCalls().back().tipTerminated);
    // On a UTF-8 system the cut falls between two characters: 82 bytes of
    // room hold "x" and forty two-byte characters, not half of the next.
    StartOver();
    desk.SetCodePage(CP_UTF8);
    std::string accents;
    for (int i = 0; i < 63; ++i) accents += "\xC3\xA9";
    library.Add("x" + accents);
    StartPolled();
    EXPECT_EQ(Tip(0), "x" + accents.substr(0, 80) + speed + quality);
}

TEST_F(TrayIconTest, TextIsCutOnlyBetweenWholeCharacters) {
    struct Case {
        UINT codePage;
        const char* text;
        size_t room;
        size_t kept;
    };
    desk.SetLeadBytes({0x81});
    for (const Case& c : {Case{CP_UTF8, "ab\xC3\xA9", 3, 2}, Case{CP_UTF8, "\xE2\x82\xAC", 2, 0},
                          Case{CP_UTF8, "\xF0\x9F\x98\x80x", 4, 4}, Case{CP_UTF8, "a\xE2\x82", 9, 1},
                          Case{CP_UTF8,
                               "a\x80"
                               "b",
                               9, 3},
                          Case{1252, "ab\xC3\xA9", 3, 3}, Case{932, "a\x81\x40", 2, 1}, Case{932, "a\x81", 9, 1}}) {
        desk.SetCodePage(c.codePage);
        EXPECT_EQ(WholeCharacterBytes(c.text, c.room), c.kept) << c.codePage << " " << c.text;
    }
}

TEST_F(TrayIconTest, RadioOffAndSwitchOffShowTheCrossedImage) {
    fake::FakeAdapter& adapter = library.Add("Adapter One");
    StartPolled();
    adapter.radio = 2;  // radio off, switch on: the link is still read
    Ticks(1);
    EXPECT_EQ(QualityLine(0), "Radio Off");
    EXPECT_EQ(IconImage(0), IDI_RADIO_OFF);
    EXPECT_EQ(Tip(0), "Adapter One\nSpeed: 11.0 Mbps\nRadio Off");

    adapter.radio = 0;  // the radio switch is off: nothing else is asked
    library.calls.clear();
    Ticks(1);
    EXPECT_EQ(QualityLine(0), "FAA Radio Switch Off");
    EXPECT_EQ(IconImage(0), IDI_RADIO_OFF);
    EXPECT_EQ(library.CountCalls("GetNetworkType"), 0);
    EXPECT_EQ(library.CountCalls("GetLinkQuality"), 0);
    // The quality of the last poll stays, so the speed line goes with it.
    EXPECT_EQ(Tip(0), "Adapter One\nSpeed: 0.0 Mbps\nFAA Radio Switch Off");
}

// With the switch off no quality is read: the first poll shows speed 0, and
// the unchanged slot is sent again only when the last tip sent by any slot had
// another text.
TEST_F(TrayIconTest, SlotWithTheSwitchOffShowsSpeedZeroAndIsSentAgainOnlyAfterAnotherText) {
    for (unsigned long otherRadio : {0ul, 3ul}) {
        SCOPED_TRACE(otherRadio);
        library.Add("Adapter One").radio = otherRadio;
        library.Add("Adapter Two").radio = 0;
        StartPolled();
        EXPECT_EQ(Tip(1), "Adapter Two\nSpeed: 0.0 Mbps\nFAA Radio Switch Off");
        EXPECT_EQ(IconImage(1), IDI_RADIO_OFF);
        desk.ClearTrayCalls();
        Ticks(1);
        const auto& calls = desk.TrayCalls();
        EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                                [](const sim::TrayCall& c) { return c.id == 1 && c.message == NIM_MODIFY; }),
                  otherRadio ? 1 : 0);
        StartOver();
    }
}

TEST_F(TrayIconTest, FrameErrorsWinOverAnyQuality) {
    fake::FakeAdapter& adapter = library.Add("Adapter One");
    adapter.wepPacketRxOk = 0;
    StartPolled();
    for (unsigned long quality : {15ul, 9ul, 4ul, 0ul}) {
        adapter.linkQuality = quality;
        Ticks(1);
        EXPECT_EQ(QualityLine(0), "Data Frame Errors - Check WEP Settings");
        EXPECT_EQ(IconImage(0), IDI_FRAME_ERRORS);
    }
    // Not linked: the counter no longer matters.
    adapter.adapterState = 0;
    Ticks(1);
    EXPECT_EQ(QualityLine(0), "Not Linked");
}

TEST_F(TrayIconTest, NetworkType3ShowsFullQualityWithoutFurtherQueries) {
    fake::FakeAdapter& adapter = library.Add("Adapter One");
    adapter.networkType = 3;
    adapter.wepPacketRxOk = 0;
    StartPolled();
    EXPECT_EQ(Tip(0), "Adapter One\nSpeed: 0.0 Mbps\nExcellent Link Quality 100%");
    EXPECT_EQ(library.CountCalls("GetAdapterState"), 0);
    EXPECT_EQ(library.CountCalls("GetWEPPacketRxOK"), 0);
    EXPECT_EQ(IconImage(0), IDI_LINKED);
}

TEST_F(TrayIconTest, LinkedWithAnotherNetworkTypeShowsFullQualityAndNoRate) {
    fake::FakeAdapter& adapter = library.Add("Adapter One");
    adapter.networkType = 2;
    adapter.linkQuality = 4;
    StartPolled();
    EXPECT_EQ(Tip(0), "Adapter One\nSpeed: 0.0 Mbps\nExcellent Link Quality 100%");
    EXPECT_EQ(library.CountCalls("GetLinkQuality"), 0);
    EXPECT_EQ(library.CountCalls("GetWEPPacketRxOK"), 1);

    adapter.adapterState = 0;
    Ticks(1);
    EXPECT_EQ(Tip(0), "Adapter One\nNot Linked");
}

TEST_F(TrayIconTest, IconIsAddedWithTheApplicationIconAndNameThenRefreshed) {
    library.Add("Adapter One");
    StartPolled();
    ASSERT_GE(desk.TrayCalls().size(), 2u);
    const sim::TrayCall& add = desk.TrayCalls()[0];
    EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(add.size, 88u);
    EXPECT_EQ(add.id, 0u);
    EXPECT_EQ(add.tip, "ZEVARIDA");
    EXPECT_EQ(desk.IconResource(add.icon), IDI_APPLICATION_ICON);
    EXPECT_EQ(desk.TrayCalls()[1].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(IconImage(0), IDI_LINKED);
    EXPECT_EQ(desk.IconSize(TrayIcon(0)->icon), 16);
}

// At 125 % and more the shell draws notification-area icons larger than
// 16 x 16: each status image, pressed or not, is loaded at the small-icon size
// from an image of exactly that size, never stretched from another.
TEST_F(TrayIconTest, StatusImagesAreLoadedAtTheShellsSizeFromImagesOfThatSize) {
    struct Case {
        int dpi;
        int size;
    };
    const Case cases[] = {{96, 16}, {120, 20}, {144, 24}, {192, 32}};
    struct State {
        unsigned long radio, quality, wepPacketRxOk;
        int image;
    };
    const State states[] = {{3, 15, 100, IDI_LINKED},
                            {3, 2, 100, IDI_POOR},
                            {3, 0, 100, IDI_NOT_LINKED},
                            {0, 15, 100, IDI_RADIO_OFF},
                            {3, 15, 0, IDI_FRAME_ERRORS}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        desk.SetDpi(c.dpi);
        fake::FakeAdapter& adapter = library.Add("Adapter One");
        StartPolled();
        for (const State& state : states) {
            adapter.radio = state.radio;
            adapter.linkQuality = state.quality;
            adapter.wepPacketRxOk = state.wepPacketRxOk;
            Ticks(1);
            EXPECT_EQ(IconImage(0), state.image);
            for (bool down : {false, true}) {
                if (down) Mouse(0, WM_LBUTTONDOWN);  // the pressed image
                SCOPED_TRACE(down ? "pressed" : "normal");
                ASSERT_NE(TrayIcon(0), nullptr);
                EXPECT_EQ(desk.IconSize(TrayIcon(0)->icon), c.size);
                EXPECT_FALSE(desk.IconScaled(TrayIcon(0)->icon));
            }
            Mouse(0, WM_LBUTTONUP);
            desk.Advance(600);  // the click's menu, closed again
            if (desk.TrackedMenu()) desk.DismissMenu();
        }
        EXPECT_EQ(CallsWith("LoadImageA(", ", 1, " + std::to_string(c.size) + ", " + std::to_string(c.size) + ")"), 10);
        StartOver();
    }
}

// Where the system cannot tell its small-icon size, the images are 16 x 16.
TEST_F(TrayIconTest, StatusImagesAre16PixelsWhenTheSystemCannotTellTheSize) {
    desk.SetDpi(144);
    desk.FailCall("GetSystemMetrics", -1);
    library.Add("Adapter One");
    StartPolled();
    ASSERT_NE(TrayIcon(0), nullptr);
    EXPECT_EQ(desk.IconSize(TrayIcon(0)->icon), 16);
    EXPECT_EQ(CallsWith("LoadImageA(", ", 1, 16, 16)"), 10);
}

TEST_F(TrayIconTest, IconRefusedByTheShellIsAddedOnALaterTick) {
    library.Add("Adapter One");
    desk.SetShellReady(false);
    StartPolled();
    EXPECT_EQ(TrayIcon(0), nullptr);
    Ticks(1);
    EXPECT_EQ(TrayIcon(0), nullptr);
    desk.SetShellReady(true);
    Ticks(1);
    ASSERT_NE(TrayIcon(0), nullptr);
    EXPECT_EQ(IconImage(0), IDI_LINKED);

    // One refused add of a second adapter: it comes with the next tick.
    library.Add("Adapter Two");
    desk.FailCall("Shell_NotifyIconA", 1, 1);  // slot 0's refresh passes, slot 1's add fails
    Ticks(1);
    EXPECT_EQ(TrayIcon(1), nullptr);
    Ticks(1);
    EXPECT_NE(TrayIcon(1), nullptr);
}

TEST_F(TrayIconTest, RemovedAdapterLosesItsIcon) {
    library.Add("Adapter One");
    library.Add("Adapter Two");
    StartPolled();
    ASSERT_NE(TrayIcon(1), nullptr);
    library.items.pop_back();
    desk.ClearTrayCalls();
    Ticks(1);
    EXPECT_EQ(TrayIcon(1), nullptr);
    EXPECT_NE(TrayIcon(0), nullptr);
    const auto& calls = desk.TrayCalls();
    auto deleted = std::find_if(calls.begin(), calls.end(),
                                [](const sim::TrayCall& c) { return c.message == NIM_DELETE && c.id == 1; });
    ASSERT_NE(deleted, calls.end());
    EXPECT_EQ(deleted->size, 88u);
    // Deleted once; later ticks leave the empty slot alone.
    Ticks(2);
    EXPECT_EQ(std::count_if(desk.TrayCalls().begin(), desk.TrayCalls().end(),
                            [](const sim::TrayCall& c) { return c.message == NIM_DELETE; }),
              1);

    // Plugged in again: the icon comes back, first with the last image it had.
    library.Add("Adapter Two");
    Ticks(1);
    EXPECT_NE(TrayIcon(1), nullptr);
}

// An icon that went and comes back shows what a new slot's would, no reading
// from before it went: an adapter last seen without a link returns with its
// radio state unreadable, which reads neither quality nor rate.
TEST_F(TrayIconTest, IconAddedAgainCarriesNoReadingFromBeforeItWent) {
    library.Add("Adapter One");
    library.Add("Adapter Two").adapterState = 0;
    StartPolled();
    ASSERT_EQ(Tip(1), "Adapter Two\nNot Linked");
    library.items.pop_back();
    Ticks(1);
    ASSERT_EQ(TrayIcon(1), nullptr);
    library.Add("Adapter Two").radio = 0;
    Ticks(1);
    EXPECT_EQ(Tip(1), "Adapter Two\nSpeed: 0.0 Mbps\nFAA Radio Switch Off");
}

TEST_F(TrayIconTest, IconsComeBackAfterTheShellRestarts) {
    library.Add("Adapter One");
    library.Add("Adapter Two");
    StartPolled();
    desk.RestartShell();
    EXPECT_TRUE(desk.TrayIcons().empty());
    desk.Send(TrayWindow(), desk.RegisteredMessage("TaskbarCreated"), 0, 0);
    Ticks(1);
    ASSERT_NE(TrayIcon(0), nullptr);
    ASSERT_NE(TrayIcon(1), nullptr);
    EXPECT_EQ(IconImage(0), IDI_LINKED);
    EXPECT_EQ(Tip(1), "Adapter Two\nSpeed: 11.0 Mbps\nExcellent Link Quality 100%");
}

TEST_F(TrayIconTest, TaskbarMessageFromAShellThatKeptTheIconsLeavesThemWorking) {
    fake::FakeAdapter& adapter = library.Add("Adapter One");
    StartPolled();
    // The shell still holds the icon and refuses to add it twice.
    desk.Send(TrayWindow(), desk.RegisteredMessage("TaskbarCreated"), 0, 0);
    adapter.linkQuality = 4;
    Ticks(1);
    EXPECT_EQ(IconImage(0), IDI_POOR);
    adapter.linkQuality = 0;
    desk.ClearTrayCalls();
    Ticks(1);
    EXPECT_EQ(IconImage(0), IDI_NOT_LINKED);
    // Back to plain refreshes: no more add attempts.
    EXPECT_EQ(std::count_if(desk.TrayCalls().begin(), desk.TrayCalls().end(),
                            [](const sim::TrayCall& c) { return c.message == NIM_ADD; }),
              0);
}

TEST_F(TrayIconTest, QualityNotReadYetShowsNoPercentage) {
    // Switched on by the radio command before the driver reported a quality.
    fake::FakeAdapter& adapter = library.Add("Adapter One");
    adapter.radio = 0;
    StartPolled();
    adapter.radio = 3;
    sim::Desktop::Get().ClearTrayCalls();
    const int released = IconImage(0);
    Post(WM_TRAYICON, 0, WM_LBUTTONDOWN);
    EXPECT_NE(IconImage(0), released) << "the pressed image shows before any quality was read";
    Post(WM_TRAYICON, 0, WM_LBUTTONUP);
    desk.Advance(500);
    ASSERT_NE(desk.TrackedMenu(), nullptr);
    desk.ChooseMenuItem(ID_RADIO_ON);
    EXPECT_EQ(Tip(0).find('%'), std::string::npos) << Tip(0);
    EXPECT_EQ(Tip(0).find("4294967295"), std::string::npos);
    // The next poll reads the quality.
    Ticks(1);
    EXPECT_EQ(QualityLine(0), "Excellent Link Quality 100%");
}

TEST_F(TrayIconTest, RadioItemsFollowTheSlotOnceAMenuWasUsed) {
    library.Add("Adapter One");
    library.Add("Adapter Two");
    fake::FakeAdapter& first = library.items[0];
    StartPolled();
    // Before the first press the refresh touches no menu item.
    EXPECT_EQ(desk.CountCalls("EnableMenuItem"), 0);
    EXPECT_EQ(desk.CountCalls("CheckMenuRadioItem"), 0);

    first.radio = 2;
    Ticks(1);
    Post(WM_TRAYICON, 0, WM_LBUTTONDOWN);
    Post(WM_TRAYICON, 0, WM_LBUTTONUP);
    desk.Advance(500);
    ASSERT_NE(desk.TrackedMenu(), nullptr);
    auto items = desk.TrackedMenu()->items;
    EXPECT_FALSE(items[0].grayed);
    EXPECT_FALSE(items[0].checked);
    EXPECT_TRUE(items[1].checked);
    EXPECT_TRUE(items[1].radioCheck);
    // While the menu is open it follows its own icon's radio, not the other's (on).
    const HMENU menu = desk.TrackedMenu()->menu;
    desk.Advance(1000);
    EXPECT_TRUE(desk.MenuItems(menu)[1].checked);
    first.radio = 3;
    desk.Advance(1000);
    EXPECT_TRUE(desk.MenuItems(menu)[0].checked);
    EXPECT_FALSE(desk.MenuItems(menu)[1].checked);
    desk.DismissMenu();
}

}  // namespace
