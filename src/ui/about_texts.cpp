#include "ui/about_texts.h"

#include "settings/settings.h"
#include "ui/maker.h"

std::vector<std::string> ContactLines(const std::string& productName)
{
    return {
        "",
        "Het programma " + productName + " is geschreven door:",
        "",
        MakerFullName,
        MakerStreet,
        MakerTown,
        MakerTelephone,
        std::string("E-mail: ") + MakerEmail,
        std::string("Internet: ") + DefaultUpdateHost,
        "",
        "Schrijf, bel of mail voor nadere informatie!",
    };
}

std::vector<std::string> MailBodyLines(const std::string& productName)
{
    return {
        std::string("Hallo ") + MakerFirstName,
        "",
        "",
        "Ik vond op je Home Page het ",
        "programma ",
        productName + ".",
        "",
        "Ik wil hierover het volgende kwijt:",
        "",
        "",
        "",
        "",
        "",
        "Met vriendelijke groet,",
        " ",
    };
}
