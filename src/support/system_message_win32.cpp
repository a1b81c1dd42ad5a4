#include "support/system_message_win32.h"

#include "support/unique_handle_win32.h"

#include <windows.h>

std::string SystemMessage(unsigned long code)
{
    char* text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    const LocalMemory<char*> owned(text);
    std::string message(text ? text : "", length);
    // The system's texts end in a full stop and CR LF.
    while (!message.empty() && (static_cast<unsigned char>(message.back()) <= ' ' || message.back() == '.'))
        message.pop_back();
    return message;
}
