// The system's text for a Windows error number.
#pragma once

#include <string>

// FormatMessage's text without its closing full stop and line break; empty
// when the system has no text for code.
std::string SystemMessage(unsigned long code);
