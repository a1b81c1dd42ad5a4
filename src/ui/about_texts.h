// The texts of the information window that are made up of lines: the
// contact view and the e-mail body the Mail button starts from.
#pragma once

#include <string>
#include <vector>

// The contact view, line by line: who wrote the program and how to reach
// the maker (name, street, town, telephone, e-mail, web site).
std::vector<std::string> ContactLines(const std::string& productName);

// The 15 lines of the e-mail the user is invited to complete. Lines 4 and
// 5 end in a blank and the last line is a single blank: together they read
// as one sentence in a mail program that joins the lines.
std::vector<std::string> MailBodyLines(const std::string& productName);
