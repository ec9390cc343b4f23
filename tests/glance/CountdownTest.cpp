// The countdown tile and its dialog: where the tile stands, dragging it, a click that opens
// the dialog, what the dialog shows, the title's key filter, and what closing commits.
#include "GlanceFixture.h"
#include "calendar_window/cCanvas.h"
#include "data/EventRecord.h"
#include "framework/Graphics.h"
#include "framework/TextFunctions.h"
#include "glance/CountdownInputWindow.h"
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QLineEdit>

using namespace WidgetEvents;

namespace {
class Countdown : public GlanceFixture
{
protected:
    // Clicks the tile; while the countdown dialog runs, act is called with it, and the
    // dialog is closed afterwards. Returns whether a dialog ran.
    bool clickTile(CalendarWindow* w, const std::function<void(CountdownInputWindow*)>& act = {})
    {
        QObject scope;
        bool ran = false;
        QTimer::singleShot(0, &scope, [&] {
            CountdownInputWindow* dialog = CountdownInputWindow::Existing();
            if (!dialog)
                return;
            ran = true;
            QPointer<CountdownInputWindow> alive(dialog);
            if (act)
                act(dialog);
            if (alive && !alive->IsClosed())
                alive->CloseWindow();
        });
        click(w->CountdownCanvas, QPoint(20, 20));
        flush();
        return ran;
    }
    // What the dialog showed when it opened.
    struct Shown {
        std::string title;
        int month = -2, day = -2, year = -2, days = 0;
    };
    Shown openAndRead(CalendarWindow* w)
    {
        Shown seen;
        EXPECT_TRUE(clickTile(w, [&](CountdownInputWindow* d) {
            seen = {d->titleField->text().toStdString(), d->Month->currentIndex(), d->Day->currentIndex(),
                    d->Year->currentIndex(), d->Day->count()};
        }));
        return seen;
    }
    bool eventsFileWritten() const { return QFile::exists(home.documentsFolder() + "/Calendar.tpc"); }
    void removeEventsFile() const { QFile::remove(home.documentsFolder() + "/Calendar.tpc"); }
    static std::string value(const QString& key) { return App().eventDict.Lookup(key, "<none>").toStdString(); }
    static std::string countdownKey() { return App().countdownDate.SQLDateTime().toStdString(); }
    // A countdown record at 00:00:00 of day.
    static void setCountdown(const Date& day, const QString& title)
    {
        App().countdownDate = day;
        App().eventDict.SetValue(day.SQLDateTime(), EventRecord::Make(day, title, EventRecord::CountdownKind));
    }
    static double width(const QString& text, int size)
    {
        return QFontMetricsF(Graphics::MakeFont("Arial", size)).horizontalAdvance(text);
    }
};
} // namespace

TEST_F(Countdown, TheTileStandsAtTheBottomLeftOfTheCalendarArea)
{
    CalendarWindow* w = open();
    const int h = area().height();
    EXPECT_EQ(w->CountdownCanvas->pos(), QPoint(5, ToInt(h * 0.082 + h * 0.62 - 130 - 5)));
    EXPECT_EQ(w->CountdownCanvas->size(), QSize(118, 130));
    EXPECT_TRUE(w->CountdownCanvas->isVisible());
    ASSERT_TRUE(w->CountdownCanvas->cachedImage);
    w->CloseWindow();
    flush();
    App().showCoundownCalendar = false;
    EXPECT_TRUE(open()->CountdownCanvas->isHidden());
}

