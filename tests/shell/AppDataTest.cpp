// The application object's own events file: app::LoadUserEvents and app::SaveUserEvents
// give the data layer the application's store and show what it reports.
#include "TestSupport.h"
#include "framework/Files.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// Gives a test a sandboxed home and the application's store and flags, restoring them after.
class AppDataTest : public ::testing::Test
{
protected:
    AppDataTest()
        : m_store(App().eventDict), m_todo(App().keptTodoLines), m_stamp(App().keptTodoLinesStamp),
          m_locked(App().eventsFileLocked), m_countdown(App().countdownDate)
    {
        App().eventDict.Clear();
        App().keptTodoLines.clear();
        App().keptTodoLinesStamp.clear();
        App().eventsFileLocked = false;
    }
    ~AppDataTest() override
    {
        App().eventDict = m_store;
        App().keptTodoLines = m_todo;
        App().keptTodoLinesStamp = m_stamp;
        App().eventsFileLocked = m_locked;
        App().countdownDate = m_countdown;
    }

    static QByteArray fileBytes()
    {
        QByteArray bytes;
        Files::ReadAll(app::EventsPath(), bytes);
        return bytes;
    }

    SandboxHome home;
    MessageLog log;

private:
    Dictionary m_store;
    QStringList m_todo;
    QString m_stamp;
    bool m_locked;
    Date m_countdown;
};

} // namespace

TEST_F(AppDataTest, SaveWritesTheApplicationsStoreUnlessLocked)
{
    App().eventDict.SetValue("2005-01-01 00:00:00", "2005-01-01 00:00:00//New Years");
    ASSERT_TRUE(app::EventsPath().startsWith(home.path()));

    App().eventsFileLocked = true;
    EXPECT_FALSE(App().SaveUserEvents({"0\tx"}));
    EXPECT_FALSE(QFileInfo::exists(app::EventsPath()));

    App().eventsFileLocked = false;
    EXPECT_TRUE(App().SaveUserEvents({"0\tx"}));   // the Documents folder is created
    EXPECT_EQ(fileBytes(), "0\tx\nEvents Data:\n2005-01-01 00:00:00|2005-01-01 00:00:00//New Years\n");
    EXPECT_TRUE(log.messages.isEmpty());
}

TEST_F(AppDataTest, AFailedSaveIsShownOnce)
{
    ASSERT_TRUE(QDir().mkpath(app::EventsPath()));   // a folder where the file should be
    EXPECT_FALSE(App().SaveUserEvents({"0\tx"}));
    ASSERT_EQ(log.messages.size(), 1);
    EXPECT_TRUE(log.messages.first().startsWith("Your events could not be saved to \"Calendar.tpc\"."));
}

TEST_F(AppDataTest, LoadingAnUnreadableFileShowsItAndLocksTheFile)
{
    ASSERT_TRUE(Files::WriteAtomic(app::EventsPath(), QByteArray("0\tcaf\xe9\nEvents Data:\n")));
    App().LoadUserEvents();
    EXPECT_TRUE(App().eventsFileLocked);
    ASSERT_EQ(log.messages.size(), 1);
    EXPECT_TRUE(log.messages.first().contains("Calendar.tpc.unreadable-1"));
    EXPECT_FALSE(App().SaveUserEvents({"0\tx"}));
    EXPECT_EQ(fileBytes(), QByteArray("0\tcaf\xe9\nEvents Data:\n"));
}

TEST_F(AppDataTest, LoadingAReadableFileFillsTheStoreSilently)
{
    ASSERT_TRUE(Files::WriteAtomic(app::EventsPath(), "1\tBuy milk\nEvents Data:\n"
                                                      "2006-03-01 00:00:00|2006-03-01 00:00:00//Trip//Countdown\n"));
    App().LoadUserEvents();
    EXPECT_FALSE(App().eventsFileLocked);
    EXPECT_TRUE(log.messages.isEmpty());
    EXPECT_EQ(App().keptTodoLines, QStringList{"1\tBuy milk"});
    EXPECT_EQ(App().eventDict.Count(), 1);
    EXPECT_EQ(App().countdownDate.SQLDateTime(), "2006-03-01 00:00:00");
}

