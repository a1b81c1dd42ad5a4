// The progress gauge as a real child window under Wine: painted into a
// 32-bit bitmap whose pixels are read back, and on screen for the repaint
// rules. KESTROM_GAUGE_HOLD_MS keeps the window with the five styles up that
// long, for screenshots.
#include "ui/gauge.h"
#include "win/application.h"
#include "win/font.h"
#include "win/form.h"
#include "win/scaling.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);
// The surface around the pie and the needle, made distinct for the tests.
constexpr COLORREF Surface = RGB(0, 128, 0);

class TestForm : public Form {
public:
    void Create() { CreateForm("KestromGaugeTestForm", "Gauges", 560, 300); }
};

class GaugeEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        Application::Initialize(GetModuleHandle(nullptr), "Kestrom");
        form.Create();
        form.SetPosition(0, 0);
        form.Show();
        Application::ProcessMessages();
    }
    static TestForm form;
};
TestForm GaugeEnvironment::form;

const auto* const environment = ::testing::AddGlobalTestEnvironment(new GaugeEnvironment);

// The gauge's picture, read back pixel by pixel.
class Picture {
public:
    explicit Picture(const TGauge& gauge)
    {
        RECT client = {};
        GetClientRect(gauge.Handle(), &client);
        width_ = client.right;
        height_ = client.bottom;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_; // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        // Whatever the gauge leaves unpainted would show as this colour.
        RECT all = {0, 0, width_, height_};
        HBRUSH marker = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(dc, &all, marker);
        DeleteObject(marker);
        gauge.PaintTo(dc);
        GdiFlush();
        const auto* pixels = static_cast<const DWORD*>(bits);
        pixels_.assign(pixels, pixels + width_ * height_);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }

    COLORREF At(int x, int y) const
    {
        const DWORD pixel = pixels_.at(y * width_ + x);
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    // Pixels of colour within [left, right) x [top, bottom).
    int Count(COLORREF colour, int left, int top, int right, int bottom) const
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) count += At(x, y) == colour;
        return count;
    }
    bool All(COLORREF colour, int left, int top, int right, int bottom) const
    {
        return Count(colour, left, top, right, bottom) == (right - left) * (bottom - top);
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<DWORD> pixels_;
};

std::string Hex(COLORREF colour)
{
    char text[16];
    wsprintfA(text, "%06X", static_cast<unsigned>(colour));
    return text;
}

#define EXPECT_COLOUR(picture, x, y, colour) \
    EXPECT_EQ(Hex((picture).At(x, y)), Hex(colour)) << "at " << (x) << ", " << (y)

struct GaugeSetup {
    TGaugeKind kind = gkHorizontalBar;
    int width = 100;
    int height = 20;
    int progress = 0;
    TBorderStyle border = bsSingle;
    bool showText = false;
};

std::unique_ptr<TGauge> MakeGauge(const GaugeSetup& setup)
{
    auto gauge = std::make_unique<TGauge>();
    gauge->Create(GaugeEnvironment::form.Handle());
    gauge->SetBounds(0, 0, setup.width, setup.height);
    gauge->SetKind(setup.kind);
    gauge->SetBorderStyle(setup.border);
    gauge->SetShowText(setup.showText);
    gauge->SetColor(Surface);
    gauge->SetProgress(setup.progress);
    return gauge;
}

void ExpectBlackFrame(const Picture& picture)
{
    const int right = picture.Width() - 1;
    const int bottom = picture.Height() - 1;
    EXPECT_TRUE(picture.All(Black, 0, 0, picture.Width(), 1)) << "top edge";
    EXPECT_TRUE(picture.All(Black, 0, bottom, picture.Width(), bottom + 1)) << "bottom edge";
    EXPECT_TRUE(picture.All(Black, 0, 0, 1, picture.Height())) << "left edge";
    EXPECT_TRUE(picture.All(Black, right, 0, right + 1, picture.Height())) << "right edge";
}

TEST(Gauge, DefaultsAsCreated)
{
    TGauge gauge;
    gauge.Create(GaugeEnvironment::form.Handle());
    EXPECT_EQ(gauge.MinValue(), 0);
    EXPECT_EQ(gauge.MaxValue(), 100);
    EXPECT_EQ(gauge.Progress(), 0);
    EXPECT_EQ(gauge.Percentage(), 0);
    EXPECT_EQ(gauge.Kind(), gkHorizontalBar);
    EXPECT_TRUE(gauge.ShowText());
    EXPECT_EQ(gauge.BorderStyle(), bsSingle);
    EXPECT_EQ(gauge.ForeColor(), Black);
    EXPECT_EQ(gauge.BackColor(), White);
    EXPECT_FALSE(gauge.Visible());
    const Picture picture(gauge);
    EXPECT_EQ(picture.Width(), Scaled(100));
    EXPECT_EQ(picture.Height(), Scaled(100));
}

