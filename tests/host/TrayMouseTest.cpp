// Clicks on the tray icons: when the menu opens, which pop-up it is, double
// clicks, held buttons, and the radio commands of the menu.
#include "ProgramRun.h"

#include "resource.h"
#include "tray/TrayMessages.h"

#include <algorithm>

namespace {

class TrayMouseTest : public DesktopTest {
protected:
    // Two adapters, polled once; the pointer rests on the icons.
    void SetUp() override {
        library.Add("Adapter One");
        library.Add("Adapter Two");
        desk.SetCursor(700, 590);
        Start();
        Ticks(1);
        library.calls.clear();
    }
};

TEST_F(TrayMouseTest, QuickClickOpensTheMenuHalfASecondAfterThePress) {
    Mouse(0, WM_LBUTTONDOWN);
    EXPECT_EQ(IconImage(0), IDI_LINKED_DOWN);
    desk.Advance(100);
    Mouse(0, WM_LBUTTONUP);
    EXPECT_EQ(IconImage(0), IDI_LINKED);
    EXPECT_EQ(OpenPopup(), "none");
    desk.Advance(399);
    EXPECT_EQ(OpenPopup(), "none");
    desk.Advance(1);
    ASSERT_EQ(OpenPopup(), "TrayMenu");
    const sim::OpenMenu& menu = *desk.TrackedMenu();
    EXPECT_EQ(menu.flags, 0x20u);
    EXPECT_EQ(menu.x, 700);
    EXPECT_EQ(menu.y, 590);
    EXPECT_EQ(menu.owner, TrayWindow());
    desk.DismissMenu();
    // After the menu the window is disabled and hidden again, and the tracking
    // was followed by message 2023.
    EXPECT_FALSE(desk.Window(TrayWindow()).visible);
    EXPECT_FALSE(desk.Window(TrayWindow()).enabled);
    EXPECT_EQ(desk.CountCalls("SetForegroundWindow"), 1);
    EXPECT_NE(std::find_if(desk.Calls().begin(), desk.Calls().end(),
                           [](const std::string& c) { return c.find(", 0x7E7, 0, 0)") != std::string::npos; }),
              desk.Calls().end());
}

TEST_F(TrayMouseTest, LateReleaseDoesNotDelayTheMenu) {
    Mouse(0, WM_LBUTTONDOWN);
    desk.Advance(500);
    EXPECT_EQ(OpenPopup(), "TrayMenu");
    desk.DismissMenu();
}

TEST_F(TrayMouseTest, PointerMovedSixteenPixelsAwayOpensNoMenu) {
    for (auto [dx, dy] : {std::pair<int, int>{16, 0}, {0, 16}, {-16, 0}, {0, -20}}) {
        desk.SetCursor(700, 590);
        Click(0);
        desk.SetCursor(700 + dx, 590 + dy);
        desk.Advance(500);
        EXPECT_EQ(OpenPopup(), "none");
    }
    // Fifteen pixels is still near.
    desk.SetCursor(700, 590);
    Click(0);
    desk.SetCursor(715, 575);
    desk.Advance(500);
    EXPECT_EQ(OpenPopup(), "TrayMenu");
    desk.DismissMenu();
}

TEST_F(TrayMouseTest, DoubleClickPostsTheStatusCommandOnceAndOpensNoMenu) {
    Click(0);
    desk.Advance(150);
    Mouse(0, WM_LBUTTONDBLCLK);
    Mouse(0, WM_LBUTTONUP);
    desk.Advance(2000);
    EXPECT_EQ(OpenPopup(), "none");
    EXPECT_EQ(PostedCommands(ID_NETWORK_STATUS), 1);
    EXPECT_EQ(IconImage(0), IDI_LINKED);
}

TEST_F(TrayMouseTest, CtrlShiftAtTheFirstPressSelectsTheSecondVariantForGood) {
    desk.SetKey(VK_CONTROL, true);
    desk.SetKey(VK_SHIFT, true);
    Click(0);
    desk.Advance(500);
    EXPECT_EQ(OpenPopup(), "NewTrayMenu");
    desk.DismissMenu();
    desk.SetKey(VK_CONTROL, false);
    desk.SetKey(VK_SHIFT, false);

    Click(0, true);
    desk.Advance(500);
    EXPECT_EQ(OpenPopup(), "ProfileMenu");
    desk.DismissMenu();

    Click(1);
    desk.Advance(500);
    EXPECT_EQ(OpenPopup(), "NewTrayMenu");
    desk.DismissMenu();

    // A double click ends the right button's click: a click request forged
    // after it gets the variant's own menu.
    Click(0, true);
    Mouse(0, WM_RBUTTONDBLCLK);
    desk.Advance(500);
    Mouse(0, TRAY_CLICKED);
    EXPECT_EQ(OpenPopup(), "NewTrayMenu");
    desk.DismissMenu();

    // A held press gets the profile menu too.
    Mouse(0, WM_LBUTTONDOWN);
    desk.SetCursor(800, 100);  // away at 500 ms: no click
    desk.Advance(500);
    desk.SetCursor(700, 590);
    Ticks(2);
    EXPECT_EQ(OpenPopup(), "ProfileMenu");
    desk.DismissMenu();
}

TEST_F(TrayMouseTest, OnlyCtrlOrLaterCtrlShiftKeepsTheFirstVariant) {
    desk.SetKey(VK_CONTROL, true);
    Click(0, true);
    desk.Advance(500);
    EXPECT_EQ(OpenPopup(), "TrayMenu");
    desk.DismissMenu();
    desk.SetKey(VK_SHIFT, true);
    Click(0, true);
    desk.Advance(500);
    EXPECT_EQ(OpenPopup(), "TrayMenu");
    desk.DismissMenu();
}

TEST_F(TrayMouseTest, HeldPressOpensTheMenuFromTheSecondTick) {
    // The pointer leaves before the click timer and comes back: only the hold
    // check can open the menu now.
    desk.Advance(100);  // ticks fall on whole seconds; press at 1.1 s
    Mouse(0, WM_LBUTTONDOWN);
    desk.SetCursor(900, 100);
    desk.Advance(500);
    desk.SetCursor(700, 590);
    desk.Advance(400);  // the tick at 2 s counts the hold to 2
    EXPECT_EQ(OpenPopup(), "none");
    desk.SetCursor(900, 100);
    desk.Advance(1000);  // the tick at 3 s: held, but the pointer is away
    EXPECT_EQ(OpenPopup(), "none");
    desk.SetCursor(700, 590);
    desk.Advance(1000);  // the tick at 4 s: held, and back
    EXPECT_EQ(OpenPopup(), "TrayMenu");
    // While the button is held the icon shows the pressed image.
    desk.DismissMenu();
}

TEST_F(TrayMouseTest, LostReleaseReopensTheMenuEachTickOnceClosed) {
    Mouse(0, WM_LBUTTONDOWN);
    desk.Advance(500);
    ASSERT_EQ(OpenPopup(), "TrayMenu");
    // The menu takes the release; the ticks while it is open post nothing.
    desk.Advance(3000);
    desk.DismissMenu();
    EXPECT_EQ(OpenPopup(), "none");
    Ticks(1);
    EXPECT_EQ(OpenPopup(), "TrayMenu");
    desk.DismissMenu();
    Ticks(1);
    EXPECT_EQ(OpenPopup(), "TrayMenu");
    desk.DismissMenu();
    // A release on the icon ends it.
    Mouse(0, WM_LBUTTONUP);
    Ticks(3);
    EXPECT_EQ(OpenPopup(), "none");
}

TEST_F(TrayMouseTest, RadioCommandActsOnTheSlotWhoseMenuWasShown) {
    Click(1);
    desk.Advance(500);
    ASSERT_EQ(OpenPopup(), "TrayMenu");
    // An event of the other icon while the menu is open does not move the target.
    Mouse(0, WM_MOUSEMOVE);
    library.calls.clear();
    desk.ChooseMenuItem(ID_RADIO_OFF);
    EXPECT_EQ(library.calls, (std::vector<std::string>{"CWrapNetAdapter::SetRadioState(1,0)",
                                                       "CWrapDriverInterface::SetRadioState(1,0)"}));
    EXPECT_EQ(IconImage(1), IDI_RADIO_OFF);
    EXPECT_EQ(IconImage(0), IDI_LINKED);
    const sim::TrayIcon* icon = desk.FindTrayIcon(TrayWindow(), 1);
    EXPECT_EQ(icon->tip.substr(icon->tip.rfind('\n') + 1), "Radio Off");
}

TEST_F(TrayMouseTest, RadioOffShowsAtOnceAndThePollFollowsTheDriver) {
    Click(0);
    desk.Advance(500);
    desk.ChooseMenuItem(ID_RADIO_OFF);
    EXPECT_EQ(IconImage(0), IDI_RADIO_OFF);
    // The stand-in driver switched its radio off: the next poll agrees.
    Ticks(1);
    EXPECT_EQ(IconImage(0), IDI_RADIO_OFF);
    // A driver that turns the radio back on by itself wins on the next poll.
    library.items[0].radio = 3;
    Ticks(1);
    EXPECT_EQ(IconImage(0), IDI_LINKED);
}

TEST_F(TrayMouseTest, RadioCommandThatChangesNothingMakesNoLibraryCall) {
    Click(0);
    desk.Advance(500);
    library.calls.clear();
    desk.ChooseMenuItem(ID_RADIO_ON);
    EXPECT_TRUE(library.calls.empty());
    EXPECT_EQ(IconImage(0), IDI_LINKED);

    Click(0);
    desk.Advance(500);
    desk.ChooseMenuItem(ID_RADIO_OFF);
    library.calls.clear();
    // Before any poll, off again changes nothing.
    Post(WM_COMMAND, ID_RADIO_OFF, 0);
    EXPECT_TRUE(library.calls.empty());
    EXPECT_EQ(IconImage(0), IDI_RADIO_OFF);
    // On again calls both objects with 1, the adapter first.
    Post(WM_COMMAND, ID_RADIO_ON, 0);
    EXPECT_EQ(library.calls, (std::vector<std::string>{"CWrapNetAdapter::SetRadioState(0,1)",
                                                       "CWrapDriverInterface::SetRadioState(0,1)"}));
}

TEST_F(TrayMouseTest, RadioSwitchOffGreysBothRadioItems) {
    library.items[0].radio = 0;
    Ticks(1);
    Click(0);
    desk.Advance(500);
    ASSERT_EQ(OpenPopup(), "TrayMenu");
    const auto& items = desk.TrackedMenu()->items;
    EXPECT_TRUE(items[0].grayed);
    EXPECT_TRUE(items[1].grayed);
    EXPECT_TRUE(items[1].checked);
    desk.ChooseMenuItem(ID_RADIO_ON);  // cannot be chosen
    EXPECT_NE(desk.TrackedMenu(), nullptr);
    desk.DismissMenu();
    EXPECT_TRUE(std::none_of(library.calls.begin(), library.calls.end(),
                             [](const std::string& c) { return c.find("SetRadioState") != std::string::npos; }));
}

TEST_F(TrayMouseTest, OpenMenuKeepsShowingTheRadioOfItsOwnIcon) {
    library.items[0].radio = 0;  // the first adapter's radio switch is off
    Ticks(1);
    Click(0);
    desk.Advance(500);
    ASSERT_EQ(OpenPopup(), "TrayMenu");
    // The polls while the menu is open refresh the other icon too.
    desk.Advance(2000);
    const auto items = desk.MenuItems(desk.TrackedMenu()->menu);
    EXPECT_TRUE(items[0].grayed);
    EXPECT_TRUE(items[1].grayed);
    EXPECT_TRUE(items[1].checked);
    desk.ChooseMenuItem(ID_RADIO_ON);
    EXPECT_NE(desk.TrackedMenu(), nullptr);
    desk.DismissMenu();
    EXPECT_EQ(library.CountCalls("CWrapNetAdapter::SetRadioState"), 0);
}

TEST_F(TrayMouseTest, TrayMenuHasExactlyTheItemsOfTheResource) {
    Click(0);
    desk.Advance(500);
    ASSERT_EQ(OpenPopup(), "TrayMenu");
    struct Expected {
        UINT id;
        const char* text;
    };
    const Expected expected[] = {{ID_RADIO_ON, "Wireless Radio On"},
                                 {ID_RADIO_OFF, "Wireless Radio Off"},
                                 {0, ""},
                                 {ID_REMOVE_STATUS_ICON, "&Remove Status Icon..."},
                                 {0, ""},
                                 {ID_NETWORK_STATUS, "&Wireless Network Status..."},
                                 {ID_SITE_SURVEY, "&Site Surveyus..."},
                                 {ID_ADVANCED_CONFIGURATION, "&Advanced Configuration..."},
                                 {ID_WEP_ENCRYPTION, "WEP &Encryption..."},
                                 {ID_SECURITY, "Sec&urity..."},
                                 {ID_VERSION_INFORMATION, "&Version Information..."}};
    const auto& items = desk.TrackedMenu()->items;
    ASSERT_EQ(items.size(), std::size(expected));
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].id, expected[i].id);
        EXPECT_EQ(items[i].text, expected[i].text);
        EXPECT_EQ(items[i].separator, expected[i].id == 0);
        EXPECT_FALSE(items[i].grayed);
    }
    desk.DismissMenu();
}

