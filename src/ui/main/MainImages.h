#pragma once

#include <QIcon>
#include <QString>

// The pictures shared by the device tree, the detail list and the tray icon, by the index
// meanings the whole window uses, and the toolbar's pictures.
namespace MainImages {

inline constexpr int Root = 1;
inline constexpr int DeviceHealthy = 2;
inline constexpr int DeviceRecovered = 3;
inline constexpr int DeviceFailing = 4;
inline constexpr int ItemHealthy = 5;
inline constexpr int ItemRecovered = 6;
inline constexpr int ItemFailing = 7;
inline constexpr int TrayIdle = 8;
inline constexpr int TrayProblems = 10;
inline constexpr int TrayChecking = 11;

// An empty icon for an index without a picture.
QIcon icon(int index);
QIcon toolbarIcon(const QString& name);

} // namespace MainImages
