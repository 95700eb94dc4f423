#include "DisplayObject.h"

#include "Bounds.h"
#include "ChangeCounter.h"
#include "DisplayContainer.h"
#include "MovieClip.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace player::display {

namespace {
constexpr double DegreesPerRadian = 180.0 / std::numbers::pi;
}

DisplayObject::DisplayObject(DisplayKind kind, std::shared_ptr<const MovieLibrary> library,
                             std::shared_ptr<const swf::Character> character, uint16_t characterId)
    : m_kind(kind), m_library(std::move(library)), m_character(std::move(character)), m_characterId(characterId)
{
}

DisplayObject::~DisplayObject() = default;

MovieClip* DisplayObject::asMovieClip()
{
    return m_kind == DisplayKind::MovieClip ? static_cast<MovieClip*>(this) : nullptr;
}

const MovieClip* DisplayObject::asMovieClip() const
{
    return m_kind == DisplayKind::MovieClip ? static_cast<const MovieClip*>(this) : nullptr;
}

MovieClip* DisplayObject::parentClip() const
{
    return m_parent ? m_parent->asMovieClip() : nullptr;
}

int DisplayObject::level() const
{
    const DisplayObject* object = this;
    while (object->m_parent)
        object = object->m_parent;
    const MovieClip* clip = object->asMovieClip();
    return clip && clip->isLevelRoot() ? clip->levelNumber() : -1;
}

MovieClip* DisplayObject::root()
{
    DisplayObject* object = this;
    while (object->m_parent)
        object = object->m_parent;
    MovieClip* clip = object->asMovieClip();
    return clip && clip->isLevelRoot() ? clip : nullptr;
}

MovieClip* DisplayObject::scriptRoot()
{
    MovieClip* levelRoot = root();
    if (!levelRoot)
        return nullptr;
    const bool levelLocks = levelRoot->swfVersion() >= 7;
    for (DisplayObject* object = this; object && object != levelRoot; object = object->m_parent) {
        MovieClip* clip = object->asMovieClip();
        if (clip && clip->locksRoot() && (levelLocks || clip->swfVersion() >= 7))
            return clip;
    }
    return levelRoot;
}

QString DisplayObject::dotPath() const
{
    if (!m_parent) {
        const MovieClip* clip = asMovieClip();
        if (clip && clip->isLevelRoot())
            return QStringLiteral("_level%1").arg(clip->levelNumber());
        return m_name;
    }
    return m_parent->dotPath() + QLatin1Char('.') + m_name;
}

QString DisplayObject::slashPath() const
{
    if (!m_parent) {
        const MovieClip* clip = asMovieClip();
        if (clip && clip->isLevelRoot())
            return clip->levelNumber() == 0 ? QStringLiteral("/") : QStringLiteral("_level%1").arg(clip->levelNumber());
        return m_name;
    }
    const QString parentPath = m_parent->slashPath();
    return parentPath.endsWith(QLatin1Char('/')) ? parentPath + m_name : parentPath + QLatin1Char('/') + m_name;
}

void DisplayObject::setMatrix(const swf::Matrix& matrix)
{
    // The remembered scale and rotation go even when the matrix stays: they are read from it anew.
    m_scaleCacheValid = false;
    if (matrix == m_matrix)
        return;
    m_matrix = matrix;
    noteChange();
}

void DisplayObject::setScriptMask(const std::shared_ptr<DisplayObject>& mask)
{
    if (m_scriptMask.lock() == mask)
        return;
    m_scriptMask = mask;
    noteChange();
}

void DisplayObject::noteChange() const
{
    const DisplayObject* object = this;
    while (object->m_parent)
        object = object->m_parent;
    if (object->m_changeCounter)
        object->m_changeCounter->note();
}

swf::Rect DisplayObject::localBounds() const
{
    return {};
}

swf::Rect DisplayObject::boundsInParent() const
{
    return transformedRect(m_matrix, localBounds());
}

swf::Rect DisplayObject::scriptBounds() const
{
    return localBounds();
}

