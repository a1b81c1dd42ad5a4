// The program's one top-level error handler: an exception that escapes an
// event handler is shown to the user, and the program goes on; or, where
// the application has said what to do instead (nobody may be there to
// read a message), that is done.
#pragma once

#include <exception>
#include <functional>
#include <string>

void ShowException(const std::exception& error);
void ShowUnknownException();

// Given the error's message in place of the message box; it may end the
// program. An empty action brings the message box back.
void SetTopLevelErrorAction(std::function<void(const std::string& message)> action);

// Runs handler; an exception escaping it is shown instead of tearing down
// the message loop (it must never cross the window procedure into Windows).
template <typename Handler>
void Guarded(Handler&& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowUnknownException();
    }
}
