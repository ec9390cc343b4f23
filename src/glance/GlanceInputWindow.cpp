// The event dialog's window: layout, controls, opening, the title field, the start and
// end texts, the all-day box and the length slider. Saving and deleting are in
// GlanceInputWindowCommit.cpp.
#include "glance/GlanceInputWindow.h"
#include "calendar_window/CalendarWindow.h"
#include "data/EventRecord.h"
#include "glance/calList.h"
#include "framework/Exceptions.h"
#include "framework/Graphics.h"
#include "framework/MessageBox.h"
#include "framework/TextFunctions.h"
#include "shell/InterfacePictures.h"
#include "shell/app.h"
#include <QCheckBox>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>

namespace {

QLabel* makeLabel(QWidget* parent, const QString& text, int size, bool bold, Qt::Alignment alignment)
{
    auto* label = new QLabel(text, parent);
    label->setFont(Graphics::MakeFont(QStringLiteral("Arial"), size, bold));
    label->setAlignment(alignment | Qt::AlignVCenter);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 0));
    label->setPalette(p);
    return label;
}

// "M/d/yyyy", with " at " and the time unless the entry is all-day.
QString dateText(const Date& d, bool withTime)
{
    return withTime ? d.ShortDate() + QStringLiteral(" at ") + d.ShortTime() : d.ShortDate();
}

} // namespace

GlanceInputWindow::GlanceInputWindow() : Window(CalendarWindow::Existing())
{
    Layout();
    CreateControls();
}


void GlanceInputWindow::Layout()
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Calendar Event"));
    setFixedSize(227, 152);
}

void GlanceInputWindow::CreateControls() { _CreateControls0(); }

void GlanceInputWindow::_CreateControls0()
{
    EventField = new QLineEdit(QStringLiteral("New Event"), this);
    EventField->setObjectName(QStringLiteral("EventField"));
    EventField->setFont(Graphics::WithEmoji(Graphics::MakeFont(QStringLiteral("Arial"), 12, true)));
    // A title cannot hold the file's separators, typed or pasted.
    connect(EventField, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString clean = EventRecord::CleanText(text);
        if (clean != text) {
            const int cursor = EventField->cursorPosition() - int(text.size() - clean.size());
            EventField->setText(clean);
            EventField->setCursorPosition(std::max(0, cursor));
        }
    });
    AddControl(EventField, QRect(9, 8, 210, 22), 0, [this] { EventField_Open(); });

    AllDayCheck = new QCheckBox(this);
    AllDayCheck->setObjectName(QStringLiteral("AllDayCheck"));
    connect(AllDayCheck, &QCheckBox::toggled, this, [this] { AllDayCheck_Action(); });
    AddControl(AllDayCheck, QRect(72, 40, 16, 14), 0, [this] { AllDayCheck_Open(); });

    const char* captions[] = {"all-day", "from", "to"};
    const int tops[] = {38, 62, 79};
    for (int i = 0; i < 3; ++i) {
        m_staticTexts[i] = makeLabel(this, QString::fromLatin1(captions[i]), 11, true, Qt::AlignRight);
        m_staticTexts[i]->setObjectName(QStringLiteral("StaticTexts"));
        AddControl(m_staticTexts[i], QRect(11, tops[i], 48, 16), 0);
    }

    fromDate = makeLabel(this, QStringLiteral("-"), 11, false, Qt::AlignLeft);
    fromDate->setObjectName(QStringLiteral("fromDate"));
    AddControl(fromDate, QRect(73, 62, 128, 16), 0, [this] { fromDate_Open(); });
    toDate = makeLabel(this, QStringLiteral("-"), 11, false, Qt::AlignLeft);
    toDate->setObjectName(QStringLiteral("toDate"));
    AddControl(toDate, QRect(73, 79, 128, 16), 0, [this] { toDate_Open(); });

    HalfHourSlider = new QSlider(Qt::Horizontal, this);
    HalfHourSlider->setObjectName(QStringLiteral("HalfHourSlider"));
    HalfHourSlider->setRange(1, 24);
    HalfHourSlider->setSingleStep(1);
    HalfHourSlider->setPageStep(20);
    HalfHourSlider->setTracking(true);
    connect(HalfHourSlider, &QSlider::valueChanged, this, [this] { HalfHourSlider_ValueChanged(); });
    AddControl(HalfHourSlider, QRect(68, 95, 108, 20), 0, [this] { HalfHourSlider_Open(); });

    st = makeLabel(this, QStringLiteral("-"), 8, false, Qt::AlignLeft);
    st->setObjectName(QStringLiteral("st"));
    st->setVisible(false);
    AddControl(st, QRect(4, 105, 60, 12), 0);

    SaveButton = new QPushButton(QStringLiteral("Save"), this);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    SaveButton->setFont(Graphics::MakeFont(QStringLiteral("Arial"), 12));
    SaveButton->setDefault(true);
    connect(SaveButton, &QPushButton::clicked, this, [this] { SaveButton_Action(); });
    AddControl(SaveButton, QRect(118, 125, 69, 20), 0, [this] { SaveButton_Open(); });

    DeleteButton = new QPushButton(QStringLiteral("Delete"), this);
    DeleteButton->setObjectName(QStringLiteral("DeleteButton"));
    DeleteButton->setFont(Graphics::MakeFont(QStringLiteral("Arial"), 12));
    DeleteButton->setAutoDefault(false);
    connect(DeleteButton, &QPushButton::clicked, this, [this] { DeleteButton_Action(); });
    AddControl(DeleteButton, QRect(42, 125, 69, 20), 0, [this] { DeleteButton_Open(); });
}