swf::Rect DisplayObject::scriptBoundsInParent() const
{
    return transformedRect(m_matrix, scriptBounds());
}

uint32_t DisplayObject::clipEventMask() const
{
    uint32_t mask = 0;
    for (const swf::ClipAction& action : m_clipActions)
        mask |= action.events;
    return mask;
}

void DisplayObject::resetContent(std::shared_ptr<const MovieLibrary> library,
                                 std::shared_ptr<const swf::Character> character, uint16_t characterId)
{
    m_library = std::move(library);
    m_character = std::move(character);
    m_characterId = characterId;
    noteChange();
}

void DisplayObject::markRemoved()
{
    if (!m_removed && m_scriptBinding)
        m_scriptBinding->leavingStage(*this);
    m_removed = true;
}

void DisplayObject::refreshScaleAndRotation() const
{
    if (m_scaleCacheValid)
        return;
    m_xScale = std::hypot(m_matrix.a, m_matrix.b);
    m_yScale = std::hypot(m_matrix.c, m_matrix.d);
    m_rotation = std::atan2(m_matrix.b, m_matrix.a);
    // The y axis may be rotated differently (skew); remember by how much.
    m_skew = std::atan2(-m_matrix.c, m_matrix.d) - m_rotation;
    m_scaleCacheValid = true;
}

void DisplayObject::applyScaleAndRotation()
{
    const double rotationY = m_rotation + m_skew;
    m_matrix.a = m_xScale * std::cos(m_rotation);
    m_matrix.b = m_xScale * std::sin(m_rotation);
    m_matrix.c = -m_yScale * std::sin(rotationY);
    m_matrix.d = m_yScale * std::cos(rotationY);
    m_transformedByScript = true;
    noteChange();
}

// A position is kept as a whole number of twips in 32 bits. Flash drops what is finer than a
// twip rather than rounding (3.94 reads back as 3.9), and a position that does not fit, the
// infinities included, becomes the lowest one, -2^31 twips.
namespace {
double positionTwips(double pixels)
{
    const double twips = std::trunc(pixels * 20.0);
    if (!(twips >= -2147483648.0 && twips <= 2147483647.0))
        return -2147483648.0;
    return twips;
}
} // namespace

void DisplayObject::setX(double pixels)
{
    if (std::isnan(pixels))
        return;
    const double twips = positionTwips(pixels);
    if (twips != m_matrix.tx) {
        m_matrix.tx = twips;
        noteChange();
    }
    m_transformedByScript = true;
}

void DisplayObject::setY(double pixels)
{
    if (std::isnan(pixels))
        return;
    const double twips = positionTwips(pixels);
    if (twips != m_matrix.ty) {
        m_matrix.ty = twips;
        noteChange();
    }
    m_transformedByScript = true;
}

double DisplayObject::xScale() const
{
    refreshScaleAndRotation();
    return m_xScale * 100.0;
}

double DisplayObject::yScale() const
{
    refreshScaleAndRotation();
    return m_yScale * 100.0;
}

double DisplayObject::rotation() const
{
    refreshScaleAndRotation();
    return m_rotation * DegreesPerRadian;
}

void DisplayObject::setXScale(double percent)
{
    // An infinite scale is kept and reads back as it was set.
    if (std::isnan(percent))
        return;
    refreshScaleAndRotation();
    m_xScale = percent / 100.0;
    applyScaleAndRotation();
}

void DisplayObject::setYScale(double percent)
{
    // An infinite scale is kept and reads back as it was set.
    if (std::isnan(percent))
        return;
    refreshScaleAndRotation();
    m_yScale = percent / 100.0;
    applyScaleAndRotation();
}

void DisplayObject::setRotation(double degrees)
{
    // An infinite angle has no place within the turn: it leaves the rotation NaN.
    if (std::isnan(degrees))
        return;
    refreshScaleAndRotation();
    // Flash keeps the angle within -180..180.
    double normalised = std::fmod(degrees, 360.0);
    if (normalised > 180.0)
        normalised -= 360.0;
    else if (normalised < -180.0)
        normalised += 360.0;
    m_rotation = normalised / DegreesPerRadian;
    applyScaleAndRotation();
}

