#pragma once
#include "framework/Picture.h"
#include "framework/Window.h"
#include "framework/WindowAccessor.h"
#include "framework/WorkAhead.h"
#include <QRect>
#include <tuple>
#include <QPointer>
#include <QSize>
#include <QVector>

class Canvas;
class Date;
class Graphics;
class ListBox;
class MenuItem;
class MiniCalList;
class QKeyEvent;
class QLabel;
class QMenuBar;
class TextButton;
class Timer;
class UpDownArrows;
class cCanvas;
class calCanvas;
class calList;
class floatingLinkCanvas;
class listboxButton;

// The program's main window: the branded calendar that covers the screen's work area,
// stays pinned to its top edge and slides up out of view and back. It shows the year view
// of the three calendar years or, in its place, the week at a glance.
//
// The window creates its twenty-eight controls in their documented order (a control made
// later lies above the ones before it), opens them in that order, then opens itself. The
// controls' handlers are the window's methods named after the control and the event.
// Edge locks move a control with the window's size changes from wherever it stands (so a
// control that its open handler placed keeps its distance to the locked edges).
class CalendarWindow : public Window
{
    Q_OBJECT
public:
    CalendarWindow();
    ~CalendarWindow() override;

    // The open calendar window, created (laid out and opened) when there is none.
    static CalendarWindow* Instance() { return WindowAccessor<CalendarWindow>::Get(); }
    // Makes the window and its controls without opening it (start-up makes it while the
    // branding's pictures are decoded); Instance then opens it.
    static CalendarWindow* Make() { return WindowAccessor<CalendarWindow>::Make(); }
    // Starts scaling the branding's pictures for this screen on worker threads (start-up
    // does so once the branding is read, while the controls open); the open handlers take
    // what was made for their sizes and scale anything else themselves.
    void PreparePictures();
    // Loads the fonts of the window's first paint now (each costs a font match of about a
    // millisecond the first time): the year view's, the maker's line's and the home
    // button's label's. Start-up does so once the window's controls are made, instead of
    // in its first paint. Needs the branding's values, not its pictures.
    void PrepareFonts();
    // Makes the native window and its backing store at the size the window opens at (the
    // work area). Start-up does so while the font database is still being read.
    void PrepareSurface();
    // The fonts of the maker's line and of the home button's label, set on g.
    static void UseLogoFont(Graphics& g);
    static void UseHomeLabelFont(Graphics& g);
    // The open calendar window or nullptr; never creates one.
    static CalendarWindow* Existing() { return WindowAccessor<CalendarWindow>::Existing(); }

    // ---- stored pictures ----
    PicturePtr HomeButtonN;
    PicturePtr HomeButtonMO;
    PicturePtr HomeButtonMD;
    QVector<PicturePtr> yearImageScaled = QVector<PicturePtr>(7);
    PicturePtr backgroundImageScaled;
    int yearImageScaled_x = 0;
    int yearImageScaled_y = 0;
    PicturePtr bottomImageScaled;

    // The frame type of the layout; only the document window (0) is supported.
    int Frame = 0;

    // ---- controls, in creation order ----
    cCanvas* TopCanvas = nullptr;
    cCanvas* BottomCanvas = nullptr;
    listboxButton* wwwLinksList = nullptr;
    cCanvas* HomeButton = nullptr;
    TextButton* MainMenuButton = nullptr;
    QLabel* theTimeText = nullptr;
    calList* GlanceHeader = nullptr;
    calList* GlanceList = nullptr;
    ListBox* TodoList = nullptr;
    Canvas* ToDoListHeader = nullptr;
    Timer* TimeTimer = nullptr;
    QWidget* MoviePlayer1 = nullptr;
    Timer* PrintTimer = nullptr;
    Timer* DisplayScrollTimer = nullptr;
    calCanvas* Calendar = nullptr;
    cCanvas* MenuBarCanvas = nullptr;
    cCanvas* tipCanvas = nullptr;
    Canvas* QuickStartHelp = nullptr;
    Canvas* LumoraLogo = nullptr;
    UpDownArrows* CalendarScrollButton = nullptr;
    cCanvas* CountdownCanvas = nullptr;
    // Members of the control arrays: MiniCalList(0) and (1); floatingLinkCanvas(1) to (5).
    // nullptr for an index the array does not hold (there is no floatingLinkCanvas(0)).
    MiniCalList* MiniCalListAt(int index) const;
    floatingLinkCanvas* floatingLinkCanvasAt(int index) const;
    // The in-window menu bar (File, Edit, Help) at the top-right corner.
    QMenuBar* menuBarWidget() const { return m_menuBar; }

