#include "skin/zub_frame_win.h"

#include <iterator>

#include "skin/media_list.h"
#include "skin/push_button_accessible_win.h"
#include "skin/skin_window_win.h"
#include "skin/zub_form_win.h"

namespace zub {
namespace {

// Buttons made at run time get distinct names from the form they are on:
// "Zubcraft1", "Zubcraft2", ...; a button on no form keeps an empty name.
std::string DefaultButtonName(TComponent* owner) {
    for (TComponent* c = owner; c; c = c->Owner())
        if (auto* form = dynamic_cast<TZubForm*>(c)) return "Zubcraft" + std::to_string(form->NextButtonNumber());
    return {};
}

bool StartsWithDrive(const std::string& name) {
    const bool letter = name.size() >= 2 && name[1] == ':' &&
                        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
    return letter || name.rfind("\\\\", 0) == 0;
}

}  // namespace

TZubFrame::TZubFrame(TComponent* owner, HWND parent, const char* className, KMediaList& media)
    : TZubSkin(4, media, owner, parent, className) {}

void TZubFrame::RebuildBitmap() { LayPicture(TPictureFit::Window); }

void TZubFrame::Resize() {
    TZubSkin::Resize();
    UpdateSkin();
}

TZubButton::TZubButton(TComponent* owner, HWND parent, KMediaList& media)
    : TZubFrame(owner, parent, "TZubButton", media) {
    OnMouseEnter = [this] { BEnter(); };
    OnMouseLeave = [this] { BExit(); };
    OnMouseDown = [this](TMouseButton, int, int) { BDown(); };
    OnMouseUp = [this](TMouseButton, int x, int y) { BUp(x, y); };
    Name = DefaultButtonName(owner);
}

void TZubButton::SetState(TState state) {
    const std::string* names[] = {&ImageNormal, &ImageOver, &ImagePressed, &ImageDisabled};
    const size_t index = size_t(state);
    if (index >= std::size(names)) return;
    const std::string& name = *names[index];
    if (name.empty() || name == Graphic().FileName()) return;
    if (StartsWithDrive(name)) Graphic().SetFileName(name);
    else Graphic().SetFileName(Graphic().Media().MediaBaseFolder + "\\" + name);
    const TBitmap32& picture = Graphic().GetBitmap();
    SetBounds(Bounds().Left, Bounds().Top, picture.Width(), picture.Height());
}

void TZubButton::SetEnabled(bool enabled) {
    SetState(enabled ? TState::bsNormal : TState::bsDisabled);
    TZubFrame::SetEnabled(enabled);
}

LRESULT TZubButton::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETOBJECT)
        if (LRESULT object = PushButtonAccessibleObject(Handle(), wParam, lParam)) return object;
    return TZubFrame::WndProc(message, wParam, lParam);
}

void TZubButton::BEnter() {
    if (Enabled()) SetState(TState::bsOver);
}

void TZubButton::BExit() {
    if (Enabled()) SetState(LeftButtonHeld() ? TState::bsPressed : TState::bsNormal);
}

void TZubButton::BDown() {
    if (Enabled()) SetState(TState::bsPressed);
}

void TZubButton::BUp(int x, int y) {
    if (!Enabled()) return;
    TSize32 size = zub::ClientSize(Handle());
    SetState(x >= 0 && y >= 0 && x < size.Width && y < size.Height ? TState::bsOver : TState::bsNormal);
}

}  // namespace zub
