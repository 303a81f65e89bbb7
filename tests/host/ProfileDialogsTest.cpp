// The profile dialogs: a name of at most 32 characters in the control that
// has the focus, any name accepted, and nothing changed afterwards.
#include "ProgramRun.h"

#include "resource.h"

namespace {

class ProfileDialogsTest : public DesktopTest {};

TEST_F(ProfileDialogsTest, EachAcceptsANameOfUpTo32CharactersAndChangesNothing) {
    struct Case {
        UINT command;
        const char* title;
        int nameControl;
    };
    library.Add("Adapter One");
    Start();
    Ticks(1);
    library.calls.clear();
    for (const Case& c : {Case{ID_ADD_PROFILE, "Add Wireless Profile", IDC_PROFILE_NAME},
                          Case{ID_RENAME_PROFILE, "Save Wireless Profile", IDC_PROFILE_NAME},
                          Case{ID_DELETE_PROFILE, "Delete Wireless Profile", IDC_PROFILE_LIST}}) {
        SCOPED_TRACE(c.title);
        HWND dialog = OpenDialog(c.command, c.title);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(desk.Window(dialog).owner, TrayWindow());
        EXPECT_EQ(desk.Focus(), Item(dialog, c.nameControl));
        if (c.nameControl == IDC_PROFILE_NAME) {
            desk.Type(Item(dialog, c.nameControl), std::string(33, 'p'));
            EXPECT_EQ(desk.Control(Item(dialog, c.nameControl)).text, std::string(32, 'p'));
        }
        desk.Click(Item(dialog, IDOK));
        EXPECT_FALSE(desk.WindowExists(dialog));
        // Cancel closes it as well; the empty name is accepted.
        dialog = OpenDialog(c.command, c.title);
        desk.PressKey(dialog, VK_ESCAPE);
        EXPECT_FALSE(desk.WindowExists(dialog));
        dialog = OpenDialog(c.command, c.title);
        desk.PressKey(dialog, VK_RETURN);
        EXPECT_FALSE(desk.WindowExists(dialog));
    }
    EXPECT_TRUE(desk.MessageBoxes().empty());
    EXPECT_TRUE(library.calls.empty());
    EXPECT_EQ(desk.OpenRegistryKeys(), 0);
    EXPECT_FALSE(desk.RegistryKeyExists(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
    EXPECT_EQ(IconImage(0), IDI_LINKED);
}

TEST_F(ProfileDialogsTest, LongerNameIsRefusedWithFocusOnTheField) {
    Start();
    HWND dialog = OpenDialog(ID_ADD_PROFILE, "Add Wireless Profile");
    HWND name = Item(dialog, IDC_PROFILE_NAME);
    desk.Send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::string(33, 'p').c_str()));
    desk.Send(Item(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(desk.MessageBoxes(),
              (std::vector<sim::MessageBoxRecord>{
                  {dialog, "Please enter no more than 32 characters.", "ZEVARIDA", MB_OK | MB_ICONEXCLAMATION}}));
    EXPECT_TRUE(desk.WindowExists(dialog));
    EXPECT_EQ(desk.Focus(), name);
    EXPECT_EQ(desk.Control(name).selEnd, 33u);
}

}  // namespace
