// What the skinned form and the skinned frame share: the paint engine behind
// their Bitmap, change notifications held back while updating (and while the
// window goes away), the invalidation that makes the next paint rebuild the
// buffer, and the answers to the paint messages. Base is TForm or TWinControl.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

#include "skin/color.h"
#include "skin/paint_engine.h"
#include "skin/skin_window_win.h"

namespace zub {

template <class Base>
class TSkinnedWindow : public Base {
public:
    template <class... Args>
    explicit TSkinnedWindow(Args&&... args) : Base(std::forward<Args>(args)...) {
        engine_.Bitmap.OnChange = [this] { Changed(); };
        engine_.Bitmap.OnResize = [this] {
            engine_.InvalidateCache();
            Invalidate();
        };
    }
    ~TSkinnedWindow() override {
        // No notifications reach a window that is going.
        ++updateCount_;
        engine_.Bitmap.OnChange = nullptr;
        engine_.Bitmap.OnResize = nullptr;
    }

    TBitmap32& Bitmap() { return engine_.Bitmap; }
    void SetScaleMode(TScaleMode value) {
        if (engine_.SetScaleMode(value)) Changed();
    }

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate() { --updateCount_; }
    // A change of Bitmap: outside updates, calls OnChange; does not repaint.
    virtual void Changed() {
        if (!Updating() && OnChange) OnChange();
    }
    // Marks buffer and cache stale and invalidates the window without erasing.
    void Invalidate() {
        engine_.BufferValid = false;
        engine_.CacheValid = false;
        if (this->HandleAllocated()) InvalidateRect(this->Handle(), nullptr, FALSE);
    }

    TNotifyEvent OnChange;

protected:
    bool Updating() const { return updateCount_ != 0; }

    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_ERASEBKGND: return 1;  // the paint covers everything
            case WM_PAINT: PaintWindow(this->Handle(), engine_, this->Color()); return 0;
        }
        return Base::WndProc(message, wParam, lParam);
    }

    TPaintEngine engine_;

private:
    int updateCount_ = 0;
};

}  // namespace zub
