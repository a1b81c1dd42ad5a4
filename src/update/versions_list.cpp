#include "update/versions_list.h"

#include "support/text.h"
#include "update/download_file_name.h"

#include <charconv>

namespace {

constexpr char DefaultPageText[] = "Default.htm";

std::optional<int> SizeInKB(std::string_view field)
{
    int value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size() || value < 0) return std::nullopt;
    return value;
}

VersionsCheck Damaged(RecordFault fault)
{
    VersionsCheck check;
    check.Result = UpdateCheckResult::RecordDamaged;
    check.Fault = fault;
    return check;
}

} // namespace

ProgramVersion RunningVersion(std::string_view versionText)
{
    ProgramVersion version;
    if (!versionText.empty() && versionText.back() >= 'a' && versionText.back() <= 'z')
        version.Letter = static_cast<unsigned char>(versionText.back());
    version.Digits = NumberChars(TextBefore('.', versionText) + TextAfter('.', versionText));
    return version;
}

bool IsNewer(const ProgramVersion& newest, const ProgramVersion& running)
{
    // std::string compares bytes as unsigned, shorter first on a tie.
    const int order = newest.Digits.compare(running.Digits);
    return order > 0 || (order == 0 && newest.Letter > running.Letter);
}

std::string VersionDisplayText(const ProgramVersion& version)
{
    const std::string& digits = version.Digits;
    std::string text = digits.substr(0, 1) + "." + (digits.size() > 1 ? digits.substr(1, 2) : std::string());
    if (version.Letter) text += static_cast<char>(version.Letter);
    return text;
}

std::optional<ProgramVersion> ParseVersionText(std::string_view text)
{
    const auto digit = [](char ch) { return ch >= '0' && ch <= '9'; };
    if (text.size() != 5 || !digit(text[0]) || text[1] != '.' || !digit(text[2]) || !digit(text[3])
        || text[4] < 'a' || text[4] > 'z')
        return std::nullopt;
    ProgramVersion version;
    version.Digits = {text[0], text[2], text[3]};
    version.Letter = static_cast<unsigned char>(text[4]);
    return version;
}

bool SameVersion(const ProgramVersion& a, const ProgramVersion& b)
{
    return a.Digits == b.Digits && a.Letter == b.Letter;
}

std::vector<std::string> SplitRecordFields(std::string_view record)
{
    std::vector<std::string> fields;
    std::string rest(record);
    while (!rest.empty()) {
        if (rest.front() == ',') fields.emplace_back();
        else if (rest.find(',') == std::string::npos) fields.push_back(rest);
        else fields.push_back(TextBefore(',', rest));
        rest = TextAfter(',', rest);
    }
    return fields;
}

std::size_t FindProductRecord(std::string_view text, std::string_view productName)
{
    const std::string key = std::string(productName) + ',';
    std::size_t line = 0;
    while (line < text.size()) {
        if (text.compare(line, key.size(), key) == 0) return line;
        const auto end = text.find_first_of("\r\n", line);
        if (end == std::string_view::npos) break;
        line = end + 1;
    }
    return std::string_view::npos;
}

std::string VersionsListText(std::string_view body)
{
    std::string text;
    for (std::size_t block = 0; block < body.size(); block += VersionsListBlockBytes) {
        const std::string_view part = body.substr(block, VersionsListBlockBytes);
        text.append(part.substr(0, part.find('\0')));
    }
    return text;
}

VersionsCheck JudgeVersionsList(const FetchedList& fetched, std::string_view productName,
                                std::string_view versionText)
{
    VersionsCheck check;
    const std::string& text = fetched.Text;
    if (text.empty() && fetched.Attempts >= VersionsListAttempts) return check;
    if (text == DefaultPageText || text.size() < VersionsListMinimumLength) {
        check.Result = UpdateCheckResult::ListTooSmall;
        return check;
    }
    const auto start = FindProductRecord(text, productName);
    if (start == std::string::npos) {
        check.Result = UpdateCheckResult::ProductNotFound;
        return check;
    }
    const auto end = text.find('\r', start);
    if (end == std::string::npos) return Damaged(RecordFault::NoLineEnd);

    const std::vector<std::string> fields = SplitRecordFields(std::string_view(text).substr(start, end - start));
    if (fields.size() < 5) return Damaged(RecordFault::TooFewFields);
    if (!IsPlainFileName(fields[1]) || !IsProgramName(fields[1])) return Damaged(RecordFault::BadDownloadName);
    if (fields[2].empty()) return Damaged(RecordFault::NoVersionLetter);
    const std::optional<int> size = SizeInKB(fields[3]);
    if (!size) return Damaged(RecordFault::SizeNotANumber);

    ProgramVersion newest;
    newest.Digits = NumberChars(TextBefore('.', fields[1]));
    newest.Letter = static_cast<unsigned char>(fields[2].front());
    check.DownloadName = fields[1];
    check.NewestText = VersionDisplayText(newest);
    check.Newest = newest;
    check.InstallerSizeKB = size;
    check.Result = IsNewer(newest, RunningVersion(versionText)) ? UpdateCheckResult::UpdateAdvised
                                                                : UpdateCheckResult::NoUpdateNeeded;
    return check;
}

std::string UpdateUrl(std::string_view updateHost, std::string_view path)
{
    return "http://" + std::string(updateHost) + std::string(path);
}
