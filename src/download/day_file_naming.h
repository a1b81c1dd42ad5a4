// Which name a quote file of the day earns, decided only by what the files
// hold, never by how a run went. The day's file writer does the moves; this
// is the rule they follow:
//
// - Only series count: an underlying is in a file when the file has a line
//   of it made from a row of the option table (QuoteRecord::series). A file
//   without any such line holds no quotes and never takes the day's name.
// - The day's name goes to a file that has every underlying with series in
//   the current day's file, each of them received whole. An underlying that
//   gives nothing all day does not keep the name from being renewed.
// - A day's file that cannot be read is kept: the newcomer goes beside it.
// - A name beside the day's file (partial, new) is replaced only by a file
//   that holds at least what its file holds; otherwise the newcomer takes
//   the first free numbered name (dd-mm-yyyy.onvolledig-2.csv, ...).
#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>

// The underlying a line of a quote file is of: its third field.
std::string_view LineUnderlying(std::string_view line);

// Whether a line on disk was made from a row of the option table. The file
// keeps no mark of that, so the line's cells tell: a record the scan made
// without a row has no expiry to read (its first field is the "0-0-20" that
// a text without "-" gives) and no number for a strike (its second field is
// the padding "0" and at most the blanks of markup). A series of the site
// always has a strike.
bool IsSeriesLine(std::string_view line);

// What a quote file holds, as far as its name goes.
struct QuoteContent {
    // The underlyings (as the lines name them) with at least one series line.
    std::set<std::string, std::less<>> series;
    // Of those, the ones whose quotes were received whole.
    std::set<std::string, std::less<>> whole;
};

// The content of a file on disk, its first line the header. A work file
// that a run ended by force left behind (leftover) may end in the middle of
// its last underlying: that one does not count as whole; every other
// underlying with series does.
QuoteContent ContentOfFile(std::string_view text, bool leftover);

// True when every underlying with series in holder has series in newcomer,
// received whole.
bool HoldsAtLeast(const QuoteContent& newcomer, const QuoteContent& holder);

// A name and the file under it.
struct NameHolder {
    enum class State {
        Free,        // no file, or an empty one: it holds nothing
        Unreadable,  // a file that could not be read: it is kept
        Read,        // content says what it holds
    };
    State state = State::Free;
    QuoteContent content;
};

enum class DayNameVerdict {
    Takes,     // the newcomer takes the day's name
    Lacks,     // the day's file has quotes the newcomer lacks (or it has none): it goes beside
    Unread,    // the day's file could not be read: it is kept, the newcomer goes beside
};

DayNameVerdict JudgeDayName(const QuoteContent& newcomer, const NameHolder& day);

// Whether newcomer may take a name beside the day's file: it is free, or
// its file is one that newcomer holds at least. The names are tried in
// order, the plain one, then the numbered ones.
bool MayTake(const QuoteContent& newcomer, const NameHolder& name);

// The names of a file beside the day's file: number 1 is the name itself,
// number n > 1 has "-n" before its last extension
// (13-03-2009.onvolledig-2.csv, 13-03-2009.csv-2.tmp).
std::string NumberedName(const std::string& name, int number);

// How many numbered names a file beside the day's file may take, and how
// many work files a run looks for: a bound, so that a folder full of them
// cannot make a run search without end.
constexpr int NameSlots = 20;
