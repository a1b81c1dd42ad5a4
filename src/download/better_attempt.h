// A page that was still arriving when its time ran out is asked for once
// more; only one of its two attempts goes into the quote file, so that no
// row stands there twice.
#pragma once

#include "download/page_fetcher.h"

#include <string_view>

// The attempt that goes into the file: a quote page before anything else,
// then a page that came whole before one that broke off, then the one with
// more whole rows; the later one when they are alike, its quotes being the
// newer. kind and name are those the page's rows are read with.
const FetchedPage& BetterAttempt(const FetchedPage& first, const FetchedPage& later, std::string_view kind,
                                 std::string_view name);
