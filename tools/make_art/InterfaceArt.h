// The twenty interface pictures, written as <dir>/<resource number>.png.
#pragma once

#include <QString>

namespace interface_art {

void makeAll(const QString& dir);

}  // namespace interface_art
