#pragma once
#include <QString>

// The tag of a week-grid cell. A free cell has an empty tag (any tag without "|" reads as
// free); a covered cell holds the event's start as SQL date-time, "|" and a span code.
class SlotTag
{
public:
    enum Code { Free = 0, First = 1, Middle = 2, Last = 3, Single = 4 };

    static QString Make(const QString& start, Code code);
    static bool IsCovered(const QString& tag) { return tag.contains(QLatin1Char('|')); }
    // The event's start; empty for a free cell.
    static QString Start(const QString& tag);
    // The span code; Free for a free cell or an unknown code.
    static Code CodeOf(const QString& tag);
    // The code of cell index (from 0) of an event that covers cells cells.
    static Code CodeFor(int index, int cells);
};
