#include "ui/component.h"

#include <gtest/gtest.h>

#include <vector>

namespace zub {
namespace {

class TRecorder : public TComponent {
public:
    TRecorder(TComponent* owner, std::vector<std::string>& log, std::string name) : TComponent(owner), log_(log) {
        Name = std::move(name);
    }
    ~TRecorder() override { log_.push_back(Name); }

private:
    std::vector<std::string>& log_;
};

TEST(Component, OwnedComponentsGoWithTheirOwnerNewestFirst) {
    std::vector<std::string> freed;
    {
        TRecorder owner(nullptr, freed, "form");
        TRecorder& panel = owner.Own<TRecorder>(freed, "panel");
        panel.Own<TRecorder>(freed, "label");
        owner.Own<TRecorder>(freed, "button");
        EXPECT_EQ(owner.ComponentCount(), 2u);
        EXPECT_EQ(panel.Owner(), &owner);
        EXPECT_TRUE(freed.empty());
    }
    // Each component's own destructor runs before the components it owns go.
    EXPECT_EQ(freed, (std::vector<std::string>{"form", "button", "panel", "label"}));
}

}  // namespace
}  // namespace zub