    // ---- the window's operations ----
    // Slides the window up out of view and hides it / shows it and slides it into view.
    // A slide requested while one runs is ignored.
    void ScrollUp();
    void ScrollDown();
    static bool IsSliding();
    // A slide's steps change the picture faster than a compositor shows it.
    bool PictureInMotion() const override;
    // The window's place along its slide: the work area's top while in view, above it
    // (negative on every screen) while slid up. The window itself always stands on the
    // work area (a window manager may refuse anything else); the slide is drawn inside it.
    int Top() const { return m_top; }
    // Before the window opens: it opens out of view and hidden, for a slide to show it.
    void OpenOutOfView();
    // The cell of d's day in the year view as "row,column" (rows outside 0 to 80 for days
    // outside the three calendar years).
    static QString CalDateCell(const Date& d);
    static bool CalDateCell(const Date& d, int& row, int& column);
    // Writes "Calendar.tpc": the to-do rows, then every entry of the event store.
    void SaveEvents();
    // Pages the year view to the next / previous of the three years (only while the year
    // view shows).
    void PageNextYear();
    void PagePreviousYear();

    // ---- menu items of the window's menu bar, by name (nullptr when there is none) ----
    MenuItem* HelpMenu() const;
    MenuItem* HelpGotoURL() const;
    MenuItem* UntitledItem() const;
    MenuItem* HelpQuickStartHelp() const;
    MenuItem* HelpHelp() const;
    MenuItem* EditMenu() const;
    MenuItem* EditToggleCDCanvas() const;
    MenuItem* UntitledMenu0() const;
    MenuItem* ApplePreferences() const;
    MenuItem* UntitledMenu6() const;
    MenuItem* AppleAboutCalendar() const;
    MenuItem* EditClear() const;
    MenuItem* EditPaste() const;
    MenuItem* EditCopy() const;
    MenuItem* EditCut() const;
    MenuItem* UntitledMenu1() const;
    MenuItem* EditUndo() const;
    MenuItem* FileMenu() const;
    MenuItem* FileQuit() const;
    MenuItem* UntitledMenu3() const;
    MenuItem* FilePrint() const;
    MenuItem* FileClose() const;
    MenuItem* UntitledMenu5() const;

    // ---- menu handlers (false: the application's handler of the item runs next) ----
    bool _EditToggleCDCanvas_Action();
    bool _FileClose_Action();
    bool _FilePrint_Action();
    bool _HelpQuickStartHelp_Action();
    void Event_EnableMenuItems() override;

    // ---- the main pop-up menu ----
    // Its entries for the window's state ("-" for separators).
    static QStringList MainMenuEntries(bool yearViewShown, bool countdownShown, const QString& vendorURL);
    // Runs the command of the chosen entry's text; false when the text names none.
    bool RunMainMenuCommand(const QString& text);
    // The maker's web page: the logo line's help tag, and the page it opens.
    static QString MakerURL();

    // ---- handlers of the window's own events ----
    void Event_Paint(Graphics& g);
    void Event_Moved();
    bool Event_MouseWheel(int x, int y, int deltaX, int deltaY);
    bool Event_KeyDown(QKeyEvent* event) override;

    // ---- title area, bottom picture area, link row ----
    void TopCanvas_Open();
    bool TopCanvas_MouseDown(int x, int y);
    void TopCanvas_Paint(Graphics& g);
    void TopCanvas_MouseMove(int x, int y);
    void TopCanvas_MouseUp(int x, int y);
    void BottomCanvas_Paint(Graphics& g);
    bool BottomCanvas_MouseDown(int x, int y);
    void BottomCanvas_Open();
    void wwwLinksList_Open();
    bool wwwLinksList_CellTextPaint(Graphics& g, int row, int column, int x, int y);
    bool wwwLinksList_CellBackgroundPaint(Graphics& g, int row, int column);
    bool wwwLinksList_CellClick(int row, int column, int x, int y);
    void wwwLinksList_MouseExit();
    void wwwLinksList_MouseMove(int x, int y);
    void wwwLinksList_MouseUp(int x, int y);
    bool wwwLinksList_MouseDown(int x, int y);
    void wwwLinksList_CellGotFocus(int row, int column);
    void wwwLinksList_CellLostFocus(int row, int column);

