#pragma once
// The program's pictures, drawn at run time instead of shipped as files: the six tray pictures
// 401-406 and the window icon 128, each a small hand-held gauge.

#include <QIcon>

#include "app/resource_ids.h"

namespace valbrix {

// 401/402 green, 403/404 red, 405/406 yellow; 401, 403 and 405 with the arrow of values going out
// (grey on 403). ProgramIcon is the picture of 401. Each comes at 16, 22, 32 and 48 pixels.
QIcon gaugeIcon(int id);

}  // namespace valbrix
