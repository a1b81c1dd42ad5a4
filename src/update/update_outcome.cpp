#include "update/update_outcome.h"

#include "support/language.h"
#include "update/versions_list.h"

std::vector<std::string> UpdateOutcomeLines(std::string_view expectedVersion, std::string_view versionText)
{
    const std::optional<ProgramVersion> expected = ParseVersionText(expectedVersion);
    if (!expected) return {};
    const ProgramVersion running = RunningVersion(versionText);
    const std::string version(expectedVersion);
    if (SameVersion(*expected, running))
        return {"", Bilingual("De update naar versie ", "The update to version ") + version
                        + Bilingual(" is gelukt.", " has succeeded.")};
    return {"", Bilingual("De update naar versie ", "The update to version ") + version
                    + Bilingual(" is niet gelukt:", " did not take:"),
            Bilingual("dit is versie ", "this is version ") + VersionDisplayText(running) + "."};
}
