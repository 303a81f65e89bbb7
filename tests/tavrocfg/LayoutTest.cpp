// Where the signal graph's and the channel chart's parts go at 96, 120, 144
// and 192 DPI, and the window's size against the screens it must fit.
#include "GraphLayout.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {

// The dialog font ("MS Shell Dlg" 8) at each DPI: its line height and
// average character width, which are also its dialog base units.
struct Dpi {
    int dpi;
    FontSize font;
};
const Dpi kDpis[] = {{96, {13, 6}}, {120, {16, 7}}, {144, {20, 9}}, {192, {26, 11}}};

// The controls' sizes in dialog units (tavrocfg/res/TavroCfg.rc) in pixels at a DPI.
Box ControlBox(int widthDlu, int heightDlu, const FontSize& font) {
    return DialogPixels(widthDlu, heightDlu, font.charWidth, font.lineHeight);
}

bool Inside(const Box& inner, const Box& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Apart(const Box& a, const Box& b) {
    return a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
}

// The box a text of `chars` characters takes from its reference point.
Box LeftText(Spot at, int chars, const FontSize& f) {
    return {at.x, at.y, at.x + chars * f.charWidth, at.y + f.lineHeight};
}
Box RightText(Spot at, int chars, const FontSize& f) {
    return {at.x - chars * f.charWidth, at.y, at.x, at.y + f.lineHeight};
}
Box CentredText(Spot at, int chars, const FontSize& f) {
    return {at.x - chars * f.charWidth / 2, at.y, at.x + chars * f.charWidth / 2, at.y + f.lineHeight};
}

}  // namespace

TEST(AppletLayout, SignalGraphScalesWithItsLabelsClearOfThePlot) {
    const struct {
        int dpi;
        Box plot;
        Spot topPercent, bottomPercent, start, now, message;
        int lineWidth;
    } rows[] = {
        {96, {42, 9, 723, 59}, {39, 3}, {39, 53}, {42, 62}, {723, 62}, {382, 27}, 2},
        {120, {50, 12, 843, 72}, {46, 4}, {46, 64}, {50, 76}, {843, 76}, {446, 34}, 2},
        {144, {64, 15, 1084, 90}, {59, 5}, {59, 80}, {64, 95}, {1084, 95}, {574, 42}, 3},
        {192, {78, 19, 1325, 118}, {72, 6}, {72, 105}, {78, 124}, {1325, 124}, {701, 55}, 4},
    };
    for (int i = 0; i < 4; ++i) {
        const FontSize& font = kDpis[i].font;
        const Box area = ControlBox(SIGNAL_GRAPH_WIDTH, SIGNAL_GRAPH_HEIGHT, font);
        const GraphParts g = LayoutGraph(area, font);
        const auto& r = rows[i];
        EXPECT_EQ((std::vector<int>{g.plot.left, g.plot.top, g.plot.right, g.plot.bottom}),
                  (std::vector<int>{r.plot.left, r.plot.top, r.plot.right, r.plot.bottom}))
            << r.dpi;
        EXPECT_EQ((std::vector<int>{g.topPercent.x, g.topPercent.y, g.bottomPercent.x, g.bottomPercent.y, g.start.x,
                                    g.start.y, g.now.x, g.now.y, g.message.x, g.message.y, g.lineWidth}),
                  (std::vector<int>{r.topPercent.x, r.topPercent.y, r.bottomPercent.x, r.bottomPercent.y, r.start.x,
                                    r.start.y, r.now.x, r.now.y, r.message.x, r.message.y, r.lineWidth}))
            << r.dpi;
        // Every label inside the control and clear of the plot's lines.
        for (const Box& label : {RightText(g.topPercent, 6, font), RightText(g.bottomPercent, 6, font),
                                 LeftText(g.start, 14, font), RightText(g.now, 3, font)}) {
            EXPECT_TRUE(Inside(label, area)) << r.dpi;
            EXPECT_TRUE(Apart(label, g.plot)) << r.dpi;
        }
        EXPECT_TRUE(Apart(LeftText(g.start, 14, font), RightText(g.now, 3, font))) << r.dpi;
        EXPECT_TRUE(Inside(CentredText(g.message, 28, font), g.plot)) << r.dpi;
    }
}

