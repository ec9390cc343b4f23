// The calendar window's twenty-eight controls, created in their fixed order with their
// design values and handlers.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/MiniCalList.h"
#include "calendar_window/TextButton.h"
#include "calendar_window/cCanvas.h"
#include "calendar_window/calCanvas.h"
#include "calendar_window/floatingLinkCanvas.h"
#include "calendar_window/listboxButton.h"
#include "glance/calList.h"
#include "framework/Graphics.h"
#include "framework/ListBox.h"
#include "framework/Timer.h"
#include "framework/UpDownArrows.h"
#include "shell/InterfacePictures.h"
#include <QLabel>

namespace {
constexpr int L = Window::LockLeft;
constexpr int T = Window::LockTop;
constexpr int R = Window::LockRight;

void hideAndDisable(QWidget* w)
{
    w->setVisible(false);
    w->setEnabled(false);
}

void setUpList(ListBox* list, int columns, int rowHeight, const QString& font, int size, bool bold)
{
    // The font and row height first: a list with its row height set needs no font metrics
    // for its scroll range, and one measuring its rows measures them in its own font.
    list->SetTextFont(font);
    list->SetTextSize(size);
    list->SetBold(bold);
    list->SetDefaultRowHeight(rowHeight);
    list->SetColumnCount(columns);
    list->SetHasHeading(false);
    list->SetScrollBarVertical(false);
    list->SetScrollBarHorizontal(false);
}
} // namespace

void CalendarWindow::CreateControls() { _CreateControls0(); }

void CalendarWindow::addControl(QWidget* control, const QString& name, const QRect& design, int locks,
                                std::function<void()> open)
{
    control->setObjectName(name);
    AddControl(control, design, locks, std::move(open));
}

