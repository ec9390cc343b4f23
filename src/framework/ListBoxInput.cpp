// The list's input: in-place editing, the mouse (clicks, check boxes, drag reordering),
// the wheel and the keys.
#include "framework/Graphics.h"
#include "framework/ListBox.h"
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

constexpr int DragThreshold = 4;

QPoint localPoint(const QPointF& p)
{
    return QPoint(int(std::floor(p.x())), int(std::floor(p.y())));
}

} // namespace

// ---------------------------------------------------------------- editing

void ListBox::EditCell(int row, int column)
{
    checkCell(row, column);
    if (m_editor) {
        m_pendingEditRow = row;
        EndEdit(true);   // may raise CellAction, which may add or remove rows
        row = m_pendingEditRow;
        m_pendingEditRow = -1;
        if (row < 0 || row >= ListCount() || column >= m_columnCount)
            return;
    }
    auto* editor = new QLineEdit(this);
    editor->setFont(Graphics::WithEmoji(ListFont()));
    editor->setFrame(false);
    editor->setText(m_rows[row].cells[column].text);
    m_editor = editor;
    m_editRow = row;
    m_editColumn = column;
    QRect r = CellRect(row, column);
    editor->setGeometry(r);
    editor->installEventFilter(this);
    connect(editor, &QLineEdit::returnPressed, this, [this, editor]() {
        if (m_editor == editor)
            EndEdit(true);
    });
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    InvalidateCell(row, column);
    if (const auto handler = CellGotFocus)
        handler(row, column);
}

QLineEdit* ListBox::ActiveCell() const
{
    return m_editor;
}

void ListBox::EndEdit(bool commit)
{
    if (!m_editor)
        return;
    QLineEdit* editor = m_editor;
    m_editor = nullptr;
    const int row = m_editRow, column = m_editColumn;
    m_editRow = m_editColumn = -1;
    editor->removeEventFilter(this);
    const QString text = editor->text();
    if (editor->hasFocus())
        setFocus(Qt::OtherFocusReason);
    editor->hide();
    editor->deleteLater();
    if (row < 0 || row >= ListCount() || column >= m_columnCount)
        return;
    if (commit)
        m_rows[row].cells[column].text = text;
    InvalidateCell(row, column);
    QPointer<ListBox> self(this);
    if (const auto handler = CellLostFocus)
        handler(row, column);
    if (!self || row >= ListCount())
        return;
    if (const auto handler = CellAction)
        handler(row, column);
}

