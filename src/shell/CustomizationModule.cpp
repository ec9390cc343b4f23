#include "shell/CustomizationModule.h"
#include "framework/Date.h"
#include "framework/Files.h"
#include "framework/MessageBox.h"
#include "framework/Picture.h"
#include "framework/TextFunctions.h"
#include "shell/ReleasedPictures.h"
#include "shell/app.h"
#include <QCoreApplication>
#include <QDebug>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <future>
#include <optional>
#include <vector>

QString CustomizationModule::DefaultCalendarFolder;
QString CustomizationModule::CalendarPropertyValues;
QString CustomizationModule::installerFileName;
QString CustomizationModule::applicationName;
QString CustomizationModule::otherCopyright;
QString CustomizationModule::vendorURL;
QString CustomizationModule::homeButtonLink;
QVector<QString> CustomizationModule::floatingLink(11);
QVector<QString> CustomizationModule::floatingLinkCoordinates(11);
bool CustomizationModule::customAboutWindow = false;
int CustomizationModule::calendarStartYear = 0;
int CustomizationModule::yearImageStartYear = 0;
PicturePtr CustomizationModule::topLogoImage;
PicturePtr CustomizationModule::topLogoImageMask;
PicturePtr CustomizationModule::backgroundImageWide;
PicturePtr CustomizationModule::backgroundImageStandard;
PicturePtr CustomizationModule::backgroundImage;
PicturePtr CustomizationModule::bottomImage;
QVector<PicturePtr> CustomizationModule::yearImage(7);
int CustomizationModule::yearImage_x = 0;
int CustomizationModule::yearImage_y = 0;
double CustomizationModule::TitleAreaHeightPercent = 0.082;
double CustomizationModule::CalendarAreaHeightPercentWide = 0;
double CustomizationModule::CalendarAreaHeightPercentStandard = 0;
double CustomizationModule::CalendarAreaHeightPercent = 0.62;
double CustomizationModule::leftMargin_pct = 0;
double CustomizationModule::topMargin_pct = 0;
QColor CustomizationModule::tabColor(0, 0, 0);
QColor CustomizationModule::calendarBackgroundColor(0, 0, 0);
QColor CustomizationModule::timeTextColor(0, 0, 0);
QColor CustomizationModule::menuColor(0, 0, 0);
QColor CustomizationModule::yearColor(0, 0, 0);
QColor CustomizationModule::yearDividerColor(0, 0, 0);
QColor CustomizationModule::monthNamesColor(0, 0, 0);
QString CustomizationModule::monthNamesFont;
QColor CustomizationModule::dayHeaderColor(0, 0, 0);
QColor CustomizationModule::daysColor(0, 0, 0);
QColor CustomizationModule::LMlogoColor(0, 0, 0);
QColor CustomizationModule::glanceEventHeaderColor(0, 0, 0);
QColor CustomizationModule::glanceEventColor(0, 0, 0);
bool CustomizationModule::includeHomeButton = false;
bool CustomizationModule::hideTime = false;
bool CustomizationModule::rightJustify = false;
bool CustomizationModule::hideYear = false;
bool CustomizationModule::hideTopBorder = false;
bool CustomizationModule::hideBottomBorder = false;
bool CustomizationModule::monthNamesBold = false;
bool CustomizationModule::monthNamesLeftJ = false;
bool CustomizationModule::monthNamesUppercase = false;
bool CustomizationModule::monthNamesAbbreviated = false;
bool CustomizationModule::hideMonthDividers = false;
bool CustomizationModule::includeClickhere = false;
bool CustomizationModule::includeLMLogo = false;
bool CustomizationModule::LMLogoRightJustify = false;
bool CustomizationModule::displayImage_centered = false;
bool CustomizationModule::displayImage_bottomJustify = false;
bool CustomizationModule::bottomImage_keepWidth = false;
bool CustomizationModule::bottomImage_allowStretch = false;
bool CustomizationModule::scrollImage = false;
bool CustomizationModule::includeLinkButtons = false;
QVector<QVector<QString>> CustomizationModule::calendarURLlinks;
QString CustomizationModule::titleBarLink;
QString CustomizationModule::vendorName;
QString CustomizationModule::LumoraURL;
QColor CustomizationModule::homeTextColor(0, 0, 0);

