// The to-do list of the week at a glance and its header: rows read from the to-do part of
// "Calendar.tpc", added from the header or below the last row, edited in place, ticked off
// (struck through), deleted with their delete mark or by emptying their text, and dragged
// into another order. The rows reach the file through CalendarWindow::SaveEvents. The tray
// menu lists the open items: each change to the rows is reported to the tray item, an
// edit once it ends rather than at every key typed.
#include "calendar_window/CalendarWindow.h"
#include "calendar_window/MiniCalList.h"
#include "data/EventRecord.h"
#include "data/EventsFile.h"
#include "framework/WorkArea.h"
#include "glance/calList.h"
#include "framework/Canvas.h"
#include "framework/Graphics.h"
#include "framework/ListBox.h"
#include "framework/TextFunctions.h"
#include "shell/CustomizationModule.h"
#include "shell/InterfacePictures.h"
#include "shell/app.h"
#include "tray/AppTrayItem.h"
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>

namespace {

constexpr int CheckColumn = 0;
constexpr int TextColumn = 1;
constexpr int DeleteColumn = 2;

int availableHeight() { return WorkArea::Rect().height(); }

// The scroll bar shows as soon as the rows and one further row no longer fit.
void updateScrollBar(ListBox* list)
{
    if (list->height() < (list->ListCount() + 1) * list->RowHeight()) {
        list->SetScrollBarVertical(true);
    } else {
        list->SetScrollPosition(0);
        list->SetScrollBarVertical(false);
    }
}

// Keeps an in-place editor's text in its cell as it is typed, so that a save that comes
// while the editor is still open (the window closing) holds what the user sees. Characters
// that would break the events file's line never get in, typed or pasted; Escape puts the
// text the cell had before the edit back.
class LiveEdit : public QObject
{
public:
    LiveEdit(ListBox* list, QLineEdit* editor, int row)
        : QObject(editor), m_list(list), m_editor(editor), m_before(list->Cell(row, TextColumn))
    {
        editor->installEventFilter(this);
        connect(editor, &QLineEdit::textEdited, this, [this](const QString& text) { typed(text); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_editor && event->type() == QEvent::KeyPress
            && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && stillEditing())
            m_list->SetCell(m_list->EditRow(), TextColumn, m_before);
        return QObject::eventFilter(watched, event);
    }

private:
    // The editor's row may move while it is open (a row above it removed): the list knows
    // where it stands.
    bool stillEditing() const { return m_list && m_editor && m_list->ActiveCell() == m_editor; }
    void typed(const QString& text)
    {
        const QString clean = EventRecord::CleanText(text);
        if (clean != text) {
            const int cursor = m_editor->cursorPosition() - int(text.size() - clean.size());
            m_editor->setText(clean);
            m_editor->setCursorPosition(std::max(0, cursor));
        }
        if (stillEditing())
            m_list->SetCell(m_list->EditRow(), TextColumn, clean);
    }

    QPointer<ListBox> m_list;
    QPointer<QLineEdit> m_editor;
    QString m_before;
};

// Opens the text of row for editing with its text selected; yellow for a row added below
// the list.
void editText(ListBox* list, int row, bool yellow = false)
{
    list->EditCell(row, TextColumn);
    QLineEdit* editor = list->ActiveCell();
    if (!editor || list->EditRow() < 0)
        return;
    editor->selectAll();
    if (yellow) {
        QPalette p = editor->palette();
        p.setColor(QPalette::Base, QColor(255, 255, 0));
        editor->setPalette(p);
        editor->setAutoFillBackground(true);
    }
    new LiveEdit(list, editor, list->EditRow());
}

// Appends an empty, unticked item, brings it into view and opens it for editing.
void addItem(ListBox* list, bool yellow)
{
    list->AddRow(QStringList{QString(), QString()});
    AppTrayItem::StateChanged();
    const int row = list->LastIndex();
    updateScrollBar(list);
    const int fullRows = std::max(1, list->height() / list->RowHeight());
    if (row >= list->ScrollPosition() + fullRows)
        list->SetScrollPosition(row - fullRows + 1);
    editText(list, row, yellow);
}

// The second press of a double click on a delete mark would delete the row that moved up
// into its place: the list sees it as nothing.
class DoubleClickOnDelete : public QObject
{
public:
    explicit DoubleClickOnDelete(ListBox* list) : QObject(list), m_list(list) { list->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_list && event->type() == QEvent::MouseButtonDblClick) {
            const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
            if (m_list->ColumnFromXY(p.x(), p.y()) == DeleteColumn)
                return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    ListBox* m_list;
};

} // namespace

// ---- the list ----

// Placed under the to-do header down to the bottom of the calendar area, and filled from the
// to-do part of "Calendar.tpc": one row per line, ticked when the text before the line's
// first TAB is "1", its text everything after that TAB (a line without a TAB is an open item
// whose text is the whole line), so that a save writes every line back whole. A file that is
// missing gives an empty list; one that cannot be read (the run then never writes it) gives
// the to-do lines kept from start-up, which are empty then too.
void CalendarWindow::TodoList_Open()
{
    App().EventsLoaded();
    const int h = availableHeight();
    const int above = GlanceHeader->height() + MiniCalListAt(0)->height() + ToDoListHeader->height();
    TodoList->move(TodoList->x(), ToInt(h * CustomizationModule::TitleAreaHeightPercent + above));
    TodoList->resize(TodoList->width(), std::max(0, ToInt(h * CustomizationModule::CalendarAreaHeightPercent - above)));
    TodoList->SetColumnType(CheckColumn, ListBox::TypeCheckBox);
    TodoList->SetColumnAlignmentOffset(TextColumn, 2);
    new DoubleClickOnDelete(TodoList);

    // The to-do part of "Calendar.tpc"; the lines kept in memory instead when the file
    // cannot be read or the last save did not reach it, and when the file is still the one
    // this run last read or wrote with them (reading it would parse every event again).
    EventsFile::Contents contents;
    QStringList lines = App().keptTodoLines;
    const QString stamp = App().keptTodoLinesStamp;
    if (!App().todoLinesUnsaved && (stamp.isEmpty() || stamp != app::EventsFileStamp())) {
        switch (EventsFile::Read(app::EventsPath(), contents)) {
        case EventsFile::Status::Loaded: lines = contents.todoLines; break;
        case EventsFile::Status::Missing: lines.clear(); break;
        case EventsFile::Status::Unreadable: break;
        }
    }
    for (const QString& line : lines) {
        bool checked = false;
        QString text;
        EventsFile::ParseTodoLine(line, checked, text);
        const int row = TodoList->AddRow(QStringList{QString(), text});
        TodoList->SetCellCheck(row, CheckColumn, checked);
    }
    updateScrollBar(TodoList);
    AppTrayItem::StateChanged();
}

// Grey rows (the selected one darker), the text of a ticked item struck through and the
// delete mark in the last column. The empty places below the last row stay plain grey.
bool CalendarWindow::TodoList_CellBackgroundPaint(Graphics& g, int row, int column)
{
    const int w = TodoList->ColumnWidthActual(column);
    const int h = TodoList->RowHeight();
    g.SetForeColor(row == TodoList->ListIndex() ? QColor(180, 180, 180) : QColor(220, 220, 220));
    g.FillRect(0, 0, w, h);
    if (row >= TodoList->ListCount())
        return false;
    if (column == TextColumn && TodoList->CellCheck(row, CheckColumn)) {
        g.SetForeColor(QColor(10, 10, 10));
        g.DrawLine(3, 10, ToInt(g.StringWidth(TodoList->Cell(row, TextColumn))) + 6, 10);
    }
    if (column == DeleteColumn) {
        if (const PicturePtr mark = InterfacePictures::deletex())
            g.DrawPicture(mark, 4, 4);
    }
    return true;
}

// A press below the last row adds an item there; any other press is the list's.
bool CalendarWindow::TodoList_MouseDown(int /*x*/, int y)
{
    const int rowsShown = TodoList->ListCount() - TodoList->ScrollPosition();
    if (rowsShown * TodoList->RowHeight() < y) {
        addItem(TodoList, true);
        return true;
    }
    return false;
}

bool CalendarWindow::TodoList_CellClick(int row, int column, int /*x*/, int /*y*/)
{
    if (column == DeleteColumn) {
        TodoList->RemoveRow(row);
        TodoList->SetListIndex(-1);
        updateScrollBar(TodoList);
        AppTrayItem::StateChanged();
    } else if (column == TextColumn && row == TodoList->ListIndex()) {
        // A click on the text of the row that is already selected edits it.
        editText(TodoList, row);
    }
    return false;
}

void CalendarWindow::TodoList_DoubleClick(int /*x*/, int /*y*/)
{
    for (int row = 0; row < TodoList->ListCount(); ++row) {
        if (!TodoList->Selected(row))
            continue;
        // The press of the double click may already have opened that very cell.
        if (TodoList->IsEditing() && TodoList->EditRow() == row && TodoList->EditColumn() == TextColumn)
            TodoList->ActiveCell()->selectAll();
        else
            editText(TodoList, row);
        return;
    }
}

// A tick repaints the row's text with or without its line; an edit that leaves the text
// empty removes the item.
void CalendarWindow::TodoList_CellAction(int row, int column)
{
    if (row < 0 || row >= TodoList->ListCount())
        return;
    AppTrayItem::StateChanged();
    if (column == CheckColumn) {
        TodoList->InvalidateCell(row, TextColumn);
    } else if (column == TextColumn) {
        const QString text = TodoList->Cell(row, TextColumn);
        const QString clean = EventRecord::CleanText(text);
        if (clean != text)
            TodoList->SetCell(row, TextColumn, clean);
        if (clean.isEmpty()) {
            TodoList->RemoveRow(row);
            updateScrollBar(TodoList);
        }
    }
}

void CalendarWindow::TodoList_Change() { updateScrollBar(TodoList); }

// Every move is accepted; the list moves the row itself, before the tray menu follows.
bool CalendarWindow::TodoList_DragReorderRows(int /*newPosition*/, int /*parentRow*/)
{
    AppTrayItem::StateChanged();
    return false;
}

// ---- the header ----

// Directly below the first month list.
void CalendarWindow::ToDoListHeader_Open()
{
    const int h = availableHeight();
    ToDoListHeader->move(ToDoListHeader->x(), ToInt(h * CustomizationModule::TitleAreaHeightPercent
                                                    + GlanceHeader->height() + MiniCalListAt(0)->height()));
}

void CalendarWindow::ToDoListHeader_Paint(Graphics& g)
{
    if (const PicturePtr band = InterfacePictures::glanceHeader2())
        g.DrawPicture(band, 0, 0, ToDoListHeader->width(), ToDoListHeader->height(), 0, 0, band->Width(), band->Height());
    g.SetForeColor(QColor(254, 254, 254));
    g.SetTextSize(11);
    g.SetBold(true);
    g.DrawString(QStringLiteral("To Do List"), 16, 14);
    g.SetTextFont(QStringLiteral("Optima Extra Black"));
    g.SetTextSize(20);
    g.SetBold(true);
    g.DrawString(QStringLiteral("+"), 150, 18);
}

// The whole header adds an item (the "+" only shows where).
bool CalendarWindow::ToDoListHeader_MouseDown(int /*x*/, int /*y*/)
{
    addItem(TodoList, false);
    return true;
}
