#pragma once
// The five shared fonts as data, and how one is made for a surface. Sizes
// are in the logical units of the surface the font is drawn on: 0.1 mm for
// the diagram fonts, pixels for the one that labels a dialog.
#include <QFont>

#include <array>

namespace velmorin {

struct FontDef {
    const char* face;
    const char* fallbacks;  // fontconfig families tried when the face is missing, comma-separated
    int height;
    int width;
    int weight;
    bool dialogPixels;
};

inline constexpr int FontCount = 5;
// The diagram draws with the first three; the last labels the about box's version line.
inline constexpr int VersionLineFont = 4;

extern const std::array<FontDef, FontCount> FontTable;

// Font sized for a paint device of the given resolution (ignored for dialog fonts).
QFont MakeFont(const FontDef& def, int dpiX, int dpiY);
// The font for a window on the primary screen.
QFont MakeScreenFont(int index);

}  // namespace velmorin