namespace {

const QString kSpecFile = QStringLiteral("calspc.dat");

// Layout defaults and ranges.
constexpr double kDefaultTitleFraction = 0.082;
constexpr double kDefaultCalendarFraction = 0.62;
constexpr double kMaxTitleFraction = 0.5;      // the calendar band keeps at least half
constexpr double kMaxLeftMargin = 0.16;        // six margins leave room for the day columns
constexpr double kMaxTopMargin = 0.5;
constexpr double kMaxPicturePixels = 16384;    // a place further out is on no picture
const QString kFolderMessage =
    QStringLiteral("Unable to open the calendar specifications folder.  Please re-install Calendar.");
const QString kFileMessage =
    QStringLiteral("Unable to open the calendar specifications file 'calSpc.dat'. Please re-install Calendar.");

bool holdsSpecs(const QString& folder)
{
    return Files::IsFolder(folder) && Files::Exists(Files::Child(folder, kSpecFile));
}

int channel(const QString& field) { return std::clamp(ToInt(Val(field)), 0, 255); }

// A colour written in the framework's own notation: "&hRRGGBB", "&cRRGGBB" or "#RRGGBB",
// exactly six hex digits; an invalid colour for any other text, so that a decimal number,
// an eight-digit value or a short form is never read as some other colour.
QColor colourFromText(const QString& text)
{
    static const QRegularExpression hex(QStringLiteral("^(?:&[hHcC]|#)([0-9A-Fa-f]{6})$"));
    const QRegularExpressionMatch m = hex.match(text.trimmed());
    if (!m.hasMatch())
        return QColor();
    const uint value = m.captured(1).toUInt(nullptr, 16);
    return QColor((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

// "R,G,B": exactly three fields, each beginning with a number (read as Val reads it, so
// "12abc" is 12), each kept within 0 to 255. An invalid colour for any other text.
QColor colourFromChannels(const QString& text)
{
    static const QRegularExpression leadingNumber(QStringLiteral("^\\s*[+-]?(?:\\d|\\.\\d)"));
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 3)
        return QColor();
    for (const QString& field : fields)
        if (!leadingNumber.match(field).hasMatch())
            return QColor();
    return QColor(channel(fields[0]), channel(fields[1]), channel(fields[2]));
}

QString text(const QString& specs, const char* key)
{
    return CustomizationModule::ParseSpec(specs, QString::fromLatin1(key)).toString();
}

// The key's colour; its default (black unless given) for a missing key or a colour text in
// no accepted notation.
QColor colour(const QString& specs, const char* key, const QColor& fallback = QColor(0, 0, 0))
{
    const QColor c = CustomizationModule::ParseSpec(specs, QString::fromLatin1(key)).value<QColor>();
    return c.isValid() ? c : fallback;
}

// The number the key's value begins with (leading blanks allowed); none for a missing key,
// an empty value, a word, or a number too large for a double.
std::optional<double> number(const QString& specs, const char* key)
{
    // The leading number as Val reads it, but telling "no number" apart from 0.
    static const QRegularExpression leading(
        QStringLiteral("^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)"));
    const QRegularExpressionMatch m = leading.match(text(specs, key));
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = m.captured(1).toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// The number the key's value begins with when it lies within lowest to highest; fallback
// for anything else (a missing key, a word, a number out of range count alike).
double numberWithin(const QString& specs, const char* key, double lowest, double highest, double fallback)
{
    const std::optional<double> v = number(specs, key);
    return v && *v >= lowest && *v <= highest ? *v : fallback;
}

bool flag(const QString& specs, const char* key) { return TextEquals(text(specs, key), QStringLiteral("True")); }

// The framework's text-to-Boolean conversion: "True" (any case) or a non-zero number.
bool boolean(const QString& specs, const char* key)
{
    const QString v = text(specs, key).trimmed();
    return TextEquals(v, QStringLiteral("True")) || (Val(v) != 0);
}

// The file the value names in the branding folder; empty for a missing file, a folder, or
// a name that is not a plain file name.
QString picturePath(const QString& folder, const QString& specs, const char* key)
{
    const QString name = text(specs, key);
    const QString path = Files::Child(folder, name);
    if (path.isEmpty() || !Files::Exists(path) || Files::IsFolder(path))
        return QString();
    return path;
}

// The pictures being decoded, each for its slot: decoding them is most of reading the
// branding, and each one is independent of the others and of everything else.
struct Decoding {
    PicturePtr* slot;
    QString path;   // empty: no picture
    std::future<PicturePtr> picture;
};

std::vector<Decoding>& decoding()
{
    static std::vector<Decoding> pictures;
    return pictures;
}

// The workers that decode pictures in turn (decodeFiles), kept until they end: the ones
// ended are let go when the next one starts, the rest are waited for by DropDecodedAhead.
std::vector<std::future<void>>& turnWorkers()
{
    static std::vector<std::future<void>> workers;
    return workers;
}

// Starts decoding the files (none empty), a future for each in the same order. The first
// ownWorkers of them each get a worker of their own; the rest are decoded one after
// another on one more.
std::vector<std::future<PicturePtr>> decodeFiles(const QStringList& paths, qsizetype ownWorkers)
{
    std::vector<std::future<PicturePtr>> pictures;
    std::vector<std::pair<QString, std::shared_ptr<std::promise<PicturePtr>>>> inTurn;
    for (const QString& path : paths) {
        if (qsizetype(pictures.size()) < ownWorkers) {
            pictures.push_back(std::async(std::launch::async, [path] { return Picture::OpenAsPicture(path); }));
            continue;
        }
        auto promise = std::make_shared<std::promise<PicturePtr>>();
        pictures.push_back(promise->get_future());
        inTurn.emplace_back(path, std::move(promise));
    }
    if (!inTurn.empty()) {
        std::erase_if(turnWorkers(), [](const std::future<void>& worker) {
            return worker.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        });
        turnWorkers().push_back(std::async(std::launch::async, [inTurn] {
            for (const auto& [path, promise] : inTurn) {
                try {
                    promise->set_value(Picture::OpenAsPicture(path));
                } catch (...) {
                    promise->set_exception(std::current_exception());
                }
            }
        }));
    }
    return pictures;
}

// Pictures whose decoding DecodeAhead started before the branding was read, by file.
std::vector<std::pair<QString, std::future<PicturePtr>>>& decodedAhead()
{
    static std::vector<std::pair<QString, std::future<PicturePtr>>> pictures;
    return pictures;
}

// The decodings of the files, in the same order: those started ahead for them, new ones
// for the rest, each on a worker of its own.
std::vector<std::future<PicturePtr>> decodings(const QStringList& paths)
{
    std::vector<std::future<PicturePtr>> pictures(paths.size());
    QStringList fresh;
    auto& ahead = decodedAhead();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const auto found = std::find_if(ahead.begin(), ahead.end(), [&](const auto& a) { return a.first == paths[i]; });
        if (found == ahead.end()) {
            fresh.append(paths[i]);
            continue;
        }
        pictures[i] = std::move(found->second);
        ahead.erase(found);
    }
    std::vector<std::future<PicturePtr>> started = decodeFiles(fresh, fresh.size());
    auto next = started.begin();
    for (auto& picture : pictures)
        if (!picture.valid())
            picture = std::move(*next++);
    return pictures;
}

// The branding's pictures, each with its key: the background of this screen's shape only
// (the other one would hold a full-screen picture for nothing; a rebuild reads the
// branding again), the largest first, as they take longest to decode.
QVector<QPair<PicturePtr*, const char*>> brandingPictures()
{
    using M = CustomizationModule;
    return {M::IsWideScreen() ? qMakePair(&M::backgroundImageWide, "backgroundImageWide")
                              : qMakePair(&M::backgroundImageStandard, "backgroundImageStandard"),
            {&M::bottomImage, "bottomImage"}, {&M::topLogoImage, "topLogoImage"},
            {&M::topLogoImageMask, "topLogoImageMask"}, {&M::yearImage[0], "yearImage0"},
            {&M::yearImage[1], "yearImage1"}, {&M::yearImage[2], "yearImage2"}};
}

// A picture left decoding by FinishCustomizing(Pictures::Later): its slot, its decoding
// and its size from its file's header.
struct PendingPicture {
    PicturePtr* slot = nullptr;
    QString path;
    std::shared_future<PicturePtr> picture;
    QSize size;
};

std::vector<PendingPicture>& pendingPictures()
{
    static std::vector<PendingPicture> pending;
    return pending;
}

const PendingPicture* pendingFor(const PicturePtr* slot)
{
    for (const PendingPicture& p : pendingPictures())
        if (p.slot == slot)
            return &p;
    return nullptr;
}

// Waits for slot's picture when it is still being decoded and sets the slot.
void takePending(PicturePtr* slot)
{
    auto& pending = pendingPictures();
    for (auto it = pending.begin(); it != pending.end(); ++it) {
        if (it->slot == slot) {
            *slot = it->picture.get();
            ReleasedPictures::Decoded(slot, it->path, *slot);
            pending.erase(it);
            return;
        }
    }
}

// The size of slot's picture, decoded or still being decoded; empty without a picture.
QSize pictureSize(const PicturePtr* slot)
{
    if (const PendingPicture* p = pendingFor(slot))
        return p->size;
    return *slot ? QSize((*slot)->Width(), (*slot)->Height()) : QSize();
}

std::shared_future<PicturePtr> pictureDecoding(const PicturePtr* slot)
{
    if (const PendingPicture* p = pendingFor(slot))
        return p->picture;
    std::promise<PicturePtr> ready;
    ready.set_value(*slot);
    return ready.get_future().share();
}

// Starts decoding the pictures the keys name, side by side; a slot whose file holds no
// picture gets none.
void startPictures(const QString& specs, const QVector<QPair<PicturePtr*, const char*>>& wanted)
{
    QStringList paths, files;
    for (const auto& [slot, key] : wanted) {
        paths.append(picturePath(CustomizationModule::DefaultCalendarFolder, specs, key));
        if (!paths.last().isEmpty())
            files.append(paths.last());
    }
    std::vector<std::future<PicturePtr>> pictures = decodings(files);
    auto next = pictures.begin();
    for (qsizetype i = 0; i < wanted.size(); ++i) {
        decoding().push_back({wanted[i].first, paths[i],
                              paths[i].isEmpty() ? std::async(std::launch::deferred, [] { return PicturePtr(); })
                                                 : std::move(*next++)});
    }
    // One started ahead for a file the branding does not name is of no use.
    decodedAhead().clear();
}

// The background's pending slot is the wide or standard one; backgroundImage follows it.
void takePendingBackground()
{
    using M = CustomizationModule;
    for (PicturePtr* slot : {&M::backgroundImageWide, &M::backgroundImageStandard}) {
        if (pendingFor(slot)) {
            takePending(slot);
            M::backgroundImage = *slot;
        }
    }
}

// Sets every slot whose picture is being decoded, except those of later whose picture is
// not decoded yet and whose file's header gives its size: those are left pending.
void finishPictures(const std::vector<PicturePtr*>& later = {})
{
    takePendingBackground();   // ones left pending before
    takePending(&CustomizationModule::bottomImage);
    for (Decoding& d : decoding()) {
        if (std::find(later.begin(), later.end(), d.slot) != later.end() && !d.path.isEmpty()
            && d.picture.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            const QSize size = Picture::FileSize(d.path);
            if (size.width() > 0 && size.height() > 0) {
                *d.slot = nullptr;   // not an earlier start's picture meanwhile
                pendingPictures().push_back({d.slot, d.path, d.picture.share(), size});
                continue;
            }
        }
        *d.slot = d.picture.get();
        ReleasedPictures::Decoded(d.slot, d.path, *d.slot);
    }
    decoding().clear();
}

} // namespace

QString CustomizationModule::ApplicationFolder() { return QCoreApplication::applicationDirPath(); }

QStringList CustomizationModule::BrandingFolders(const QString& base)
{
    QStringList result;
    for (const QString& name : Files::List(base))
        if (holdsSpecs(base + QLatin1Char('/') + name))
            result << name;
    return result;
}

bool CustomizationModule::IsWideScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || screen->geometry().height() <= 0)
        return false;
    return double(screen->geometry().width()) / double(screen->geometry().height()) > 1.5;
}

