#include "framework/Component.h"

#include <algorithm>

namespace vantor {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) owner_->InsertComponent(*this);
}

TComponent::~TComponent() {
    // Owned components normally go first (they are members of the owner); any left lose their owner.
    for (TComponent* child : components_) child->owner_ = nullptr;
    if (owner_) owner_->RemoveComponent(*this);
}

void TComponent::BeginLoading() {
    loading_ = true;
    for (TComponent* child : components_) child->BeginLoading();
}

void TComponent::EndLoading() {
    // Children first, so that the owner's Loaded sees them ready.
    for (TComponent* child : components_) child->EndLoading();
    loading_ = false;
    Loaded();
}

void TComponent::Notification(TComponent&, TOperation) {}

void TComponent::InsertComponent(TComponent& component) {
    components_.push_back(&component);
    for (TComponent* sibling : components_)
        if (sibling != &component) sibling->Notification(component, TOperation::opInsert);
    Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent& component) {
    std::erase(components_, &component);
    for (TComponent* sibling : components_) sibling->Notification(component, TOperation::opRemove);
    Notification(component, TOperation::opRemove);
}

}  // namespace vantor
