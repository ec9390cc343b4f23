#pragma once
#include "framework/Window.h"
#include "framework/WindowAccessor.h"
#include <QUrl>

class Canvas;
class Graphics;
class QLabel;
class QWidget;

// "About Calendar": the edition's name, the product logo with a link to the maker's web
// site, the program's version and the copyright lines. Floats above the program's other
// windows.
class AboutWindow : public Window
{
    Q_OBJECT
public:
    AboutWindow();
    ~AboutWindow() override;

    static AboutWindow* Instance() { return WindowAccessor<AboutWindow>::Get(); }
    static AboutWindow* Existing() { return WindowAccessor<AboutWindow>::Existing(); }

    // The maker's web address that a click on the logo opens.
    static QUrl MakerURL();

    // ---- controls, in creation order ----
    QLabel* Copyright = nullptr;
    Canvas* LMCanvas = nullptr;
    QLabel* OrginizationText = nullptr;
    QWidget* PatchRect = nullptr;
    QLabel* StaticText1 = nullptr;
    QLabel* versionText = nullptr;

    // ---- handlers ----
    void Copyright_Open();
    void LMCanvas_MouseExit();
    bool LMCanvas_MouseDown(int x, int y);
    void LMCanvas_Paint(Graphics& g);
    void LMCanvas_MouseEnter();
    void LMCanvas_Open();
    void OrginizationText_Open();
    void versionText_Open();

protected:
    void Event_Open() override;


private:
    void Layout();
    void CreateControls();
    void _CreateControls0();
    void AddMenuHandlers() {}
};
