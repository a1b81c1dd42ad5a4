// The list and option page scans written out step by step as their
// algorithms read, copying the rest of the page at every step. Slow on
// purpose: the program's scanners must give exactly what these give.
#pragma once

#include "download/quote_sink.h"

#include <optional>
#include <string>
#include <vector>

void ReferenceReadUnderlyings(const std::string& page, bool selectionAll, std::optional<std::vector<std::string>>& list);
std::string ReferenceReadUnderlyingPrice(const std::string& page, const std::string& name);
void ReferenceParseOptionPage(const std::string& page, const std::string& kind, const std::string& name,
                              const std::string& price, QuoteSink& sink);