bool ListBox::eventFilter(QObject* watched, QEvent* event)
{
    if (m_editor && watched == m_editor) {
        if (event->type() == QEvent::FocusOut) {
            // Another control took the focus: the edit ends. The window losing the
            // activation (another window, a pop-up menu) leaves it open.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                EndEdit(true);
        } else if (event->type() == QEvent::KeyPress
                   && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            EndEdit(false);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- mouse and keys

void ListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    QPointer<ListBox> self(this);
    EndEdit(true);
    if (!self)
        return;
    const QPoint p = localPoint(event->position());
    m_mouseTaken = false;
    m_dragRow = -1;
    m_dragging = false;
    m_dropPosition = -1;

    if (const auto handler = MouseDown) {
        const bool taken = handler(p.x(), p.y());
        if (!self)
            return;
        if (taken) {
            m_mouseTaken = true;
            return;
        }
    }
    int row = RowFromXY(p.x(), p.y());
    const int column = ColumnFromXY(p.x(), p.y());
    if (row >= 0 && column >= 0) {
        if (const auto handler = CellClick) {
            const int revision = m_structureRevision;
            const QRect cell = CellRect(row, column);
            const bool handled = handler(row, column, p.x() - cell.x(), p.y() - cell.y());
            if (!self)
                return;
            // A handler that added or removed rows has dealt with the click itself.
            if (handled || revision != m_structureRevision)
                return;
        }
    }
    if (row < 0 || column < 0 || row >= ListCount()) {
        if (p.y() >= headingHeight())
            setListIndexInternal(-1);
        return;
    }
    setListIndexInternal(row);
    if (!self || row >= ListCount())
        return;
    const int type = EffectiveCellType(row, column);
    if (type == TypeCheckBox) {
        m_rows[row].cells[column].check = !m_rows[row].cells[column].check;
        InvalidateCell(row, column);
        if (const auto handler = CellAction)
            handler(row, column);
        if (!self)
            return;
    } else if (type == TypeEditable) {
        EditCell(row, column);
    }
    if (m_enableDragReorder && row < ListCount()) {
        m_dragRow = row;
        m_pressPoint = p;
    }
}

void ListBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = localPoint(event->position());
    if (event->buttons() == Qt::NoButton) {
        if (const auto handler = MouseMove)
            handler(p.x(), p.y());
        return;
    }
    if (m_mouseTaken) {
        if (const auto handler = MouseDrag)
            handler(p.x(), p.y());
        return;
    }
    if (m_dragRow < 0)
        return;
    if (!m_dragging) {
        if ((p - m_pressPoint).manhattanLength() < DragThreshold)
            return;
        const int revision = m_structureRevision;
        EndEdit(true);
        if (revision != m_structureRevision || m_dragRow >= ListCount()) {
            m_dragRow = -1;
            return;
        }
        m_dragging = true;
    }
    const int rh = RowHeight();
    const int place = m_scrollPosition + int(std::lround(double(p.y() - headingHeight()) / rh));
    m_dropPosition = std::clamp(place, 0, ListCount());
    update();
}

void ListBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPoint p = localPoint(event->position());
    if (m_mouseTaken) {
        m_mouseTaken = false;
        if (const auto handler = MouseUp)
            handler(p.x(), p.y());
        return;
    }
    const bool dragging = m_dragging;
    const int from = m_dragRow, drop = m_dropPosition;
    m_dragging = false;
    m_dragRow = -1;
    m_dropPosition = -1;
    if (!dragging || from < 0 || from >= ListCount() || drop < 0)
        return;
    update();
    const int newPosition = std::min(drop > from ? drop - 1 : drop, ListCount() - 1);
    if (newPosition == from)
        return;
    QPointer<ListBox> self(this);
    if (const auto handler = DragReorderRows) {
        const bool handled = handler(newPosition, -1);
        if (!self || handled || from >= ListCount() || newPosition >= ListCount())
            return;
    }
    moveRow(from, newPosition);
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QPointer<ListBox> self(this);
    mousePressEvent(event);
    if (!self || m_mouseTaken || event->button() != Qt::LeftButton)
        return;
    const QPoint p = localPoint(event->position());
    if (const auto handler = DoubleClick)
        handler(p.x(), p.y());
}

void ListBox::wheelEvent(QWheelEvent* event)
{
    m_wheelRestX += -event->angleDelta().x();
    m_wheelRestY += -event->angleDelta().y();
    const int notchesX = m_wheelRestX / 120;
    const int notchesY = m_wheelRestY / 120;
    m_wheelRestX -= notchesX * 120;
    m_wheelRestY -= notchesY * 120;
    if (notchesX == 0 && notchesY == 0) {
        event->accept();
        return;
    }
    const QPoint p = localPoint(event->position());
    if (const auto handler = MouseWheel) {
        if (handler(p.x(), p.y(), notchesX, notchesY)) {
            event->accept();
            return;
        }
    }
    if (notchesY != 0 && maxScrollPosition() > 0) {
        SetScrollPosition(m_scrollPosition + 3 * notchesY);
        event->accept();
    } else {
        event->ignore();
    }
}

void ListBox::keyPressEvent(QKeyEvent* event)
{
    if (const auto handler = KeyDown) {
        if (handler(event)) {
            event->accept();
            return;
        }
    }
    if (event->key() == Qt::Key_Up && ListCount() > 0) {
        setListIndexInternal(m_listIndex <= 0 ? 0 : m_listIndex - 1);
    } else if (event->key() == Qt::Key_Down && ListCount() > 0) {
        setListIndexInternal(std::min(ListCount() - 1, m_listIndex + 1));
    } else {
        event->ignore();
        return;
    }
    const int fullRows = std::max(1, (height() - headingHeight()) / RowHeight());
    if (m_listIndex < m_scrollPosition)
        SetScrollPosition(m_listIndex);
    else if (m_listIndex >= m_scrollPosition + fullRows)
        SetScrollPosition(m_listIndex - fullRows + 1);
}

void ListBox::enterEvent(QEnterEvent*)
{
    if (const auto handler = MouseEnter)
        handler();
}

void ListBox::leaveEvent(QEvent*)
{
    if (const auto handler = MouseExit)
        handler();
}
