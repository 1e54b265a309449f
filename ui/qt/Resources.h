#pragma once
// The program's pictures, addressed by their numbers (ResourceIds.h), from
// the Qt resource file.

#include <QIcon>
#include <QPixmap>

#include "ui/core/ResourceIds.h"

// A null pixmap for a number that names no bitmap.
QPixmap LoadResourceBitmap(int id);
// A null icon for a number that names no icon.
QIcon LoadResourceIcon(int id);
