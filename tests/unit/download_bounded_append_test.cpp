#include "download/bounded_append.h"

#include <gtest/gtest.h>

#include <string>

TEST(BoundedAppend, GrowsToTheLimitInChunksWithoutEverReservingMore)
{
    // A limit that no doubling of the string's growth lands on.
    constexpr std::size_t limit = 100'000;
    const std::string chunk(512, 'x');
    std::string page;
    while (AppendWithinLimit(page, chunk, limit)) ASSERT_LE(page.capacity(), limit) << "at " << page.size();
    EXPECT_EQ(page.size(), limit / chunk.size() * chunk.size());
    EXPECT_EQ(page, std::string(page.size(), 'x'));

    // What is refused leaves the page as it was; the rest up to the limit fits.
    const std::string before = page;
    EXPECT_FALSE(AppendWithinLimit(page, chunk, limit));
    EXPECT_EQ(page, before);
    EXPECT_TRUE(AppendWithinLimit(page, std::string(limit - page.size(), 'y'), limit));
    EXPECT_EQ(page.size(), limit);
    EXPECT_LE(page.capacity(), limit);
    EXPECT_FALSE(AppendWithinLimit(page, "z", limit));
    EXPECT_TRUE(AppendWithinLimit(page, "", limit));
}

TEST(BoundedAppend, RefusesAChunkLargerThanTheLimitWithoutWrappingAround)
{
    std::string page = "abc";
    EXPECT_FALSE(AppendWithinLimit(page, std::string(11, 'x'), 10));
    EXPECT_FALSE(AppendWithinLimit(page, std::string(8, 'x'), 10));
    EXPECT_EQ(page, "abc");
    EXPECT_TRUE(AppendWithinLimit(page, std::string(7, 'x'), 10));
    EXPECT_EQ(page, "abcxxxxxxx");
}
