// The settings as read from registry values of any type and content: the
// integer rule, the booleans and texts, and Load and the saves reading back
// what they wrote.
#include "fake_settings_store.h"
#include "fuzz_require.h"
#include "settings/settings.h"
#include "settings/settings_encoding.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

// Reads the input front to back, so that the seeds can be written by hand;
// past its end every read gives zeros.
class InputReader {
public:
    explicit InputReader(std::string_view text) : text_(text) {}

    unsigned char Byte()
    {
        if (text_.empty()) return 0;
        const auto byte = static_cast<unsigned char>(text_.front());
        text_.remove_prefix(1);
        return byte;
    }

    std::uint32_t Dword()
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= std::uint32_t{Byte()} << (8 * i);
        return value;
    }

    // A length byte, then the text.
    std::string Text()
    {
        const std::size_t length = std::min<std::size_t>(Byte(), text_.size());
        std::string text(text_.substr(0, length));
        text_.remove_prefix(length);
        return text;
    }

    std::string_view Rest() const { return text_; }

private:
    std::string_view text_;
};

// Decimal text with an optional sign within 32 bits, read digit by digit.
std::optional<int> ReferenceDecimal(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t{1} << 32) value = std::int64_t{1} << 32;
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int>(value);
}

const std::pair<const char*, const char*> Values[] = {
    {"Main", "Top"},       {"Main", "Left"},       {"Config", "Top"},           {"Config", "Left"},
    {"Defaults", "Data Path"}, {"Defaults", "Update"}, {"Defaults", "Selection"}, {"Defaults", "Quotes Host"},
    {"Defaults", "Update Host"}, {"Main", "Width"},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    InputReader input(InputText(data, size));

    // Each value the program reads: absent, a DWORD, a string or of another type.
    FakeSettingsStore store;
    for (const auto& [subKey, name] : Values) {
        switch (input.Byte() % 4) {
        case 1: store.values[{subKey, name}] = input.Dword(); break;
        case 2: store.values[{subKey, name}] = input.Text(); break;
        case 3: store.values[{subKey, name}] = FakeSettingsStore::Other{}; break;
        default: break;
        }
    }
    const std::string_view text = input.Rest();
    Require(ParseDecimal(text) == ReferenceDecimal(text), "decimal text is read as written");

    // Every value read through the integer rule.
    for (const auto& [subKey, name] : Values) {
        const int read = ReadInteger(store, subKey, name, -7);
        const auto dword = store.ReadDword(subKey, name);
        const auto string = store.ReadString(subKey, name);
        const int expected = dword ? static_cast<int>(*dword) : string ? ReferenceDecimal(*string).value_or(-7) : -7;
        Require(read == expected, "an integer is a DWORD, decimal text or the default");
        Require(ReadBoolean(store, subKey, name, true) == (ReadInteger(store, subKey, name, 1) != 0),
                "a boolean is an integer that is not zero");
    }

    Settings settings;
    const StoredPlaces places = settings.Load(store, [] { return std::string("C:\\Kestrom\\"); });
    Require(places.Main.Top >= 0 && places.Main.Left >= 0, "the main window's place is not negative");
    Require(!settings.DataPath.empty() && !settings.QuotesHost.empty() && !settings.UpdateHost.empty(),
            "the data folder and the hosts are never empty");
    Require(ReadText(store, "Defaults", "Data Path") == settings.DataPath, "the data folder is stored");

    // What the program writes, it reads back the same.
    SaveWindowPlaces(store, places.Main, 700, places.Config);
    settings.SaveDefaults(store);
    Settings again;
    const StoredPlaces placesAgain = again.Load(store, [] { return std::string("D:\\Other\\"); });
    Require(placesAgain.Main.Top == places.Main.Top && placesAgain.Main.Left == places.Main.Left &&
                placesAgain.Config.Top == places.Config.Top && placesAgain.Config.Left == places.Config.Left,
            "the saved places read back");
    Require(again.DataPath == settings.DataPath && again.Update == settings.Update &&
                again.Selection == settings.Selection && again.QuotesHost == settings.QuotesHost &&
                again.UpdateHost == settings.UpdateHost,
            "the saved settings read back");
    return 0;
}
