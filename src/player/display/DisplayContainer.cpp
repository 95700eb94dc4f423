#include "DisplayContainer.h"

#include "Bounds.h"

#include <algorithm>
#include <vector>

namespace player::display {

DisplayContainer::~DisplayContainer()
{
    // Children may outlive us (a script holds them); they must not point back at a dead parent.
    for (auto& [depth, child] : m_children)
        child->setParent(nullptr);
}

DisplayObject* DisplayContainer::childAtDepth(int depth) const
{
    auto found = m_children.find(depth);
    return found == m_children.end() ? nullptr : found->second.get();
}

DisplayObject* DisplayContainer::childByName(const QString& name, bool caseSensitive) const
{
    const Qt::CaseSensitivity sensitivity = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (const auto& [depth, child] : m_children) {
        if (child->name().compare(name, sensitivity) == 0)
            return child.get();
    }
    return nullptr;
}

void DisplayContainer::insertChild(int depth, std::shared_ptr<DisplayObject> child)
{
    if (!child)
        return;
    auto found = m_children.find(depth);
    if (found != m_children.end()) {
        found->second->markRemoved();
        found->second->setParent(nullptr);
    }
    child->setParent(this);
    child->setDepth(depth);
    m_children[depth] = std::move(child);
    noteChange();
}

std::shared_ptr<DisplayObject> DisplayContainer::removeChild(int depth)
{
    auto found = m_children.find(depth);
    if (found == m_children.end())
        return nullptr;
    std::shared_ptr<DisplayObject> child = std::move(found->second);
    m_children.erase(found);
    child->markRemoved();
    noteChange();
    // The parent link stays, so that a removed clip's unload handler can still see where it was;
    // it is cleared when this container goes away.
    return child;
}

std::shared_ptr<DisplayObject> DisplayContainer::setAsideChild(int depth)
{
    auto node = m_children.extract(depth);
    if (node.empty())
        return nullptr;
    std::shared_ptr<DisplayObject> child = node.mapped();
    moveAside(std::move(node));
    noteChange();
    return child;
}

void DisplayContainer::moveAside(ChildMap::node_type node)
{
    DisplayObject& child = *node.mapped();
    // Depths set aside lie below -16384, the lowest one in use, so they never meet a live
    // object; two objects set aside from the same depth take the next free one below.
    int target = SetAsideDepthBase - child.depth();
    while (m_children.count(target))
        --target;
    child.setDepth(target);
    child.m_awaitingRemoval = true;
    node.key() = target;
    m_children.insert(std::move(node));
    if (DisplayContainer* inner = child.asContainer()) {
        std::vector<int> depths;
        for (const auto& [innerDepth, grandChild] : inner->m_children) {
            if (!grandChild->isAwaitingRemoval())
                depths.push_back(innerDepth);
        }
        for (int innerDepth : depths)
            inner->moveAside(inner->m_children.extract(innerDepth));
    }
}

void DisplayContainer::swapChildren(int depthA, int depthB)
{
    if (depthA == depthB)
        return;
    auto a = m_children.extract(depthA);
    auto b = m_children.extract(depthB);
    if (!a.empty() || !b.empty())
        noteChange();
    if (!a.empty()) {
        a.key() = depthB;
        a.mapped()->setDepth(depthB);
        m_children.insert(std::move(a));
    }
    if (!b.empty()) {
        b.key() = depthA;
        b.mapped()->setDepth(depthA);
        m_children.insert(std::move(b));
    }
}

void DisplayContainer::clearChildren()
{
    if (m_children.empty())
        return;
    ChildMap children;
    children.swap(m_children);
    noteChange();
    for (auto& [depth, child] : children)
        child->markRemoved();
}

int DisplayContainer::nextHighestDepth() const
{
    if (m_children.empty())
        return 0;
    return std::max(0, m_children.rbegin()->first + 1);
}

swf::Rect DisplayContainer::localBounds() const
{
    swf::Rect bounds;
    for (const auto& [depth, child] : m_children)
        bounds = unitedRect(bounds, child->boundsInParent());
    return bounds;
}

swf::Rect DisplayContainer::scriptBounds() const
{
    swf::Rect bounds;
    for (const auto& [depth, child] : m_children)
        bounds = unitedRect(bounds, child->scriptBoundsInParent());
    return bounds;
}

void DisplayContainer::markRemoved()
{
    DisplayObject::markRemoved();
    for (auto& [depth, child] : m_children)
        child->markRemoved();
}

} // namespace player::display
