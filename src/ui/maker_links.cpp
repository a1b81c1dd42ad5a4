#include "ui/maker_links.h"

namespace {

std::string MakerServerUrl(const std::string& updateHost, const std::string& path)
{
    return "http://" + updateHost + path;
}

} // namespace

std::string MailSubject(const std::string& productName, const std::string& versionText)
{
    return "Programma " + productName + ", " + versionText;
}

std::string MailBody(const std::vector<std::string>& lines)
{
    std::string body;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) body += '\r';
        body += lines[i];
    }
    return body;
}

std::string MailtoUrl(const std::string& address, const std::string& subject, const std::string& body)
{
    return "mailto:" + address + "?Subject=" + subject + "&Body=" + body;
}

std::string WebFormUrl(const std::string& updateHost, const std::string& productName, const std::string& versionText)
{
    return MakerServerUrl(updateHost, "/mailform_n_php.php?ProgNam=" + productName + ", " + versionText);
}

std::string HomePageUrl(const std::string& updateHost) { return MakerServerUrl(updateHost, "/index_n.php"); }
