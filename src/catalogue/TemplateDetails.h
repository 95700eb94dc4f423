#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace catalogue {

// What a template movie says about itself, as the catalogue shows it. A movie that could not be
// read, or that ran into a limit of the player, has the empty details (readable false).
struct TemplateDetails {
    // The category and the object maker's site name as the movie gives them right after loading;
    // the catalogue groups templates by these.
    QString groupCategory;
    QString groupSiteName;

    // The movie's variables "title", "price", "description", "category", "objectmakersitename"
    // and "templatemakersitename": read after loading, and again at the frame of a picked part.
    QString title;
    QString price;
    QString description;
    QString category;
    QString objectMakerSiteName;
    QString templateMakerSiteName;
    // "objectmakersite" and "templatemakersite" as the movie holds them once it was read.
    QString objectMakerSite;
    QString templateMakerSite;

    QString tiles = QStringLiteral("0"); // "tiles" rounded down, "0" when it is no number
    QStringList guids;                   // "guid", then the pieces of "tileguids"
    QString size = QStringLiteral("0 x 0"); // the last "setsize" text
    QStringList parts;                   // one per frame from frame 0, as the movie reported them
    int selectedPart = -1;               // the part the movie picked, -1 for none
    QStringList options;                 // the captions of the items the movie reported
    bool readable = true;

    bool operator==(const TemplateDetails&) const = default;

    static TemplateDetails unreadable();
};

// The tile count shown for the movie's "tiles": the largest integer not above the number, or
// "0" when there is no variable or it is no number ("abc", infinite).
QString tilesText(const std::optional<QString>& tiles);

// The GUID list: "guid" (when the movie has one), then each non-empty piece of "tileguids"
// split at "&", in order.
QStringList guidList(const std::optional<QString>& guid, const std::optional<QString>& tileGuids);

} // namespace catalogue
