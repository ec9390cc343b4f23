#pragma once
#include "framework/Window.h"
#include "framework/WindowAccessor.h"
#include <QStringList>

class HelpEdit;
class ListBox;
class QPlainTextEdit;
class QStackedWidget;
class QTabWidget;

// "Calendar Help": six fixed help pages beside a contents list; choosing a topic shows its
// page. The window floats above the program's other windows.
class HelpWindow : public Window
{
    Q_OBJECT
public:
    HelpWindow();
    ~HelpWindow() override;

    static HelpWindow* Instance() { return WindowAccessor<HelpWindow>::Get(); }
    static HelpWindow* Existing() { return WindowAccessor<HelpWindow>::Existing(); }

    // The six rows of the contents list, in page order.
    static QStringList ContentsTexts();
    // The text of a page (0 to 5): its heading, an empty line, then paragraphs separated by
    // empty lines.
    static QString PageText(int page);

    // ---- controls, in creation order ----
    QTabWidget* TabPanel1 = nullptr;
    ListBox* ContentsList = nullptr;
    QStackedWidget* PagePanel1 = nullptr;
    HelpEdit* HelpEditAt(int index) const { return index >= 0 && index < 5 ? m_helpEdit[index] : nullptr; }
    QPlainTextEdit* EditField1 = nullptr;
    // The field shown on a page.
    QPlainTextEdit* PageField(int page) const;

    // ---- handlers ----
    void ContentsList_Open();
    void ContentsList_Change();

protected:
    void Event_Open() override;


private:
    void Layout();
    void CreateControls();
    void _CreateControls0();
    void AddMenuHandlers() {}
    QPlainTextEdit* makePageField(QPlainTextEdit* field, int page, const QRect& frame);

    HelpEdit* m_helpEdit[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
};
