#pragma once
// Components with owners, as the forms of this program are built from: an owner knows the components
// it holds, tells them when one of them goes away, and brings them out of their loading state together.

#include <functional>
#include <vector>

namespace vantor {

class TComponent;

// An event: a handler bound to its object. Called only when one is attached.
using TNotifyEvent = std::function<void(TComponent& sender)>;

enum class TOperation { opInsert, opRemove };

class TComponent {
public:
    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const noexcept { return owner_; }
    const std::vector<TComponent*>& Components() const noexcept { return components_; }

    // While loading, setters only store their values; Loaded() brings the outside world up to date.
    bool Loading() const noexcept { return loading_; }
    void BeginLoading();
    void EndLoading();

protected:
    virtual void Loaded() {}
    // Another component of the same owner (or this component's own child) was inserted or removed.
    virtual void Notification(TComponent& component, TOperation operation);

private:
    void InsertComponent(TComponent& component);
    void RemoveComponent(TComponent& component);

    TComponent* owner_;
    std::vector<TComponent*> components_;
    bool loading_ = false;
};

}  // namespace vantor
