#include "TestSupport.h"
#include "framework/Files.h"
#include "shell/app.h"
#include <gtest/gtest.h>

namespace {
QByteArray prefsBytes()
{
    QByteArray bytes;
    Files::ReadAll(app::PrefsPath(), bytes);
    return bytes;
}
} // namespace

TEST(Prefs, FirstRunWritesExactDefaultsIntoANewFolder)
{
    SandboxHome home;
    App().firstRun = false;
    App().GetPrefs();
    EXPECT_TRUE(App().firstRun);
    EXPECT_EQ(prefsBytes(), "0;0;1");
    EXPECT_TRUE(app::PrefsPath().startsWith(home.configFolder()));
    EXPECT_EQ(App().StartTime, 8);
}

TEST(Prefs, ReadsEveryFieldFormAsTheFileGivesIt)
{
    struct Case { QByteArray content; bool countdown; int tabLeft; bool tray; };
    const Case cases[] = {
        {"1;250;0", true, 250, false},
        {"", false, 0, false},
        {"1;-40", true, -40, false},
        {"2;75;1", false, 75, true},
        {"1;250;0\n", true, 250, false},
        {"1;250;0\r\n", true, 250, false},
        {"01;1.9;1.0", true, 1, true},
        {"abc;x;y", false, 0, false},
        {";;", false, 0, false},
        {QByteArray("\x01\x02\xff;\x00;1", 7), false, 0, true},
        // A place no window can have counts as none (it overflowed the tab's geometry).
        {"1;99999999999;1", true, 0, true},
        {"1;.5e11;1", true, 0, true},
        {"1;-16777216;1", true, 0, true},
        {"1;16777215;1", true, 16777215, true},
    };
    for (const Case& c : cases) {
        SandboxHome home;
        ASSERT_TRUE(Files::WriteAtomic(app::PrefsPath(), c.content));
        App().firstRun = false;
        App().GetPrefs();
        EXPECT_FALSE(App().firstRun) << c.content.toStdString();
        EXPECT_EQ(App().showCoundownCalendar, c.countdown) << c.content.toStdString();
        EXPECT_EQ(App().tabLeft, c.tabLeft) << c.content.toStdString();
        EXPECT_EQ(App().installSysTray, c.tray) << c.content.toStdString();
    }
}

TEST(Prefs, WritesCurrentValuesWithoutLineEnd)
{
    SandboxHome home;
    App().showCoundownCalendar = true;
    App().tabLeft = -40;
    App().installSysTray = false;
    App().PutPrefs();
    EXPECT_EQ(prefsBytes(), "1;-40;0");
    App().tabLeft = 0;
    App().installSysTray = true;
    App().showCoundownCalendar = false;
    App().PutPrefs();
    EXPECT_EQ(prefsBytes(), "0;0;1");
}

TEST(Prefs, UnwritableFileIsReportedAndKeepsTheOldOne)
{
    SandboxHome home;
    // A folder in the file's place: the write must fail, say so, and not crash.
    QDir().mkpath(app::PrefsPath());
    MessageLog log;
    App().PutPrefs();
    ASSERT_EQ(log.messages.size(), 1);
    EXPECT_TRUE(log.messages.first().startsWith("The preferences could not be saved"));
    EXPECT_TRUE(QFileInfo(app::PrefsPath()).isDir());
}

// A link that loops in the file's place is no missing file: reported, the defaults taken, and
// neither the start nor a later save replaces the link.
TEST(Prefs, ALinkThatLoopsIsReportedAndKept)
{
    SandboxHome home;
    ASSERT_TRUE(QDir().mkpath(home.configFolder()));
    ASSERT_TRUE(QFile::link(app::PrefsPath(), app::PrefsPath()));
    MessageLog log;
    App().tabLeft = 40;
    App().GetPrefs();
    EXPECT_EQ(App().tabLeft, 0);
    App().PutPrefs();
    ASSERT_EQ(log.messages.size(), 2);
    EXPECT_EQ(log.messages.first(), QStringLiteral("The preferences file \"%1\" cannot be used: Too many levels of symbolic "
                                                   "links. The calendar starts with its default preferences and does not "
                                                   "save them.").arg(app::PrefsPath()));
    EXPECT_TRUE(log.messages.last().startsWith("The preferences are not saved"));
    EXPECT_TRUE(QFileInfo(app::PrefsPath()).isSymLink());
}
