// An automatic run's error that reaches the top-level handler: a real
// window whose click handler throws, in a child process that must end with
// exit code 10, its line in the data folder's run log.
#include "app/unattended_errors_win32.h"
#include "win/application.h"
#include "win/button.h"
#include "win/form.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>
#include <string>

namespace {

class ThrowingForm : public Form {
public:
    void Create()
    {
        CreateForm("KestromThrowingForm", "Kestrom", 300, 200);
        Throw.Create(*this, Handle(), "Fout", {10, 10, 100, 30});
    }
    Button Throw;
};

std::string Folder()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    return std::string(temp) + "kestrom_unattended_errors\\";
}

// Clicks a button whose handler throws what throwIt throws; returns only
// when the error did not end the process.
void ClickAThrowingButton(void (*throwIt)())
{
    Application::Initialize(GetModuleHandleA(nullptr), "Kestrom");
    EndOnTopLevelErrors([] { return Folder(); });
    ThrowingForm form;
    form.Create();
    form.Throw.OnClick = throwIt;
    SendMessageA(form.Throw.Handle(), BM_CLICK, 0, 0);
}

TEST(UnattendedErrors, AnErrorReachingTheTopLevelIsLoggedAndEndsTheProgramWith10)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    const struct {
        const char* name;
        void (*throwIt)();
        const char* logged;
    } cases[] = {
        {"a standard exception", [] { throw std::runtime_error("Het geheugen is op\r\nna 12 fondsen"); },
         "fout: Het geheugen is op  na 12 fondsen"},
        {"anything else", [] { throw 42; }, "fout: Unknown error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CreateDirectoryA(Folder().c_str(), nullptr);
        DeleteFileA((Folder() + "Kestrom.log").c_str());
        EXPECT_EXIT(ClickAThrowingButton(c.throwIt), ::testing::ExitedWithCode(10), "");
        std::ifstream file(Folder() + "Kestrom.log", std::ios::binary);
        const std::string log((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const std::regex line(R"(\d\d-\d\d-\d{4} \d\d:\d\d:\d\d; automatisch; )" + std::string(c.logged) +
                              "; exitcode 10 onverwachte fout\r\n");
        EXPECT_TRUE(std::regex_match(log, line)) << log;
    }
}

} // namespace
