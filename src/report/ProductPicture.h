#pragma once

#include <QPixmap>

// The product picture: a monitor screen with a pulse line, drawn at any size.
QPixmap productPicture(int size);
