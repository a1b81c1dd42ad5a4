// The program's one top-level error handler: an exception that escapes an
// event handler is shown to the user, and the program goes on.
#pragma once

#include <exception>

void ShowException(const std::exception& error);
void ShowUnknownException();

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
