// The iCal importer: whatever text it is given, it ends, and every entry it stores is an
// event line the events file can hold: a key that is a date-time within the calendar's
// three years, and a record without line breaks.
#include "FuzzHost.h"
#include "data/ICalImporter.h"
#include "framework/Date.h"
#include "framework/Dictionary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzHost::Get();
    constexpr int firstYear = 2025;
    Dictionary store;
    ICalImporter importer(store, firstYear);
    importer.ImportBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    for (auto it = store.Entries().cbegin(); it != store.Entries().cend(); ++it) {
        Date key;
        FuzzHost::Require(Date::ParseSQLDateTime(it.key(), key), "a key is no date-time", it.key());
        FuzzHost::Require(key.Year() >= firstYear && key.Year() <= firstYear + 2, "an entry outside the years", it.key());
        FuzzHost::Require(!it.key().contains(QLatin1Char('|')), "a key holds the field separator", it.key());
        const QString& record = it.value();
        FuzzHost::Require(!record.contains(QLatin1Char('\n')) && !record.contains(QLatin1Char('\r')),
                          "a record holds a line break", record);
    }
    return 0;
}
