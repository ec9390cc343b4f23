// The home button at the left of the title area, and the menu toggle strip (created hidden;
// nothing shows it, but it is set up and behaves as a strip would when shown).
#include "calendar_window/CalendarWindow.h"
#include "framework/ShowURL.h"
#include "calendar_window/cCanvas.h"
#include "framework/Graphics.h"
#include "framework/Picture.h"
#include "framework/TextFunctions.h"
#include "framework/WorkArea.h"
#include "shell/CustomizationModule.h"
#include "shell/InterfacePictures.h"
#include <QGuiApplication>
#include <QScreen>
#include <utility>

namespace {
int availableHeight() { return WorkArea::Rect().height(); }

// The Dravel edition keeps the normal face and shows the pointing finger instead.
bool isDravel() { return InStr(CustomizationModule::applicationName, QStringLiteral("Dravel")) > 0; }

void setLabelFont(Graphics& g, const QColor& colour)
{
    CalendarWindow::UseHomeLabelFont(g);
    g.SetForeColor(colour);
}

// One face of the home button: face drawn whole, the label "Home" in colour at labelX on
// baseline 15, and a mask of homeButtonMask with the label in black, so that the label's
// pixels are opaque whatever the mask holds there.
PicturePtr homeFace(const PicturePtr& face, int width, int height, const QColor& colour, int labelX)
{
    const QString label = QStringLiteral("Home");
    const PicturePtr picture = Picture::New(width, height, 32);
    if (face)
        picture->Graphics().DrawPicture(face, 0, 0);
    Graphics& mask = picture->Mask()->Graphics();
    if (const PicturePtr shape = InterfacePictures::homeButtonMask())
        mask.DrawPicture(shape, 0, 0);
    setLabelFont(mask, QColor(0, 0, 0));
    mask.DrawString(label, labelX, 15);
    Graphics& g = picture->Graphics();
    setLabelFont(g, colour);
    g.DrawString(label, labelX, 15);
    return picture;
}
} // namespace

// ---- home button ----

void CalendarWindow::UseHomeLabelFont(Graphics& g)
{
    g.SetTextStyle(QStringLiteral("Tahoma"), 13, true);
}

void CalendarWindow::HomeButton_Open()
{
    if (!CustomizationModule::includeHomeButton)
        return;
    const PicturePtr normal = InterfacePictures::homeButtonNormal();
    if (!normal || normal->Width() <= 0 || normal->Height() <= 0)
        return;
    if (HomeButton->parentWidget() != this)
        HomeButton->setParent(this);
    const int width = normal->Width();
    const int height = normal->Height();
    const int top = ToInt(availableHeight() * CustomizationModule::TitleAreaHeightPercent / 2 - height / 2.0);
    HomeButton->setGeometry(HomeButton->x(), top, width, height);
    HomeButton->setVisible(true);
    HomeButton->setEnabled(true);
    HomeButton->SetHelpTag(QStringLiteral("Goto ") + CustomizationModule::vendorURL);

    // The label's place is measured once, in the label's font, and serves all three faces.
    const PicturePtr scratch = Picture::New(1, 1, 32);
    setLabelFont(scratch->Graphics(), QColor(0, 0, 0));
    const int labelWidth = ToInt(scratch->Graphics().StringWidth(QStringLiteral("Home")));
    const int labelX = ToInt(width / 2.0 - labelWidth / 2.0);
    m_homeLabelX = labelX;
    HomeButtonN = homeFace(normal, width, height, CustomizationModule::homeTextColor, labelX);
    // The mouse-over and pressed faces are made when first shown (homeButtonFace).
    HomeButtonMO = HomeButtonMD = nullptr;
    HomeButton->cachedImage = HomeButtonN;
}

PicturePtr CalendarWindow::homeButtonFace(bool pressed)
{
    PicturePtr& face = pressed ? HomeButtonMD : HomeButtonMO;
    if (!face && HomeButtonN) {
        const PicturePtr picture = pressed ? InterfacePictures::homeButtonMouseDown() : InterfacePictures::homeButtonMouseOver();
        face = homeFace(picture, HomeButtonN->Width(), HomeButtonN->Height(), QColor(255, 255, 254), m_homeLabelX);
    }
    return face;
}

