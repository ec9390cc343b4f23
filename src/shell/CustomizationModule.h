#pragma once
#include <QColor>
#include <QString>
#include <QVariant>
#include <QSize>
#include <QVector>
#include <future>
#include <memory>

class Picture;
using PicturePtr = std::shared_ptr<Picture>;

// The edition's branding values, read from the branding folder's "calspc.dat". One set of
// module-wide values; no instances.
class CustomizationModule
{
public:
    // Finds the branding folder and loads every value. Returns false when the program is
    // quitting after a discovery message (the caller then stops its own work).
    static bool CustomizeCalendar();
    // CustomizeCalendar in two halves, for start-up: StartCustomizing finds the folder, sets
    // every value that needs no picture and starts decoding the pictures on worker threads;
    // FinishCustomizing waits for them and sets the pictures and the values measured on
    // them (the title band's height). Nothing may read a picture or a layout value between.
    // With Pictures::Later the background and bottom pictures still being decoded are not
    // waited for when their files' headers give their sizes: the values are measured on
    // those sizes, and backgroundImage and bottomImage stay empty until TakeBackground and
    // TakeBottom (the sizes and the decodings serve meanwhile).
    enum class Pictures { Now, Later };
    static bool StartCustomizing();
    static void FinishCustomizing(Pictures pictures = Pictures::Now);
    // Waits for a background picture still being decoded, sets backgroundImage and returns
    // it (a released one decoded again, see ReleasePictures).
    static PicturePtr TakeBackground();
    // backgroundImage's size, or that of the background still being decoded.
    static QSize BackgroundSize();
    // The background picture, ready or still being decoded.
    static std::shared_future<PicturePtr> BackgroundDecoding();
    // The same for bottomImage.
    static PicturePtr TakeBottom();
    static QSize BottomSize();
    static std::shared_future<PicturePtr> BottomDecoding();
    // Once the calendar window has made its screen-sized copies, the full-size pictures
    // decoded from the branding's files are let go (a full-screen background alone holds
    // 7 MB): their slots are emptied. HasTopLogo and HasBottom still say whether there are
    // such pictures; TakeBackground and TopLogo decode a released one again for a caller
    // that needs it later (the tray's window), without keeping it; RetakePictures puts
    // them all back (another calendar window). Reading the branding again starts afresh.
    static void ReleasePictures();
    static void RetakePictures();
    static bool HasTopLogo();
    static bool HasBottom();
    static PicturePtr TopLogo();
    static bool FindSpecs();
    // Starts decoding the pictures of the branding folder that discovery finds, before the
    // branding is read (at start-up, while the rest of the program starts): the branding's
    // reading then takes each one's decoding over. Does nothing where discovery or the
    // branding file fails (the reading reports it). DropDecodedAhead waits for those not
    // taken over and drops them.
    static void DecodeAhead();
    static void DropDecodedAhead();
    // The branding folder that discovery settles on in the folder base, starting from
    // current: "caldef.dat", else the first qualifying folder by name, else current.
    static QString DiscoverFolder(const QString& base, const QString& current);
    // Reads the folder's "calspc.dat"; false when it is missing or unreadable.
    static bool ReadSpecFile(const QString& folder, QString& specs);
    // Sets every value from CalendarPropertyValues. Numbers are range-checked where they
    // are read: a layout value that would put a band off the screen, overflow or hide the
    // year view counts as missing, and a missing value takes its default.
    static void LoadSpecs();
    static void StartLoadingSpecs();
    static void FinishLoadingSpecs(Pictures pictures = Pictures::Now);
    // The value of key in the branding text: a QColor for keys holding "color", else the
    // value text. A colour is "R,G,B" (three numbers, each kept within 0 to 255) or
    // "&hRRGGBB", "&cRRGGBB", "#RRGGBB" (six hex digits); any other text gives an invalid
    // QColor, which LoadSpecs replaces by the key's default.
    static QVariant ParseSpec(const QString& specs, const QString& key);
    // The folder the branding folders live in (the program's folder).
    static QString ApplicationFolder();
    // Folders beside the program that hold "calspc.dat", sorted by name.
    static QStringList BrandingFolders(const QString& base = ApplicationFolder());
    // Whether screen 0 counts as wide (width / height > 1.5).
    static bool IsWideScreen();

    // Discovery.
    static QString DefaultCalendarFolder;   // path; empty = none
    static QString CalendarPropertyValues;

    // Values from the key table.
    static QString installerFileName;
    static QString applicationName;
    static QString otherCopyright;
    static QString vendorURL;
    static QString homeButtonLink;
    static QVector<QString> floatingLink;            // indexes 0..10, 1..5 used
    static QVector<QString> floatingLinkCoordinates; // indexes 0..10, 1..5 used
    static bool customAboutWindow;
    static int calendarStartYear;
    static int yearImageStartYear;
    static PicturePtr topLogoImage;
    static PicturePtr topLogoImageMask;
    static PicturePtr backgroundImageWide;
    static PicturePtr backgroundImageStandard;
    static PicturePtr backgroundImage;
    static PicturePtr bottomImage;
    static QVector<PicturePtr> yearImage;            // indexes 0..6, 0..2 used
    static int yearImage_x;
    static int yearImage_y;
    static double TitleAreaHeightPercent;
    static double CalendarAreaHeightPercentWide;
    static double CalendarAreaHeightPercentStandard;
    static double CalendarAreaHeightPercent;
    static double leftMargin_pct;
    static double topMargin_pct;
    static QColor tabColor;
    static QColor calendarBackgroundColor;
    static QColor timeTextColor;
    static QColor menuColor;
    static QColor yearColor;
    static QColor yearDividerColor;
    static QColor monthNamesColor;
    static QString monthNamesFont;
    static QColor dayHeaderColor;
    static QColor daysColor;
    static QColor LMlogoColor;
    static QColor glanceEventHeaderColor;
    static QColor glanceEventColor;
    static bool includeHomeButton;
    static bool hideTime;
    static bool rightJustify;
    static bool hideYear;
    static bool hideTopBorder;
    static bool hideBottomBorder;
    static bool monthNamesBold;
    static bool monthNamesLeftJ;
    static bool monthNamesUppercase;
    static bool monthNamesAbbreviated;
    static bool hideMonthDividers;
    static bool includeClickhere;
    static bool includeLMLogo;
    static bool LMLogoRightJustify;
    static bool displayImage_centered;
    static bool displayImage_bottomJustify;
    static bool bottomImage_keepWidth;
    static bool bottomImage_allowStretch;
    static bool scrollImage;
    static bool includeLinkButtons;

    // Values nobody sets from the file.
    static QVector<QVector<QString>> calendarURLlinks;
    static QString titleBarLink;
    static QString vendorName;
    static QString LumoraURL;
    static QColor homeTextColor;
};
