// The floor of the start-up benchmark: the least a Qt 6 Widgets program does to show a
// frameless window named "Calendar" over the screen's work area and paint it once, with
// one line of text (the first text reads the font database, which any program that
// shows text pays, and more of with more fonts installed).
#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace {
class FloorWindow : public QWidget
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(18, 48, 82));
        painter.setPen(Qt::white);
        painter.drawText(QPointF(20, 40), QStringLiteral("Calendar"));
    }
};
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    FloorWindow window;
    window.setWindowTitle(QStringLiteral("Calendar"));
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    window.show();
    return application.exec();
}
