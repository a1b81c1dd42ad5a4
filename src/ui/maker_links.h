// The addresses the information window hands to the shell: the e-mail to
// the maker and, on the maker's web server, the web form and the home page.
//
// Nothing is escaped or percent-encoded: blanks, commas and CR characters
// go into the addresses as they are: the maker's web form reads ProgNam
// raw, and the shell hands the whole address to the mail program or browser
// untouched. There is no length limit.
#pragma once

#include <string>
#include <vector>

// "Programma " + product name + ", " + version text.
std::string MailSubject(const std::string& productName, const std::string& versionText);

// The lines joined with single CR characters (code 13), none after the
// last line; no lines give an empty body.
std::string MailBody(const std::vector<std::string>& lines);

// "mailto:" + address + "?Subject=" + subject + "&Body=" + body.
std::string MailtoUrl(const std::string& address, const std::string& subject, const std::string& body);

// updateHost is "host" or "host:port".
std::string WebFormUrl(const std::string& updateHost, const std::string& productName, const std::string& versionText);
std::string HomePageUrl(const std::string& updateHost);