    // ---- home button, menu toggle strip, hover tip, quick start overlay, logo line,
    //      floating links ----
    void HomeButton_MouseUp(int x, int y);
    bool HomeButton_MouseDown(int x, int y);
    void HomeButton_MouseEnter();
    void HomeButton_Open();
    void HomeButton_MouseExit();
    void HomeButton_Paint(Graphics& g);
    void MenuBarCanvas_Paint(Graphics& g);
    bool MenuBarCanvas_MouseDown(int x, int y);
    void MenuBarCanvas_Open();
    void MenuBarCanvas_MouseEnter();
    void MenuBarCanvas_MouseExit();
    void QuickStartHelp_Open();
    bool QuickStartHelp_MouseDown(int x, int y);
    void QuickStartHelp_Paint(Graphics& g);
    void LumoraLogo_Paint(Graphics& g);
    void LumoraLogo_Open();
    bool LumoraLogo_MouseDown(int x, int y);
    void floatingLinkCanvas_Paint(int index, Graphics& g);
    void floatingLinkCanvas_Open(int index);
    bool floatingLinkCanvas_MouseDown(int index, int x, int y);
    void Calendar_MouseMove(int x, int y);
    void Calendar_MouseExit();
    // Hides the year view's hover tip (when the year view pages or gives way to the week).
    void HideHoverTip();

    // ---- main menu button, clock, timers ----
    void MainMenuButton_Open();
    void MainMenuButton_Action();
    void theTimeText_Open();
    void TimeTimer_Action();
    void DisplayScrollTimer_Action();

    // ---- year view ----
    bool Calendar_MouseDown(int x, int y);
    bool Calendar_MouseWheel(int x, int y, int deltaX, int deltaY);
    void Calendar_Open();
    bool Calendar_KeyDown(QKeyEvent* event);
    void Calendar_Paint(Graphics& g);
    // The year view's text size and month-name font, for this screen and branding.
    void Calendar_SetTextFont();
    void CalendarScrollButton_Up();
    void CalendarScrollButton_Open();
    void CalendarScrollButton_Down();

    // ---- Week at a glance, to-do list, countdown tile and printing ----
    // Shows the week at a glance in place of the year view / the year view again, and then
    // writes the events file.
    void GlanceOn();
    void GlanceOff();
    // Refills the two month lists and the week grid for the selected date.
    void ReloadCalLists();
    // Rebuild the selected day's cell of the year view from every stored entry of that day
    // after a save / before or after a delete (leaving out the entry under the selected
    // date-time, whose run is s). A day outside the three years changes nothing.
    void AddEvent();
    void RemoveEvent(const QString& s);
    void GlanceHeader_Open();
    bool GlanceHeader_CellClick(int row, int column, int x, int y);
    bool GlanceHeader_CellBackgroundPaint(Graphics& g, int row, int column);
    void GlanceHeader_MouseMove(int x, int y);
    void GlanceHeader_MouseExit();
    void MiniCalList_Open(int index);
    bool MiniCalList_KeyDown(int index, QKeyEvent* event);
    bool MiniCalList_CellBackgroundPaint(int index, Graphics& g, int row, int column);
    bool MiniCalList_CellClick(int index, int row, int column, int x, int y);
    void GlanceList_Open();
    bool GlanceList_MouseDown(int x, int y);
    bool GlanceList_KeyDown(QKeyEvent* event);
    bool GlanceList_CellBackgroundPaint(Graphics& g, int row, int column);
    bool TodoList_CellBackgroundPaint(Graphics& g, int row, int column);
    bool TodoList_MouseDown(int x, int y);
    bool TodoList_DragReorderRows(int newPosition, int parentRow);
    void TodoList_DoubleClick(int x, int y);
    bool TodoList_CellClick(int row, int column, int x, int y);
    void TodoList_Open();
    void TodoList_CellAction(int row, int column);
    void TodoList_Change();
    void ToDoListHeader_Open();
    void ToDoListHeader_Paint(Graphics& g);
    bool ToDoListHeader_MouseDown(int x, int y);
    void CountdownCanvas_MouseDrag(int x, int y);
    void CountdownCanvas_MouseUp(int x, int y);
    bool CountdownCanvas_MouseDown(int x, int y);
    void CountdownCanvas_Open();
    void CountdownCanvas_Paint(Graphics& g);
    void PrintTimer_Action();
    // The window as it prints: drawn whole into a 32-bit picture (the menu bar left out),
    // today's red mark taken out of the year view, framed in grey.
    QImage PrintPicture();
    // Set by File > Print when it hid the countdown tile: the print's end shows it again.
    bool printHidCountdown = false;
    // ---- end of the week at a glance section ----

protected:
    void Event_Open() override;
    void Event_Close() override;
    // A close asked of the window manager slides the window away, as File > Close does.
    bool Event_CancelClose() override;
    void Event_Activate() override;
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // One step of a slide: the window at top, shown when any of it reaches into the work
    // area and hidden otherwise.
    void slideTo(int top);
    void endSlide();
    int m_top = 0;
    bool m_openOutOfView = false;
    // Pinning against a window manager: a move made from inside the window manager's own
    // drag is dropped by it and never repeated, so the place is asked for again, a bounded
    // number of times, until the window stands there. See Event_Moved.
    void pinTo(const QPoint& place);
    void lookAtPin();
    void moveTo(const QPoint& place);
    class QTimer* m_pinTimer = nullptr;
    QPoint m_pinPlace;
    int m_pinLooks = 0;
    bool m_placeLookedAt = false;   // the first move of this showing was looked at
    QPointer<class SlideCurtain> m_curtain;

