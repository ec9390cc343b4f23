#pragma once
#include "framework/Window.h"
#include "framework/WindowAccessor.h"
#include <QUrl>

class Graphics;
class QLabel;
class StaticTexts;

// The about window of a partner's edition (branding "customAboutWindow"): a title line,
// the maker's and the partner's names, a sales paragraph with the partner's contact
// details, a contact e-mail link that opens a new mail message, the version and a
// copyright line. Every text but the version is fixed. Floats above every application.
class AboutWindowCustom : public Window
{
    Q_OBJECT
public:
    AboutWindowCustom();
    ~AboutWindowCustom() override;

    static AboutWindowCustom* Instance() { return WindowAccessor<AboutWindowCustom>::Get(); }
    static AboutWindowCustom* Existing() { return WindowAccessor<AboutWindowCustom>::Existing(); }

    // The version as four numbers joined by "." (major, minor, bug, non-release; a missing
    // number counts as 0): "1.0.0" gives "1.0.0.0".
    static QString VersionText(const QString& version);
    // The mail link for an address: "mailto:" and the address without surrounding blanks,
    // percent-encoded; an empty link for an empty address.
    static QUrl MailLink(const QString& address);

    // ---- controls, in creation order ----
    StaticTexts* StaticTextsAt(int index) const { return index >= 0 && index < 3 ? m_staticTexts[index] : nullptr; }
    QLabel* OrginizationText = nullptr;
    QLabel* Copyright = nullptr;
    QLabel* url = nullptr;
    QLabel* versionText = nullptr;

    // ---- handlers ----
    void OrginizationText_Open() {}
    bool url_MouseDown(int x, int y);
    void url_MouseExit();
    void url_MouseEnter();
    void versionText_Open();
    void Event_Paint(Graphics&) {}

protected:
    void Event_Open() override;
    bool eventFilter(QObject* watched, QEvent* event) override;


private:
    void Layout();
    void CreateControls();
    void _CreateControls0();
    void AddMenuHandlers() {}

    StaticTexts* m_staticTexts[3] = {nullptr, nullptr, nullptr};
};
