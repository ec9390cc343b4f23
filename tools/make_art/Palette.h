// The calendar's colours: deep blue and teal over cool light greys.
#pragma once

#include <QColor>

namespace palette {

inline const QColor navy(18, 48, 82);        // title band of the Standard edition
inline const QColor deepBlue(18, 61, 106);   // headings
inline const QColor ink(30, 44, 60);         // dark text
inline const QColor slate(90, 110, 130);     // secondary text
inline const QColor teal(28, 140, 148);      // accent
inline const QColor tealDark(20, 100, 112);
inline const QColor tealLight(96, 196, 200);
inline const QColor mist(226, 236, 243);
inline const QColor paper(247, 249, 251);    // light card, never pure white
inline const QColor moon(240, 236, 214);

// Fonts installed with the calendar (Liberation for "Arial", DejaVu for "Tahoma").
inline const char* const sans = "Liberation Sans";
inline const char* const sans2 = "DejaVu Sans";

}  // namespace palette
