#include "TrayFixture.h"
#include "framework/Files.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>

namespace {
class Preferences : public TrayFixture
{
protected:
    void SetUp() override
    {
        TrayFixture::SetUp();
        PreferencesWindow::SetApplicationFolder(apps.path());
        for (const char* name : {"Zeta", "Alpha", "Mid"})
            makeBranding(name);
        QDir().mkpath(apps.filePath("NoSpecs"));
        Files::WriteAtomic(apps.filePath("notes.txt"), "not a calendar");
        CM::DefaultCalendarFolder = apps.filePath("Mid");
    }

    void makeBranding(const QString& name, const QString& specs = QStringLiteral("applicationName=Test\n"))
    {
        QDir().mkpath(apps.filePath(name));
        Files::WriteAtomic(apps.filePath(name + "/calspc.dat"), specs.toUtf8());
    }
    QString caldef() const
    {
        QByteArray bytes;
        return Files::ReadAll(apps.filePath("caldef.dat"), bytes) == Files::ReadStatus::Ok
            ? QString::fromUtf8(bytes) : QStringLiteral("<none>");
    }
    QString prefs() const
    {
        QByteArray bytes;
        return Files::ReadAll(app::PrefsPath(), bytes) == Files::ReadStatus::Ok
            ? QString::fromUtf8(bytes) : QStringLiteral("<none>");
    }
    static QStringList rows(const QComboBox* popup)
    {
        QStringList result;
        for (int i = 0; i < popup->count(); ++i)
            result << popup->itemText(i);
        return result;
    }
    static void choose(PreferencesWindow* window, const QString& name)
    {
        window->DefaultCalendarPopup->setCurrentIndex(window->DefaultCalendarPopup->findText(name));
    }

    QTemporaryDir apps;
};
} // namespace

TEST_F(Preferences, OpensCentredWithTheSettingsAndTheTrayBoxHidden)
{
    App().showCoundownCalendar = true;
    PreferencesWindow* window = PreferencesWindow::Instance();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window->geometry().center(), screen.center());
    EXPECT_EQ(window->windowTitle(), "Calendar Preferences");
    EXPECT_TRUE(window->isModal());
    EXPECT_TRUE(window->ShowCountdownCB->isChecked());
    EXPECT_FALSE(window->InstallSysTrayCB->isVisibleTo(window));
    EXPECT_TRUE(window->InstallSysTrayCB->isChecked());
    EXPECT_FALSE(window->defaultCalendarChanged);
}

TEST_F(Preferences, ThePopUpListsTheCalendarFoldersWithTheDefaultSelected)
{
    PreferencesWindow* window = PreferencesWindow::Instance();
    EXPECT_EQ(rows(window->DefaultCalendarPopup), (QStringList{"Alpha", "Mid", "Zeta"}));
    EXPECT_EQ(window->DefaultCalendarPopup->currentText(), "Mid");
    choose(window, "Mid");                       // the selected row again
    EXPECT_EQ(caldef(), "<none>");
    EXPECT_FALSE(window->defaultCalendarChanged);
    window->CloseWindow();
    flush();

    struct Case { QString folder; int rows; int selected; };
    QTemporaryDir elsewhere;
    QDir().mkpath(elsewhere.filePath("Elsewhere"));
    const Case cases[] = {
        {elsewhere.filePath("Elsewhere"), 3, -1},   // a default no listed folder is named after
        {apps.filePath("Gone"), 0, -1},             // a default that does not exist
        {QString(), 0, -1},                         // no default
    };
    for (const Case& c : cases) {
        CM::DefaultCalendarFolder = c.folder;
        window = PreferencesWindow::Instance();
        EXPECT_EQ(window->DefaultCalendarPopup->count(), c.rows) << c.folder.toStdString();
        EXPECT_EQ(window->DefaultCalendarPopup->currentIndex(), c.selected) << c.folder.toStdString();
        EXPECT_FALSE(window->defaultCalendarChanged);
        window->CloseWindow();
        flush();
    }
    EXPECT_EQ(caldef(), "<none>");
    EXPECT_TRUE(log.messages.isEmpty());
}

TEST_F(Preferences, ChoosingACalendarWritesItsNameToTheDefaultCalendarFile)
{
    PreferencesWindow* window = PreferencesWindow::Instance();
    choose(window, "Zeta");
    EXPECT_EQ(caldef(), "Zeta\n");
    EXPECT_EQ(CM::DefaultCalendarFolder, apps.filePath("Zeta"));
    EXPECT_TRUE(window->defaultCalendarChanged);
    choose(window, "Alpha");
    EXPECT_EQ(caldef(), "Alpha\n");
    // Choosing the first calendar again still counts as a change.
    choose(window, "Mid");
    EXPECT_EQ(caldef(), "Mid\n");
    EXPECT_TRUE(window->defaultCalendarChanged);
    EXPECT_TRUE(log.messages.isEmpty());
    // The branding reader takes the folder the file names.
    EXPECT_EQ(CM::DiscoverFolder(apps.path(), QString()), apps.filePath("Mid"));
}