TEST_F(Countdown, ADragMovesTheTileAndOpensNothing)
{
    CalendarWindow* w = open();
    cCanvas* tile = w->CountdownCanvas;
    const QPoint start = tile->pos();
    QObject scope;
    bool dialog = false;
    QTimer::singleShot(0, &scope, [&] { dialog = CountdownInputWindow::Existing() != nullptr; });
    press(tile, QPoint(10, 10));
    drag(tile, QPoint(10, 10));   // still on the grab point: no move
    EXPECT_EQ(tile->pos(), start);
    drag(tile, QPoint(11, 10));
    EXPECT_EQ(tile->pos(), start + QPoint(1, 0));
    EXPECT_TRUE(tile->iMoved);
    release(tile, QPoint(10, 10));
    flush();
    EXPECT_FALSE(dialog);
    EXPECT_FALSE(CountdownInputWindow::Existing());
}

TEST_F(Countdown, TheTileCannotLeaveTheWindow)
{
    CalendarWindow* w = open();
    cCanvas* tile = w->CountdownCanvas;
    press(tile, QPoint(10, 10));
    drag(tile, QPoint(10 - 5000, 10 - 5000));
    EXPECT_EQ(tile->pos(), QPoint(0, 0));
    drag(tile, QPoint(10 + 5000, 10 + 5000));
    EXPECT_EQ(tile->pos(), QPoint(w->width() - 118, w->height() - 130));
    release(tile, QPoint(10, 10));
    // It stays where it was dropped until a new window places it again.
    EXPECT_EQ(tile->pos(), QPoint(w->width() - 118, w->height() - 130));
}

TEST_F(Countdown, AClickOpensTheDialogCentredOnTheScreen)
{
    CalendarWindow* w = open();
    QRect frame;
    EXPECT_TRUE(clickTile(w, [&](CountdownInputWindow* d) {
        frame = d->geometry();
        EXPECT_EQ(d->windowTitle().toStdString(), "Calendar Countdown Event");
        EXPECT_TRUE(d->isModal());
    }));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(frame, QRect(ToInt(screen.width() / 2.0 - 178), ToInt(screen.height() / 2.0 - 65), 356, 130));
}

TEST_F(Countdown, WithoutARecordTheDialogOffersTodaysMonthAndNoTitle)
{
    // The tile moved the countdown to 25 December, where the store holds nothing.
    CalendarWindow* w = open();
    EXPECT_EQ(countdownKey(), "2025-12-25 00:00:00");
    const Shown shown = openAndRead(w);
    EXPECT_EQ(shown.title, "");
    EXPECT_EQ(shown.month, 5);   // June, today's month
    EXPECT_EQ(shown.days, 30);
    EXPECT_EQ(shown.day, 24);
    EXPECT_EQ(shown.year, 0);
    // Closed unchanged, it stored nothing: the tile still counts down to Christmas.
    EXPECT_EQ(value("2025-06-25 00:00:00"), "<none>");
    EXPECT_EQ(countdownKey(), "2025-12-25 00:00:00");
    EXPECT_EQ(App().eventDict.Count(), 0);
    EXPECT_FALSE(eventsFileWritten());
    // A day chosen there is a change, even without a title.
    clickTile(w, [](CountdownInputWindow* d) { d->Day->setCurrentIndex(9); });
    EXPECT_EQ(value("2025-06-10 00:00:00"), "2025-06-10 00:00:00////Countdown");
    EXPECT_EQ(countdownKey(), "2025-06-10 00:00:00");
    EXPECT_TRUE(eventsFileWritten());
}

// With a record, an unchanged close leaves the record, the tile and the file alone.
TEST_F(Countdown, AnUnchangedDialogStoresNothing)
{
    setCountdown(Date(2026, 3, 14), "Pi Day");
    CalendarWindow* w = open();
    const PicturePtr tile = w->CountdownCanvas->cachedImage;
    const QMap<QString, QString> before = App().eventDict.Entries();
    EXPECT_TRUE(clickTile(w));
    EXPECT_EQ(App().eventDict.Entries(), before);
    EXPECT_EQ(w->CountdownCanvas->cachedImage, tile);
    EXPECT_FALSE(eventsFileWritten());
}