// Start-up reads on a worker thread what LoadUserEvents reads: the same store, to-do lines,
// countdown, stamp and message, whether the file was read ahead or not.
TEST_F(AppDataTest, TheStartUpWorkerLoadsWhatLoadUserEventsLoads)
{
    const QByteArray file = "1\tBuy milk\nEvents Data:\n"
                            "2006-03-01 00:00:00|2006-03-01 00:00:00//Trip//Countdown\n"
                            "2006-12-25 00:00:00|2006-12-25 00:00:00//Own Christmas\n";
    ASSERT_TRUE(Files::WriteAtomic(app::EventsPath(), file));
    App().LoadHolidays();
    App().LoadSpecialEvents();
    App().LoadUserEvents();
    const Dictionary expected = App().eventDict;
    const QStringList todo = App().keptTodoLines;
    const QString countdown = App().countdownDate.SQLDateTime();
    const QString stamp = App().keptTodoLinesStamp;

    for (const bool readAhead : {false, true}) {
        App().eventDict.Clear();
        App().keptTodoLines.clear();
        App().keptTodoLinesStamp.clear();
        App().countdownDate = Date(2001, 1, 1);
        if (readAhead)
            app::StartReadingEventsFile();
        App().StartLoadingEvents();
        App().EventsLoaded();
        EXPECT_TRUE(App().eventDict.Entries() == expected.Entries());
        EXPECT_EQ(App().keptTodoLines, todo);
        EXPECT_EQ(App().countdownDate.SQLDateTime(), countdown);
        EXPECT_EQ(App().keptTodoLinesStamp, stamp);
        EXPECT_TRUE(log.messages.isEmpty());
    }

    // A file changed after it was read ahead is read again.
    app::StartReadingEventsFile();
    ASSERT_TRUE(Files::WriteAtomic(app::EventsPath(), "Events Data:\n2006-05-05 10:00:00|2006-05-05 11:00:00//New\n"));
    App().eventDict.Clear();
    App().StartLoadingEvents();
    App().EventsLoaded();
    EXPECT_TRUE(App().eventDict.HasKey("2006-05-05 10:00:00"));
    EXPECT_FALSE(App().eventDict.HasKey("2006-03-01 00:00:00"));
}

// The year view's runs computed by the worker serve only the store they were made from.
TEST_F(AppDataTest, TheWorkersYearRunsServeOnlyTheUnchangedStore)
{
    ASSERT_TRUE(Files::WriteAtomic(app::EventsPath(), "Events Data:\n2006-03-01 09:00:00|2006-03-01 10:00:00//Trip\n"));
    const int firstYear = CustomizationModule::calendarStartYear;
    CustomizationModule::calendarStartYear = 2005;
    const auto runsOf = [](const YearDayTag::Years& years) {
        QStringList runs;
        for (const auto& day : years.days)
            runs << day.date.SQLDate() + day.tag;
        return runs;
    };
    for (const bool change : {false, true}) {
        App().eventDict.Clear();
        App().StartLoadingEvents();
        App().EventsLoaded();
        if (change)
            App().eventDict.SetValue("2006-03-02 09:00:00", "2006-03-02 10:00:00//Added");
        const QStringList expected = runsOf(YearDayTag::BuildYears(App().eventDict, 2005, 3));
        EXPECT_EQ(runsOf(App().YearRuns(2005)), expected);
        EXPECT_EQ(expected.filter("Added").size(), change ? 1 : 0);
    }
    CustomizationModule::calendarStartYear = firstYear;
}

// The stamp says the file holds keptTodoLines as its to-do part, and only then.
TEST_F(AppDataTest, TheKeptLinesStampFollowsWhatThisRunLastReadOrWrote)
{
    EXPECT_EQ(app::EventsFileStamp(), "");
    App().LoadUserEvents();                              // no file
    EXPECT_EQ(App().keptTodoLinesStamp, "");

    ASSERT_TRUE(Files::WriteAtomic(app::EventsPath(), "1\tBuy milk\nEvents Data:\n"));
    App().LoadUserEvents();
    const QString loaded = App().keptTodoLinesStamp;
    EXPECT_FALSE(loaded.isEmpty());
    EXPECT_EQ(loaded, app::EventsFileStamp());

    App().keptTodoLines = {"0\tCall Ann"};
    ASSERT_TRUE(App().SaveUserEvents(App().keptTodoLines));
    EXPECT_EQ(App().keptTodoLinesStamp, app::EventsFileStamp());
    EXPECT_NE(App().keptTodoLinesStamp, loaded);        // a write makes a new file

    ASSERT_TRUE(App().SaveUserEvents({"0\tother lines"}));
    EXPECT_EQ(App().keptTodoLinesStamp, "");            // the file holds other lines than the kept ones

    ASSERT_TRUE(App().SaveUserEvents(App().keptTodoLines));
    ASSERT_TRUE(QFile::remove(app::EventsPath()));
    ASSERT_TRUE(QDir().mkpath(app::EventsPath()));       // a folder where the file should be
    EXPECT_FALSE(App().SaveUserEvents(App().keptTodoLines));
    EXPECT_EQ(App().keptTodoLinesStamp, "");
}
