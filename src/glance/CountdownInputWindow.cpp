// The countdown dialog's window: layout, controls, how they fill themselves when it opens,
// and the title's key filter. Closing and its commit are in CountdownInputWindowCommit.cpp.
#include "glance/CountdownInputWindow.h"
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/cCanvas.h"
#include "data/EventRecord.h"
#include "framework/Graphics.h"
#include "framework/Picture.h"
#include "framework/TextFunctions.h"
#include "shell/CustomizationModule.h"
#include "shell/InterfacePictures.h"
#include "shell/app.h"
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <algorithm>

namespace {

QComboBox* makePopUp(QWidget* parent, const QString& name)
{
    auto* popUp = new QComboBox(parent);
    popUp->setObjectName(name);
    popUp->setFont(Graphics::MakeFont(QStringLiteral("Arial"), 12));
    return popUp;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(Graphics::MakeFont(QStringLiteral("Arial"), 13));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 0));
    label->setPalette(p);
    return label;
}

// Width of text in plain Arial of size pixels.
double textWidth(const QString& text, int size)
{
    static const PicturePtr scratch = Picture::New(1, 1);
    Graphics& g = scratch->Graphics();
    g.SetTextFont(QStringLiteral("Arial"));
    g.SetTextSize(size);
    g.SetBold(false);
    return g.StringWidth(text);
}

} // namespace

CountdownInputWindow::CountdownInputWindow() : Window(CalendarWindow::Existing())
{
    // The record shown is the entry under the countdown's date-time. Without one the dialog
    // offers today's month and year, keeping the countdown's day of the month.
    const Date& countdown = App().countdownDate;
    m_recordExists = App().eventDict.HasKey(countdown.SQLDateTime());
    if (m_recordExists) {
        m_openedDay = Date(countdown.Year(), countdown.Month(), countdown.Day());
    } else {
        const Date& today = App().currentDate;
        const int day = std::min(countdown.Day(), Date::DaysIn(today.Year(), today.Month()));
        m_openedDay = Date(today.Year(), today.Month(), day);
    }
    Layout();
    CreateControls();
}


void CountdownInputWindow::Layout()
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Calendar Countdown Event"));
    setFixedSize(356, 130);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(226, 226, 226));
    setPalette(p);
}

void CountdownInputWindow::CreateControls() { _CreateControls0(); }

void CountdownInputWindow::_CreateControls0()
{
    titleField = new QLineEdit(this);
    titleField->setObjectName(QStringLiteral("titleField"));
    titleField->setFont(Graphics::WithEmoji(Graphics::MakeFont(QStringLiteral("Arial"), 12)));
    titleField->setMaxLength(TitleLength);
    titleField->installEventFilter(this);
    // A title cannot hold the events file's separators, typed or pasted.
    connect(titleField, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString clean = EventRecord::CleanText(text);
        if (clean != text) {
            const int cursor = titleField->cursorPosition() - int(text.size() - clean.size());
            titleField->setText(clean);
            titleField->setCursorPosition(std::max(0, cursor));
        }
    });
    AddControl(titleField, QRect(62, 31, 240, 22), 0, [this] { titleField_Open(); });

    Month = makePopUp(this, QStringLiteral("Month"));
    AddControl(Month, QRect(62, 74, 106, 20), 0, [this] { Month_Open(); });
    Day = makePopUp(this, QStringLiteral("Day"));
    AddControl(Day, QRect(174, 74, 48, 20), 0, [this] { Day_Open(); });
    Year = makePopUp(this, QStringLiteral("Year"));
    AddControl(Year, QRect(229, 74, 72, 20), 0, [this] { Year_Open(); });

    StaticText1 = makeLabel(this, QStringLiteral("StaticText1"), QStringLiteral("Event"));
    AddControl(StaticText1, QRect(14, 33, 40, 16), 0);
    StaticText2 = makeLabel(this, QStringLiteral("StaticText2"), QStringLiteral("Date"));
    AddControl(StaticText2, QRect(14, 75, 40, 16), 0);
}

// ---- opening ----

void CountdownInputWindow::titleField_Open()
{
    if (!m_recordExists)
        return;
    // The limit holds for typing: a longer title from the file is shown (and kept) whole.
    const QString title = EventRecord::Title(App().eventDict.Value(App().countdownDate.SQLDateTime()));
    titleField->setMaxLength(std::max(TitleLength, int(title.size())));
    titleField->setText(title);
}

