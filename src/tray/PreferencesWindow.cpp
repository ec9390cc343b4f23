#include "tray/PreferencesWindow.h"
#include "calendar_window/CalendarWindow.h"
#include "framework/Files.h"
#include "framework/Graphics.h"
#include "framework/MessageBox.h"
#include "framework/TextFunctions.h"
#include "shell/CustomizationModule.h"
#include "shell/app.h"
#include "tray/AppTrayItem.h"
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QWindow>

namespace {

QString& folderOverride()
{
    static QString folder;
    return folder;
}

// The name of a folder path (its last element).
QString folderName(const QString& path) { return path.isEmpty() ? QString() : QFileInfo(path).fileName(); }

QFont systemFont(int size = 0) { return Graphics::MakeFont(QStringLiteral("System"), size); }

} // namespace

PreferencesWindow::PreferencesWindow()
{
    SetShowsInFront(true);
    Layout();
    CreateControls();
    AddMenuHandlers();
}

PreferencesWindow::~PreferencesWindow() = default;

QString PreferencesWindow::ApplicationFolder()
{
    return folderOverride().isEmpty() ? CustomizationModule::ApplicationFolder() : folderOverride();
}

void PreferencesWindow::SetApplicationFolder(const QString& folder) { folderOverride() = folder; }

void PreferencesWindow::Layout()
{
    // A movable modal dialog without a close box: OK is the way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QStringLiteral("Calendar Preferences"));
    setFixedSize(414, 190);
}

void PreferencesWindow::CreateControls() { _CreateControls0(); }

void PreferencesWindow::_CreateControls0()
{
    TabPanel1 = new QTabWidget(this);
    TabPanel1->setObjectName(QStringLiteral("TabPanel1"));
    TabPanel1->addTab(new QWidget(TabPanel1), QStringLiteral("General"));
    TabPanel1->tabBar()->setFont(systemFont(11));
    TabPanel1->setFocusPolicy(Qt::NoFocus);
    AddControl(TabPanel1, QRect(8, 9, 399, 150), LockLeft | LockTop);

    // The controls of the "General" tab lie over it, in window coordinates.
    ShowCountdownCB = new QCheckBox(QStringLiteral("Show countdown calendar at startup"), this);
    ShowCountdownCB->setObjectName(QStringLiteral("ShowCountdownCB"));
    ShowCountdownCB->setFont(systemFont());
    AddControl(ShowCountdownCB, QRect(32, 97, 252, 20), LockLeft | LockTop, [this] { ShowCountdownCB_Open(); });

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setFont(systemFont());
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Action(); });
    AddControl(OKButton, QRect(330, 163, 76, 20), LockRight | LockBottom, [this] { OKButton_Open(); });

    InstallSysTrayCB = new QCheckBox(QStringLiteral("Install Lumora Calendar icon in system tray"), this);
    InstallSysTrayCB->setObjectName(QStringLiteral("InstallSysTrayCB"));
    InstallSysTrayCB->setFont(systemFont());
    AddControl(InstallSysTrayCB, QRect(32, 119, 340, 25), LockLeft | LockTop, [this] { InstallSysTrayCB_Open(); });

    DefaultCalendarPopup = new QComboBox(this);
    DefaultCalendarPopup->setObjectName(QStringLiteral("DefaultCalendarPopup"));
    DefaultCalendarPopup->setFont(systemFont());
    connect(DefaultCalendarPopup, &QComboBox::currentIndexChanged, this, [this] { DefaultCalendarPopup_Change(); });
    AddControl(DefaultCalendarPopup, QRect(34, 65, 240, 20), LockLeft | LockTop, [this] { DefaultCalendarPopup_Open(); });

    StaticText1 = new QLabel(QStringLiteral("Default Calendar:"), this);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->setFont(systemFont());
    QPalette p = StaticText1->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 0));
    StaticText1->setPalette(p);
    AddControl(StaticText1, QRect(32, 42, 125, 20), LockLeft | LockTop);
}

void PreferencesWindow::Event_Open()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Left and Top place the window's content area, not its frame.
    setGeometry(QRect(QPoint(screen.left() + ToInt(screen.width() / 2.0 - width() / 2.0),
                             screen.top() + ToInt(screen.height() / 2.0 - height() / 2.0)), size()));
}

void PreferencesWindow::ShowCountdownCB_Open() { ShowCountdownCB->setChecked(App().showCoundownCalendar); }