TEST(Gauge, HorizontalBarAtHalfFillsTheLeftHalfInsideABlackFrame)
{
    const auto gauge = MakeGauge({gkHorizontalBar, 100, 20, 50});
    gauge->SetForeColor(RGB(200, 0, 0));
    const Picture picture(*gauge);
    ExpectBlackFrame(picture);
    // Inside: x 1..98; the share of 99 at 50 % is 49, filled up to x 48.
    EXPECT_TRUE(picture.All(RGB(200, 0, 0), 1, 1, 49, 19));
    EXPECT_TRUE(picture.All(White, 49, 1, 99, 19));
}

TEST(Gauge, BarsAtTheEnds)
{
    struct Case {
        const char* name;
        TGaugeKind kind;
        TBorderStyle border;
        int progress;
        RECT filled;   // the rest of the inside is white
    };
    const Case cases[] = {
        {"horizontal 0 %", gkHorizontalBar, bsSingle, 0, {1, 1, 1, 1}},
        {"horizontal 100 % fills the frame", gkHorizontalBar, bsSingle, 100, {1, 1, 99, 19}},
        {"vertical 100 % fills the frame", gkVerticalBar, bsSingle, 100, {1, 1, 99, 19}},
        {"vertical 50 % fills the lower half", gkVerticalBar, bsSingle, 50, {1, 10, 99, 19}},
        {"vertical 0 %", gkVerticalBar, bsSingle, 0, {1, 1, 1, 1}},
        {"horizontal 100 % without border fills everything", gkHorizontalBar, bsNone, 100, {0, 0, 100, 20}},
        {"vertical 100 % without border leaves the top row", gkVerticalBar, bsNone, 100, {0, 1, 100, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto gauge = MakeGauge({c.kind, 100, 20, c.progress, c.border});
        const Picture picture(*gauge);
        const int inset = c.border == bsSingle ? 1 : 0;
        if (inset) ExpectBlackFrame(picture);
        const RECT& f = c.filled;
        const int filled = (f.right - f.left) * (f.bottom - f.top);
        EXPECT_TRUE(picture.All(Black, f.left, f.top, f.right, f.bottom));
        EXPECT_EQ(picture.Count(White, inset, inset, 100 - inset, 20 - inset),
                  (100 - 2 * inset) * (20 - 2 * inset) - filled);
    }
}

// Inside the frame of a 101-pixel gauge the bar's length is 100; 29 % of it
// is 28.999... in double precision (0.29 lies below 29/100), so the bar ends
// at x 28, as the host tests have it. The x87 unit's 80 bits gave 29.
TEST(Gauge, BarShareInDoublePrecisionAsOnTheHost)
{
    const auto gauge = MakeGauge({gkHorizontalBar, 101, 20, 29});
    const Picture picture(*gauge);
    EXPECT_TRUE(picture.All(Black, 1, 1, 28, 19));
    EXPECT_TRUE(picture.All(White, 28, 1, 100, 19));
}

TEST(Gauge, TextOnlyFillsWithTheBackColour)
{
    const auto gauge = MakeGauge({gkText, 100, 20, 70});
    gauge->SetBackColor(RGB(0, 0, 160));
    const Picture picture(*gauge);
    ExpectBlackFrame(picture);
    EXPECT_TRUE(picture.All(RGB(0, 0, 160), 1, 1, 99, 19));
}

TEST(Gauge, PercentageTextInvertsWhatLiesUnderIt)
{
    auto gauge = MakeGauge({gkHorizontalBar, 200, 40, 50, bsSingle, true});
    Font font("Arial", 28, true);
    gauge->SetFont(font.Handle());
    const Picture picture(*gauge);
    ExpectBlackFrame(picture);

    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font.Handle());
    SIZE text = {};
    GetTextExtentPoint32A(screen, "50%", 3, &text);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    const int textWidth = static_cast<int>(text.cx);
    const int textHeight = static_cast<int>(text.cy);
    const GaugePoint at = GaugeTextPosition(GaugePaintRect(200, 40, bsSingle), textWidth, textHeight);
    const int top = std::max(1, at.y);
    const int bottom = std::min(39, at.y + textHeight);
    // The fill ends at x 99 (share of 199 at 50 %): the letters left of it
    // are white on black, those right of it black on white.
    ASSERT_LT(at.x, 99);
    ASSERT_GT(at.x + textWidth, 100);
    EXPECT_GT(picture.Count(White, at.x, top, 99, bottom), 10);
    EXPECT_GT(picture.Count(Black, 100, top, at.x + textWidth, bottom), 10);
    // Outside the text the bar is untouched.
    EXPECT_TRUE(picture.All(Black, 1, 1, at.x, 39));
    EXPECT_TRUE(picture.All(White, at.x + textWidth, 1, 199, 39));

    gauge->SetShowText(false);
    const Picture plain(*gauge);
    EXPECT_TRUE(plain.All(Black, 1, 1, 99, 39));
    EXPECT_TRUE(plain.All(White, 99, 1, 199, 39));
}

TEST(Gauge, PieGrowsClockwiseFromTwelve)
{
    struct Case {
        const char* name;
        int progress;
        COLORREF upperRight, lowerRight, lowerLeft, upperLeft;
    };
    const Case cases[] = {
        {"0 % shows the empty disc", 0, White, White, White, White},
        {"25 % fills the upper right quarter", 25, Black, White, White, White},
        {"50 % fills the right half", 50, Black, Black, White, White},
        {"75 %", 75, Black, Black, Black, White},
        {"100 % fills the disc", 100, Black, Black, Black, Black},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto gauge = MakeGauge({gkPie, 100, 100, c.progress});
        const Picture picture(*gauge);
        ExpectBlackFrame(picture);
        EXPECT_COLOUR(picture, 70, 30, c.upperRight);
        EXPECT_COLOUR(picture, 70, 70, c.lowerRight);
        EXPECT_COLOUR(picture, 30, 70, c.lowerLeft);
        EXPECT_COLOUR(picture, 30, 30, c.upperLeft);
        EXPECT_COLOUR(picture, 3, 3, Surface);
        EXPECT_COLOUR(picture, 96, 96, Surface);
        EXPECT_COLOUR(picture, 50, 1, Black); // the outline at the top
    }
}

TEST(Gauge, NeedleSweepsOverTheHalfDisc)
{
    struct Case {
        const char* name;
        int progress;
        COLORREF left, middle, right;
    };
    const Case cases[] = {
        {"0 % shows no needle", 0, White, White, White},
        {"50 % points straight up", 50, White, Black, White},
        {"100 % lies along the base", 100, White, White, White},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto gauge = MakeGauge({gkNeedle, 100, 50, c.progress});
        const Picture picture(*gauge);
        ExpectBlackFrame(picture);
        EXPECT_COLOUR(picture, 30, 30, c.left);
        EXPECT_COLOUR(picture, 50, 25, c.middle);
        EXPECT_COLOUR(picture, 70, 30, c.right);
        EXPECT_COLOUR(picture, 3, 3, Surface);     // outside the half disc
        EXPECT_COLOUR(picture, 50, 1, Black);      // the arc's top
        EXPECT_COLOUR(picture, 50, 45, c.middle);  // just above the base
    }
    // At 25 % the needle runs from the base's middle up to the left.
    const auto gauge = MakeGauge({gkNeedle, 100, 50, 25});
    const Picture picture(*gauge);
    EXPECT_COLOUR(picture, 32, 31, Black);
    EXPECT_COLOUR(picture, 50, 25, White);
}

TEST(Gauge, RangeConflictsThrowAndChangeNothing)
{
    const auto gauge = MakeGauge({});
    gauge->SetProgress(40);
    try {
        gauge->SetMinValue(200);
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& error) {
        EXPECT_STREQ(error.what(), "Value must be between -2147483647 and 99");
    }
    try {
        gauge->SetMaxValue(-1);
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& error) {
        EXPECT_STREQ(error.what(), "Value must be between 1 and 2147483647");
    }
    EXPECT_EQ(gauge->MinValue(), 0);
    EXPECT_EQ(gauge->MaxValue(), 100);
    EXPECT_EQ(gauge->Progress(), 40);

    gauge->SetMaxValue(5);
    EXPECT_EQ(gauge->Progress(), 5);
    EXPECT_EQ(gauge->Percentage(), 100);
}

// Whether the gauge painted itself on screen since a marker was put on it.
class ScreenMarker {
public:
    explicit ScreenMarker(const TGauge& gauge) : gauge_(gauge) {}
    void Put()
    {
        HDC dc = GetDC(gauge_.Handle());
        SetPixel(dc, 3, 3, RGB(255, 0, 255));
        ReleaseDC(gauge_.Handle(), dc);
        ASSERT_TRUE(Present()) << "the window's surface cannot be read back";
    }
    bool Present() const { return Colour() == RGB(255, 0, 255); }
    COLORREF Colour() const
    {
        HDC dc = GetDC(gauge_.Handle());
        const COLORREF colour = GetPixel(dc, 3, 3);
        ReleaseDC(gauge_.Handle(), dc);
        return colour;
    }

private:
    const TGauge& gauge_;
};

TEST(Gauge, RepaintsAtOnceAndOnlyWhenTheWholePercentChanges)
{
    const auto gauge = MakeGauge({gkHorizontalBar, 200, 20, 0});
    gauge->SetMaxValue(1000);
    gauge->SetVisible(true);
    ASSERT_TRUE(gauge->Visible());
    Application::ProcessMessages();
    ScreenMarker marker(*gauge);

    struct Step {
        const char* name;
        std::function<void(TGauge&)> change;
        bool repaints;
    };
    const Step steps[] = {
        {"progress 0 to 9 stays at 0 %", [](TGauge& g) { g.SetProgress(9); }, false},
        {"progress 10 is 1 %", [](TGauge& g) { g.SetProgress(10); }, true},
        {"progress 19 is still 1 %", [](TGauge& g) { g.SetProgress(19); }, false},
        {"progress beyond the maximum", [](TGauge& g) { g.SetProgress(5000); }, true},
        {"progress beyond the maximum again", [](TGauge& g) { g.SetProgress(6000); }, false},
        {"the same kind", [](TGauge& g) { g.SetKind(gkHorizontalBar); }, false},
        {"another kind", [](TGauge& g) { g.SetKind(gkVerticalBar); }, true},
        {"the same fore colour", [](TGauge& g) { g.SetForeColor(Black); }, false},
        {"another back colour", [](TGauge& g) { g.SetBackColor(RGB(1, 2, 3)); }, true},
        {"text on", [](TGauge& g) { g.SetShowText(true); }, true},
        {"text on again", [](TGauge& g) { g.SetShowText(true); }, false},
        {"no border", [](TGauge& g) { g.SetBorderStyle(bsNone); }, true},
        {"the same maximum", [](TGauge& g) { g.SetMaxValue(1000); }, false},
        {"another minimum", [](TGauge& g) { g.SetMinValue(10); }, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        marker.Put();
        step.change(*gauge);
        // No message is let through: a repaint must happen inside the setter.
        EXPECT_EQ(!marker.Present(), step.repaints) << Hex(marker.Colour());
    }
}

int HoldMs()
{
    const char* hold = std::getenv("KESTROM_GAUGE_HOLD_MS");
    return hold ? std::atoi(hold) : 0;
}

TEST(Gauge, FiveStylesOnScreen)
{
    const TGaugeKind kinds[] = {gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle};
    const int progress[] = {42, 63, 37, 70, 30};
    std::unique_ptr<TGauge> gauges[5];
    for (int i = 0; i < 5; ++i) {
        gauges[i] = std::make_unique<TGauge>();
        gauges[i]->Create(GaugeEnvironment::form.Handle(), {10 + 108 * i, 10, 100, 100});
        gauges[i]->SetKind(kinds[i]);
        gauges[i]->SetProgress(progress[i]);
        gauges[i]->SetVisible(true);
    }
    // The download window's gauge: 471 by 20 at (15, 12) of its panel.
    TGauge download;
    download.Create(GaugeEnvironment::form.Handle(), {15, 140, 471, 20});
    download.SetProgress(58);
    download.SetVisible(true);
    const DWORD until = GetTickCount() + static_cast<DWORD>(HoldMs());
    do {
        Application::ProcessMessages();
        Sleep(20);
    } while (static_cast<int>(until - GetTickCount()) > 0);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(IsWindowVisible(gauges[i]->Handle()));
        const Picture picture(*gauges[i]);
        ExpectBlackFrame(picture);
    }
}

} // namespace