bool CustomizationModule::CustomizeCalendar()
{
    if (!StartCustomizing())
        return false;
    FinishCustomizing();
    return true;
}

bool CustomizationModule::StartCustomizing()
{
    finishPictures();   // a start that was not finished
    if (!FindSpecs())
        return false;
    StartLoadingSpecs();
    return true;
}

void CustomizationModule::FinishCustomizing(Pictures pictures) { FinishLoadingSpecs(pictures); }

PicturePtr CustomizationModule::TakeBackground()
{
    takePendingBackground();
    if (!backgroundImage && ReleasedPictures::Released(&backgroundImage))
        return ReleasedPictures::Decode(&backgroundImage);   // for the caller alone: it stays released
    return backgroundImage;
}

QSize CustomizationModule::BackgroundSize()
{
    for (const PicturePtr* slot : {&backgroundImageWide, &backgroundImageStandard})
        if (pendingFor(slot))
            return pictureSize(slot);
    return pictureSize(&backgroundImage);
}

std::shared_future<PicturePtr> CustomizationModule::BackgroundDecoding()
{
    for (const PicturePtr* slot : {&backgroundImageWide, &backgroundImageStandard})
        if (pendingFor(slot))
            return pictureDecoding(slot);
    return pictureDecoding(&backgroundImage);
}

