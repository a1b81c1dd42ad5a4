// A quote sink that keeps what it is handed, in order, as text.
#pragma once

#include "download/quote_sink.h"

#include <string>
#include <vector>

class QuoteRecorder : public QuoteSink {
public:
    explicit QuoteRecorder(bool headerPending = true) : pending(headerPending) {}

    bool HeaderPending() override { return pending; }

    void WriteHeaderLine(const HeadingRecord& heading, std::string_view name) override
    {
        std::string event = "header";
        for (const auto& text : heading.headings) event += "|" + text;
        events.push_back(event + "|" + std::string(name));
        headings.push_back(heading);
        pending = false;
    }

    void AppendQuoteLine(const QuoteRecord& quote) override
    {
        std::string event = "quote";
        for (const auto& text : quote.cells) event += "|" + text;
        events.push_back(event + "|" + std::string(quote.kind) + "|" + std::string(quote.name) + "|" +
                         std::string(quote.price));
        quotes.push_back(quote.cells);
        series += quote.series ? 1 : 0;
    }

    bool pending;
    std::vector<std::string> events;
    std::vector<HeadingRecord> headings;
    std::vector<std::array<std::string, OptionColumnCount>> quotes;
    // How many of the quotes are records with series.
    std::size_t series = 0;
};
