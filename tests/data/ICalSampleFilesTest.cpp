// The iCal importer on calendars shaped like real exports (tests/data/ical): each "name.ics"
// lies beside "name.expected", the events-file lines it gives. The expected file's "#" lines
// name the user's zone, the calendar's first year, and how many entries were left out
// because their slot was taken and how many events were skipped.
#include "ICalTestSupport.h"
#include "data/ICalImporter.h"
#include "framework/Dictionary.h"
#include "framework/Files.h"
#include <QDir>
#include <gtest/gtest.h>

namespace {

struct Expected
{
    QByteArray zone = "UTC";
    int firstYear = 0, taken = 0, skipped = 0;
    QStringList lines;
};

Expected readExpected(const QString& path)
{
    Expected e;
    QString text;
    if (Files::ReadText(path, text) != Files::ReadStatus::Ok)
        return e;
    for (const QString& line : Files::SplitLines(text)) {
        const QString setting = line.startsWith("# ") ? line.mid(2) : QString();
        if (setting.startsWith("zone "))
            e.zone = setting.mid(5).toUtf8();
        else if (setting.startsWith("first year "))
            e.firstYear = setting.mid(11).toInt();
        else if (setting.startsWith("taken "))
            e.taken = setting.mid(6).toInt();
        else if (setting.startsWith("skipped "))
            e.skipped = setting.mid(8).toInt();
        else if (!line.startsWith('#') && !line.isEmpty())
            e.lines << line;
    }
    return e;
}

} // namespace

TEST(ICalSampleFiles, EachCalendarGivesItsExpectedLines)
{
    const QDir folder(QStringLiteral(LUMORA_ICAL_SAMPLES));
    const QStringList calendars = folder.entryList({"*.ics"}, QDir::Files, QDir::Name);
    ASSERT_GE(calendars.size(), 3);
    for (const QString& name : calendars) {
        const Expected expected = readExpected(folder.filePath(QString(name).replace(".ics", ".expected")));
        ASSERT_GT(expected.firstYear, 0) << name.toStdString() << ": no expected file";
        const IcalTest::LocalZone zone(expected.zone.constData());
        QByteArray bytes;   // read as the importer reads a file: folds joined before decoding
        ASSERT_EQ(Files::ReadAll(folder.filePath(name), bytes), Files::ReadStatus::Ok) << name.toStdString();
        Dictionary store;
        ICalImporter importer(store, expected.firstYear);
        importer.ImportBytes(bytes);
        EXPECT_EQ(IcalTest::Lines(store), expected.lines) << name.toStdString();
        EXPECT_EQ(importer.Taken(), expected.taken) << name.toStdString();
        EXPECT_EQ(importer.Skipped(), expected.skipped) << name.toStdString();
    }
}
