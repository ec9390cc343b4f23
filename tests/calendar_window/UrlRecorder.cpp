#include "UrlRecorder.h"
#include <QDesktopServices>
#include <QUrl>

namespace {
const char* const kSchemes[] = {"http", "https", "mailto", "file", "javascript", "ftp"};

class Receiver : public QObject
{
    Q_OBJECT
public:
    explicit Receiver(QStringList* opened) : m_opened(opened) {}

public slots:
    void open(const QUrl& url) { m_opened->append(url.toString()); }

private:
    QStringList* m_opened;
};
} // namespace

UrlRecorder::UrlRecorder() : m_receiver(std::make_unique<Receiver>(&opened))
{
    for (const char* scheme : kSchemes)
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), m_receiver.get(), "open");
}

UrlRecorder::~UrlRecorder()
{
    for (const char* scheme : kSchemes)
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

#include "UrlRecorder.moc"
