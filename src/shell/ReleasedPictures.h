#pragma once
#include <QString>
#include <memory>

class Picture;
using PicturePtr = std::shared_ptr<Picture>;

// The branding's full-size pictures, each remembered with the file it was decoded from: a
// slot can be emptied once the calendar window has made its screen-sized copies (a
// full-screen background alone holds 7 MB), and its picture decoded again from the file
// when something needs it after all. Only a slot that still holds the pixels decoded from
// its file is emptied (a copy at 32 bits shares them): a picture drawn into, or one that
// came from anywhere else, stays. Main thread only.
class ReleasedPictures
{
public:
    // slot now holds picture, decoded from the file at path.
    static void Decoded(PicturePtr* slot, const QString& path, const PicturePtr& picture);
    // Forgets every slot and file (the branding is read again).
    static void Forget();
    // Empties every slot that still holds its decoded pixels, and alias when it holds the
    // same pixels as one of them (a slot that points at another's picture).
    static void Release(PicturePtr* alias);
    // Whether Release emptied slot.
    static bool Released(const PicturePtr* slot);
    // The picture Release took from slot, decoded again (not kept); nullptr for a slot not
    // released or a file that no longer decodes.
    static PicturePtr Decode(const PicturePtr* slot);
    // Puts every released picture back into its slot, decoded again.
    static void Retake();
};