void CalendarWindow::HomeButton_Paint(Graphics& g)
{
    if (HomeButton->cachedImage)
        g.DrawPicture(HomeButton->cachedImage, 0, 0);
}

void CalendarWindow::HomeButton_MouseEnter()
{
    m_homeReleasedOutside = false;
    if (isDravel()) {
        HomeButton->SetMouseCursor(Qt::PointingHandCursor);
        return;
    }
    HomeButton->cachedImage = homeButtonFace(false);
    HomeButton->Refresh(true);
}

void CalendarWindow::HomeButton_MouseExit()
{
    if (isDravel()) {
        HomeButton->unsetCursor();
        return;
    }
    // The pointer left while the button was held down; the release has shown the
    // mouse-over face, and it stays.
    if (std::exchange(m_homeReleasedOutside, false))
        return;
    HomeButton->cachedImage = HomeButtonN;
    HomeButton->Refresh(true);
}

bool CalendarWindow::HomeButton_MouseDown(int, int)
{
    m_homeReleasedOutside = false;
    if (!isDravel()) {
        HomeButton->cachedImage = homeButtonFace(true);
        HomeButton->Refresh(true);
    }
    return true;
}

void CalendarWindow::HomeButton_MouseUp(int x, int y)
{
    m_homeReleasedOutside = !HomeButton->rect().contains(x, y);
    if (!isDravel()) {
        HomeButton->cachedImage = homeButtonFace(false);
        HomeButton->Refresh(true);
    }
    ShowURL(CustomizationModule::homeButtonLink);
}

// ---- menu toggle strip ----

void CalendarWindow::drawMenuToggle(const PicturePtr& source, bool frameB)
{
    PicturePtr& toggle = MenuBarCanvas->cachedImage;
    if (!toggle)
        toggle = Picture::New(14, 14, 32);
    if (source) {
        if (frameB)
            toggle->Graphics().DrawPicture(source, 0, 0, 14, 14, 16, 0, 14, 14);
        else
            toggle->Graphics().DrawPicture(source, 0, 0);
    }
    if (const PicturePtr mask = InterfacePictures::menutoggleMask2())
        toggle->Mask()->Graphics().DrawPicture(mask, 0, 0);
}

void CalendarWindow::MenuBarCanvas_Open()
{
    if (MenuBarCanvas->parentWidget() != this)
        MenuBarCanvas->setParent(this);
    const int top = ToInt(availableHeight() * CustomizationModule::TitleAreaHeightPercent - MenuBarCanvas->height() - 2);
    MenuBarCanvas->move(MenuBarCanvas->x(), top);
    MenuBarCanvas->cachedImage = Picture::New(14, 14, 32);
    drawMenuToggle(InterfacePictures::menutoggle2(), false);
}

void CalendarWindow::MenuBarCanvas_Paint(Graphics& g)
{
    const int w = MenuBarCanvas->width();
    const int h = MenuBarCanvas->height();
    if (const PicturePtr bar = InterfacePictures::menuButtons())
        g.DrawPicture(bar, 0, 0, w, h, 0, 0, 5, h);
    g.SetForeColor(QColor(255, 255, 255));
    g.SetTextFont(QStringLiteral("Tahoma"));
    g.SetTextSize(10);
    g.SetBold(true);
    g.DrawString(QStringLiteral("    File   Help           Home"), 3, 11);
}

void CalendarWindow::MenuBarCanvas_MouseEnter()
{
    drawMenuToggle(InterfacePictures::menutoggleMouseover2(), !MenuBarCanvas->isHidden());
    MenuBarCanvas->SetBackdrop(MenuBarCanvas->cachedImage);
}

void CalendarWindow::MenuBarCanvas_MouseExit()
{
    drawMenuToggle(InterfacePictures::menutoggle2(), !MenuBarCanvas->isHidden());
    MenuBarCanvas->SetBackdrop(MenuBarCanvas->cachedImage);
}

bool CalendarWindow::MenuBarCanvas_MouseDown(int, int)
{
    const bool show = MenuBarCanvas->isHidden();
    MenuBarCanvas->setVisible(show);
    drawMenuToggle(InterfacePictures::menutoggle2(), show);
    MenuBarCanvas->SetBackdrop(MenuBarCanvas->cachedImage);
    return false;
}