PicturePtr CustomizationModule::TakeBottom()
{
    takePending(&bottomImage);
    return bottomImage;
}

void CustomizationModule::ReleasePictures() { ReleasedPictures::Release(&backgroundImage); }

void CustomizationModule::RetakePictures() { ReleasedPictures::Retake(); }

bool CustomizationModule::HasTopLogo() { return topLogoImage || ReleasedPictures::Released(&topLogoImage); }

bool CustomizationModule::HasBottom() { return bottomImage || ReleasedPictures::Released(&bottomImage); }

PicturePtr CustomizationModule::TopLogo()
{
    return topLogoImage ? topLogoImage : ReleasedPictures::Decode(&topLogoImage);
}

QSize CustomizationModule::BottomSize() { return pictureSize(&bottomImage); }

std::shared_future<PicturePtr> CustomizationModule::BottomDecoding() { return pictureDecoding(&bottomImage); }

void CustomizationModule::LoadSpecs()
{
    StartLoadingSpecs();
    FinishLoadingSpecs();
}

QString CustomizationModule::DiscoverFolder(const QString& base, const QString& current)
{
    QString folder = current;
    // "caldef.dat" names the default branding folder: a plain folder name in the program's
    // folder, taken from its first line without trailing blanks and CR.
    QString caldefText;
    if (Files::ReadText(Files::Child(base, QStringLiteral("caldef.dat")), caldefText) == Files::ReadStatus::Ok) {
        const QStringList lines = Files::SplitLines(caldefText);
        const QString name = lines.isEmpty() ? QString() : QString(lines.first()).remove(QRegularExpression("\\s+$"));
        if (Files::IsPlainName(name))
            folder = Files::Child(base, name);
    }
    // Otherwise the first folder beside the program, by name, that holds "calspc.dat".
    if (folder.isEmpty() || !holdsSpecs(folder)) {
        const QStringList candidates = BrandingFolders(base);
        if (!candidates.isEmpty())
            folder = base + QLatin1Char('/') + candidates.first();
    }
    return folder;
}

