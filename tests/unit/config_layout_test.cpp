// The settings dialog's size from its controls.
#include "ui/config_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(ConfigFormSize, FollowsTheControls)
{
    struct Case {
        const char* name;
        int filesLeft, filesWidth, okLeft, okTop, okHeight, cancelWidth;
        ConfigSize expected;
    };
    const Case cases[] = {
        {"design density", 18, 661, 203, 414, 28, 108, {697, 460, 386}},
        // 144 pixels per inch: each design value times 1.2, rounded.
        {"144 pixels per inch", 22, 793, 244, 378, 34, 130, {837, 434, 463}},
        {"96 pixels per inch", 14, 529, 162, 252, 22, 86, {557, 288, 309}},
        {"no margin", 0, 500, 100, 300, 20, 100, {500, 320, 300}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ConfigSize size = ConfigFormSize(c.filesLeft, c.filesWidth, c.okLeft, c.okTop, c.okHeight, c.cancelWidth);
        EXPECT_EQ(size.ClientWidth, c.expected.ClientWidth);
        EXPECT_EQ(size.ClientHeight, c.expected.ClientHeight);
        EXPECT_EQ(size.CancelLeft, c.expected.CancelLeft);
    }
}

} // namespace
