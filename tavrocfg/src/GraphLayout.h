// Where the parts of the signal graph and of the channel chart go, from the
// size of the control and of the dialog font's text at the window's DPI, so
// that both scale with their labels clear of the lines and bars. Plain C++,
// tested on the host at 96, 120, 144 and 192 DPI.
#ifndef TAVROCFG_GRAPHLAYOUT_H
#define TAVROCFG_GRAPHLAYOUT_H

#include <string>
#include <vector>

struct Box {
    int left, top, right, bottom;
};
struct Spot {
    int x, y;  // where a text's reference point goes: its top, and its left, centre or right
};

// The dialog font's text: a line's height and the average character's width, in pixels.
struct FontSize {
    int lineHeight, charWidth;
};

// The signal graph: the plot with its grid, the percent labels left of it
// (right-aligned), the time labels under it, a message in its middle.
struct GraphParts {
    Box plot;
    Spot topPercent, bottomPercent;  // "100 %", "0 %": right-aligned
    Spot start, now;                 // "10 minutes ago" (left-aligned), "now" (right-aligned)
    Spot message;                    // centred
    int lineWidth;                   // of the signal's line
};
GraphParts LayoutGraph(const Box& area, const FontSize& font);
// The point of a reading in the plot: `ageMs` before now, of `spanMs` shown.
Spot GraphPoint(const Box& plot, unsigned long ageMs, unsigned long spanMs, unsigned long percent);

// The channel chart: one bar per channel, its count over it and its channel under it.
struct ChartBar {
    Box bar;
    Spot count, channel;  // centred
};
// `networks` are the counts per channel, `most` the largest of them.
std::vector<ChartBar> LayoutChart(const Box& area, const FontSize& font, const std::vector<unsigned long>& networks);
// The label over a bar: "3: 80 %" where the slot holds it, else the count alone.
std::string ChartLabel(unsigned long networks, unsigned long strongestPercent, int slotWidth, const FontSize& font);

// A dialog's size in pixels from its size in dialog units and the font's
// base units (what MapDialogRect uses): x * baseX / 4, y * baseY / 8.
Box DialogPixels(int widthDlu, int heightDlu, int baseX, int baseY);

#endif
