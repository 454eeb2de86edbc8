// Calls one member function of an object when made and its counterpart when
// gone, also when an exception leaves the scope: a lock and its unlock, the
// begin and the end of an update. A scope of one kind is an alias:
//     using TBitmapLock = TScoped<TBitmap32, &TBitmap32::Lock, &TBitmap32::Unlock>;
#pragma once

namespace zub {

template <class T, void (T::*Enter)(), void (T::*Leave)()>
class TScoped {
public:
    explicit TScoped(T& object) : object_(object) { (object_.*Enter)(); }
    ~TScoped() { (object_.*Leave)(); }
    TScoped(const TScoped&) = delete;
    TScoped& operator=(const TScoped&) = delete;

private:
    T& object_;
};

}  // namespace zub
