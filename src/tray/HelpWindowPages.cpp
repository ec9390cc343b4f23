// The help window's contents list and the texts of its six pages.
#include "tray/HelpWindow.h"

QStringList HelpWindow::ContentsTexts()
{
    return {QStringLiteral("Introducing Lumora Calendar"),
            QStringLiteral("The Main Calendar"),
            QStringLiteral("Using the Countdown Calendar"),
            QStringLiteral("Using week-at-a-glance"),
            QStringLiteral("The To-do List"),
            QStringLiteral("Calendar Symbols")};
}

QString HelpWindow::PageText(int page)
{
    static const QStringList pages = {
        QStringLiteral(
            "Introduction to Lumora Calendar\n\n"
            "This calendar stays out of your way until you need it.\n\n"
            "A small tab sits at the top edge of your screen. Click it once and the calendar slides "
            "down; click it again and the calendar slides back up.\n\n"
            "The main calendar shows three years at once: last year, this year and next year.\n\n"
            "You can choose one event to count down to. A small countdown calendar then shows how "
            "many days are left until it.\n\n"
            "Click any date to open its week at a glance, where you keep meetings, appointments, "
            "birthdays and other events by the half hour.\n\n"
            "The week at a glance also holds a to-do list for the things you want to remember."),
        QStringLiteral(
            "Using the Main Calendar\n\n"
            "The main calendar shows three years: the previous year, the current year and the "
            "following year. It appears when the program starts.\n\n"
            "To hide the calendar, click the tab at the top of the screen. Click the tab again to "
            "bring the calendar back.\n\n"
            "The menus open from the top right corner of the calendar: File, Edit and Help.\n\n"
            "To change the year, click the small up and down arrows at the right of the calendar, "
            "press Page Up or Page Down, or turn the mouse wheel.\n\n"
            "Click any date to see its week at a glance."),
        QStringLiteral(
            "Using the Countdown Calendar\n\n"
            "The countdown calendar shows how many days are left until one event of your choice.\n\n"
            "To show it, choose \"Show Countdown Event\" from the Edit menu. It appears as a small "
            "calendar in the right margin of the main calendar. \"Hide Countdown Event\" puts it "
            "away again.\n\n"
            "Click the countdown calendar to open a small window where you type the event's title "
            "and pick its date.\n\n"
            "In Preferences you choose whether the countdown calendar shows when the program starts."),
        QStringLiteral(
            "Week-At-A-Glance\n\n"
            "Click any date on the main calendar to see its week at a glance.\n\n"
            "To create an event, click the cell of the day and the hour it starts. A window opens "
            "where you type the event's title and set how long it lasts.\n\n"
            "To change or delete an event, click it. The same window opens with the event filled "
            "in.\n\n"
            "The arrow at the top left takes you back to the main calendar."),
        QStringLiteral(
            "To-Do\n\n"
            "The to-do list sits at the right of the week at a glance.\n\n"
            "To add an item, click an empty area of the list and type.\n\n"
            "Tick an item's box when it is done. To delete an item, click its X mark."),
        QStringLiteral(
            "Lumora Calendar Symbols\n\n"
            "The main calendar marks some dates for you.\n\n"
            "Today's date is circled in red.\n\n"
            "Dates with events or holidays are underlined. Rest the mouse on such a date to see "
            "what is planned."),
    };
    return page >= 0 && page < pages.size() ? pages[page] : QString();
}
