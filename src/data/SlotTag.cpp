#include "data/SlotTag.h"

QString SlotTag::Make(const QString& start, Code code)
{
    return start + QLatin1Char('|') + QString::number(int(code));
}

QString SlotTag::Start(const QString& tag)
{
    const int bar = tag.indexOf(QLatin1Char('|'));
    return bar < 0 ? QString() : tag.left(bar);
}

SlotTag::Code SlotTag::CodeOf(const QString& tag)
{
    const int bar = tag.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return Free;
    bool ok = false;
    const int code = tag.mid(bar + 1).toInt(&ok);
    return ok && code >= First && code <= Single ? Code(code) : Free;
}

SlotTag::Code SlotTag::CodeFor(int index, int cells)
{
    if (cells <= 1)
        return Single;
    if (index == 0)
        return First;
    return index == cells - 1 ? Last : Middle;
}