    void Layout();
    void CreateControls();
    void _CreateControls0();
    void AddMenuHandlers();
    // Registers a control under its name with its design frame, edge locks and open handler.
    void addControl(QWidget* control, const QString& name, const QRect& design, int locks,
                    std::function<void()> open);
    // The home button's mouse-over (pressed: pressed) face, made when first asked for.
    PicturePtr homeButtonFace(bool pressed);
    int m_homeLabelX = 0;
    // A press on the home button was released outside it: the pointer's exit, which Qt
    // reports only after the release, belongs to that press.
    bool m_homeReleasedOutside = false;
    void placeMenuBar();
    void showHoverTip(const QString& title, int row, int column);
    // One call-out of the quick start overlay: an arrow h long pointing up at (arrowX, y0),
    // and under it a bubble width wide placed from bubbleX, holding text.
    static void drawCallout(Graphics& g, int arrowX, int bubbleX, int y0, int h, int width, const QString& text);
    // Draws frame B (or A) of source into the menu toggle picture, with its mask.
    void drawMenuToggle(const PicturePtr& source, bool frameB);

    // The scaled pictures: the background (its 32-bit copy, the scaled copy and the size it
    // was scaled to before being cut to the screen), the title band, and the bottom band
    // (its 32-bit copy and the scaled copy).
    struct ScaledBackground {
        PicturePtr source;   // the picture it was made from
        PicturePtr picture32, scaled;
        double fullW = 0, fullH = 0;
    };
    struct ScaledBottom {
        PicturePtr source;   // the picture it was made from
        PicturePtr picture32, scaled;
    };
    // The background's layout depends on whether there are a title and a bottom picture.
    struct BackgroundLayout {
        QRect area;
        QSize screen;
        bool hasTopLogo = false, hasBottom = false;
        bool operator==(const BackgroundLayout&) const = default;
    };
    static ScaledBackground scaledBackground(const PicturePtr& picture, const BackgroundLayout& layout);
    static BackgroundLayout backgroundLayout();
    static PicturePtr titleBand(const PicturePtr& logo, const PicturePtr& mask, const QSize& size, const QSize& screen);
    static ScaledBottom bottomBand(const PicturePtr& picture, const QSize& size, const QSize& screen);
    QSize titleBandSize() const;
    // Sets the bottom band's picture (and the branding's 32-bit bottom picture).
    void takeBottomBand();
    QSize bottomBandSize() const;
    // The background and the bottom band are made from the pictures being decoded, for
    // their layout and sizes; their sources are checked on taking.
    WorkAhead<BackgroundLayout, ScaledBackground> m_backgroundAhead;
    WorkAhead<std::tuple<Picture*, Picture*, QSize>, PicturePtr> m_titleAhead;
    WorkAhead<std::pair<QSize, QSize>, ScaledBottom> m_bottomAhead;

    MiniCalList* m_miniCalList[2] = {nullptr, nullptr};
    floatingLinkCanvas* m_floatingLinkCanvas[6] = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    QMenuBar* m_menuBar = nullptr;
    int m_wheelRestX = 0;
    int m_wheelRestY = 0;
};
