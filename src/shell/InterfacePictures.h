#pragma once
#include <functional>
#include <memory>

class Picture;
using PicturePtr = std::shared_ptr<Picture>;

// The calendar's twenty interface pictures, compiled into the program under their
// resource numbers. Each is read on first use and cached for the rest of the run; five
// are prepared once when read (white transparency, and the countdown tile's mask).
class InterfacePictures
{
public:
    static PicturePtr homeButtonNormal();      // 168
    static PicturePtr homeButtonMask();        // 169
    static PicturePtr homeButtonMouseOver();   // 170
    static PicturePtr homeButtonMouseDown();   // 171
    static PicturePtr linkButtons();           // 172
    static PicturePtr menuButtons();           // 173
    static PicturePtr menutoggle();            // 175, transparent
    static PicturePtr menutoggle2();           // 178
    static PicturePtr menutoggleMouseover2();  // 179
    static PicturePtr menutoggleMask2();       // 180
    static PicturePtr LumoraTop1();            // 181
    static PicturePtr countdown();             // 185, transparent, masked by countdownmask
    static PicturePtr countdownmask();         // 186
    static PicturePtr CalTrayIcon();           // 188
    static PicturePtr glanceHeader1();         // 189
    static PicturePtr glanceHeader2();         // 190
    static PicturePtr Glancetimebackground();  // 193
    static PicturePtr returnArrowNew();        // 194, transparent
    static PicturePtr returnArrowNewMO();      // 195, transparent
    static PicturePtr deletex();               // 197, transparent

    // Empties every cache slot (program end).
    static void ReleaseAll();

    // Where pictures are read from: by default the compiled-in resources. Tests replace
    // it; a source that is null stands for a program without resources.
    using Source = std::function<PicturePtr(int resourceNumber)>;
    static void SetSource(Source source);
    static PicturePtr ReadResource(int resourceNumber);

private:
    static PicturePtr get(int resourceNumber, bool prepared);
};
