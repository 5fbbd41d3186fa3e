#pragma once
// An object that a layer above the model puts in place for the model to call, with a stand-in
// of the same kind (one that does nothing) until then: dxBarInPlace<T>() is where it is kept.
// Both live until the process ends: links and windows that go in the program's last static
// destructors still call it.

template <class T>
T*& dxBarInPlace() {
    static T* const StandIn = new T;
    static T* In = StandIn;
    return In;
}
