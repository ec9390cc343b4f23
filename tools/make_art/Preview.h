// Mock-ups of the calendar window and of the interface pictures in place,
// composed from the written files the way the calendar lays them out.
#pragma once

#include <QString>

namespace preview {

void makeAll(const QString& resources, const QString& outDir);

}  // namespace preview
