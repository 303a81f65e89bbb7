// The application message box: caption, buttons, icon and owner.
#include "ProgramRun.h"

#include "app/StatusTrayApp.h"

namespace {

class AppMessageBoxTest : public DesktopTest {
protected:
    // Shows a message from inside a process of the program, before any window exists.
    void ShowFromProgram(const char* text, UINT type) {
        processes.push_back(std::make_unique<sim::Process>([text, type] {
            CStatusTrayApp app;
            return AppMessageBox(text, type);
        }));
    }
};

TEST_F(AppMessageBoxTest, CaptionIsTheExecutableNameWithoutDirectoryOrExtension) {
    desk.SetModulePath("C:\\Program Files\\Quorvane.Tools\\ZEVARIDA.EXE");
    ShowFromProgram("Line one\nLine two", 0);
    ASSERT_EQ(desk.MessageBoxes().size(), 1u);
    const sim::MessageBoxRecord& box = desk.MessageBoxes()[0];
    EXPECT_EQ(box.caption, "ZEVARIDA");
    EXPECT_EQ(box.text, "Line one\nLine two");
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(box.owner, nullptr);
}

TEST_F(AppMessageBoxTest, IconNamedByTheCallerReplacesTheExclamation) {
    ShowFromProgram("Hello", MB_ICONASTERISK);
    ASSERT_EQ(desk.MessageBoxes().size(), 1u);
    EXPECT_EQ(desk.MessageBoxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONASTERISK));
}

}  // namespace
