#include "shell/InterfacePictures.h"
#include "framework/Exceptions.h"
#include "framework/Graphics.h"
#include "framework/Picture.h"
#include <QHash>

namespace {
QHash<int, PicturePtr>& cache()
{
    static QHash<int, PicturePtr> slots_;
    return slots_;
}

InterfacePictures::Source& source()
{
    static InterfacePictures::Source current = [](int number) {
        return Picture::OpenAsPicture(QStringLiteral(":/resources/interface/%1.png").arg(number));
    };
    return current;
}
} // namespace

void InterfacePictures::SetSource(Source next)
{
    source() = std::move(next);
    cache().clear();
}

PicturePtr InterfacePictures::ReadResource(int number) { return source()(number); }

void InterfacePictures::ReleaseAll() { cache().clear(); }

PicturePtr InterfacePictures::get(int number, bool prepared)
{
    if (PicturePtr cached = cache().value(number))
        return cached;
    if (!source())
        throw NilObjectException("the program has no resources");
    PicturePtr picture = source()(number);
    if (!picture) {
        if (prepared)
            throw NilObjectException("interface picture missing");
        return nullptr;     // asked again next time
    }
    cache().insert(number, picture);
    if (prepared)
        picture->SetTransparent(1);
    if (number == 185) {
        if (PicturePtr mask = countdownmask()) {
            PicturePtr own = picture->Mask();
            if (!own)
                throw NilObjectException("countdown has no mask");
            own->Graphics().DrawPicture(mask, 0, 0);
        }
    }
    return picture;
}

PicturePtr InterfacePictures::homeButtonNormal() { return get(168, false); }
PicturePtr InterfacePictures::homeButtonMask() { return get(169, false); }
PicturePtr InterfacePictures::homeButtonMouseOver() { return get(170, false); }
PicturePtr InterfacePictures::homeButtonMouseDown() { return get(171, false); }
PicturePtr InterfacePictures::linkButtons() { return get(172, false); }
PicturePtr InterfacePictures::menuButtons() { return get(173, false); }
PicturePtr InterfacePictures::menutoggle() { return get(175, true); }
PicturePtr InterfacePictures::menutoggle2() { return get(178, false); }
PicturePtr InterfacePictures::menutoggleMouseover2() { return get(179, false); }
PicturePtr InterfacePictures::menutoggleMask2() { return get(180, false); }
PicturePtr InterfacePictures::LumoraTop1() { return get(181, false); }
PicturePtr InterfacePictures::countdown() { return get(185, true); }
PicturePtr InterfacePictures::countdownmask() { return get(186, false); }
PicturePtr InterfacePictures::CalTrayIcon() { return get(188, false); }
PicturePtr InterfacePictures::glanceHeader1() { return get(189, false); }
PicturePtr InterfacePictures::glanceHeader2() { return get(190, false); }
PicturePtr InterfacePictures::Glancetimebackground() { return get(193, false); }
PicturePtr InterfacePictures::returnArrowNew() { return get(194, true); }
PicturePtr InterfacePictures::returnArrowNewMO() { return get(195, true); }
PicturePtr InterfacePictures::deletex() { return get(197, true); }