TEST_F(Countdown, TheDialogShowsTheRecordsTitleAndDay)
{
    setCountdown(Date(2026, 3, 14), "Pi Day");
    CalendarWindow* w = open();
    const Shown shown = openAndRead(w);
    EXPECT_EQ(shown.title, "Pi Day");
    EXPECT_EQ(shown.month, 2);
    EXPECT_EQ(shown.days, 31);
    EXPECT_EQ(shown.day, 13);
    EXPECT_EQ(shown.year, 1);

    // February lists the days of the record's own year; the three years as text.
    CM::calendarStartYear = 2026;
    setCountdown(Date(2028, 2, 29), "Leap");
    QStringList years;
    Shown leap;
    clickTile(w, [&](CountdownInputWindow* d) {
        leap = {d->titleField->text().toStdString(), d->Month->currentIndex(), d->Day->currentIndex(),
                d->Year->currentIndex(), d->Day->count()};
        for (int i = 0; i < d->Year->count(); ++i)
            years << d->Year->itemText(i);
    });
    EXPECT_EQ(leap.days, 29);
    EXPECT_EQ(leap.day, 28);
    EXPECT_EQ(leap.year, 2);
    EXPECT_EQ(years.join(",").toStdString(), "2026,2027,2028");
}

TEST_F(Countdown, ALongerTitleFromTheFileIsKeptWhole)
{
    const QString title = "A title of forty characters, not thirty";
    ASSERT_GT(title.size(), CountdownInputWindow::TitleLength);
    setCountdown(Date(2026, 3, 14), title);
    CalendarWindow* w = open();
    EXPECT_EQ(openAndRead(w).title, title.toStdString());
    EXPECT_EQ(value("2026-03-14 00:00:00"), ("2026-03-14 00:00:00//" + title + "//Countdown").toStdString());
    EXPECT_FALSE(eventsFileWritten());
}

TEST_F(Countdown, AnotherMonthOrYearListsItsOwnDays)
{
    setCountdown(Date(2025, 3, 31), "End of March");
    CalendarWindow* w = open();
    clickTile(w, [](CountdownInputWindow* d) {
        d->Month->setCurrentIndex(1);   // February 2025: the 31st becomes the 28th
        EXPECT_EQ(d->Day->count(), 28);
        EXPECT_EQ(d->Day->currentIndex(), 27);
        d->Year->setCurrentIndex(2);    // 2027 is no leap year either
        EXPECT_EQ(d->Day->count(), 28);
        EXPECT_EQ(d->ChosenDay().SQLDate().toStdString(), "2027-02-28");
    });
    EXPECT_EQ(countdownKey(), "2027-02-28 00:00:00");
    EXPECT_EQ(value("2025-03-31 00:00:00"), "<none>");
}

TEST_F(Countdown, ACountdownOutsideTheThreeYearsKeepsItsYear)
{
    setCountdown(Date(2031, 7, 4), "Far off");
    CalendarWindow* w = open();
    const Shown shown = openAndRead(w);
    EXPECT_EQ(shown.year, -1);
    EXPECT_EQ(shown.month, 6);
    EXPECT_EQ(countdownKey(), "2031-07-04 00:00:00");
    EXPECT_EQ(value("2031-07-04 00:00:00"), "2031-07-04 00:00:00//Far off//Countdown");
}

