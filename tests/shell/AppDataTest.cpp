// The application object's own events file: app::LoadUserEvents and app::SaveUserEvents
// give the data layer the application's store and show what it reports.
#include "TestSupport.h"
#include "framework/Files.h"
#include "shell/app.h"
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// Gives a test a sandboxed home and the application's store and flags, restoring them after.
class AppDataTest : public ::testing::Test
{
protected:
    AppDataTest()
        : m_store(App().eventDict), m_todo(App().keptTodoLines), m_locked(App().eventsFileLocked),
          m_countdown(App().countdownDate)
    {
        App().eventDict.Clear();
        App().keptTodoLines.clear();
        App().eventsFileLocked = false;
    }
    ~AppDataTest() override
    {
        App().eventDict = m_store;
        App().keptTodoLines = m_todo;
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
