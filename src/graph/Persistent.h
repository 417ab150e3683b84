#pragma once

#include <functional>

// Base of the graph's settings objects (axes, layout, fonts, colours): each
// reports every change of one of its properties to its owner through
// OnChange, with itself as the sender.
class TGraphPersistent {
public:
    using TNotifyEvent = std::function<void(TGraphPersistent* sender)>;

    TGraphPersistent() = default;
    TGraphPersistent(const TGraphPersistent&) = delete;
    TGraphPersistent& operator=(const TGraphPersistent&) = delete;
    virtual ~TGraphPersistent() = default;

    TNotifyEvent OnChange;

protected:
    virtual void TriggerChange()
    {
        if (OnChange)
            OnChange(this);
    }
};