bool CustomizationModule::ReadSpecFile(const QString& folder, QString& specs)
{
    const QString path = Files::Child(folder, QStringLiteral("calSpc.Dat"));
    return Files::Exists(path) && Files::ReadText(path, specs) == Files::ReadStatus::Ok;
}

void CustomizationModule::DecodeAhead()
{
    DropDecodedAhead();
    const QString folder = DiscoverFolder(ApplicationFolder(), DefaultCalendarFolder);
    QString specs;
    if (folder.isEmpty() || !ReadSpecFile(folder, specs))
        return;   // reported when the branding is read
    QStringList paths;
    for (const auto& [slot, key] : brandingPictures())
        if (const QString path = picturePath(folder, specs, key); !path.isEmpty())
            paths.append(path);
    // The largest two (see brandingPictures) each on a worker of their own, the small rest
    // in turn on one more: more workers at once do not show the window sooner, as they slow
    // the start-up work beside them (the font database's reading above all).
    std::vector<std::future<PicturePtr>> pictures = decodeFiles(paths, 2);
    for (qsizetype i = 0; i < paths.size(); ++i)
        decodedAhead().emplace_back(paths[i], std::move(pictures[i]));
}

void CustomizationModule::DropDecodedAhead()
{
    decodedAhead().clear();
    turnWorkers().clear();
}

