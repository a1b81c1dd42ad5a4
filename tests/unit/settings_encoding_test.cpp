#include "settings/settings_encoding.h"

#include "fake_settings_store.h"

#include <gtest/gtest.h>

namespace {

using Value = FakeSettingsStore::Value;
using Other = FakeSettingsStore::Other;

TEST(ParseDecimal, OnlyPlainDecimalTextInThirtyTwoBits)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"250", 250},
        {"0", 0},
        {"-20", -20},
        {"+7", 7},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"99999999999", std::nullopt},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"+-5", std::nullopt},
        {" 250", std::nullopt},
        {"250 ", std::nullopt},
        {"25O", std::nullopt},
        {"0x10", std::nullopt},
        {"$10", std::nullopt},
        {"1.5", std::nullopt},
        {"ja", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ParseDecimal(text), expected);
    }
}

struct ReadCase {
    const char* label;
    std::optional<Value> stored;
    int defaultValue;
    int integer;
    bool boolean; // read with default true
};

TEST(SettingsEncoding, ReadingIntegersAndBooleans)
{
    const ReadCase cases[] = {
        {"missing", std::nullopt, 100, 100, true},
        {"DWORD", Value(std::uint32_t{250}), 100, 250, true},
        {"DWORD zero", Value(std::uint32_t{0}), 100, 0, false},
        {"DWORD 5", Value(std::uint32_t{5}), 100, 5, true},
        {"negative DWORD", Value(std::uint32_t{0xFFFFFFEC}), 100, -20, true},
        {"string", Value(std::string("250")), 100, 250, true},
        {"string 0", Value(std::string("0")), 100, 0, false},
        {"string 1", Value(std::string("1")), 100, 1, true},
        {"negative string", Value(std::string("-20")), 100, -20, true},
        {"empty string", Value(std::string("")), 100, 100, true},
        {"text", Value(std::string("Aan")), 100, 100, true},
        {"too large", Value(std::string("4294967296")), 7, 7, true},
        {"binary or multi-string", Value(Other{}), 100, 100, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakeSettingsStore store;
        if (c.stored) store.values[{"Main", "Top"}] = *c.stored;
        EXPECT_EQ(ReadInteger(store, "Main", "Top", c.defaultValue), c.integer);
        EXPECT_EQ(ReadBoolean(store, "Main", "Top", true), c.boolean);
        EXPECT_EQ(store.writes, 0);
    }
}

TEST(SettingsEncoding, UnreadableBooleansTakeEitherDefault)
{
    for (const auto& stored : {Value(std::string("nee")), Value(Other{})}) {
        FakeSettingsStore store;
        store.values[{"Defaults", "Update"}] = stored;
        EXPECT_FALSE(ReadBoolean(store, "Defaults", "Update", false));
        EXPECT_TRUE(ReadBoolean(store, "Defaults", "Update", true));
    }
}

struct WriteCase {
    const char* label;
    std::optional<Value> stored;
    int value;
    Value written;
};

TEST(SettingsEncoding, AnIntegerStaysAStringOnceItIsOne)
{
    const WriteCase cases[] = {
        {"missing", std::nullopt, 250, Value(std::uint32_t{250})},
        {"DWORD", Value(std::uint32_t{1}), 250, Value(std::uint32_t{250})},
        {"negative", std::nullopt, -20, Value(std::uint32_t{0xFFFFFFEC})},
        {"string", Value(std::string("250")), 312, Value(std::string("312"))},
        {"negative into string", Value(std::string("250")), -8, Value(std::string("-8"))},
        {"unparsable string", Value(std::string("links")), 40, Value(std::string("40"))},
        {"binary", Value(Other{}), 40, Value(std::uint32_t{40})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakeSettingsStore store;
        if (c.stored) store.values[{"Main", "Left"}] = *c.stored;
        WriteInteger(store, "Main", "Left", c.value);
        EXPECT_EQ(store.values.at({"Main", "Left"}), c.written);
        EXPECT_EQ(ReadInteger(store, "Main", "Left", 100), c.value);
    }
}

TEST(SettingsEncoding, BooleansAreWrittenAsOneOrZeroStrings)
{
    FakeSettingsStore store;
    store.values[{"Defaults", "Update"}] = Value(std::uint32_t{5});
    WriteBoolean(store, "Defaults", "Update", false);
    EXPECT_EQ(store.values.at({"Defaults", "Update"}), Value(std::string("0")));
    WriteBoolean(store, "Defaults", "Update", true);
    EXPECT_EQ(store.values.at({"Defaults", "Update"}), Value(std::string("1")));
}

TEST(SettingsEncoding, TextsReadEmptyUnlessStoredAsStrings)
{
    FakeSettingsStore store;
    EXPECT_EQ(ReadText(store, "Defaults", "Data Path"), "");
    store.values[{"Defaults", "Data Path"}] = Value(std::uint32_t{3});
    EXPECT_EQ(ReadText(store, "Defaults", "Data Path"), "");
    WriteText(store, "Defaults", "Data Path", "D:\\Koersen\\");
    EXPECT_EQ(ReadText(store, "Defaults", "Data Path"), "D:\\Koersen\\");
}

} // namespace