void DisplayObject::setAlpha(double percent)
{
    if (std::isnan(percent))
        return;
    // The infinities clear the alpha, as any other value out of the multiplier's range would
    // in Flash's integer conversion.
    if (std::isinf(percent))
        percent = 0;
    assignShown(m_colorTransform.alphaMult, static_cast<int32_t>(std::clamp(percent * 2.56, -32768.0, 32767.0)));
}

double DisplayObject::width() const
{
    const swf::Rect bounds = scriptBoundsInParent();
    return bounds.width() / 20.0;
}

double DisplayObject::height() const
{
    const swf::Rect bounds = scriptBoundsInParent();
    return bounds.height() / 20.0;
}

void DisplayObject::setWidth(double pixels)
{
    const swf::Rect local = scriptBounds();
    if (!std::isfinite(pixels) || local.width() == 0)
        return;
    refreshScaleAndRotation();
    if (local.height() == 0) {
        // A line has no other side to blend with: its length alone sets the scale.
        const double unscaled = local.width() * std::abs(std::cos(m_rotation));
        if (unscaled > 0)
            setXScale(pixels * 20.0 / unscaled * 100.0);
        return;
    }
    setSizeOfTurned(local.width() / 20.0, local.height() / 20.0, pixels, m_xScale, m_yScale);
}

void DisplayObject::setHeight(double pixels)
{
    const swf::Rect local = scriptBounds();
    if (!std::isfinite(pixels) || local.height() == 0)
        return;
    refreshScaleAndRotation();
    if (local.width() == 0) {
        // A line has no other side to blend with: its length alone sets the scale.
        const double unscaled = local.height() * std::abs(std::cos(m_rotation));
        if (unscaled > 0)
            setYScale(pixels * 20.0 / unscaled * 100.0);
        return;
    }
    // The height is the width of the object seen along its other axis.
    setSizeOfTurned(local.height() / 20.0, local.width() / 20.0, pixels, m_yScale, m_xScale);
}

void DisplayObject::setSizeOfTurned(double along, double across, double pixels, double& alongScale, double& acrossScale)
{
    // Flash does not solve for the scale that gives a turned object the size asked for. It
    // takes the scale that size would need along each side of the unturned object, and blends
    // them by the angle: the scale along the side asked for becomes a mix of both, the scale
    // across it a mix of the two old scales. Unturned, this is the plain ratio, and the other
    // scale stays; a quarter turn sets the scale to the ratio of the other side, and moves the
    // old scale across. Setting the same size twice on a turned object may change it again.
    const double cosine = std::abs(std::cos(m_rotation));
    const double sine = std::abs(std::sin(m_rotation));
    const double aspect = across / along;
    const double alongTarget = pixels / along;
    const double acrossTarget = pixels / across;
    double newAlong = aspect * (cosine * alongTarget + sine * acrossTarget) / ((cosine + aspect * sine) * (aspect * cosine + sine));
    double newAcross = (sine * alongScale + aspect * cosine * acrossScale) / (aspect * cosine + sine);
    alongScale = std::isfinite(newAlong) ? newAlong : 0.0;
    acrossScale = std::isfinite(newAcross) ? newAcross : 0.0;
    applyScaleAndRotation();
}

std::optional<swf::Rect> DisplayObject::scaleGrid() const
{
    if (m_scaleGridSetByScript)
        return m_scriptScaleGrid;
    if (const swf::ScalingGrid* grid = m_library && m_characterId ? m_library->scalingGrid(m_characterId) : nullptr)
        return grid->splitter;
    return std::nullopt;
}

void DisplayObject::setScaleGrid(std::optional<swf::Rect> grid)
{
    m_scaleGridSetByScript = true;
    m_scriptScaleGrid = grid;
    noteChange();
}

} // namespace player::display