void PreferencesWindow::InstallSysTrayCB_Open()
{
    InstallSysTrayCB->setVisible(false);
    InstallSysTrayCB->setChecked(App().installSysTray);
}

void PreferencesWindow::DefaultCalendarPopup_Open()
{
    const QString current = CustomizationModule::DefaultCalendarFolder;
    if (current.isEmpty() || !Files::Exists(current))
        return;
    int selected = -1;
    {
        // Adding rows selects nothing: only the default's row is selected, below.
        const QSignalBlocker blocker(DefaultCalendarPopup);
        for (const QString& name : CustomizationModule::BrandingFolders(ApplicationFolder())) {
            DefaultCalendarPopup->addItem(name);
            if (name == folderName(current))
                selected = DefaultCalendarPopup->count() - 1;
        }
        DefaultCalendarPopup->setCurrentIndex(-1);
    }
    if (selected >= 0)
        DefaultCalendarPopup->setCurrentIndex(selected);
}

void PreferencesWindow::DefaultCalendarPopup_Change()
{
    const QString name = DefaultCalendarPopup->currentText();
    if (DefaultCalendarPopup->currentIndex() < 0 || name == folderName(CustomizationModule::DefaultCalendarFolder))
        return;
    // Only a plain folder name beside the program; it must still hold "calspc.dat".
    const QString base = ApplicationFolder();
    const QString folder = Files::Child(base, name);
    if (!folder.isEmpty() && Files::IsFolder(folder) && Files::Exists(Files::Child(folder, QStringLiteral("calspc.dat")))
        && !WriteDefaultCalendar(base, folderName(folder))) {
        // The choice did not reach the file, which the branding reader follows: the pop-up
        // shows the calendar in use again, and OK rebuilds nothing.
        const QSignalBlocker quiet(DefaultCalendarPopup);
        DefaultCalendarPopup->setCurrentIndex(
            DefaultCalendarPopup->findText(folderName(CustomizationModule::DefaultCalendarFolder)));
        return;
    }
    CustomizationModule::DefaultCalendarFolder = folder;
    defaultCalendarChanged = true;
}

bool PreferencesWindow::WriteDefaultCalendar(const QString& folder, const QString& name)
{
    QString error;
    const QString path = Files::Child(folder, QStringLiteral("caldef.dat"));
    if (Files::IsPlainName(name) && Files::WriteAtomic(path, (name + QLatin1Char('\n')).toUtf8(), &error))
        return true;
    MsgBox(QStringLiteral("The default calendar could not be saved: %1").arg(error.isEmpty() ? path : error));
    return false;
}

void PreferencesWindow::OKButton_Action()
{
    app& application = App();
    bool changed = false;
    if (ShowCountdownCB->isChecked() != application.showCoundownCalendar) {
        application.showCoundownCalendar = ShowCountdownCB->isChecked();
        changed = true;
    } else if (InstallSysTrayCB->isChecked() != application.installSysTray) {
        application.installSysTray = InstallSysTrayCB->isChecked();
        if (application.installSysTray) {
            // A removed item left from before is replaced, not shown twice.
            delete application.mAppTrayItem;
            application.mAppTrayItem = new AppTrayItem();
            application.mAppTrayItem->Install();
        } else if (application.mAppTrayItem) {
            application.mAppTrayItem->Remove();
        }
        changed = true;
    }
    if (changed)
        application.PutPrefs();

    QPointer<PreferencesWindow> self(this);
    if (defaultCalendarChanged) {
        if (windowHandle())
            windowHandle()->setTransientParent(nullptr);
        if (CalendarWindow* calendar = CalendarWindow::Existing())
            calendar->CloseWindow();
        // The branding reader ends the program when no branding is left to read.
        if (!CustomizationModule::CustomizeCalendar() || application.Closing)
            return;
        CalendarWindow::Instance()->show();
    }
    if (self)
        self->CloseWindow();
}

bool PreferencesWindow::Event_KeyDown(QKeyEvent* event)
{
    // Return presses the default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OKButton->click();
        return true;
    }
    return false;
}

void PreferencesWindow::ShowWithin(QWidget* parent)
{
    if (parent && parent->window()->windowHandle()) {
        winId();
        windowHandle()->setTransientParent(parent->window()->windowHandle());
    }
    show();
    activateWindow();
}