TEST_F(TrayMouseTest, EventsForSlotsOutsideTheFourChangeNothing) {
    desk.ClearCalls();
    desk.ClearTrayCalls();
    for (WPARAM slot : {WPARAM(4), WPARAM(-1), WPARAM(0x7FFFFFFF)}) {
        for (LPARAM event : {LPARAM(WM_LBUTTONDOWN), LPARAM(WM_LBUTTONUP), LPARAM(WM_RBUTTONDBLCLK),
                             LPARAM(TRAY_CLICKED), LPARAM(TRAY_HELD)})
            Mouse(slot, event);
        // Handled all the same, as every tray event is.
        EXPECT_EQ(desk.Send(TrayWindow(), WM_TRAYICON, slot, WM_MOUSEMOVE), 1);
    }
    desk.Advance(600);
    EXPECT_EQ(OpenPopup(), "none");
    EXPECT_TRUE(desk.TrayCalls().empty());
    EXPECT_EQ(desk.CountCalls("SetTimer"), 0);
    EXPECT_EQ(PostedCommands(ID_NETWORK_STATUS), 0);
    // The radio commands still act on the slot of the last real menu.
    Post(WM_COMMAND, ID_RADIO_OFF, 0);
    EXPECT_EQ(library.calls.back(), "CWrapDriverInterface::SetRadioState(0,0)");
}

TEST_F(TrayMouseTest, MenuRequestWhileAMenuIsOpenIsIgnored) {
    Click(0);
    desk.Advance(500);
    ASSERT_EQ(OpenPopup(), "TrayMenu");
    Click(1);
    Mouse(1, WM_LBUTTONDBLCLK);
    desk.Advance(2500);
    EXPECT_EQ(desk.CountCalls("TrackPopupMenu"), 1);
    EXPECT_EQ(PostedCommands(ID_NETWORK_STATUS), 0);
    desk.DismissMenu();

    // A request forged by another process opens the menu while a click is
    // still pending; a press inside the menu ends that click, so the menu
    // does not open again once it closes.
    Mouse(0, WM_LBUTTONDOWN);
    Mouse(0, TRAY_CLICKED);
    ASSERT_EQ(OpenPopup(), "TrayMenu");
    Mouse(0, WM_LBUTTONDOWN);
    desk.DismissMenu();
    desk.Advance(600);
    EXPECT_EQ(desk.CountCalls("TrackPopupMenu"), 2);
}

}  // namespace
