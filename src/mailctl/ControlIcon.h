#pragma once

#include <QPixmap>

// The control's icon: a sealed envelope, drawn so the library ships no image files.
namespace ControlIcon {
QPixmap pixmap(int size);
} // namespace ControlIcon
