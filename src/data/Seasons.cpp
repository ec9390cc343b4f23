#include "data/Seasons.h"
#include "framework/Date.h"
#include "framework/TextFunctions.h"

int Seasons::Index(const Date& day)
{
    const QString md = Right(day.SQLDate(), 5);
    if (md > QLatin1String("03-19") && md < QLatin1String("06-21"))
        return 0;
    if (md > QLatin1String("06-20") && md < QLatin1String("09-22"))
        return 1;
    if (md > QLatin1String("09-21") && md < QLatin1String("12-21"))
        return 2;
    return 3;
}
