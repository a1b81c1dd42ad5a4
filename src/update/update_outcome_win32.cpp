#include "update/update_outcome.h"

#include "update/installer_folder_win32.h"
#include "update/update_record_win32.h"

std::vector<std::string> FinishEarlierUpdate(const std::string& productName, std::string_view versionText)
{
    if (!RemoveRecordedInstallerFolder(productName)) return {};
    const std::optional<std::string> expected = ReadUpdateRecord(ExpectedVersionRecord);
    if (!expected) return {};
    ForgetUpdateRecord(ExpectedVersionRecord);
    return UpdateOutcomeLines(*expected, versionText);
}
