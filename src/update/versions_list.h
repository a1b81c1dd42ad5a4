// The versions list of the maker's web server and the version comparison:
// which record belongs to the product, what its fields say, and whether the
// newest version advises an update.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Values 0 to 5 are the outcomes the program has always had; RecordDamaged
// covers a record the program cannot read safely.
enum class UpdateCheckResult : std::uint8_t {
    NoUpdateNeeded = 0,
    NoServerReaction = 1,
    ListTooSmall = 2,
    ProductNotFound = 3,
    UpdateAdvised = 4,
    PingTimeOut = 5,
    RecordDamaged = 6,
};

// Why a product's record was not used.
enum class RecordFault {
    None,
    NoLineEnd,       // no CR after the record
    TooFewFields,    // fewer than five fields
    NoVersionLetter, // field 2 empty
    SizeNotANumber,  // field 3 not a decimal integer of 0 or more
    BadDownloadName, // field 1 empty, not a plain file name, or not ending in ".exe"
};

// A version as the check compares it: digits without the point ("100" for
// 1.00) and a lower-case letter, 0 when there is none (below every letter).
struct ProgramVersion {
    std::string Digits;
    unsigned char Letter = 0;
};

// "versie 1.00c" gives 100 and c.
ProgramVersion RunningVersion(std::string_view versionText);

// Digits compare as text, byte by byte (99 is newer than 100); with equal
// digits only a greater letter is newer.
bool IsNewer(const ProgramVersion& newest, const ProgramVersion& running);

// First digit, ".", the next two, then the letter: 101 with c gives 1.01c.
std::string VersionDisplayText(const ProgramVersion& version);

// A version written exactly as the program's own is ("1.01c": a digit, a
// point, two digits and a lower-case letter, nothing else); none for any
// other text.
std::optional<ProgramVersion> ParseVersionText(std::string_view text);

// Equal digits and equal letter.
bool SameVersion(const ProgramVersion& a, const ProgramVersion& b);

// Comma-separated fields; empty fields count, except one at the very end.
std::vector<std::string> SplitRecordFields(std::string_view record);

// Where the product's record begins: the first line whose first field is
// exactly the product name ("Kestrom," at the start of the text or after a
// CR or LF); npos when there is none. Another product whose name merely
// begins with this one ("KestromPro,") is not this product.
std::size_t FindProductRecord(std::string_view text, std::string_view productName);

// What the fetch of the list brought: the text, and how many attempts were
// made (none when no internet handle was obtained).
struct FetchedList {
    std::string Text;
    int Attempts = 0;
};

inline constexpr int VersionsListAttempts = 2;
inline constexpr std::size_t VersionsListMinimumLength = 50;
inline constexpr std::size_t VersionsListBlockBytes = 2048;

// The list's text from the response body as it arrived: every block of
// 2048 bytes counts up to its first zero byte, as the list is text.
std::string VersionsListText(std::string_view body);

struct VersionsCheck {
    UpdateCheckResult Result = UpdateCheckResult::NoServerReaction;
    RecordFault Fault = RecordFault::None;
    // Set when the record could be read.
    std::string DownloadName;
    std::string NewestText;
    ProgramVersion Newest;
    std::optional<int> InstallerSizeKB;
};

// Everything of the check after the ping: the list against the product
// name and the running version text.
VersionsCheck JudgeVersionsList(const FetchedList& fetched, std::string_view productName,
                                std::string_view versionText);

// "http://" + host + path.
std::string UpdateUrl(std::string_view updateHost, std::string_view path);

inline constexpr char VersionsListPath[] = "/versions.dat";
