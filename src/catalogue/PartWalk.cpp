#include "catalogue/PartWalk.h"

#include "catalogue/TemplateMovie.h"

#include <cmath>

namespace catalogue {

PartWalk::PartWalk() = default;
PartWalk::~PartWalk() = default;

TemplateMovie& PartWalk::movie()
{
    if (!m_movie)
        newMovie();
    return *m_movie;
}

void PartWalk::newMovie()
{
    m_movie = std::make_unique<TemplateMovie>();
    m_movie->onCommand = [this](const QString& command, const QString& args) { handleCommand(command, args); };
}

bool PartWalk::hasFailed() const
{
    return m_failed || (m_movie && m_movie->isBroken()) || m_deadline.hasExpired();
}

void PartWalk::open(const QString& path)
{
    m_path = path;
    m_details = TemplateDetails();
    m_collectingParts = false;
    m_failed = false;
    // A fresh player each time: nothing one movie leaves behind (globals, limits) reaches the
    // next, so a template's details depend on its file alone.
    newMovie();
    m_deadline.setRemainingTime(m_timeLimit);
    const bool loaded = movie().load(path);
    if (loaded && !hasFailed()) {
        readDescription();
        m_details.groupCategory = m_details.category;
        m_details.groupSiteName = m_details.objectMakerSiteName;
        m_details.tiles = tilesText(movie().variable(QStringLiteral("tiles")));
        readGuids();
        walkFrames();
        readSites();
    }
    if (!loaded || hasFailed()) {
        m_failed = true;
        m_details = TemplateDetails::unreadable();
        m_collectingParts = false;
    }
    m_deadline = QDeadlineTimer(QDeadlineTimer::Forever);
}

void PartWalk::resume(const QString& path, const TemplateDetails& details)
{
    m_path = path;
    m_details = details;
    m_collectingParts = false;
    m_failed = !details.readable;
    m_movie.reset();
}

void PartWalk::walkFrames()
{
    m_details.parts.clear();
    m_details.selectedPart = -1;
    m_collectingParts = true;
    // The frame count is read again before every frame: a part picked meanwhile has loaded the
    // movie again.
    for (int frame = 1; frame <= MaximumFrame && !hasFailed(); ++frame) {
        bool isNumber = false;
        const double total = movie().variable(QStringLiteral("_totalframes")).value_or(QString()).trimmed().toDouble(&isNumber);
        if (!isNumber || !(frame < total + 1))
            return;
        if (onFrameVisited)
            onFrameVisited(frame);
        movie().gotoFrame(frame);
    }
}

void PartWalk::readDescription()
{
    // A variable the movie lacks leaves what was shown before.
    const auto read = [this](const char* name, QString& field) {
        if (const auto value = movie().variable(QString::fromLatin1(name)))
            field = *value;
    };
    read("title", m_details.title);
    read("price", m_details.price);
    read("description", m_details.description);
    read("category", m_details.category);
    read("objectmakersitename", m_details.objectMakerSiteName);
    read("templatemakersitename", m_details.templateMakerSiteName);
}

void PartWalk::readGuids()
{
    m_details.guids = guidList(movie().variable(QStringLiteral("guid")), movie().variable(QStringLiteral("tileguids")));
}

void PartWalk::readSites()
{
    // The site buttons open what the movie holds now; without the variable they open nothing.
    m_details.objectMakerSite = movie().variable(QStringLiteral("objectmakersite")).value_or(QString());
    m_details.templateMakerSite = movie().variable(QStringLiteral("templatemakersite")).value_or(QString());
}

void PartWalk::selectPart(int part)
{
    if (m_failed || part < 0 || part >= m_details.parts.size())
        return;
    // A movie that ran into a limit stays stopped; the part is read by a fresh one.
    if (!m_movie || m_movie->isBroken())
        newMovie();
    showPart(part);
}

void PartWalk::showPart(int part)
{
    m_details.selectedPart = part;
    m_collectingParts = false;
    // The size is cleared before the movie loads again, so that the size it reports while
    // loading is the one shown.
    m_details.size = QStringLiteral("0 x 0");
    if (!movie().load(m_path) || hasFailed())
        return;
    movie().gotoFrame(part);
    if (hasFailed())
        return;
    readDescription();
    readGuids();
    readSites();
}

void PartWalk::handleCommand(const QString& command, const QString& args)
{
    if (m_failed)
        return;
    const QString word = command.toLower();
    if (word == QLatin1String("setsize")) {
        m_details.size = args;
    } else if (word == QLatin1String("additem")) {
        const QString caption = args.section(QLatin1Char('&'), 0, 0);
        if (!m_details.options.contains(caption))
            m_details.options.append(caption);
    } else if (word == QLatin1String("clearitems")) {
        m_details.options.clear();
    } else if (word == QLatin1String("addpart")) {
        if (m_collectingParts)
            m_details.parts.append(args);
    } else if (word == QLatin1String("selectpart")) {
        if (!m_collectingParts)
            return;
        bool isNumber = false;
        const double value = args.trimmed().toDouble(&isNumber);
        if (!isNumber || !std::isfinite(value))
            return;
        const double part = std::nearbyint(value);
        if (part >= 0 && part < m_details.parts.size())
            showPart(int(part));
    }
}

} // namespace catalogue
