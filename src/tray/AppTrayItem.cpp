#include "tray/AppTrayItem.h"
#include "framework/Date.h"
#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

AppTrayItem::AppTrayItem() : m_icon(new QSystemTrayIcon(this))
{
    m_icon->setToolTip(QStringLiteral("Lumora Calendar"));
    UpdateIcon();
}

AppTrayItem::~AppTrayItem() = default;

void AppTrayItem::Install() { m_icon->show(); }
void AppTrayItem::Remove() { m_icon->hide(); }

void AppTrayItem::UpdateIcon()
{
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.drawText(pixmap.rect(), Qt::AlignCenter, QString::number(Date().Day()));
    p.end();
    m_icon->setIcon(QIcon(pixmap));
}