bool CustomizationModule::FindSpecs()
{
    // A FIFO, a device or a folder in place of "caldef.dat", or one that cannot be looked at
    // (a link that loops), is not read (DiscoverFolder then takes the first calendar), nor
    // replaced by a choice in the preferences: said once a run, not at every rebuild.
    static bool oddCaldefReported = false;
    const QString caldef = Files::Child(ApplicationFolder(), QStringLiteral("caldef.dat"));
    if (!oddCaldefReported) {
        const QString kind = Files::OddKind(caldef);
        const QString why = kind.isEmpty() ? Files::Unreachable(caldef) : QStringLiteral("it is ") + kind;
        if (!why.isEmpty()) {
            oddCaldefReported = true;
            const QString message = QStringLiteral("The default calendar file \"%1\" cannot be read: %2.").arg(caldef, why);
            qWarning().noquote() << message;
            MsgBox(message);
        }
    }
    DefaultCalendarFolder = DiscoverFolder(ApplicationFolder(), DefaultCalendarFolder);
    if (DefaultCalendarFolder.isEmpty()) {
        MsgBox(kFolderMessage);
        App().Quit(0);
        return false;
    }
    // A "calspc.dat" that exists but cannot be read is reported like a missing one.
    QString specs;
    if (!ReadSpecFile(DefaultCalendarFolder, specs)) {
        MsgBox(kFileMessage);
        App().Quit(0);
        return false;
    }
    CalendarPropertyValues = specs;
    return true;
}

QVariant CustomizationModule::ParseSpec(const QString& specs, const QString& key)
{
    QString value;
    const int position = InStr(specs, key);
    if (position > 0) {
        int end = specs.size();
        for (int i = position - 1; i < specs.size(); ++i)
            if (specs.at(i) == QLatin1Char('\n') || specs.at(i) == QLatin1Char('\r')) {
                end = i;
                break;
            }
        value = NthField(specs.mid(position - 1, end - (position - 1)), QStringLiteral("="), 2);
    }
    if (InStr(key, QStringLiteral("color")) > 0) {
        if (value.contains(QLatin1Char(',')))
            return colourFromChannels(value);
        return colourFromText(value);
    }
    return value;
}

void CustomizationModule::StartLoadingSpecs()
{
    const QString specs = CalendarPropertyValues;
    const Date today;

    backgroundImageWide = backgroundImageStandard = nullptr;
    ReleasedPictures::Forget();
    // The pictures are started first: they take longest.
    startPictures(specs, brandingPictures());

    installerFileName = text(specs, "installerFileName");
    applicationName = text(specs, "applicationName");
    otherCopyright = text(specs, "otherCopyright");
    vendorURL = text(specs, "vendorURL");
    homeButtonLink = text(specs, "homeButtonLink");
    for (int i = 1; i <= 5; ++i)
        floatingLink[i] = ParseSpec(specs, QStringLiteral("floatingLink%1").arg(i)).toString();
    const QString shape = IsWideScreen() ? QStringLiteral("Wide") : QStringLiteral("Standard");
    for (int i = 1; i <= 5; ++i)
        floatingLinkCoordinates[i] =
            ParseSpec(specs, QStringLiteral("floatingLink%1Coordinates%2").arg(i).arg(shape)).toString();

    customAboutWindow = boolean(specs, "customAboutWindow");
    calendarStartYear = ToInt(Val(text(specs, "calendarStartYear")));
    if (calendarStartYear < 1000 || calendarStartYear > 9997)
        calendarStartYear = today.Year() - 1;
    // A year picture's year outside the years a calendar can show names no picture.
    yearImageStartYear = ToInt(numberWithin(specs, "yearImageStartYear", 1000, 9999, 0));

    // 0 is the year view's own default margin. Six left margins and the 31 day columns
    // share the width; the top margin and the 27 rows share the height.
    leftMargin_pct = numberWithin(specs, "leftMargin_pct", 0, kMaxLeftMargin, 0);
    topMargin_pct = numberWithin(specs, "topMargin_pct", 0, kMaxTopMargin, 0);

    tabColor = colour(specs, "tabColor");
    // White behind the black texts of the other defaults, so that a branding without
    // colours still shows a readable calendar.
    calendarBackgroundColor = colour(specs, "calendarBackgroundColor", QColor(255, 255, 255));
    timeTextColor = colour(specs, "timeTextColor");
    menuColor = colour(specs, "menuColor");
    yearColor = colour(specs, "yearColor");
    yearDividerColor = colour(specs, "yearDividerColor");
    monthNamesColor = colour(specs, "monthNamesColor");
    monthNamesFont = text(specs, "monthNamesFont");
    dayHeaderColor = colour(specs, "dayHeaderColor");
    daysColor = colour(specs, "daysColor");
    LMlogoColor = colour(specs, "LMlogoColor");
    glanceEventHeaderColor = colour(specs, "glanceEventHeaderColor");
    glanceEventColor = colour(specs, "glanceEventColor");

    includeHomeButton = flag(specs, "includeHomeButton");
    hideTime = flag(specs, "hideTime");
    rightJustify = boolean(specs, "rightJustify");
    hideYear = flag(specs, "hideYear");
    hideTopBorder = flag(specs, "hideTopBorder");
    hideBottomBorder = flag(specs, "hideBottomBorder");
    monthNamesBold = flag(specs, "monthNamesBold");
    monthNamesLeftJ = flag(specs, "monthNamesLeftJ");
    monthNamesUppercase = flag(specs, "monthNamesUppercase");
    monthNamesAbbreviated = flag(specs, "monthNamesAbbreviated");
    hideMonthDividers = flag(specs, "hideMonthDividers");
    includeClickhere = flag(specs, "includeClickhere");
    includeLMLogo = flag(specs, "includeLMLogo");
    LMLogoRightJustify = flag(specs, "LMLogoRightJustify");
    displayImage_centered = flag(specs, "displayImage_centered");
    displayImage_bottomJustify = flag(specs, "displayImage_bottomJustify");
    bottomImage_keepWidth = flag(specs, "bottomImage_keepWidth");
    bottomImage_allowStretch = flag(specs, "bottomImage_allowStretch");
    scrollImage = flag(specs, "scrollImage");
    includeLinkButtons = flag(specs, "includeLinkButtons");
}

