// The help window: layout, contents list and pages; the pages' texts are in
// HelpWindowPages.cpp.
#include "tray/HelpWindow.h"
#include "framework/Graphics.h"
#include "framework/ListBox.h"
#include "framework/TextFunctions.h"
#include "tray/HelpEdit.h"
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

namespace {
constexpr int kPanelLeft = 194;
// The field of each page: HelpEdit(0), (1), (4), (2), EditField1 (-1), HelpEdit(3).
constexpr int kPageField[6] = {0, 1, 4, 2, -1, 3};
constexpr int kContentsWidth = 180;
constexpr int kContentsTextSize = 13;

// "Using the Countdown Calendar" is 180 pixels wide in Arial 13, as wide as the whole
// list: the topics take the largest size up to 13 pixels at which each shows whole, with
// the 2 pixels the list keeps clear on either side of a text.
int contentsTextSize(const QStringList& topics, int width)
{
    int size = kContentsTextSize;
    for (; size > 8; --size) {
        const QFontMetrics metrics(Graphics::MakeFont(QStringLiteral("Arial"), size));
        if (std::all_of(topics.cbegin(), topics.cend(),
                        [&](const QString& topic) { return metrics.horizontalAdvance(topic) + 4 <= width; }))
            break;
    }
    return size;
}
} // namespace

HelpWindow::HelpWindow()
{
    SetShowsInFront(true);
    Layout();
    CreateControls();
    AddMenuHandlers();
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::Layout()
{
    // Close and minimise boxes, fixed size. A plain window (a utility window gets no
    // minimise box from many window managers); it belongs to the calendar window, which
    // keeps it above that window.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::WindowMinimizeButtonHint);
    setWindowTitle(QStringLiteral("Calendar Help"));
    setFixedSize(520, 340);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(255, 255, 255));
    setPalette(p);
    setAutoFillBackground(true);
}

void HelpWindow::CreateControls() { _CreateControls0(); }

QPlainTextEdit* HelpWindow::makePageField(QPlainTextEdit* field, int page, const QRect& frame)
{
    field->setFont(Graphics::MakeFont(QStringLiteral("Arial"), 13));
    QPalette p = field->palette();
    p.setColor(QPalette::Text, QColor(0, 0, 0));
    p.setColor(QPalette::Base, QColor(255, 255, 255));
    field->setPalette(p);
    field->setFrameShape(QFrame::Box);
    field->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    field->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    field->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    field->setReadOnly(kPageField[page] != 0);   // only the first page takes typing
    field->setPlainText(PageText(page));
    // The page panel's pages hold the fields; their frames are given in window coordinates.
    AddControl(field, frame.translated(-kPanelLeft, 0), 0);
    return field;
}

void HelpWindow::_CreateControls0()
{
    TabPanel1 = new QTabWidget(this);
    TabPanel1->setObjectName(QStringLiteral("TabPanel1"));
    TabPanel1->addTab(new QWidget(TabPanel1), QStringLiteral("Contents"));
    TabPanel1->tabBar()->setFont(Graphics::MakeFont(QStringLiteral("Microsoft Sans Serif"), 12));
    TabPanel1->setFocusPolicy(Qt::NoFocus);
    AddControl(TabPanel1, QRect(1, 2, 194, 340), 0);

    ContentsList = new ListBox(this);
    ContentsList->setObjectName(QStringLiteral("ContentsList"));
    ContentsList->SetColumnCount(1);
    ContentsList->SetHasHeading(false);
    ContentsList->SetTextFont(QStringLiteral("Arial"));
    ContentsList->SetDefaultRowHeight(20);
    // Six rows of 20 pixels never fill the list: a scroll bar would stand there with
    // nothing to scroll, taking its width from the topics.
    ContentsList->SetScrollBarVertical(false);
    ContentsList->SetTextSize(contentsTextSize(ContentsTexts(), kContentsWidth));
    for (const QString& text : ContentsTexts())
        ContentsList->AddRow(text);
    ContentsList->Change = [this] { ContentsList_Change(); };
    AddControl(ContentsList, QRect(7, 35, kContentsWidth, 300), 0, [this] { ContentsList_Open(); });

    PagePanel1 = new QStackedWidget(this);
    PagePanel1->setObjectName(QStringLiteral("PagePanel1"));
    for (int page = 0; page < 6; ++page)
        PagePanel1->addWidget(new QWidget(PagePanel1));
    PagePanel1->setCurrentIndex(0);
    AddControl(PagePanel1, QRect(kPanelLeft, 0, 326, 344), 0);

    // The fields in their creation order: HelpEdit(1), (2), (3), (0), (4), then EditField1.
    for (const int index : {1, 2, 3, 0, 4}) {
        int page = 0;
        while (kPageField[page] != index)
            ++page;
        m_helpEdit[index] = new HelpEdit(index, PagePanel1->widget(page));
        m_helpEdit[index]->setObjectName(QStringLiteral("HelpEdit"));
        makePageField(m_helpEdit[index], page, index == 0 ? QRect(203, 5, 316, 330) : QRect(198, 4, 316, 330));
    }
    EditField1 = new QPlainTextEdit(PagePanel1->widget(4));
    EditField1->setObjectName(QStringLiteral("EditField1"));
    makePageField(EditField1, 4, QRect(198, 4, 316, 330));
}

QPlainTextEdit* HelpWindow::PageField(int page) const
{
    if (page < 0 || page > 5)
        return nullptr;
    return kPageField[page] < 0 ? EditField1 : m_helpEdit[kPageField[page]];
}

void HelpWindow::Event_Open()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Left and Top place the window's content area, not its frame.
    setGeometry(QRect(QPoint(screen.left() + ToInt(screen.width() / 2.0 - width() / 2.0),
                             screen.top() + ToInt(screen.height() / 2.0 - height() / 2.0)), size()));
}

void HelpWindow::ContentsList_Open() { ContentsList->SetListIndex(0); }

void HelpWindow::ContentsList_Change()
{
    // With no row selected (a click below the last row) the page shown stays.
    auto* panel = qobject_cast<QStackedWidget*>(Control(QStringLiteral("PagePanel1")));
    const int page = ContentsList->ListIndex();
    if (panel && page >= 0 && page < panel->count())
        panel->setCurrentIndex(page);
}

