// Whether the user's own registry could put another command in place of
// the installer's elevated start. The shell finds the verb "runas" of a
// program through its class, and the classes under
// HKEY_CURRENT_USER\Software\Classes, which every program of the user may
// write, come before the machine's: a class of the user's own for ".exe",
// or a "runas" of the user's own for "exefile", would have the consent
// prompt elevate whatever command it names.
#pragma once

// True when the user's classes hold ".exe" or "exefile\shell\runas", in
// either view of the registry, or when that cannot be ruled out.
bool UserClassesRedirectElevatedStart();
