#include "shell/ReleasedPictures.h"
#include "framework/Picture.h"
#include <QHash>
#include <algorithm>
#include <optional>
#include <vector>

namespace {

struct Entry {
    PicturePtr* slot;
    QString path;
    qint64 pixels;    // the decoded image's cache key, shared by every copy of its pixels
    bool released;
};

std::vector<Entry>& entries()
{
    static std::vector<Entry> all;
    return all;
}

Entry* entryFor(const PicturePtr* slot)
{
    auto& all = entries();
    const auto found = std::find_if(all.begin(), all.end(), [slot](const Entry& e) { return e.slot == slot; });
    return found == all.end() ? nullptr : &*found;
}

bool holds(const PicturePtr& picture, qint64 pixels) { return picture && picture->Image().cacheKey() == pixels; }

} // namespace

void ReleasedPictures::Decoded(PicturePtr* slot, const QString& path, const PicturePtr& picture)
{
    auto& all = entries();
    std::erase_if(all, [slot](const Entry& e) { return e.slot == slot; });
    if (picture && !path.isEmpty())
        all.push_back({slot, path, picture->Image().cacheKey(), false});
}

void ReleasedPictures::Forget() { entries().clear(); }

void ReleasedPictures::Release(PicturePtr* alias)
{
    auto& all = entries();
    // The alias first, while the slot whose pixels it holds still holds them too.
    std::optional<Entry> aliased;
    const auto source = std::find_if(all.begin(), all.end(), [alias](const Entry& e) {
        return e.slot != alias && holds(*alias, e.pixels);
    });
    if (source != all.end()) {
        aliased = Entry{alias, source->path, source->pixels, true};
        alias->reset();
    }
    for (Entry& e : all) {
        if (holds(*e.slot, e.pixels)) {
            e.released = true;
            e.slot->reset();
        }
    }
    if (aliased) {
        std::erase_if(all, [alias](const Entry& e) { return e.slot == alias; });
        all.push_back(*aliased);
    }
}

bool ReleasedPictures::Released(const PicturePtr* slot)
{
    const Entry* e = entryFor(slot);
    return e && e->released;
}

PicturePtr ReleasedPictures::Decode(const PicturePtr* slot)
{
    const Entry* e = entryFor(slot);
    return e && e->released ? Picture::OpenAsPicture(e->path) : nullptr;
}

void ReleasedPictures::Retake()
{
    // A file that two slots name (the background and its alias) is decoded once.
    QHash<QString, PicturePtr> decoded;
    for (Entry& e : entries()) {
        if (!e.released)
            continue;
        auto found = decoded.find(e.path);
        if (found == decoded.end())
            found = decoded.insert(e.path, Picture::OpenAsPicture(e.path));
        *e.slot = found.value();
        e.released = false;
        e.pixels = found.value() ? found.value()->Image().cacheKey() : 0;
    }
}
