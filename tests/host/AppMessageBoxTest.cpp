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
    EXPECT_EQ(
        desk.MessageBoxes(),
        (std::vector<sim::MessageBoxRecord>{{nullptr, "Line one\nLine two", "ZEVARIDA", MB_OK | MB_ICONEXCLAMATION}}));
}

TEST_F(AppMessageBoxTest, IconNamedByTheCallerReplacesTheExclamation) {
    ShowFromProgram("Hello", MB_ICONASTERISK);
    EXPECT_EQ(desk.MessageBoxes(),
              (std::vector<sim::MessageBoxRecord>{{nullptr, "Hello", "ZEVARIDA", MB_OK | MB_ICONASTERISK}}));
}

}  // namespace
