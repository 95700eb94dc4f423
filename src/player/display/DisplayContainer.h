#pragma once

#include "DisplayObject.h"

#include <QString>
#include <map>
#include <memory>

namespace player::display {

// A display object with children at depths: clips and buttons. Children are kept in depth
// order, lowest first, which is the drawing order.
class DisplayContainer : public DisplayObject {
public:
    using ChildMap = std::map<int, std::shared_ptr<DisplayObject>>;

    using DisplayObject::DisplayObject;
    ~DisplayContainer() override;

    DisplayContainer* asContainer() override { return this; }
    const DisplayContainer* asContainer() const override { return this; }

    const ChildMap& children() const { return m_children; }
    DisplayObject* childAtDepth(int depth) const;
    // The first child (lowest depth) with this instance name; case-insensitive when asked, as
    // SWF 6 and older movies need.
    DisplayObject* childByName(const QString& name, bool caseSensitive) const;

    // Puts a child at a depth, replacing (and removing) whatever was there.
    void insertChild(int depth, std::shared_ptr<DisplayObject> child);
    // Takes the child at a depth off the list and marks it (and its subtree) removed; returns it
    // so the caller can run its unload events and keep it alive while they run.
    std::shared_ptr<DisplayObject> removeChild(int depth);
    // Flash keeps a removed clip that has unload handlers (or holds one that has) until they
    // have run: it and everything inside it move to the depths below all that timelines and
    // scripts use, -32769 - depth, and stay readable there. This moves the child at a depth so,
    // marking it and its subtree as awaiting removal; removeChild takes it off later. Returns
    // the child.
    std::shared_ptr<DisplayObject> setAsideChild(int depth);
    // Exchanges the children at two depths (either may be empty), as swapDepths does.
    void swapChildren(int depthA, int depthB);
    // Removes every child.
    void clearChildren();
    // The lowest free depth above every child (getNextHighestDepth), never below 0.
    int nextHighestDepth() const;

    swf::Rect localBounds() const override;
    swf::Rect scriptBounds() const override;

protected:
    void markRemoved() override;

private:
    void moveAside(ChildMap::node_type node);

    ChildMap m_children;
};

} // namespace player::display