bool GlanceInputWindow::IsDayNoteStart(const Date& start) { return start.Hour() == 0 && start.Second() == 1; }

// ---- opening ----

void GlanceInputWindow::EventField_Open()
{
    const Date& start = App().selectedDate;
    EventEndTime = start;
    EventEndTime.AddSeconds(1800);
    const Dictionary& store = App().eventDict;
    const QString key = start.SQLDateTime();
    if (store.HasKey(key)) {
        // An end that cannot be read leaves the new entry's end; the title still shows.
        const QString record = store.Value(key);
        Date end;
        if (EventRecord::End(record, end))
            EventEndTime = end;
        EventField->setText(EventRecord::Title(record));
    }
    EventField->selectAll();
    EventField->setFocus(Qt::OtherFocusReason);
}

void GlanceInputWindow::AllDayCheck_Open()
{
    const QSignalBlocker quiet(AllDayCheck);
    AllDayCheck->setChecked(App().selectedDate.Hour() == 0);
}

void GlanceInputWindow::fromDate_Open() { fromDate->setText(dateText(App().selectedDate, !AllDayCheck->isChecked())); }

void GlanceInputWindow::toDate_Open() { toDate->setText(dateText(EventEndTime, !AllDayCheck->isChecked())); }

// The slider runs from one half hour to the first entry that starts on one of the end's
// half-hour steps, or to 21:00 of the start's day, whichever comes first.
void GlanceInputWindow::HalfHourSlider_Open()
{
    const Date& start = App().selectedDate;
    const Dictionary& store = App().eventDict;
    Date probe = EventEndTime;
    while (!store.HasKey(probe.SQLDateTime()) && probe.Hour() < LatestEndHour && probe.SQLDate() == start.SQLDate())
        probe.AddSeconds(1800);
    const QSignalBlocker quiet(HalfHourSlider);
    const int maximum = ToInt(double(probe.TotalSeconds() - start.TotalSeconds()) / 1800);
    const int value = ToInt(double(EventEndTime.TotalSeconds() - start.TotalSeconds()) / 1800);
    HalfHourSlider->setMaximum(maximum);
    HalfHourSlider->setValue(value);
    // Its visibility is the all-day box's business. On the day-note row the slider stays
    // shown: the box cannot be cleared there, and Save ignores the length of a day note.
}

void GlanceInputWindow::SaveButton_Open()
{
    SaveButton->resize(SaveButton->width(), 19);
    SaveButton->setFont(Graphics::MakeFont(QStringLiteral("Arial"), 11));
}

void GlanceInputWindow::DeleteButton_Open()
{
    DeleteButton->resize(DeleteButton->width(), 19);
    DeleteButton->setFont(Graphics::MakeFont(QStringLiteral("Arial"), 11));
}

// Centred on the whole screen.
void GlanceInputWindow::Event_Open()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    setGeometry(screen.x() + ToInt(screen.width() / 2.0 - width() / 2.0),
                screen.y() + ToInt(screen.height() / 2.0 - height() / 2.0), width(), height());
}

void GlanceInputWindow::Event_Paint(Graphics& g)
{
    g.SetForeColor(QColor(218, 218, 218));
    g.FillRect(0, 0, width(), height());
    if (const PicturePtr picture = InterfacePictures::Glancetimebackground())
        g.DrawPicture(picture, 0, 0, width(), height(), 0, 0, picture->Width(), picture->Height());
}

void GlanceInputWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Graphics g(&painter, width(), height());
    Event_Paint(g);
}

// ---- the all-day box and the slider ----

void GlanceInputWindow::AllDayCheck_Action()
{
    const Date& start = App().selectedDate;
    if (IsDayNoteStart(start)) {
        // A day note stays all-day.
        const QSignalBlocker quiet(AllDayCheck);
        AllDayCheck->setChecked(true);
        return;
    }
    const bool allDay = AllDayCheck->isChecked();
    fromDate->setText(dateText(start, !allDay));
    toDate->setText(allDay ? start.ShortDate() : dateText(EventEndTime, true));
    HalfHourSlider->setVisible(!allDay);
}

void GlanceInputWindow::HalfHourSlider_ValueChanged()
{
    try {
        const Date& start = App().selectedDate;
        EventEndTime = start;
        EventEndTime.AddSeconds(int64_t(HalfHourSlider->value()) * 1800);
        toDate->setText(dateText(EventEndTime, true));
        CalendarWindow* window = CalendarWindow::Existing();
        if (window && window->GlanceList) {
            const int row = 2 * (EventEndTime.Hour() - App().StartTime) + (EventEndTime.Minute() == 30 ? 1 : 0);
            window->GlanceList->InvalidateCell(row, start.DayOfWeek());
        }
    } catch (const OutOfBoundsException&) {
        MsgBox(InvalidTimeMessage);
    } catch (...) {
    }
}
