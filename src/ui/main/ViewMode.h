#pragma once

#include <QString>

// The detail list's four presentations, as stored under Settings/ViewMode.
namespace ViewMode {

inline constexpr int LargeIcons = 0;
inline constexpr int SmallIcons = 1;
inline constexpr int List = 2;
inline constexpr int Details = 3;

// A stored value outside the four modes falls back to large icons.
inline int valid(int mode) {
    return mode >= LargeIcons && mode <= Details ? mode : LargeIcons;
}

// The toolbar's "Views" button steps through the modes and wraps around.
inline int next(int mode) {
    return (valid(mode) + 1) % 4;
}

// The mode a "Views" drop-down item stands for, or -1 for a key that names none.
inline int forMenuKey(const QString& key) {
    if (key == QLatin1String("View Large Icons"))
        return LargeIcons;
    if (key == QLatin1String("View Small Icons"))
        return SmallIcons;
    if (key == QLatin1String("View List"))
        return List;
    if (key == QLatin1String("View Details"))
        return Details;
    return -1;
}

} // namespace ViewMode
