// The versions list of the maker's server and the version comparison. The
// input's first line is the running version text, the second the product
// name, the rest the fetched list.
#include "fuzz_require.h"
#include "update/download_file_name.h"
#include "update/installer.h"
#include "update/versions_list.h"

#include <string>

namespace {

bool IsLetter(unsigned char c) { return c >= 'a' && c <= 'z'; }

bool IsSafeFileName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..") return false;
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 32 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            return false;
    }
    return true;
}

std::string Joined(const std::vector<std::string>& fields)
{
    std::string text;
    for (std::size_t i = 0; i < fields.size(); ++i) text += (i ? "," : "") + fields[i];
    return text;
}

void CheckOrder(const ProgramVersion& a, const ProgramVersion& b, const ProgramVersion& c)
{
    Require(!IsNewer(a, a), "no version is newer than itself");
    Require(!(IsNewer(a, b) && IsNewer(b, a)), "of two versions at most one is newer");
    const bool same = a.Digits == b.Digits && a.Letter == b.Letter;
    Require(same || IsNewer(a, b) || IsNewer(b, a), "of two different versions one is newer");
    Require(!(IsNewer(a, b) && IsNewer(b, c)) || IsNewer(a, c), "newer is transitive");
}

// The display text read back gives the version, for the versions a record
// can name: one to three digits and a lower-case letter or none.
void CheckDisplayText(const ProgramVersion& version)
{
    const std::string& digits = version.Digits;
    if (digits.empty() || digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos) return;
    if (version.Letter && !IsLetter(version.Letter)) return;
    const ProgramVersion back = RunningVersion(VersionDisplayText(version));
    Require(back.Digits == version.Digits && back.Letter == version.Letter, "the display text reads back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto [versionText, rest] = FirstLine(InputText(data, size));
    const auto [productName, listText] = FirstLine(rest);

    // Every record field, put back together, is the record (a comma at the
    // very end gives no field).
    const std::vector<std::string> fields = SplitRecordFields(listText);
    std::string_view record = listText;
    if (!record.empty() && record.back() == ',') record.remove_suffix(1);
    Require(Joined(fields) == record, "the fields make up the record");

    for (const int attempts : {1, VersionsListAttempts}) {
        const VersionsCheck check = JudgeVersionsList({std::string(listText), attempts}, productName, versionText);
        Require((check.Result == UpdateCheckResult::RecordDamaged) == (check.Fault != RecordFault::None),
                "a damaged record names its fault, and only then");
        const bool read =
            check.Result == UpdateCheckResult::UpdateAdvised || check.Result == UpdateCheckResult::NoUpdateNeeded;
        Require(read == check.InstallerSizeKB.has_value(), "a read record gives the installer's size");
        if (!read) {
            Require(check.DownloadName.empty() && check.NewestText.empty(), "an unread record gives no names");
            continue;
        }
        Require(*check.InstallerSizeKB >= 0, "the installer's size is not negative");
        // The name becomes a file in the installer's own folder and part of a URL.
        Require(IsSafeFileName(check.DownloadName), "the download name is a plain file name");
        Require(!IsDeviceName(check.DownloadName), "the download name is no device");
        const std::string display = DisplayName(check.DownloadName);
        Require(display.find_first_of("\\/:") == std::string::npos, "the display name is no path");
        const std::string folder = "C:\\Temp\\Kestrom-1\\";
        const InstallerPaths paths =
            MakeInstallerPaths(folder, "Kestrom", check.DownloadName, "http://h/", "C:\\Program\\");
        Require(paths.File.rfind(folder, 0) == 0 && paths.File.find('\\', folder.size()) == std::string::npos,
                "the download file stands in the installer's folder");
    }

    // Versions read from the list's lines, compared with the running one.
    const ProgramVersion running = RunningVersion(versionText);
    const auto [second, third] = FirstLine(listText);
    const ProgramVersion a = RunningVersion(second);
    const ProgramVersion b = RunningVersion(FirstLine(third).first);
    CheckOrder(running, a, b);
    CheckOrder(a, b, running);
    CheckOrder(b, running, a);
    for (const ProgramVersion* version : {&running, &a, &b}) {
        Require(version->Letter == 0 || IsLetter(version->Letter), "a version's letter is lower case or none");
        CheckDisplayText(*version);
    }
    return 0;
}
