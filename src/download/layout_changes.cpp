#include "download/layout_changes.h"

#include <algorithm>

void LayoutChanges::Begin()
{
    *this = LayoutChanges();
}

void LayoutChanges::Note(PageJudgement judgement, std::string_view body, const std::string& underlying)
{
    // The list page gives only the list; its quotes are read from the same
    // page asked for again.
    if (judgement == PageJudgement::QuotePage && !underlying.empty()) quotePage_ = true;
    if (judgement != PageJudgement::ChangedLayout) return;
    if (!seen_) firstPage_.assign(body.substr(0, UnknownPageLimit));
    seen_ = true;
    if (!underlying.empty() && std::find(underlyings_.begin(), underlyings_.end(), underlying) == underlyings_.end())
        underlyings_.push_back(underlying);
}

std::vector<std::string> LayoutChangeLines(const LayoutChanges& changes, const FileBesideLog& kept,
                                           std::string_view names)
{
    std::vector<std::string> lines;
    if (!changes.Seen()) return lines;
    if (changes.Everywhere()) {
        lines.push_back("De pagina's van de koersenserver zijn anders opgebouwd dan deze versie van Kestrom kent; "
                        "er zijn geen koersen gelezen.");
        lines.push_back("Kijk of er een nieuwe versie is (Instellingen, Update nu) of meld het aan de maker "
                        "(Informatie).");
    } else if (!names.empty()) {
        lines.push_back("De pagina's van " + std::string(names) +
                        " zijn anders opgebouwd dan deze versie van Kestrom kent");
    }
    if (kept.error) {
        lines.push_back("Een pagina die anders is opgebouwd, kon niet worden bewaard: " + *kept.error);
    } else {
        lines.push_back("Een pagina die anders is opgebouwd, is bewaard in: " + kept.path);
        // The information window's mail opens with a subject and a text,
        // never with a file.
        lines.push_back("Stuur dat bestand als bijlage mee in een e-mail aan de maker; "
                        "de mail van Informatie kan het niet bijvoegen.");
    }
    return lines;
}