void CalendarWindow::_CreateControls0()
{
    // 1. Title area.
    TopCanvas = new cCanvas(this);
    hideAndDisable(TopCanvas);
    TopCanvas->MouseDown = [this](int x, int y) { return TopCanvas_MouseDown(x, y); };
    TopCanvas->Paint = [this](Graphics& g) { TopCanvas_Paint(g); };
    TopCanvas->MouseMove = [this](int x, int y) { TopCanvas_MouseMove(x, y); };
    TopCanvas->MouseUp = [this](int x, int y) { TopCanvas_MouseUp(x, y); };
    addControl(TopCanvas, QStringLiteral("TopCanvas"), QRect(421, 0, 182, 60), T, [this] { TopCanvas_Open(); });

    // 2. Bottom picture area.
    BottomCanvas = new cCanvas(this);
    hideAndDisable(BottomCanvas);
    BottomCanvas->Paint = [this](Graphics& g) { BottomCanvas_Paint(g); };
    BottomCanvas->MouseDown = [this](int x, int y) { return BottomCanvas_MouseDown(x, y); };
    addControl(BottomCanvas, QStringLiteral("BottomCanvas"), QRect(0, 527, 1024, 214), 0,
               [this] { BottomCanvas_Open(); });

    // 3. Link row.
    wwwLinksList = new listboxButton(this);
    hideAndDisable(wwwLinksList);
    setUpList(wwwLinksList, 9, 29, QStringLiteral("Tahoma"), 12, true);
    wwwLinksList->SetGridLinesHorizontal(ListBox::BorderThinSolid);
    wwwLinksList->SetGridLinesVertical(ListBox::BorderThinSolid);
    wwwLinksList->CellTextPaint = [this](Graphics& g, int r, int c, int x, int y) {
        return wwwLinksList_CellTextPaint(g, r, c, x, y);
    };
    wwwLinksList->CellBackgroundPaint = [this](Graphics& g, int r, int c) { return wwwLinksList_CellBackgroundPaint(g, r, c); };
    wwwLinksList->CellClick = [this](int r, int c, int x, int y) { return wwwLinksList_CellClick(r, c, x, y); };
    wwwLinksList->MouseExit = [this] { wwwLinksList_MouseExit(); };
    wwwLinksList->MouseMove = [this](int x, int y) { wwwLinksList_MouseMove(x, y); };
    wwwLinksList->MouseUp = [this](int x, int y) { wwwLinksList_MouseUp(x, y); };
    wwwLinksList->MouseDown = [this](int x, int y) { return wwwLinksList_MouseDown(x, y); };
    wwwLinksList->CellGotFocus = [this](int r, int c) { wwwLinksList_CellGotFocus(r, c); };
    wwwLinksList->CellLostFocus = [this](int r, int c) { wwwLinksList_CellLostFocus(r, c); };
    addControl(wwwLinksList, QStringLiteral("wwwLinksList"), QRect(-3, 530, 1030, 21), L | R,
               [this] { wwwLinksList_Open(); });

    // 4. Home button.
    HomeButton = new cCanvas(this);
    hideAndDisable(HomeButton);
    HomeButton->SetHelpTag(QStringLiteral("Goto"));
    HomeButton->MouseUp = [this](int x, int y) { HomeButton_MouseUp(x, y); };
    HomeButton->MouseDown = [this](int x, int y) { return HomeButton_MouseDown(x, y); };
    HomeButton->MouseEnter = [this] { HomeButton_MouseEnter(); };
    HomeButton->MouseExit = [this] { HomeButton_MouseExit(); };
    HomeButton->Paint = [this](Graphics& g) { HomeButton_Paint(g); };
    addControl(HomeButton, QStringLiteral("HomeButton"), QRect(30, 22, 76, 29), L | T, [this] { HomeButton_Open(); });

    // 5. Main menu button.
    MainMenuButton = new TextButton(this);
    MainMenuButton->setText(QStringLiteral("6"));
    MainMenuButton->TextFont = QStringLiteral("Webdings");
    MainMenuButton->TextSize = 28;
    MainMenuButton->Bold = true;
    MainMenuButton->SetTextColor(QColor(128, 128, 128));
    MainMenuButton->MouseIn = false;
    MainMenuButton->Open = [this] { MainMenuButton_Open(); };
    MainMenuButton->Action = [this] { MainMenuButton_Action(); };
    addControl(MainMenuButton, QStringLiteral("MainMenuButton"), QRect(987, 0, 37, 25), T | R,
               [this] { MainMenuButton->Event_Open(); });

    // 6. Clock.
    theTimeText = new QLabel(QStringLiteral("-"), this);
    theTimeText->setFont(Graphics::MakeFont(QStringLiteral("Arial"), 12));
    theTimeText->setAlignment(Qt::AlignCenter);
    {
        QPalette p = theTimeText->palette();
        p.setColor(QPalette::WindowText, QColor(0, 0, 0));
        theTimeText->setPalette(p);
    }
    addControl(theTimeText, QStringLiteral("theTimeText"), QRect(895, 37, 96, 20), T | R, [this] { theTimeText_Open(); });

    // 7. Glance header.
    GlanceHeader = new calList(this);
    GlanceHeader->setVisible(false);
    setUpList(GlanceHeader, 13, 20, QStringLiteral("Arial"), 12, false);
    GlanceHeader->SetGridLines(false);   // the header paints everything itself
    // Its row is a picture with buttons, never a selection: like the month lists and the
    // grid it takes no focus, and a key that reaches it all the same does nothing.
    GlanceHeader->setFocusPolicy(Qt::NoFocus);
    GlanceHeader->KeyDown = [](QKeyEvent*) { return true; };
    GlanceHeader->CellClick = [this](int r, int c, int x, int y) { return GlanceHeader_CellClick(r, c, x, y); };
    GlanceHeader->CellBackgroundPaint = [this](Graphics& g, int r, int c) { return GlanceHeader_CellBackgroundPaint(g, r, c); };
    GlanceHeader->MouseMove = [this](int x, int y) { GlanceHeader_MouseMove(x, y); };
    GlanceHeader->MouseExit = [this] { GlanceHeader_MouseExit(); };
    addControl(GlanceHeader, QStringLiteral("GlanceHeader"), QRect(-1, 60, 1025, 60), L | R, [this] { GlanceHeader_Open(); });

    // 8, 9. Month lists: member 1 is created before member 0.
    for (int index : {1, 0}) {
        auto* list = new MiniCalList(index, this);
        m_miniCalList[index] = list;
        list->setVisible(false);
        setUpList(list, 7, 16, QStringLiteral("Arial"), 10, false);
        list->SetGridLines(false);
        list->KeyDown = [this, index](QKeyEvent* e) { return MiniCalList_KeyDown(index, e); };
        list->CellBackgroundPaint = [this, index](Graphics& g, int r, int c) {
            return MiniCalList_CellBackgroundPaint(index, g, r, c);
        };
        list->CellClick = [this, index](int r, int c, int x, int y) { return MiniCalList_CellClick(index, r, c, x, y); };
        addControl(list, QStringLiteral("MiniCalList"), QRect(856, index == 1 ? 121 : 119, 168, 132), R,
                   [this, index] { MiniCalList_Open(index); });
    }

    // 10. Week grid.
    GlanceList = new calList(this);
    GlanceList->setVisible(false);
    setUpList(GlanceList, 8, -1, QStringLiteral("Arial"), 12, false);
    GlanceList->SetColumnWidths(QStringLiteral("60,*,*,*,*,*,*,*"));
    GlanceList->SetGridLinesHorizontal(ListBox::BorderNone);
    GlanceList->SetGridLinesVertical(ListBox::BorderThinSolid);
    GlanceList->MouseDown = [this](int x, int y) { return GlanceList_MouseDown(x, y); };
    GlanceList->KeyDown = [this](QKeyEvent* e) { return GlanceList_KeyDown(e); };
    GlanceList->CellBackgroundPaint = [this](Graphics& g, int r, int c) { return GlanceList_CellBackgroundPaint(g, r, c); };
    addControl(GlanceList, QStringLiteral("GlanceList"), QRect(0, 119, 856, 397), L | R, [this] { GlanceList_Open(); });

    // 11. To-do list.
    TodoList = new ListBox(this);
    TodoList->setVisible(false);
    setUpList(TodoList, 3, 19, QStringLiteral("Arial"), 10, true);
    TodoList->SetColumnWidths(QStringLiteral("20,*,20"));
    TodoList->SetGridLines(false);
    TodoList->SetEnableDragReorder(true);
    TodoList->CellBackgroundPaint = [this](Graphics& g, int r, int c) { return TodoList_CellBackgroundPaint(g, r, c); };
    TodoList->MouseDown = [this](int x, int y) { return TodoList_MouseDown(x, y); };
    TodoList->DragReorderRows = [this](int position, int parentRow) { return TodoList_DragReorderRows(position, parentRow); };
    TodoList->DoubleClick = [this](int x, int y) { TodoList_DoubleClick(x, y); };
    TodoList->CellClick = [this](int r, int c, int x, int y) { return TodoList_CellClick(r, c, x, y); };
    TodoList->CellAction = [this](int r, int c) { TodoList_CellAction(r, c); };
    TodoList->Change = [this] { TodoList_Change(); };
    addControl(TodoList, QStringLiteral("TodoList"), QRect(856, 278, 168, 238), R, [this] { TodoList_Open(); });

    // 12. To-do header.
    ToDoListHeader = new Canvas(this);
    ToDoListHeader->setVisible(false);
    ToDoListHeader->Paint = [this](Graphics& g) { ToDoListHeader_Paint(g); };
    ToDoListHeader->MouseDown = [this](int x, int y) { return ToDoListHeader_MouseDown(x, y); };
    addControl(ToDoListHeader, QStringLiteral("ToDoListHeader"), QRect(856, 254, 168, 21), R,
               [this] { ToDoListHeader_Open(); });

    // 13. Clock timer.
    TimeTimer = new Timer(Timer::ModeMultiple, 30000, this);
    TimeTimer->setObjectName(QStringLiteral("TimeTimer"));
    TimeTimer->Action = [this] { TimeTimer_Action(); };

    // 14. Movie player: hidden, holding no movie.
    MoviePlayer1 = new QWidget(this);
    MoviePlayer1->setVisible(false);
    addControl(MoviePlayer1, QStringLiteral("MoviePlayer1"), QRect(236, 22, 32, 30), 0, {});

    // 15, 16. Print and scroll timers.
    PrintTimer = new Timer(Timer::ModeOff, 500, this);
    PrintTimer->setObjectName(QStringLiteral("PrintTimer"));
    PrintTimer->Action = [this] { PrintTimer_Action(); };
    DisplayScrollTimer = new Timer(Timer::ModeOff, 333, this);
    DisplayScrollTimer->setObjectName(QStringLiteral("DisplayScrollTimer"));
    DisplayScrollTimer->Action = [this] { DisplayScrollTimer_Action(); };

    // 17. Year view.
    Calendar = new calCanvas(this);
    Calendar->ListCount = 81;
    Calendar->ColumnCount = 33;
    Calendar->MouseDown = [this](int x, int y) { return Calendar_MouseDown(x, y); };
    Calendar->MouseMove = [this](int x, int y) { Calendar_MouseMove(x, y); };
    Calendar->MouseWheel = [this](int x, int y, int dx, int dy) { return Calendar_MouseWheel(x, y, dx, dy); };
    Calendar->MouseExit = [this] { Calendar_MouseExit(); };
    Calendar->KeyDown = [this](QKeyEvent* e) { return Calendar_KeyDown(e); };
    Calendar->Paint = [this](Graphics& g) { Calendar_Paint(g); };
    addControl(Calendar, QStringLiteral("Calendar"), QRect(-1, 137, 491, 349), 0, [this] { Calendar_Open(); });

    // 18. Menu toggle strip: its backdrop is set before its other values.
    MenuBarCanvas = new cCanvas(this);
    MenuBarCanvas->SetBackdrop(InterfacePictures::menutoggle());
    hideAndDisable(MenuBarCanvas);
    MenuBarCanvas->Paint = [this](Graphics& g) { MenuBarCanvas_Paint(g); };
    MenuBarCanvas->MouseDown = [this](int x, int y) { return MenuBarCanvas_MouseDown(x, y); };
    MenuBarCanvas->MouseEnter = [this] { MenuBarCanvas_MouseEnter(); };
    MenuBarCanvas->MouseExit = [this] { MenuBarCanvas_MouseExit(); };
    addControl(MenuBarCanvas, QStringLiteral("MenuBarCanvas"), QRect(-1, 0, 97, 15), L | T | R,
               [this] { MenuBarCanvas_Open(); });

    // 19. Hover tip.
    tipCanvas = new cCanvas(this);
    tipCanvas->setVisible(false);
    // The tip stands over the year view's cells: the pointer passes through it to the year
    // view, which would otherwise see the pointer leave and hide the tip under it.
    tipCanvas->setAttribute(Qt::WA_TransparentForMouseEvents);
    addControl(tipCanvas, QStringLiteral("tipCanvas"), QRect(283, 34, 89, 16), 0, {});

    // 20. Quick start help overlay.
    QuickStartHelp = new Canvas(this);
    QuickStartHelp->MouseDown = [this](int x, int y) { return QuickStartHelp_MouseDown(x, y); };
    QuickStartHelp->Paint = [this](Graphics& g) { QuickStartHelp_Paint(g); };
    addControl(QuickStartHelp, QStringLiteral("QuickStartHelp"), QRect(0, 0, 75, 97), 0, [this] { QuickStartHelp_Open(); });

    // 21. Maker's logo line, at first inside the bottom picture area.
    LumoraLogo = new Canvas(BottomCanvas);
    LumoraLogo->SetHelpTag(QStringLiteral("Goto"));
    LumoraLogo->Paint = [this](Graphics& g) { LumoraLogo_Paint(g); };
    LumoraLogo->MouseDown = [this](int x, int y) { return LumoraLogo_MouseDown(x, y); };
    addControl(LumoraLogo, QStringLiteral("LumoraLogo"), QRect(764, 706 - 527, 251, 29), 0, [this] { LumoraLogo_Open(); });

    // 22. Year arrows.
    CalendarScrollButton = new UpDownArrows(this);
    CalendarScrollButton->setFocusPolicy(Qt::NoFocus);
    CalendarScrollButton->Up = [this] { CalendarScrollButton_Up(); };
    CalendarScrollButton->Down = [this] { CalendarScrollButton_Down(); };
    addControl(CalendarScrollButton, QStringLiteral("CalendarScrollButton"), QRect(997, 30, 13, 23), 0,
               [this] { CalendarScrollButton_Open(); });

    // 23. Countdown tile.
    CountdownCanvas = new cCanvas(this);
    CountdownCanvas->MouseDrag = [this](int x, int y) { CountdownCanvas_MouseDrag(x, y); };
    CountdownCanvas->MouseUp = [this](int x, int y) { CountdownCanvas_MouseUp(x, y); };
    CountdownCanvas->MouseDown = [this](int x, int y) { return CountdownCanvas_MouseDown(x, y); };
    CountdownCanvas->Paint = [this](Graphics& g) { CountdownCanvas_Paint(g); };
    addControl(CountdownCanvas, QStringLiteral("CountdownCanvas"), QRect(9, 388, 118, 130), 0,
               [this] { CountdownCanvas_Open(); });

    // 24 to 28. Floating link areas 1 to 5.
    static const int tops[] = {0, 137, 157, 174, 193, 213};
    static const int heights[] = {0, 14, 13, 14, 14, 14};
    for (int index = 1; index <= 5; ++index) {
        auto* area = new floatingLinkCanvas(index, this);
        m_floatingLinkCanvas[index] = area;
        area->Paint = [this, index](Graphics& g) { floatingLinkCanvas_Paint(index, g); };
        area->MouseDown = [this, index](int x, int y) { return floatingLinkCanvas_MouseDown(index, x, y); };
        addControl(area, QStringLiteral("floatingLinkCanvas"), QRect(816, tops[index], 194, heights[index]), 0,
                   [this, index] { floatingLinkCanvas_Open(index); });
    }
}

MiniCalList* CalendarWindow::MiniCalListAt(int index) const
{
    return index >= 0 && index <= 1 ? m_miniCalList[index] : nullptr;
}

floatingLinkCanvas* CalendarWindow::floatingLinkCanvasAt(int index) const
{
    return index >= 1 && index <= 5 ? m_floatingLinkCanvas[index] : nullptr;
}
