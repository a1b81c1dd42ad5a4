// The maker's signature of an installer, fetched from beside it on the
// maker's server.
#pragma once

#include <string>

// At most SignatureFileLimit bytes of a whole 200 answer; empty when there
// is none.
std::string FetchSignature(const std::string& url);
