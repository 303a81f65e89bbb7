// Where the parts of the signal graph and the channel chart go (see GraphLayout.h).
#include "GraphLayout.h"

#include "Rules.h"

#include <algorithm>

namespace {

// The room between a text and a line: a quarter of a line, at least a pixel.
int Gap(const FontSize& font) { return std::max(1, font.lineHeight / 4); }

// "100 %" is five characters; digits are wider than the average one.
int PercentLabelWidth(const FontSize& font) { return 6 * font.charWidth; }

}  // namespace

GraphParts LayoutGraph(const Box& area, const FontSize& font) {
    const int gap = Gap(font);
    GraphParts g;
    g.plot.left = area.left + gap + PercentLabelWidth(font) + gap;
    g.plot.top = area.top + gap + font.lineHeight / 2;  // room for the upper half of "100 %"
    g.plot.right = area.right - gap;
    g.plot.bottom = area.bottom - gap - font.lineHeight - gap;
    g.topPercent = {g.plot.left - gap, g.plot.top - font.lineHeight / 2};
    g.bottomPercent = {g.plot.left - gap, g.plot.bottom - font.lineHeight / 2};
    g.start = {g.plot.left, g.plot.bottom + gap};
    g.now = {g.plot.right, g.plot.bottom + gap};
    g.message = {(g.plot.left + g.plot.right) / 2, (g.plot.top + g.plot.bottom - font.lineHeight) / 2};
    g.lineWidth = std::max(2, font.lineHeight / 6);
    return g;
}

Spot GraphPoint(const Box& plot, unsigned long ageMs, unsigned long spanMs, unsigned long percent) {
    const int width = plot.right - plot.left, height = plot.bottom - plot.top;
    if (percent > 100) percent = 100;
    if (ageMs > spanMs) ageMs = spanMs;
    const int x = plot.right - 1 - static_cast<int>(static_cast<unsigned long long>(ageMs) * (width - 1) / spanMs);
    const int y = plot.bottom - 1 - static_cast<int>((height - 1) * percent / 100);
    return {x, y};
}

std::vector<ChartBar> LayoutChart(const Box& area, const FontSize& font, const std::vector<unsigned long>& networks) {
    std::vector<ChartBar> bars;
    if (networks.empty()) return bars;
    const unsigned long most = std::max(1ul, *std::max_element(networks.begin(), networks.end()));
    const int gap = Gap(font);
    const int count = static_cast<int>(networks.size());
    const int slot = (area.right - area.left - 2 * gap) / count;
    // The tallest bar leaves room for its count over it; the channels go under the base.
    const int top = area.top + gap + font.lineHeight + gap;
    const int base = area.bottom - gap - font.lineHeight - gap;
    for (int i = 0; i < count; ++i) {
        const int left = area.left + gap + slot * i;
        const int height = static_cast<int>((base - top) * networks[i] / most);
        ChartBar b;
        b.bar = {left + slot / 4, base - height, left + slot - slot / 4, base};
        b.count = {left + slot / 2, b.bar.top - gap - font.lineHeight};
        b.channel = {left + slot / 2, base + gap};
        bars.push_back(b);
    }
    return bars;
}

std::string ChartLabel(unsigned long networks, unsigned long strongestPercent, int slotWidth, const FontSize& font) {
    char count[16], percent[16];
    FormatNumber(count, sizeof count, networks);
    FormatPercent(percent, sizeof percent, strongestPercent);
    const std::string both = std::string(count) + ": " + percent;
    // A label wider than its slot would run into its neighbours'.
    return static_cast<int>(both.size() + 1) * font.charWidth <= slotWidth ? both : std::string(count);
}

Box DialogPixels(int widthDlu, int heightDlu, int baseX, int baseY) {
    return {0, 0, widthDlu * baseX / 4, heightDlu * baseY / 8};
}