TEST(AppletLayout, GraphPointsSpanThePlotFromTenMinutesAgoToNow) {
    const Box plot = {42, 9, 723, 59};
    const struct {
        unsigned long age, percent;
        int x, y;
    } rows[] = {
        {0, 100, 722, 9}, {0, 0, 722, 58}, {600000, 50, 42, 34}, {300000, 72, 382, 23}, {900000, 150, 42, 9},
    };
    for (const auto& r : rows) {
        const Spot p = GraphPoint(plot, r.age, 600000, r.percent);
        EXPECT_EQ(p.x * 1000 + p.y, r.x * 1000 + r.y) << r.age << " " << r.percent;
    }
}

TEST(AppletLayout, ChannelChartScalesWithCountsOverAndChannelsUnderItsBars) {
    const std::vector<unsigned long> networks = {1, 3, 2};
    const struct {
        int dpi;
        Box first, tallest;
        Spot count, channel;
    } rows[] = {
        {96, {63, 37, 183, 46}, {303, 19, 423, 46}, {123, 21}, {123, 49}},
        {120, {73, 46, 214, 56}, {352, 24, 493, 56}, {143, 26}, {143, 60}},
        {144, {94, 57, 275, 70}, {453, 30, 634, 70}, {184, 32}, {184, 75}},
        {192, {115, 74, 336, 92}, {554, 38, 775, 92}, {225, 42}, {225, 98}},
    };
    for (int i = 0; i < 4; ++i) {
        const FontSize& font = kDpis[i].font;
        const Box area = ControlBox(CHANNEL_CHART_WIDTH, CHANNEL_CHART_HEIGHT, font);
        const std::vector<ChartBar> bars = LayoutChart(area, font, networks);
        ASSERT_EQ(bars.size(), 3u);
        const auto& r = rows[i];
        EXPECT_EQ(
            (std::vector<int>{bars[0].bar.left, bars[0].bar.top, bars[0].bar.right, bars[0].bar.bottom,
                              bars[1].bar.left, bars[1].bar.top, bars[1].bar.right, bars[1].bar.bottom, bars[0].count.x,
                              bars[0].count.y, bars[0].channel.x, bars[0].channel.y}),
            (std::vector<int>{r.first.left, r.first.top, r.first.right, r.first.bottom, r.tallest.left, r.tallest.top,
                              r.tallest.right, r.tallest.bottom, r.count.x, r.count.y, r.channel.x, r.channel.y}))
            << r.dpi;
        for (const ChartBar& b : bars) {
            const Box count = CentredText(b.count, 7, font), channel = CentredText(b.channel, 3, font);
            EXPECT_TRUE(Inside(count, area) && Inside(channel, area) && Inside(b.bar, area)) << r.dpi;
            for (const ChartBar& other : bars)
                EXPECT_TRUE(Apart(count, other.bar) && Apart(channel, other.bar)) << r.dpi;
        }
    }
    EXPECT_TRUE(LayoutChart({0, 0, 100, 50}, kDpis[0].font, {}).empty());
}

TEST(AppletLayout, BarLabelsShortenWhereTheirSlotIsNarrow) {
    const struct {
        unsigned long networks, percent;
        int slot;
        const char* text;
    } rows[] = {
        {3, 80, 48, "3: 80 %"}, {3, 80, 47, "3"}, {12, 100, 60, "12: 100 %"}, {12, 100, 59, "12"}, {0, 0, 0, "0"},
    };
    for (const auto& r : rows) EXPECT_EQ(ChartLabel(r.networks, r.percent, r.slot, kDpis[0].font), r.text) << r.slot;
}

// The window within the work area of an 800 x 600 screen at 96 DPI and of a
// 1366 x 768 one at 144 DPI, with the taskbar (40 and 60 pixels) and the
// window's caption and frame (31 and 46 pixels high, 8 and 12 wide).
TEST(AppletLayout, WindowFitsTheScreensItIsMadeFor) {
    const struct {
        int dpi;
        FontSize font;
        int workWidth, workHeight, frameWidth, frameHeight;
    } screens[] = {
        {96, kDpis[0].font, 800, 560, 8, 31},
        {144, kDpis[2].font, 1366, 708, 12, 46},
    };
    for (const auto& s : screens) {
        const Box window = DialogPixels(APPLET_WIDTH, APPLET_HEIGHT, s.font.charWidth, s.font.lineHeight);
        EXPECT_LE(window.right + s.frameWidth, s.workWidth) << s.dpi;
        EXPECT_LE(window.bottom + s.frameHeight, s.workHeight) << s.dpi;
    }
    const Box base = DialogPixels(4, 8, 6, 13);
    EXPECT_EQ(base.right * 100 + base.bottom, 613);
}
