#pragma once
// A popup menu as components that open one see it: something that pops up at a screen point.

#include "framework/Component.h"

namespace vantor {

class TCustomPopupMenu : public TComponent {
public:
    using TComponent::TComponent;
    // Opens the menu at a screen point and returns once it has closed.
    virtual void Popup(int x, int y) = 0;
};

}  // namespace vantor
