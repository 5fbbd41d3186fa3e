#pragma once
// An object that a layer above the model puts in place for the model to call, with a stand-in
// of the same kind (one that does nothing) until then: dxBarInPlace<T>() is where it is kept.

template <class T>
T*& dxBarInPlace() {
    static T StandIn;
    static T* In = &StandIn;
    return In;
}