TEST_F(Preferences, AFolderThatLostItsSpecificationIsTakenButNotWritten)
{
    Files::WriteAtomic(apps.filePath("caldef.dat"), "Mid\n");
    PreferencesWindow* window = PreferencesWindow::Instance();
    QFile::remove(apps.filePath("Zeta/calspc.dat"));
    choose(window, "Zeta");
    EXPECT_EQ(caldef(), "Mid\n");
    EXPECT_EQ(CM::DefaultCalendarFolder, apps.filePath("Zeta"));
    EXPECT_TRUE(window->defaultCalendarChanged);
    EXPECT_TRUE(log.messages.isEmpty());
}

// A choice that could not be written is no choice: the pop-up shows the calendar in use
// again and OK leaves the calendar window as it is.
TEST_F(Preferences, AFailedWriteIsReportedAndTakesNothing)
{
    QDir().mkpath(apps.filePath("caldef.dat"));          // cannot be replaced by a file
    QPointer<CalendarWindow> calendar = open();
    PreferencesWindow* window = PreferencesWindow::Instance();
    choose(window, "Zeta");
    ASSERT_EQ(log.messages.size(), 1);
    EXPECT_TRUE(log.messages[0].startsWith("The default calendar could not be saved"));
    EXPECT_TRUE(QFileInfo(apps.filePath("caldef.dat")).isDir());
    EXPECT_EQ(window->DefaultCalendarPopup->currentText(), "Mid");
    EXPECT_EQ(CM::DefaultCalendarFolder, apps.filePath("Mid"));
    EXPECT_FALSE(window->defaultCalendarChanged);
    window->OKButton->click();
    flush();
    EXPECT_FALSE(calendar.isNull());                     // not rebuilt
    EXPECT_EQ(PreferencesWindow::Existing(), nullptr);
}

TEST_F(Preferences, OKStoresWhatChangedAndWritesThePreferencesOnlyThen)
{
    struct Case {
        bool countdownBox, trayBox;         // the boxes as the user leaves them
        const char* prefs;                  // the preferences file afterwards
        bool countdown, tray;               // the settings afterwards
    };
    const Case cases[] = {
        {false, true, "<none>", false, true},      // nothing changed
        {true, true, "1;0;1", true, true},         // the countdown box
        {false, false, "0;0;0", false, false},     // the (hidden) tray box
        {true, false, "1;0;1", true, true},        // both: only the countdown setting is taken
    };
    for (const Case& c : cases) {
        QFile::remove(app::PrefsPath());
        App().showCoundownCalendar = false;
        App().installSysTray = true;
        delete App().mAppTrayItem;
        App().mAppTrayItem = new AppTrayItem();
        App().mAppTrayItem->Install();
        QPointer<CalendarWindow> calendar = open();
        PreferencesWindow* window = PreferencesWindow::Instance();
        window->ShowCountdownCB->setChecked(c.countdownBox);
        window->InstallSysTrayCB->setChecked(c.trayBox);
        window->OKButton->click();
        flush();
        EXPECT_EQ(prefs(), c.prefs) << c.prefs;
        EXPECT_EQ(App().showCoundownCalendar, c.countdown) << c.prefs;
        EXPECT_EQ(App().installSysTray, c.tray) << c.prefs;
        EXPECT_EQ(App().mAppTrayItem->IsInstalled(), c.tray) << c.prefs;
        EXPECT_EQ(PreferencesWindow::Existing(), nullptr) << c.prefs;
        EXPECT_FALSE(calendar.isNull()) << c.prefs;      // not rebuilt
    }

    // The tray box turned back on installs a new item.
    App().showCoundownCalendar = false;
    App().installSysTray = false;
    App().mAppTrayItem->Remove();
    PreferencesWindow* window = PreferencesWindow::Instance();
    window->InstallSysTrayCB->setChecked(true);
    window->OKButton->click();
    ASSERT_NE(App().mAppTrayItem, nullptr);
    EXPECT_TRUE(App().mAppTrayItem->IsInstalled());
    EXPECT_EQ(prefs(), "0;0;1");
}

TEST_F(Preferences, ReturnPressesOK)
{
    PreferencesWindow* window = PreferencesWindow::Instance();
    window->ShowCountdownCB->setChecked(true);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &press);
    flush();
    EXPECT_EQ(PreferencesWindow::Existing(), nullptr);
    EXPECT_TRUE(App().showCoundownCalendar);
}

TEST_F(Preferences, OKAfterAnotherCalendarRebuildsTheCalendarWindowFromIt)
{
    makeBranding("Zeta", "applicationName=Zeta Edition\ncalendarStartYear=2025\n");
    QPointer<CalendarWindow> old = open();
    PreferencesWindow* window = PreferencesWindow::Instance();
    choose(window, "Zeta");
    window->OKButton->click();
    flush();
    EXPECT_TRUE(old.isNull());
    ASSERT_NE(CalendarWindow::Existing(), nullptr);
    EXPECT_TRUE(CalendarWindow::Existing()->isVisible());
    EXPECT_EQ(CM::applicationName, "Zeta Edition");
    EXPECT_EQ(CM::DefaultCalendarFolder, apps.filePath("Zeta"));
    EXPECT_EQ(prefs(), "<none>");                        // no setting changed
    EXPECT_EQ(PreferencesWindow::Existing(), nullptr);
    EXPECT_TRUE(log.messages.isEmpty());
}
