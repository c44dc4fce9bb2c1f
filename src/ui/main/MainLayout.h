#pragma once

// The main window's layout arithmetic, in twips and free of widgets: where the tree, the
// splitter, the tab strip, the list and the message window go for a splitter position, and
// how far a dragged splitter may travel. The window converts the results to pixels.
namespace MainLayout {

inline constexpr float PaneMinimum = 1500; // each side of the splitter keeps at least this
inline constexpr float TabHeaderHeight = 350;
inline constexpr float WindowMinimumWidth = 3000; // keeps both pane minimums satisfiable

struct TwipsRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// The window's client area and the bars that take part of it.
struct Frame {
    float windowWidth = 0;
    float innerHeight = 0;
    bool toolbarVisible = true;
    float toolbarHeight = 0;
    float titlesTop = 0; // the title strip sits right under the toolbar
    float titlesHeight = 0;
    bool statusBarVisible = true;
    float statusBarHeight = 0;
};

struct Controls {
    TwipsRect tree;
    TwipsRect splitter; // the invisible grab area
    TwipsRect tabs;
    TwipsRect list;
    TwipsRect messages;
    float title0Width = 0;
    float title1Left = 0;
    float title1Width = 0;
};

// Clamps x in place to the pane minimums and lays every control out from it.
Controls SizeControls(float& x, const Frame& frame);

// Where the drag bar goes when the pointer is at X relative to the grab area's left edge.
float splitterDragLeft(float splitterLeft, float X, float windowWidth);

// The width a resize leaves the window with.
float floorWidth(float width);

} // namespace MainLayout
