#include "ui/component.h"

namespace zub {

TComponent::~TComponent() { FreeOwnedComponents(); }

void TComponent::FreeOwnedComponents() {
    while (!owned_.empty()) owned_.pop_back();
}

}  // namespace zub