TEST_F(Countdown, ClosingCommitsTheDayAndTitle)
{
    struct Case {
        const char* name;
        QString title;            // typed over the record's title
        Date day;                 // chosen in the pop-ups
        std::string newValue;     // then stored under the chosen day
        std::string oldValue;     // under the record's old day, 2026-03-14
        bool saved;
    };
    const Case cases[] = {
        {"unchanged", "Pi Day", Date(2026, 3, 14), "2026-03-14 00:00:00//Pi Day//Countdown",
         "2026-03-14 00:00:00//Pi Day//Countdown", false},
        {"new title", "Pie Day", Date(2026, 3, 14), "2026-03-14 00:00:00//Pie Day//Countdown",
         "2026-03-14 00:00:00//Pie Day//Countdown", true},
        {"capitals only", "PI DAY", Date(2026, 3, 14), "2026-03-14 00:00:00//PI DAY//Countdown",
         "2026-03-14 00:00:00//PI DAY//Countdown", true},
        {"another day", "Pi Day", Date(2026, 3, 15), "2026-03-15 00:00:00//Pi Day//Countdown", "<none>", true},
        {"separators", "a|b//c", Date(2026, 3, 14), "2026-03-14 00:00:00//a b/c//Countdown",
         "2026-03-14 00:00:00//a b/c//Countdown", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        App().eventDict.Clear();
        setCountdown(Date(2026, 3, 14), "Pi Day");
        CalendarWindow* w = open();
        removeEventsFile();
        clickTile(w, [&](CountdownInputWindow* d) {
            d->titleField->setText(c.title);
            d->Month->setCurrentIndex(c.day.Month() - 1);
            d->Day->setCurrentIndex(c.day.Day() - 1);
            d->Year->setCurrentIndex(c.day.Year() - 2025);
        });
        EXPECT_EQ(value(c.day.SQLDateTime()), c.newValue);
        EXPECT_EQ(value("2026-03-14 00:00:00"), c.oldValue);
        EXPECT_EQ(countdownKey(), c.day.SQLDateTime().toStdString());
        EXPECT_EQ(eventsFileWritten(), c.saved);
        // The tile shows what was committed: rendering it again changes nothing.
        const QImage shown = w->CountdownCanvas->cachedImage->Image();
        w->CountdownCanvas->updateCountdown();
        EXPECT_TRUE(w->CountdownCanvas->cachedImage->Image() == shown) << "the tile shows an earlier countdown";
        if (c.saved) {
            QFile file(home.documentsFolder() + "/Calendar.tpc");
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_TRUE(file.readAll().contains((c.day.SQLDateTime().toStdString() + "|" + c.newValue).c_str()));
        }
        w->CloseWindow();
        flush();
    }
}

TEST_F(Countdown, AHolidayIsReplacedOnTheNewDayAndComesBackOnTheOldOne)
{
    const QString christmas = "2025-12-25 00:00:00";
    const QString newYear = "2026-01-01 00:00:00";
    App().eventDict.SetValue(christmas, christmas + "//Christmas");
    App().eventDict.SetValue(newYear, newYear + "//New Year's Day");
    setCountdown(Date(2026, 3, 14), "Pi Day");
    CalendarWindow* w = open();
    auto choose = [&](const Date& day, const QString& title) {
        clickTile(w, [&](CountdownInputWindow* d) {
            d->titleField->setText(title);
            d->Year->setCurrentIndex(day.Year() - 2025);
            d->Month->setCurrentIndex(day.Month() - 1);
            d->Day->setCurrentIndex(day.Day() - 1);
        });
    };
    choose(Date(2025, 12, 25), "Holidays");
    EXPECT_EQ(value(christmas), "2025-12-25 00:00:00//Holidays//Countdown");
    EXPECT_EQ(yearTag(w, Date(2025, 12, 25)).toStdString(), "12/25/2025//Holidays//Countdown");
    EXPECT_EQ(yearTag(w, Date(2026, 3, 14)).toStdString(), "3/14/2026");

    choose(Date(2026, 1, 1), "Fresh start");
    EXPECT_EQ(value(newYear), "2026-01-01 00:00:00//Fresh start//Countdown");
    EXPECT_EQ(value(christmas), "2025-12-25 00:00:00//Christmas");
    EXPECT_EQ(yearTag(w, Date(2025, 12, 25)).toStdString(), "12/25/2025//Christmas//");
}

// A tile that counts down to a holiday (no countdown record of its own) leaves that
// holiday in place when another day is chosen.
TEST_F(Countdown, MovingAwayFromAHolidayTheTileMerelyShowedKeepsIt)
{
    const QString christmas = "2025-12-25 00:00:00";
    App().eventDict.SetValue(christmas, christmas + "//Christmas");
    CalendarWindow* w = open();
    EXPECT_EQ(countdownKey(), christmas.toStdString());
    const Shown shown = openAndRead(w);   // closed unchanged: nothing stored
    EXPECT_EQ(shown.title, "Christmas");
    EXPECT_EQ(value(christmas), "2025-12-25 00:00:00//Christmas");
    EXPECT_FALSE(eventsFileWritten());

    clickTile(w, [](CountdownInputWindow* d) { d->Day->setCurrentIndex(23); });
    EXPECT_EQ(value(christmas), "2025-12-25 00:00:00//Christmas");
    EXPECT_EQ(value("2025-12-24 00:00:00"), "2025-12-24 00:00:00//Christmas//Countdown");
}

TEST_F(Countdown, ReturnClosesAndCommits)
{
    CalendarWindow* w = open();
    clickTile(w, [](CountdownInputWindow* d) {
        d->titleField->setText("Trip");
        key(d->titleField, Qt::Key_Return);
        EXPECT_TRUE(d->IsClosed());
    });
    EXPECT_EQ(EventRecord::Title(App().eventDict.Value(App().countdownDate.SQLDateTime())).toStdString(), "Trip");
}

TEST_F(Countdown, TheTitleTakesNoKeyThatMakesItTooWideForTheTile)
{
    // One line, no blank: the text with the key measured in 11-pixel Arial.
    QString word;
    while (width(word + "W", 11) <= 80.0) {
        EXPECT_FALSE(CountdownInputWindow::RefusesKey(word, "W")) << word.toStdString();
        word += "W";
    }
    EXPECT_TRUE(CountdownInputWindow::RefusesKey(word, "W"));
    EXPECT_TRUE(CountdownInputWindow::RefusesKey(word, "i") == (width(word + "i", 11) > 80.0));

    // Two lines: the first word and the rest, each in 12-pixel Arial, the key not measured.
    // A word that fits in 11 pixels but not in 12 takes no blank after it.
    QString fitsAt11;
    for (const QChar letter : QString("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ")) {
        QString candidate;
        while (width(candidate + letter, 11) <= 80.0)
            candidate += letter;
        if (width(candidate, 12) > 80.0) {
            fitsAt11 = candidate;
            break;
        }
    }
    ASSERT_FALSE(fitsAt11.isEmpty());
    EXPECT_FALSE(CountdownInputWindow::RefusesKey(fitsAt11.chopped(1), fitsAt11.right(1)));
    EXPECT_TRUE(CountdownInputWindow::RefusesKey(fitsAt11, " "));
    EXPECT_FALSE(CountdownInputWindow::RefusesKey("Big", " "));
    QString rest = "Big ";
    while (width(cCanvas::SecondLine(rest), 12) <= 80.0) {
        EXPECT_FALSE(CountdownInputWindow::RefusesKey(rest, "m"));
        rest += "m";
    }
    EXPECT_TRUE(CountdownInputWindow::RefusesKey(rest, "m"));

    // In the field: refused keys change nothing; backspace and the arrows always go through.
    CalendarWindow* w = open();
    clickTile(w, [&](CountdownInputWindow* d) {
        d->titleField->setText(word);
        key(d->titleField, Qt::Key_W, "W");
        EXPECT_EQ(d->titleField->text(), word);
        key(d->titleField, Qt::Key_Left);
        key(d->titleField, Qt::Key_Backspace);
        EXPECT_EQ(d->titleField->text().size(), word.size() - 1);
        d->titleField->setText(QString(40, 'i'));
        EXPECT_EQ(d->titleField->text().size(), 32);
        d->titleField->clear();
    });
}
