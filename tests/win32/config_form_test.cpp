// The settings dialog as a real window under Wine: its size, fonts and tab
// order, and the browse button through the real folder browser.
// KESTROM_SCREENSHOTS names a folder for a screenshot of the dialog.
#include "app/main_form.h"
#include "modal_script.h"
#include "ui/config_form.h"
#include "ui/config_layout.h"
#include "settings/settings.h"
#include "ui/ask_dialog.h"
#include "ui/browse_form.h"
#include "win/application.h"
#include "win/scaling.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

class ConfigEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        Application::Initialize(GetModuleHandleA(nullptr), "Kestrom");
        main.Create();
        // No update window here: the main window's check three seconds
        // after start would have none to show its outcome in.
        main.UpdateTimer.SetEnabled(false);
        config.Create(main, [this](const CallerRect& dialog) { updateNowAsked.push_back(dialog); });
        browse.Create();
        ask.Create();
    }
    void TearDown() override
    {
        ask.Destroy();
        browse.Destroy();
        config.Destroy();
        main.Destroy();
    }
    TMainForm main;
    TConfigForm config;
    TBrowseForm browse;
    TAskDlg ask;
    // Each "Update nu", with the rectangle the check is to centre on.
    std::vector<CallerRect> updateNowAsked;
};

ConfigEnvironment* environment =
    static_cast<ConfigEnvironment*>(::testing::AddGlobalTestEnvironment(new ConfigEnvironment));

TConfigForm& Config() { return environment->config; }

void Click(const Button& button) { PostMessageA(button.Handle(), BM_CLICK, 0, 0); }

// Runs script once the dialog is up; the script closes it.
int ConfigRunning(std::function<void()> script)
{
    WhenReady run([] { return UpAndActive(Config().Handle()); }, [script] { script(); });
    OneShot watchdog(HangBoundMs, [] {
        ADD_FAILURE() << "the dialog did not close";
        Config().SetModalResult(mrCancel);
    });
    return Config().ShowModal();
}

LOGFONTA FontOf(const Control& control)
{
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control.Handle(), WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

TEST(ConfigForm, SizedFromItsControls)
{
    TConfigForm& form = Config();
    EXPECT_EQ(form.Caption(), "Kestrom - Instellingen");
    // The group boxes and OK at their design places, scaled.
    EXPECT_EQ(form.FilesBox.Left(), Scaled(18));
    EXPECT_EQ(form.FilesBox.Width(), Scaled(661));
    EXPECT_EQ(form.OKButton.Left(), Scaled(203));
    EXPECT_EQ(form.OKButton.Top(), Scaled(414));
    const ConfigSize size = ConfigFormSize(form.FilesBox.Left(), form.FilesBox.Width(), form.OKButton.Left(),
                                           form.OKButton.Top(), form.OKButton.Height(), form.CancelButton.Width());
    EXPECT_EQ(form.ClientWidth(), size.ClientWidth);
    EXPECT_EQ(form.ClientHeight(), size.ClientHeight);
    EXPECT_EQ(form.CancelButton.Left(), size.CancelLeft);
    // Controls in a group sit at the group's place plus their own.
    EXPECT_EQ(form.PathEdit.Left(), Scaled(18 + 27));
    EXPECT_EQ(form.UpdateButton.Top(), Scaled(117 + 29));
    EXPECT_EQ(form.RadioAlles.Top(), Scaled(216 + 51));
    EXPECT_EQ(form.AutoBox.Top(), Scaled(315));
    EXPECT_EQ(form.AutoBox.Height(), Scaled(82));
    EXPECT_EQ(form.AutoCheck.Top(), Scaled(315 + 20));
}

TEST(ConfigForm, FontsAndTabOrder)
{
    TConfigForm& form = Config();
    struct Case {
        const char* name;
        const Control& control;
        int height;
    };
    const Case cases[] = {
        {"edit", form.PathEdit, 16},         {"check box", form.UpdateCheck, 16}, {"radio", form.RadioAEX, 16},
        {"browse", form.BrowseButton, 17},   {"update", form.UpdateButton, 17},   {"OK", form.OKButton, 17},
        {"cancel", form.CancelButton, 17},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LOGFONTA font = FontOf(c.control);
        EXPECT_STREQ(font.lfFaceName, "Verdana");
        EXPECT_EQ(font.lfHeight, -Scaled(c.height));
    }

    // The files group, the updates group, OK and Cancel, the selection
    // group, the evening run's group.
    const std::vector<HWND> expected = {form.PathEdit.Handle(),   form.BrowseButton.Handle(),
                                        form.UpdateCheck.Handle(), form.UpdateButton.Handle(),
                                        form.OKButton.Handle(),    form.CancelButton.Handle(),
                                        form.RadioAEX.Handle(),    form.RadioAlles.Handle(),
                                        form.AutoCheck.Handle(),   form.AutoTimeEdit.Handle(),
                                        form.WakeCheck.Handle()};
    std::vector<HWND> order;
    for (HWND child = GetWindow(form.Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (std::find(expected.begin(), expected.end(), child) != expected.end()) order.push_back(child);
    }
    EXPECT_EQ(order, expected);
}

TEST(ConfigForm, BrowseStartsAtTheRootOfCAndPutsTheChoiceIntoTheEditOnly)
{
    struct Case {
        const char* name;
        bool ok;
        std::string edit;
    };
    const Case cases[] = {
        {"OK", true, "C:\\"},
        {"Cancel", false, CurrentSettings.DataPath},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string stored = CurrentSettings.DataPath;
        std::string title;
        std::string opened;
        bool filesVisible = true;
        std::string edit;
        ConfigRunning([&] {
            SaveScreenshot(Config().Handle(), "config_form");
            WhenReady answer([] { return UpAndActive(BrowseForm->Handle()); }, [&] {
                title = BrowseForm->Panel2Caption();
                opened = BrowseForm->Boom1.Directory();
                filesVisible = BrowseForm->FileListBox.Visible();
                Click(c.ok ? BrowseForm->OKBtn : BrowseForm->CancelBtn);
            });
            Config().BrowseButton.Click();
            edit = Config().PathEdit.Text();
            Click(Config().CancelButton);
        });
        EXPECT_EQ(title, "Selecteer Pad voor Bestanden");
        EXPECT_EQ(opened, "C:\\");
        EXPECT_FALSE(filesVisible);
        EXPECT_EQ(edit, c.edit);
        // Nothing is taken over before OK; Cancel shows the settings again.
        EXPECT_EQ(CurrentSettings.DataPath, stored);
        EXPECT_EQ(Config().PathEdit.Text(), stored);
    }
}

TEST(ConfigForm, UpdateNowAsksForTheCheckCentredOnTheDialogAndStaysOpen)
{
    environment->updateNowAsked.clear();
    RECT outer = {};
    bool stillUp = false;
    EXPECT_EQ(ConfigRunning([&] {
                  Config().SetPosition(Scaled(40), Scaled(30));
                  GetWindowRect(Config().Handle(), &outer);
                  Config().UpdateButton.Click();
                  stillUp = Config().Visible();
                  Click(Config().CancelButton);
              }),
              mrCancel);
    EXPECT_TRUE(stillUp);
    ASSERT_EQ(environment->updateNowAsked.size(), 1u);
    const CallerRect& asked = environment->updateNowAsked.front();
    EXPECT_EQ(asked.Top, outer.top);
    EXPECT_EQ(asked.Left, outer.left);
    EXPECT_EQ(asked.Height, outer.bottom - outer.top);
    EXPECT_EQ(asked.Width, outer.right - outer.left);
}

} // namespace