void CustomizationModule::FinishLoadingSpecs(Pictures pictures)
{
    const QString specs = CalendarPropertyValues;
    PicturePtr& backgroundSlot = IsWideScreen() ? backgroundImageWide : backgroundImageStandard;
    finishPictures(pictures == Pictures::Later ? std::vector<PicturePtr*>{&backgroundSlot, &bottomImage}
                                               : std::vector<PicturePtr*>{});
    backgroundImage = backgroundSlot;
    // Places on the background picture, in its pixels.
    yearImage_x = ToInt(numberWithin(specs, "yearImage_x", -kMaxPicturePixels, kMaxPicturePixels, 0));
    yearImage_y = ToInt(numberWithin(specs, "yearImage_y", -kMaxPicturePixels, kMaxPicturePixels, 0));

    // The layout fractions keep the window's bands on the screen and the year view
    // showing: a value out of its range counts as missing and takes the default.
    // The title band's height is given in pixels of the background picture; without a
    // readable background picture the default fraction stays.
    TitleAreaHeightPercent = kDefaultTitleFraction;
    if (const int pictureHeight = BackgroundSize().height(); pictureHeight > 0) {
        const std::optional<double> titleHeight = number(specs, "TitleAreaHeight");
        if (titleHeight && *titleHeight >= 0 && *titleHeight / pictureHeight <= kMaxTitleFraction)
            TitleAreaHeightPercent = *titleHeight / pictureHeight;
    }
    // The calendar band lies under the title band and ends on the screen.
    const double calendarRoom = 1.0 - TitleAreaHeightPercent;
    const double calendarDefault = std::min(kDefaultCalendarFraction, calendarRoom);
    auto calendarFraction = [&](const char* key) {
        const std::optional<double> v = number(specs, key);
        return v && *v > 0 && *v <= calendarRoom ? *v : calendarDefault;
    };
    CalendarAreaHeightPercentWide = calendarFraction("CalendarAreaHeightPercentWide");
    CalendarAreaHeightPercentStandard = calendarFraction("CalendarAreaHeightPercentStandard");
    CalendarAreaHeightPercent = IsWideScreen() ? CalendarAreaHeightPercentWide : CalendarAreaHeightPercentStandard;
}
