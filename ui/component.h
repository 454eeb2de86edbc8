// Components with an owner: a component created with an owner is freed with
// it, the newest first. A component without an owner is freed by whoever made it.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zub {

class TComponent {
public:
    explicit TComponent(TComponent* owner = nullptr) : owner_(owner) {}
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // Creates a component owned by this one and returns it.
    template <class T, class... Args>
    T& Own(Args&&... args) {
        auto component = std::make_unique<T>(this, std::forward<Args>(args)...);
        T& result = *component;
        owned_.push_back(std::move(component));
        return result;
    }

    TComponent* Owner() const { return owner_; }
    size_t ComponentCount() const { return owned_.size(); }

    std::string Name;

protected:
    // Frees the owned components now (newest first), before the owner's own
    // destruction goes on; derived destructors call it when their owned
    // components still need the derived parts while they go.
    void FreeOwnedComponents();

private:
    TComponent* owner_;
    std::vector<std::unique_ptr<TComponent>> owned_;
};

}  // namespace zub
