// Option pages and list pages in the markup of the quotes web server, for
// the parser tests and the parser benchmark.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

struct SamplePage {
    int rows = 10;
    std::string name = "Philips";
    std::string price = "21,35";
    std::string lineEnd = "\r\n";
    // Put before the last cell's text, which stands on its own source line.
    std::string lastCellIndent = "            ";
    // Text between the last row and "</table>".
    std::string tail;
    bool tableEnd = true;
    std::vector<std::pair<std::string, std::string>> options = {
        {"AEX.AGN/O", "AEX"}, {"PHI.AGN/O", "Philips"}, {"INGA.AGN/O", "ING Groep (ING)"}};
    // Text of column 1 to 13 of a row; the default gives realistic quotes.
    std::function<std::string(int row, int column)> cell;
    // Text of heading 1 to 13.
    std::function<std::string(int column)> heading;
};

inline std::string SampleCell(int row, int column)
{
    static const char* const expiries[] = {"20-3-2009", "17-4-2009", "15-5-2009", "19-6-2009", "18-9-2009", "18-12-2009"};
    char text[32];
    const int strike = 100 + (row % 60) * 5;
    switch (column) {
    case 1: return expiries[(row / 60) % 6];
    case 2: return row % 2 ? "P" : "C";
    case 3: std::snprintf(text, sizeof text, "%d,%02d", strike, row % 4 * 25); return text;
    case 7: std::snprintf(text, sizeof text, "%+d,%d%%", row % 17 - 8, row % 10); return text;
    case 8: std::snprintf(text, sizeof text, "%02d:%02d", 9 + row % 8, row % 60); return text;
    default: std::snprintf(text, sizeof text, "%d,%02d", (row * 7 + column * 13) % 90, (row + column) % 100); return text;
    }
}

inline std::string SampleHeading(int column)
{
    static const char* const headings[] = {"Expiratie", "Soort", "Uitoefenprijs", "Bied", "Laat", "Laatste",
                                           "+/-%", "Tijd", "Volume", "Open int.", "Hoog", "Laag", "Omzet"};
    return headings[column - 1];
}

inline std::string SampleOptionPage(const SamplePage& p)
{
    const auto cell = p.cell ? p.cell : SampleCell;
    const auto heading = p.heading ? p.heading : SampleHeading;
    const std::string& nl = p.lineEnd;
    std::string page = "<!DOCTYPE html>" + nl + "<html><head><title>Opties " + p.name + "</title>" + nl +
                       "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\"></head>" + nl +
                       "<body><div id=\"page\"><form action=\"/derivaten/opties/\" method=\"get\">" + nl +
                       "<label for=\"fonds\">Kies onderliggende waarde:</label>" + nl + "<select name=\"call\" id=\"fonds\">" + nl;
    for (const auto& [code, text] : p.options) page += "<option value=\"" + code + "\">" + text + "</option>" + nl;
    page += "</select></form>" + nl + "<h1>" + p.name + "</h1>" + nl + "<table class=\"underlying\"><tr><td class=\"last\">" +
            p.price + "</td><td class=\"change\">+0,35</td><td class=\"time\">17:35</td></tr></table>" + nl;
    for (int i = 0; i < 3; ++i) page += "<div class=\"quoteLine bottomDivider\"><span>Opties</span></div>" + nl;
    page += "<table class=\"optionTable\" cellspacing=\"0\">" + nl + "<tr>";
    for (int column = 1; column <= 13; ++column) page += "<th scope=\"col\">" + heading(column) + "</th>";
    page += "</tr>" + nl;
    for (int row = 0; row < p.rows; ++row) {
        page += "<tr class=\"" + std::string(row % 2 ? "even" : "odd") + "\">" + nl;
        page += "<td class=\"date\" style=\"width:72px;\">" + cell(row, 1) + "</td>";
        for (int column = 2; column <= 6; ++column) page += "<td class=\"num\" align=\"right\">" + cell(row, column) + "</td>";
        page += nl + "<td class=\"percentage\"><span class=\"up\">" + cell(row, 7) + "</span></td>";
        for (int column = 8; column <= 12; ++column) page += "<td class=\"num\" align=\"right\">" + cell(row, column) + "</td>";
        page += nl + "<td class=\"num\" align=\"right\">" + nl + p.lastCellIndent + cell(row, 13) + nl + "</td></tr>" + nl;
    }
    page += p.tail;
    if (p.tableEnd) page += "</table>" + nl;
    page += "<div class=\"footer\"><p>Koersen met vertraging. Aan deze gegevens kunnen geen rechten worden ontleend.</p></div>" + nl;
    page += "</div></body></html>" + nl;
    return page;
}

// A list page: the option elements of the selection list, then text to
// bring the page to at least length characters.
inline std::string SampleListPage(const std::vector<std::pair<std::string, std::string>>& options, std::size_t length = 1200)
{
    std::string page = "<html><body><form><label>Kies onderliggende waarde:</label>\r\n<select name=\"call\">\r\n";
    for (const auto& [code, text] : options) page += "<option value=\"" + code + "\">" + text + "</option>\r\n";
    page += "</select></form>\r\n";
    if (page.size() + 16 < length) page += "<!--" + std::string(length - page.size() - 16, '.') + "-->";
    page += "\r\n</body></html>";
    return page;
}
