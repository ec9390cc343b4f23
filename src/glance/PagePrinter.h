#pragma once
#include <QSize>
#include <QString>
#include <functional>

class QImage;
class QPageLayout;
class QPainter;
class QPrinter;
class QWidget;

// The page setup and print dialogs, and where the calendar's picture goes on the page.
// Tests (and anything that must not block) install an interceptor that answers the dialogs
// in the user's place: it gets the printer the dialog would show, may change it as the user
// would, and returns whether the dialog was confirmed.
class PagePrinter
{
public:
    enum class Dialog { PageSetup, Print };
    using Interceptor = std::function<bool(Dialog dialog, QPrinter& printer)>;
    // Installs an interceptor (none to show real dialogs again); returns the previous one.
    static Interceptor SetInterceptor(Interceptor interceptor);
    // Shows the dialog for printer over parent (or hands it to the interceptor); true when
    // the user confirmed it.
    static bool Ask(Dialog dialog, QPrinter& printer, QWidget* parent = nullptr);

    // The picture on a page of page size: its width along the page's long side with its
    // aspect kept, made smaller still when its height would not fit the short side, so the
    // whole picture is on the page. On a portrait page it is turned a quarter (size is
    // then the size before turning).
    struct Placement {
        QSize size;
        bool turned = false;
    };
    static Placement Place(const QSize& picture, const QSize& page);
    // Draws picture placed so on the page (painter's origin at its top-left corner),
    // smoothly scaled; turned anticlockwise, so that its top runs along the page's left edge.
    static void Draw(QPainter& painter, const QImage& picture, const QSize& page);

    // The page setup as text (paper size, orientation and margins, in points), and back.
    // An empty or unreadable text leaves layout as it is and gives false.
    static QString SetupString(const QPageLayout& layout);
    static bool ApplySetupString(const QString& text, QPageLayout& layout);
};
