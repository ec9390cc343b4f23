#include "glance/PagePrinter.h"
#include "framework/TextFunctions.h"
#include "framework/Window.h"
#include <QImage>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>

namespace {
PagePrinter::Interceptor& interceptor()
{
    static PagePrinter::Interceptor current;
    return current;
}

// The other side for a side scaled to length, the aspect of from kept.
int scaledSide(int other, int side, int length) { return side > 0 ? ToInt(double(other) * length / side) : 0; }
} // namespace

PagePrinter::Interceptor PagePrinter::SetInterceptor(Interceptor replacement)
{
    Interceptor previous = interceptor();
    interceptor() = std::move(replacement);
    return previous;
}

bool PagePrinter::Ask(Dialog dialog, QPrinter& printer, QWidget* parent)
{
    if (const Interceptor answer = interceptor())
        return answer(dialog, printer);
    // Either dialog blocks every other window: minimised, it could not be brought back.
    if (dialog == Dialog::PageSetup) {
        QPageSetupDialog setup(&printer, parent);
        setup.winId();
        Window::KeepToFrame(&setup);
        return setup.exec() == QDialog::Accepted;
    }
    QPrintDialog print(&printer, parent);
    print.winId();
    Window::KeepToFrame(&print);
    return print.exec() == QDialog::Accepted;
}

PagePrinter::Placement PagePrinter::Place(const QSize& picture, const QSize& page)
{
    Placement placement;
    placement.turned = page.height() >= page.width();
    const int longSide = std::max(page.width(), page.height());
    const int shortSide = std::min(page.width(), page.height());
    int w = longSide;
    int h = scaledSide(picture.height(), picture.width(), longSide);
    if (h > shortSide) {
        h = shortSide;
        w = scaledSide(picture.width(), picture.height(), shortSide);
    }
    placement.size = QSize(w, h);
    return placement;
}

void PagePrinter::Draw(QPainter& painter, const QImage& picture, const QSize& page)
{
    const Placement placement = Place(picture.size(), page);
    if (placement.size.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (placement.turned) {
        painter.translate(0, placement.size.width());
        painter.rotate(-90);
    }
    painter.drawImage(QRect(QPoint(0, 0), placement.size), picture);
    painter.restore();
}

QString PagePrinter::SetupString(const QPageLayout& layout)
{
    const QSizeF paper = layout.pageSize().size(QPageSize::Point);
    const QMarginsF m = layout.margins(QPageLayout::Point);
    return QStringLiteral("%1x%2;%3;%4,%5,%6,%7")
        .arg(paper.width()).arg(paper.height())
        .arg(layout.orientation() == QPageLayout::Landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"))
        .arg(m.left()).arg(m.top()).arg(m.right()).arg(m.bottom());
}

bool PagePrinter::ApplySetupString(const QString& text, QPageLayout& layout)
{
    const QStringList parts = text.split(QLatin1Char(';'));
    if (parts.size() != 3)
        return false;
    const QStringList paper = parts[0].split(QLatin1Char('x'));
    const QStringList margins = parts[2].split(QLatin1Char(','));
    if (paper.size() != 2 || margins.size() != 4)
        return false;
    bool ok = true;
    auto number = [&ok](const QString& s) {
        bool good = false;
        const double value = s.toDouble(&good);
        ok = ok && good && value >= 0;
        return value;
    };
    const QSizeF size(number(paper[0]), number(paper[1]));
    const QMarginsF m(number(margins[0]), number(margins[1]), number(margins[2]), number(margins[3]));
    if (!ok || size.isEmpty() || (parts[1] != QLatin1String("portrait") && parts[1] != QLatin1String("landscape")))
        return false;
    QPageLayout result(QPageSize(size, QPageSize::Point, QString(), QPageSize::FuzzyMatch),
                       parts[1] == QLatin1String("landscape") ? QPageLayout::Landscape : QPageLayout::Portrait,
                       m, QPageLayout::Point);
    if (!result.isValid())
        return false;
    layout = result;
    return true;
}
