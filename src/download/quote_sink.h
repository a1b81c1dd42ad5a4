// Where the option page parser delivers its records, in page order.
#pragma once

#include "download/quote_records.h"

#include <string_view>

class QuoteSink {
public:
    virtual ~QuoteSink() = default;

    // True until the run's header line has been written.
    virtual bool HeaderPending() = 0;

    // Writes the header line, naming the underlying whose page gave the
    // headings, and clears HeaderPending.
    virtual void WriteHeaderLine(const HeadingRecord& heading, std::string_view name) = 0;

    virtual void AppendQuoteLine(const QuoteRecord& quote) = 0;
};