void CountdownInputWindow::Month_Open()
{
    const QSignalBlocker quiet(Month);
    for (int month = 1; month <= 12; ++month)
        Month->addItem(Date::MonthNameOf(month));
    Month->setCurrentIndex(m_openedDay.Month() - 1);
    // Another month (or year) lists that month's days.
    connect(Month, &QComboBox::currentIndexChanged, this, [this] { fillDays(Day->currentIndex() + 1); });
}

void CountdownInputWindow::Day_Open() { fillDays(m_openedDay.Day()); }

void CountdownInputWindow::Year_Open()
{
    const QSignalBlocker quiet(Year);
    const int first = CustomizationModule::calendarStartYear;
    for (int i = 0; i < 3; ++i)
        Year->addItem(Str(first + i));
    // A year outside the three shows no item; the countdown then keeps its year.
    const int index = m_openedDay.Year() - first;
    Year->setCurrentIndex(index >= 0 && index < 3 ? index : -1);
    connect(Year, &QComboBox::currentIndexChanged, this, [this] { fillDays(Day->currentIndex() + 1); });
}

void CountdownInputWindow::fillDays(int keepDay)
{
    const int days = Date::DaysIn(shownYear(), shownMonth());
    const QSignalBlocker quiet(Day);
    Day->clear();
    for (int day = 1; day <= days; ++day)
        Day->addItem(Str(day));
    Day->setCurrentIndex(std::clamp(keepDay, 1, days) - 1);
}

int CountdownInputWindow::shownMonth() const
{
    return Month->currentIndex() >= 0 ? Month->currentIndex() + 1 : m_openedDay.Month();
}

int CountdownInputWindow::shownYear() const
{
    return Year->currentIndex() >= 0 ? CustomizationModule::calendarStartYear + Year->currentIndex()
                                     : m_openedDay.Year();
}

Date CountdownInputWindow::ChosenDay() const
{
    const int month = shownMonth();
    const int year = shownYear();
    const int day = std::clamp(Day->currentIndex() + 1, 1, Date::DaysIn(year, month));
    return Date(year, month, day);
}

// Centred on the whole main screen.
void CountdownInputWindow::Event_Open()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    setGeometry(screen.x() + ToInt(screen.width() / 2.0 - width() / 2.0),
                screen.y() + ToInt(screen.height() / 2.0 - height() / 2.0), width(), height());
    m_shownDay = ChosenDay();
    m_shownTitle = titleField->text();
}

void CountdownInputWindow::Event_Paint(Graphics& g)
{
    g.SetForeColor(QColor(226, 226, 226));
    g.FillRect(0, 0, width(), height());
    if (const PicturePtr picture = InterfacePictures::Glancetimebackground())
        g.DrawPicture(picture, 0, 0, width(), height(), 0, 0, picture->Width(), picture->Height());
}

void CountdownInputWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Graphics g(&painter, width(), height());
    Event_Paint(g);
}

void CountdownInputWindow::ShowModal() { Window::ShowModal(titleField); }

// ---- the title's key filter ----

bool CountdownInputWindow::RefusesKey(const QString& text, const QString& key)
{
    const QString next = text + key;
    if (!next.contains(QLatin1Char(' ')))
        return textWidth(next, 11) > TitleWidthLimit;
    // Two lines, split as the tile splits them; the key itself is not measured here.
    return textWidth(cCanvas::FirstLine(text), 12) > TitleWidthLimit
        || textWidth(cCanvas::SecondLine(text), 12) > TitleWidthLimit;
}

bool CountdownInputWindow::titleField_KeyDown(QKeyEvent* event)
{
    // Only keys that type a character are measured: backspace, Delete, the arrows and the
    // shortcuts always go through.
    const QString key = event->text();
    if (event->key() == Qt::Key_Backspace || key.isEmpty() || !key.at(0).isPrint())
        return false;
    if (RefusesKey(titleField->text(), key)) {
        QApplication::beep();
        return true;
    }
    return false;
}

// Return closes the dialog as its close box does (there is no close box without a window
// manager, and no button to press).
bool CountdownInputWindow::Event_KeyDown(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    CloseWindow();
    return true;
}

bool CountdownInputWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == titleField && event->type() == QEvent::KeyPress && titleField_KeyDown(static_cast<QKeyEvent*>(event)))
        return true;
    return Window::eventFilter(watched, event);
}
