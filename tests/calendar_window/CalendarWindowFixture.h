#pragma once
#include "PixelProbe.h"
#include "TestSupport.h"
#include "calendar_window/CalendarWindow.h"
#include "framework/Date.h"
#include "shell/CustomizationModule.h"
#include "shell/ReleasedPictures.h"
#include "shell/app.h"
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

// A calendar window opened over a known branding and event store, in a sandboxed home, with
// every message box recorded, on Tuesday 10 June 2025 at 9:00 (the clock is fixed, so that
// what depends on today comes out the same on every run). The window is closed (and
// deleted) after each test.
class CalendarWindowFixture : public ::testing::Test
{
protected:
    using CM = CustomizationModule;

    void SetUp() override
    {
        CM::calendarStartYear = 2025;
        CM::yearImageStartYear = 2025;
        CM::TitleAreaHeightPercent = 0.082;
        CM::CalendarAreaHeightPercent = 0.62;
        CM::leftMargin_pct = 0;
        CM::topMargin_pct = 0;
        ReleasedPictures::Forget();
        CM::backgroundImage = nullptr;
        CM::bottomImage = nullptr;
        CM::topLogoImage = nullptr;
        CM::topLogoImageMask = nullptr;
        CM::yearImage = QVector<PicturePtr>(7);
        CM::yearImage_x = CM::yearImage_y = 0;
        CM::hideYear = CM::hideTime = CM::hideTopBorder = CM::hideBottomBorder = false;
        CM::monthNamesUppercase = CM::monthNamesAbbreviated = CM::monthNamesBold = CM::monthNamesLeftJ = false;
        CM::includeLinkButtons = CM::scrollImage = CM::customAboutWindow = false;
        CM::monthNamesFont.clear();
        CM::vendorName.clear();
        CM::vendorURL = QStringLiteral("https://www.example.com/lumora");
        CM::calendarBackgroundColor = QColor(10, 20, 30);
        CM::includeHomeButton = CM::includeLMLogo = CM::LMLogoRightJustify = false;
        CM::applicationName = QStringLiteral("Lumora Calendar");
        CM::homeButtonLink.clear();
        CM::LumoraURL.clear();
        CM::homeTextColor = QColor(0, 0, 0);
        CM::floatingLink = QVector<QString>(11);
        CM::floatingLinkCoordinates = QVector<QString>(11);
        CM::calendarURLlinks.clear();
        CM::daysColor = QColor(0, 0, 0);
        App().eventDict.Clear();
        App().keptTodoLines.clear();
        App().keptTodoLinesStamp.clear();
        App().eventsFileLocked = false;
        App().todoLinesUnsaved = false;
        App().selectedDate = Date(2025, 6, 15, 10, 30, 0);
        App().currentDate = Date(2025, 6, 10, 9, 0, 0);
        App().countdownDate = Date(2025, 1, 1);
        App().showCoundownCalendar = true;
        App().Deactivated = true;            // as at a start: no window of it was active yet
        App().tabLeft = 0;
        App().firstRun = false;
    }

    void TearDown() override
    {
        if (CalendarWindow* w = CalendarWindow::Existing())
            w->CloseWindow();
        flush();
    }

    static void flush()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    CalendarWindow* open() { return CalendarWindow::Instance(); }

    static QRect area() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    FixedClock clock{Date(2025, 6, 10, 9, 0, 0)};
    SandboxHome home;
    MessageLog log;
};
