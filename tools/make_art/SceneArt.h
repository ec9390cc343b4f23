// Drawn motifs shared by the interface pictures and the editions: the Lumora
// emblem, a night landscape, misty hills, ripples and small glyphs.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QRectF>

namespace scene {

// The Lumora emblem: a deep blue disc with a light crescent and a star,
// ringed in teal. r is the outer radius of the ring.
void drawEmblem(QPainter& p, QPointF centre, double r);

// A small four-pointed sparkle.
void drawSparkle(QPainter& p, QPointF centre, double r, const QColor& c);

// Dusk sky with stars, a moon and three ranges of hills, filling rect.
// seed varies the ridges and the stars.
void drawNightLandscape(QPainter& p, const QRectF& rect, int seed);

// A chevron pointing right (used by link rows), drawn as a stroke.
void drawChevronRight(QPainter& p, QPointF centre, double size, const QColor& c,
                      double width);

}  // namespace scene
