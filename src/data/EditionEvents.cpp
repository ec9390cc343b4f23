#include "data/EditionEvents.h"
#include "data/EventRecord.h"
#include "framework/Date.h"
#include "framework/Dictionary.h"
#include "framework/TextFunctions.h"

QVector<EditionEvents::Entry> EditionEvents::All()
{
    struct Race { int month, day; const char* place; };
    static const Race races[] = {
        {6, 5, "Dover Speedway"},       {6, 12, "Pocono Raceway"},
        {6, 19, "Michigan Speedway"},   {6, 26, "Infineon Raceway"},
        {7, 2, "Daytona Speedway"},     {7, 24, "Pocono Raceway"},
        {8, 7, "Indianapolis Speedway"}, {8, 14, "Watkins International"},
        {8, 21, "Michigan Speedway"},   {8, 27, "Bristol Speedway"},
        {9, 4, "California Speedway"},  {9, 10, "Richmond Raceway"},
        {9, 18, "New Hampshire Speedway"},
    };
    QVector<Entry> entries;
    for (const Race& race : races) {
        const QString key = Date(2005, race.month, race.day).SQLDateTime();
        entries.append({key, EventRecord::Make(key, QString::fromLatin1(race.place), EventRecord::SpecialKind)});
    }
    return entries;
}

bool EditionEvents::IsSpecialEdition(const QString& applicationName)
{
    return InStr(applicationName, EditionWord) > 0;
}

void EditionEvents::Load(Dictionary& store, const QString& applicationName)
{
    const bool special = IsSpecialEdition(applicationName);
    for (const Entry& e : All()) {
        if (special)
            store.SetValue(e.first, e.second);
        else if (store.HasKey(e.first))
            store.Remove(e.first);
    }
}
