#include "app/help_text.h"

const std::vector<std::string>& HelpTextLines()
{
    // Trailing blanks on lines 3, 7 and 11 and the indent of line 5 are
    // part of the text.
    static const std::vector<std::string> lines = {
        "In deze versie is het mogelijk het downloaden te automatiseren.",
        "Als er achter het commando C:\\Program Files\\Kestrom.exe",
        "de letter a wordt geplaatst (van Automatisch), dus: ",
        "",
        "                       \"C:\\Program Files\\Kestrom.exe\" a",
        "",
        "dan zal het downloaden van de koersen beginnen bij het starten ",
        "van Kestrom.",
        "Als de download is voltooid sluit het programma zich zelf af.",
        "",
        "Zo kunt u met behulp van de Taakmanager van Windows elke ",
        "avond automatisch de koersen downloaden.",
    };
    return lines;
}
